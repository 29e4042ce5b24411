// The main window's costs, each beside a floor measured in the same run:
//  - a keystroke in the memo pad, which makes the change handler apply the title rule and write
//    the whole page file, against writing the same bytes once with the atomic writer;
//  - the idle handlers on a 1 MB page against a 1 KB page;
//  - the start-up of the real program, with a library of 100 books whose open book has 1,000
//    pages, up to its first painted frame, against a minimal Qt program showing a frameless
//    window. Both run as separate processes under the X server of $DISPLAY and are timed the
//    same way: from just before the process is spawned until its top-level window is mapped,
//    and until that window holds painted pixels.
//
// It also reports the processor time the shown program takes while nothing happens, against
// the same figure of the minimal program.
//
// The first two run in this process on the offscreen platform; the start-up needs an X server
// (scripts/bench runs this benchmark under xvfb-run) and is skipped without one.

#include "bench_support.h"

#include "app/kavio_form.h"
#include "base/file_system.h"
#include "config/environment.h"
#include "config/path_macros.h"
#include "controls/index_list_box.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "dialogs/message_boxes.h"
#include "qt/error_box.h"
#include "storage/book_list.h"
#include "storage/page_details.h"
#include "storage/page_list.h"

#include <QApplication>
#include <QKeyEvent>

#include <xcb/xcb.h>

#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace kavio;
using namespace kavio::bench;
using kavio::qt::TKavioForm;

