#include "bench_support.h"

#include "base/codepage.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kavio::bench {

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintFigure(const std::string& what, double value, double floor, const char* unit,
                 const std::string& goal)
{
    const int digits = value < 10 ? 3 : value < 100 ? 2 : 1;
    std::printf("%s: %.*f %s  floor %.*f %s  (%.2fx, goal %s)\n", what.c_str(), digits, value, unit,
                digits, floor, unit, floor > 0 ? value / floor : 0.0, goal.c_str());
    std::fflush(stdout);
}

namespace {

// What a failing benchmark leaves behind is cleaned up by Fail, which ends the process without
// running destructors.
std::vector<pid_t>& LiveChildren()
{
    static std::vector<pid_t> children;
    return children;
}

std::vector<std::string>& LiveFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

template <typename T>
void Forget(std::vector<T>& list, const T& value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

void Fail(const std::string& message)
{
    std::fprintf(stderr, "benchmark failed: %s\n", message.c_str());
    for (pid_t pid : LiveChildren()) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    for (const std::string& folder : LiveFolders()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::exit(1);
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kavio-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        Fail("cannot make a temporary folder: " + std::string(std::strerror(errno)));
    m_path = pattern + "/";
    LiveFolders().push_back(m_path);
}

TempFolder::~TempFolder()
{
    Forget(LiveFolders(), m_path);
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        Fail("cannot write " + path);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

const std::vector<std::string>& Fragments()
{
    static const std::vector<std::string> fragments = {
        "今日の打ち合わせは午後3時から第2会議室で行います。"_sj,
        "TODO: fix the build script before Friday"_sj,
        "・議事録をまとめて共有フォルダに置くこと"_sj,
        "参考: http://www.example.com/docs/index.html を確認"_sj,
        "買い物リスト：牛乳、卵、パン、コーヒー豆"_sj,
        "Phone 03-1234-5678 (内線 204) 田中さん"_sj,
        "来週の予定を確認する。締め切りは月末。"_sj,
        "if (count > 0) { total += count; }"_sj,
        "メールは taro@example.co.jp まで。"_sj,
        "見積書の金額 ￥128,000 を再確認"_sj,
        "- release notes v1.32 / changelog"_sj,
        "ソフトウェアの表示とポート番号の設定"_sj,
    };
    return fragments;
}

}  // namespace

std::string SampleText(size_t bytes, unsigned seed)
{
    const auto& fragments = Fragments();
    unsigned state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7fff;
    };
    std::string text;
    text.reserve(bytes + 128);
    while (text.size() < bytes) {
        if (!text.empty())
            text += "\r\n";
        std::string line;
        const unsigned parts = 1 + next() % 3;
        for (unsigned i = 0; i < parts; ++i) {
            if (!line.empty())
                line += ' ';
            line += fragments[next() % fragments.size()];
        }
        if (next() % 8 == 0)
            line.clear();  // paragraphs
        text += line;
    }
    return text;
}

std::string PageFile(const std::string& title, const std::string& body)
{
    return "; Kavio Page File\r\nTitle=" + title + "\r\nPriority=3\r\n[EOH]\r\n" + body +
           (body.empty() ? "" : "\r\n");
}

void WriteLibrary(const std::string& personal, const LibraryShape& shape)
{
    std::filesystem::create_directories(personal);
    std::string list;
    for (int b = 0; b < shape.books; ++b) {
        char bookName[32];
        std::snprintf(bookName, sizeof bookName, "book%03d.book", b);
        const bool open = b == shape.openBook;
        const bool sized = open && !shape.openBookPageBytes.empty();
        const int pages = sized ? static_cast<int>(shape.openBookPageBytes.size())
                                : open ? shape.openBookPages : shape.otherPages;
        std::string book = "; Kavio Book File\r\nTitle=" + "ブック"_sj + std::to_string(b) +
                           "\r\nLastIndex=" + std::to_string(open ? shape.lastIndex : 0) + "\r\n[EOH]\r\n";
        for (int p = 0; p < pages; ++p) {
            char pageName[32];
            std::snprintf(pageName, sizeof pageName, "b%03dp%04d.memo", b, p);
            const size_t bytes = sized ? shape.openBookPageBytes[static_cast<size_t>(p)] : shape.pageBytes;
            const std::string body = SampleText(bytes, static_cast<unsigned>(b * 10007 + p));
            WriteBytes(personal + pageName, PageFile("ページ"_sj + std::to_string(p), body));
            book += std::string(pageName) + "\r\n";
        }
        WriteBytes(personal + bookName, book);
        list += std::string(bookName) + "\r\n";
    }
    WriteBytes(personal + "BookFileList.lst", list);
    WriteBytes(personal + "Kavio.ini",
               "[Book]\r\nSaveBookIndex=1\r\nBookIndex=" + std::to_string(shape.openBook) +
                   "\r\n[KavioAPI]\r\nAcceptAPI=" + (shape.apiPort ? "1" : "0") +
                   "\r\nPortNumber=" + std::to_string(shape.apiPort ? shape.apiPort : 8200) +
                   "\r\n[Sounds]\r\nEnabledSound=0\r\n");
}

ProgramHome MakeProgramHome(const std::string& root, const std::string& builtProgram)
{
    namespace fs = std::filesystem;
    ProgramHome home;
    home.home = root + "home";
    home.runtime = root + "run";
    home.personal = home.home + "/Documents/Kavio/";
    fs::create_directories(home.home + "/Documents");
    fs::create_directories(home.runtime);
    fs::permissions(home.runtime, fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(root + "app");
    home.program = root + "app/kavio";
    fs::copy_file(builtProgram, home.program, fs::copy_options::overwrite_existing);
    const fs::path schemes = fs::path(builtProgram).parent_path() / "scheme";
    if (fs::is_directory(schemes))
        fs::copy(schemes, root + "app/scheme", fs::copy_options::recursive);
    return home;
}

std::vector<std::string> ChildEnvironment(const ProgramHome& home)
{
    std::vector<std::string> env = {
        "HOME=" + home.home,
        "XDG_RUNTIME_DIR=" + home.runtime,
        "QT_QPA_PLATFORM=xcb",
        "LANG=C.UTF-8",
        "USER=kavio-bench",
    };
    for (const char* name : {"PATH", "DISPLAY", "XAUTHORITY"}) {
        if (const char* value = std::getenv(name))
            env.push_back(std::string(name) + "=" + value);
    }
    return env;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment)
{
    std::vector<char*> args, env;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : environment)
        env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    if (const int rc = ::posix_spawn(&m_pid, args[0], nullptr, nullptr, args.data(), env.data()); rc != 0)
        Fail("cannot start " + argv[0] + ": " + std::strerror(rc));
    LiveChildren().push_back(m_pid);
}

ChildProcess::~ChildProcess()
{
    Stop();
}

bool ChildProcess::Running()
{
    if (m_pid < 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        Forget(LiveChildren(), m_pid);
        m_pid = -1;
        return false;
    }
    return true;
}

void ChildProcess::Stop(int graceMs)
{
    if (!Running())
        return;
    ::kill(m_pid, SIGTERM);
    const auto start = Clock::now();
    while (Running()) {
        if (MillisecondsSince(start) > graceMs) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            Forget(LiveChildren(), m_pid);
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int Connect(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int FreeLoopbackPort()
{
    // The program takes API ports up to 32767 only, below the system's ephemeral range.
    constexpr int kFirst = 20000, kLast = 32767;
    const int offset = static_cast<int>(::getpid()) % (kLast - kFirst + 1);
    for (int i = 0; i <= kLast - kFirst; ++i) {
        const int port = kFirst + (offset + i) % (kLast - kFirst + 1);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        // Bound on 127.0.0.1 only; the program listens on every address, so check that too.
        if (!free)
            continue;
        sockaddr_in any = address;
        any.sin_addr.s_addr = htonl(INADDR_ANY);
        const int fdAny = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool freeAny = ::bind(fdAny, reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0;
        ::close(fdAny);
        if (freeAny)
            return port;
    }
    Fail("no free port between 20000 and 32767");
}

bool WaitForListener(int port, int timeoutMs)
{
    const auto start = Clock::now();
    while (MillisecondsSince(start) < timeoutMs) {
        const int fd = Connect(port);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

LineClient::LineClient(int port) : m_fd(Connect(port))
{
    if (m_fd < 0)
        Fail("cannot connect to port " + std::to_string(port));
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

LineClient::~LineClient()
{
    ::close(m_fd);
}

void LineClient::Send(const std::string& bytes)
{
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Fail("send: " + std::string(std::strerror(errno)));
        sent += static_cast<size_t>(n);
    }
}

bool LineClient::Fill()
{
    if (m_start > 0 && m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    const size_t old = m_buffer.size();
    m_buffer.resize(old + 262144);
    ssize_t n;
    do {
        n = ::recv(m_fd, m_buffer.data() + old, 262144, 0);
    } while (n < 0 && errno == EINTR);
    m_buffer.resize(old + static_cast<size_t>(std::max<ssize_t>(n, 0)));
    return n > 0;
}

std::string LineClient::ReadLine()
{
    size_t scanned = m_start;
    for (;;) {
        const size_t end = m_buffer.find("\r\n", scanned);
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(m_start, end - m_start);
            m_start = end + 2;
            return line;
        }
        // Only the last byte can still begin a line end; drop what was read before the line.
        scanned = m_buffer.size() > m_start ? m_buffer.size() - 1 - m_start : 0;
        m_buffer.erase(0, m_start);
        m_start = 0;
        if (!Fill())
            Fail("the connection closed while a reply was awaited");
    }
}

void LineClient::SkipLines(int count)
{
    while (count > 0) {
        const size_t end = m_buffer.find("\r\n", m_start);
        if (end != std::string::npos) {
            m_start = end + 2;
            --count;
            continue;
        }
        // Keep a CR that may be the first half of the next line end.
        if (m_start < m_buffer.size() && m_buffer.back() == '\r')
            m_buffer = "\r";
        else
            m_buffer.clear();
        m_start = 0;
        if (!Fill())
            Fail("the connection closed while replies were awaited");
    }
}

}  // namespace kavio::bench