namespace {

class SilentOutput : public SoundOutput {
public:
    bool PlayFile(const std::string&, TPlayFlags) override { return true; }
};

// One key as the user presses it: press and release sent to the memo pad. The memo pad raises
// its change notification at the end of the event, so the page file has been written when this
// returns.
void PressKey(QWidget* widget, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void TypeX(QWidget* memo) { PressKey(memo, Qt::Key_X, QStringLiteral("x")); }
void Backspace(QWidget* memo) { PressKey(memo, Qt::Key_Backspace, QStringLiteral("\b")); }

// While it lives, an error box or a question ends the benchmark instead of waiting for a user.
class BoxGuard {
public:
    BoxGuard()
    {
        qt::SetErrorBoxHook([](const QString& message) { Fail("error box: " + message.toStdString()); });
        qt::SetMessageHook([](const qt::TMessageRequest& request, bool&) -> bool {
            Fail("message box: " + request.Text.toStdString());
        });
    }
    ~BoxGuard()
    {
        qt::SetErrorBoxHook(nullptr);
        qt::SetMessageHook(nullptr);
    }
};

// A main window on a library of one book with pages of 1 KB, 10 KB, 100 KB and 1 MB, in a home
// folder of its own. Error boxes and questions are caught: any of them ends the benchmark.
class FormFixture {
public:
    static constexpr size_t kSizes[] = {1024, 10 * 1024, 100 * 1024, 1024 * 1024};

    FormFixture()
    {
        std::filesystem::create_directories(m_root.path() + "home/Documents");
        std::filesystem::create_directories(m_root.path() + "app");
        m_personal = m_root.path() + "home/Documents/Kavio/";
        LibraryShape shape;
        shape.openBookPageBytes.assign(std::begin(kSizes), std::end(kSizes));
        WriteLibrary(m_personal, shape);

        m_env.executablePath = m_root.path() + "app/kavio";
        m_env.variables = {{"HOME", m_root.path() + "home"}, {"XDG_RUNTIME_DIR", m_root.path()}};
        InitPathMacros(m_env);
        m_form = std::make_unique<TKavioForm>(std::make_unique<SilentOutput>());
        if (!m_form->FormCreate(m_env))
            Fail("the main window could not start");
        m_form->show();
        QApplication::processEvents();
    }

    ~FormFixture()
    {
        m_form->close();
        m_form.reset();
    }

    TKavioForm& Form() { return *m_form; }
    std::string Folder() const { return m_personal; }

    // Shows page `index` with the caret in the middle of its text, and returns its file.
    std::string ShowPage(int index)
    {
        m_form->cPageList->SetItemIndex(index);
        QApplication::processEvents();
        const size_t expected = kSizes[index];
        const size_t shown = static_cast<size_t>(m_form->MemoPad->ByteLength());
        if (shown < expected || shown > expected + 200)
            Fail("page " + std::to_string(index) + " shows " + std::to_string(shown) + " bytes, not about " +
                 std::to_string(expected));
        m_form->MemoPad->SetSelection(m_form->MemoPad->ByteLength() / 2, 0);
        QApplication::processEvents();
        return m_form->PageList().GetFullPathOf(index);
    }

private:
    BoxGuard m_boxes;
    TempFolder m_root;
    std::string m_personal;
    SystemEnvironment m_env;
    std::unique_ptr<TKavioForm> m_form;
};

// Where a keystroke's time goes beyond the write: the steps of writing the page, each timed on
// its own through the same public operations.
void PrintKeystrokeParts(FormFixture& fixture, const std::string& path, double writeMs)
{
    auto& memo = *fixture.Form().MemoPad;
    // The same keystrokes in a memo pad of its own that nobody listens to: the editor's share.
    qt::TEditorExMain alone;
    alone.SetLines(memo.GetLines());
    alone.SetSelection(alone.ByteLength() / 2, 0);
    std::vector<double> edit, read, lines, marks;
    for (int i = 0; i < 5; ++i) {
        edit.push_back(Milliseconds([&] { TypeX(&alone); }));
        edit.push_back(Milliseconds([&] { Backspace(&alone); }));
        read.push_back(Milliseconds([&] { TPageDetails details(path); }));
        lines.push_back(Milliseconds([&] { memo.GetLines(); }));
        marks.push_back(Milliseconds([&] {
            const int count = memo.LineCount();
            for (int line = 0; line < count; ++line)
                memo.RowMarkSet(memo.FirstRowOfLine(line));
        }));
    }
    std::printf("  parts: the memo pad's own edit %.2f ms, reading and parsing the present page file "
                "%.2f ms, the editor's lines in the code page %.2f ms, the row marks of all %d lines "
                "%.2f ms, writing the file (floor) %.2f ms\n",
                Median(edit), Median(read), Median(lines), memo.LineCount(), Median(marks), writeMs);
}

void Keystrokes(FormFixture& fixture)
{
    struct Case {
        const char* name;
        int page;
        int pairs;  // each pair is two keystrokes (x, then Backspace) and two floor writes
    };
    const Case cases[] = {{"10 KB", 1, 100}, {"100 KB", 2, 50}, {"1 MB", 3, 15}};
    QWidget* memo = fixture.Form().MemoPad;
    const std::string floorPath = fixture.Folder() + "floor.memo";
    for (const Case& c : cases) {
        const std::string path = fixture.ShowPage(c.page);
        const std::string before = ReadBytes(path);
        // The keystroke must reach the page file, or there is nothing to measure.
        TypeX(memo);
        if (ReadBytes(path).size() != before.size() + 1)
            Fail("a keystroke on the " + std::string(c.name) + " page did not reach its page file");
        Backspace(memo);
        if (ReadBytes(path) != before)
            Fail("Backspace did not restore the " + std::string(c.name) + " page file");
        std::vector<double> keys, floors;
        for (int i = 0; i < c.pairs; ++i) {
            keys.push_back(Milliseconds([&] { TypeX(memo); }));
            QApplication::processEvents();
            floors.push_back(Milliseconds([&] { fs::WriteFileAtomic(floorPath, before); }));
            keys.push_back(Milliseconds([&] { Backspace(memo); }));
            QApplication::processEvents();
            floors.push_back(Milliseconds([&] { fs::WriteFileAtomic(floorPath, before); }));
        }
        if (ReadBytes(path) != before)
            Fail("the " + std::string(c.name) + " page file does not hold the text after typing");
        PrintFigure(std::string("keystroke ") + c.name, Median(keys), Median(floors), "ms", "<= 2x");
        if (c.page == 3)
            PrintKeystrokeParts(fixture, path, Median(floors));
    }
    fs::RemoveFile(floorPath);
}

void Idle(FormFixture& fixture)
{
    constexpr int kRounds = 15;
    constexpr int kBatches = 20;
    constexpr int kCallsPerBatch = 25;
    TKavioForm& form = fixture.Form();
    std::vector<double> small, large;
    auto measure = [&form](std::vector<double>& into) {
        form.RunIdle();
        for (int b = 0; b < kBatches; ++b)
            into.push_back(Milliseconds([&] {
                               for (int i = 0; i < kCallsPerBatch; ++i)
                                   form.RunIdle();
                           }) * 1000.0 / kCallsPerBatch);
    };
    for (int round = 0; round < kRounds; ++round) {
        fixture.ShowPage(0);
        measure(small);
        fixture.ShowPage(3);
        measure(large);
    }
    PrintFigure("idle handlers, 1 MB page (floor: 1 KB page)", Median(large), Median(small), "us",
                "equal within noise, <= 1.2x");
}

// --- Start-up ----------------------------------------------------------------------------

class XServer {
public:
    XServer()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            Fail("cannot connect to the X server of DISPLAY");
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_root = screen->root;
        m_width = screen->width_in_pixels;
        m_height = screen->height_in_pixels;
        // A black root: a window that has not painted yet shows black, as it has no background
        // of its own. Mapping of top-level windows is reported to this client.
        const uint32_t back[] = {screen->black_pixel};
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_BACK_PIXEL, back);
        const uint32_t events[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, events);
        ClearScreen();
        m_pidAtom = Atom("_NET_WM_PID");
        m_nameAtom = Atom("_NET_WM_NAME");
        m_utf8Atom = Atom("UTF8_STRING");
    }
    ~XServer() { xcb_disconnect(m_connection); }

    void ClearScreen()
    {
        xcb_clear_area(m_connection, 0, m_root, 0, 0, 0, 0);
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            free(event);
    }

    // The next event, or null after `timeoutMs`.
    xcb_generic_event_t* NextEvent(int timeoutMs)
    {
        if (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            return event;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&fd, 1, timeoutMs);
        return xcb_poll_for_event(m_connection);
    }

    uint32_t WindowPid(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        uint32_t pid = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&pid, xcb_get_property_value(reply), 4);
        free(reply);
        return pid;
    }

    std::string WindowName(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, m_nameAtom, m_utf8Atom, 0, 256), nullptr);
        std::string name;
        if (reply)
            name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        static_cast<size_t>(xcb_get_property_value_length(reply)));
        free(reply);
        return name;
    }

    // Whether the window's area on the screen holds any non-black pixel, sampled on three rows.
    bool Painted(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr);
        bool painted = false;
        if (geometry && origin) {
            const int left = std::max<int>(origin->dst_x, 0);
            const int right = std::min<int>(origin->dst_x + geometry->width, m_width);
            for (int quarter = 1; quarter <= 3 && !painted && right > left; ++quarter) {
                const int y = origin->dst_y + geometry->height * quarter / 4;
                if (y < 0 || y >= m_height)
                    continue;
                xcb_get_image_reply_t* image = xcb_get_image_reply(
                    m_connection,
                    xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, static_cast<int16_t>(left),
                                  static_cast<int16_t>(y), static_cast<uint16_t>(right - left), 1, ~0u),
                    nullptr);
                if (!image)
                    continue;
                const uint8_t* data = xcb_get_image_data(image);
                const int length = xcb_get_image_data_length(image);
                for (int i = 0; i < length && !painted; ++i)
                    painted = data[i] != 0 && i % 4 != 3;  // 32 bits a pixel; the top byte is padding
                free(image);
            }
        }
        free(geometry);
        free(origin);
        return painted;
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    int m_width;
    int m_height;
    xcb_atom_t m_pidAtom;
    xcb_atom_t m_nameAtom;
    xcb_atom_t m_utf8Atom;
};

struct StartTimes {
    double mapped = 0;
    double painted = 0;
    std::string name;
};

// Starts `program` and times it until its window is mapped and painted; `whileShown` then runs
// with the process before it is terminated.
StartTimes MeasureStart(XServer& x, const std::string& program, const std::vector<std::string>& env,
                        const std::function<void(pid_t)>& whileShown = nullptr)
{
    constexpr double kTimeoutMs = 60000;
    x.ClearScreen();
    StartTimes times;
    const auto start = Clock::now();
    ChildProcess child({program}, env);
    xcb_window_t window = 0;
    while (!window) {
        if (MillisecondsSince(start) > kTimeoutMs)
            Fail(program + " showed no window within a minute");
        if (!child.Running())
            Fail(program + " ended before it showed a window");
        xcb_generic_event_t* event = x.NextEvent(5);
        if (!event)
            continue;
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (!map->override_redirect && x.WindowPid(map->window) == static_cast<uint32_t>(child.pid()))
                window = map->window;
        }
        free(event);
    }
    times.mapped = MillisecondsSince(start);
    while (!x.Painted(window)) {
        if (MillisecondsSince(start) > kTimeoutMs)
            Fail(program + " mapped its window but painted nothing within a minute");
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    times.painted = MillisecondsSince(start);
    times.name = x.WindowName(window);
    if (whileShown)
        whileShown(child.pid());
    child.Stop();
    return times;
}

// Where the program's start-up time goes, measured in this process on the offscreen platform
// with the same library: building the window, then FormCreate, and within it reading the
// library and opening the big book with the storage classes alone; then the first paint.
void PrintStartUpParts(const LibraryShape& shape)
{
    TempFolder root;
    std::filesystem::create_directories(root.path() + "home/Documents");
    std::filesystem::create_directories(root.path() + "app");
    const std::string personal = root.path() + "home/Documents/Kavio/";
    WriteLibrary(personal, shape);
    SystemEnvironment env;
    env.executablePath = root.path() + "app/kavio";
    env.variables = {{"HOME", root.path() + "home"}, {"XDG_RUNTIME_DIR", root.path()}};
    InitPathMacros(env);

    double library = 0, book = 0;
    {
        std::unique_ptr<TBookList> books;
        library = Milliseconds([&] { books = std::make_unique<TBookList>(nullptr, personal); });
        TPageList pages(books.get());
        book = Milliseconds([&] { pages.LoadBook(&books->Books(shape.openBook)); });
        if (pages.Count() != shape.openBookPages)
            Fail("the book did not open with all its pages");
    }
    BoxGuard boxes;
    std::unique_ptr<TKavioForm> form;
    const double build = Milliseconds([&] { form = std::make_unique<TKavioForm>(std::make_unique<SilentOutput>()); });
    const double create = Milliseconds([&] {
        if (!form->FormCreate(env))
            Fail("the main window could not start");
    });
    const double paint = Milliseconds([&] {
        form->show();
        QApplication::processEvents();
    });
    form->close();
    std::printf("  parts (in this process, offscreen): building the window %.1f ms, FormCreate %.1f ms "
                "(reading the library of %d books %.1f ms, opening the book of %d pages %.1f ms), "
                "showing and first paint %.1f ms\n",
                build, create, shape.books, library, shape.openBookPages, book, paint);
}

// Processor time the process spends in `ms` milliseconds, in milliseconds per second.
double CpuMsPerSecond(pid_t pid, int ms)
{
    auto ticks = [pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // Fields after the command name, which ends with the last ")": state is field 3, utime 14.
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long long user = 0, system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14)
                user = std::stoll(field);
            if (i == 15)
                system = std::stoll(field);
        }
        return user + system;
    };
    const long long before = ticks();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    const long long after = ticks();
    return double(after - before) * 1000.0 / double(::sysconf(_SC_CLK_TCK)) * 1000.0 / ms;
}

void StartUp(const std::string& builtProgram, const std::string& floorProgram)
{
    if (!std::getenv("DISPLAY")) {
        std::printf("start-up: skipped, no X server (scripts/bench runs this under xvfb-run)\n");
        return;
    }
    constexpr int kStarts = 5;
    XServer x;
    TempFolder root;
    const ProgramHome home = MakeProgramHome(root.path(), builtProgram);
    LibraryShape shape;
    shape.books = 100;
    shape.openBook = 42;
    shape.openBookPages = 1000;
    shape.otherPages = 5;
    shape.lastIndex = 500;
    WriteLibrary(home.personal, shape);
    const std::vector<std::string> env = ChildEnvironment(home);

    // One start of each first: font caches and the program's first-run files.
    MeasureStart(x, home.program, env);
    MeasureStart(x, floorProgram, env);
    std::vector<double> mapped, painted, floorMapped, floorPainted;
    for (int i = 0; i < kStarts; ++i) {
        const StartTimes kavio = MeasureStart(x, home.program, env);
        if (kavio.name != "Kavio")
            Fail("the first window of the program was \"" + kavio.name + "\", not the main window");
        mapped.push_back(kavio.mapped);
        painted.push_back(kavio.painted);
        const StartTimes bare = MeasureStart(x, floorProgram, env);
        floorMapped.push_back(bare.mapped);
        floorPainted.push_back(bare.painted);
    }
    PrintFigure("start-up to first painted frame (100 books, open book 1000 pages)", Median(painted),
                Median(floorPainted), "ms", "<= 1.5x");
    PrintFigure("start-up to window mapped", Median(mapped), Median(floorMapped), "ms", "none set, a breakdown");
    PrintStartUpParts(shape);

    // A window with nothing to do must not keep the processor busy.
    double idle = 0, floorIdle = 0;
    MeasureStart(x, home.program, env, [&](pid_t pid) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        idle = CpuMsPerSecond(pid, 2000);
    });
    MeasureStart(x, floorProgram, env, [&](pid_t pid) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        floorIdle = CpuMsPerSecond(pid, 2000);
    });
    std::printf("processor time of the shown window while nothing happens: %.1f ms/s  floor %.1f ms/s  "
                "(goal: about the floor's, a few ms/s)\n", idle, floorIdle);
}

}  // namespace

int main(int argc, char* argv[])
{
    // --program PATH measures another build of the program than the one beside this benchmark;
    // --floor PATH starts another floor program.
    std::string program = KAVIO_PROGRAM;
    std::string floor = FLOOR_PROGRAM;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--program")
            program = argv[i + 1];
        if (std::string(argv[i]) == "--floor")
            floor = argv[i + 1];
    }
    // This process draws nowhere; the programs started for the start-up figure get the X server.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    {
        FormFixture fixture;
        Keystrokes(fixture);
        Idle(fixture);
    }
    StartUp(program, floor);
    return 0;
}
