// Opening a book and loading the library, each against plainly reading the same files, and the
// memory a loaded book takes. Every figure is printed beside its floor measured in the same run.
#include "base/codepage.h"
#include "base/line_file.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kavio;

namespace {

constexpr int kPages = 10000;
constexpr int kBooks = 1000;
constexpr int kRuns = 7;

double Milliseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Reads every file completely with open/read/close: the floor of any reader of these files.
size_t ReadPlainly(const std::vector<std::string>& paths)
{
    static char buffer[65536];
    size_t total = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            std::abort();
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            total += static_cast<size_t>(n);
        ::close(fd);
    }
    return total;
}

long ResidentBytes()
{
    long size = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &size, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Runs the measured work and its floor alternately, several times each, after one warming run.
void Compare(const char* what, const std::function<void()>& work, const std::function<void()>& floor)
{
    work();
    floor();
    std::vector<double> times, floors;
    for (int i = 0; i < kRuns; ++i) {
        times.push_back(Milliseconds(work));
        floors.push_back(Milliseconds(floor));
    }
    const double t = Median(times), f = Median(floors);
    std::printf("%s: %.1f ms (floor %.1f ms, %.2fx)\n", what, t, f, t / f);
}

std::string PageText(int n)
{
    Lines lines = {"; Kavio Page File", "Title=" + "ページ"_sj + std::to_string(n), "Priority=" + std::to_string(n % 5 + 1),
                   "RowMarks=1=10;4=11", "[EOH]"};
    while (JoinLines(lines).size() < 2048)
        lines.push_back("memo line " + std::to_string(lines.size()) + " " + std::string(40, 'x'));
    return JoinLines(lines);
}

}  // namespace

int main()
{
    std::string folder = (std::filesystem::temp_directory_path() / "kavio-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    folder += "/";

    // A book of 10,000 pages of about 2 KB each.
    std::vector<std::string> pagePaths;
    Lines bookLines = {"; Kavio Book File", "Title=Bench", "LastIndex=0", "[EOH]"};
    size_t textBytes = 0;
    for (int i = 0; i < kPages; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "mem%5X.memo", i + 1);
        pagePaths.push_back(folder + name);
        std::FILE* f = std::fopen(pagePaths.back().c_str(), "wb");
        const std::string text = PageText(i);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        bookLines.push_back(name);
    }
    WriteLines(folder + "bench.book", bookLines);
    pagePaths.push_back(folder + "bench.book");

    TBookData book;
    book.FileName = folder + "bench.book";
    book.Directory = folder;
    book.Title = "Bench";

    // Memory first, while the heap is fresh: records hold names and titles, never bodies.
    {
        ReadPlainly(pagePaths);
        const long before = ResidentBytes();
        TPageList pages;
        pages.LoadBook(&book);
        const long added = ResidentBytes() - before;
        for (int i = 0; i < pages.Count(); ++i)
            textBytes += pages.GetTitle(i).size() + pages.GetFileName(i).size();
        std::printf("Memory of a loaded %d-page book: %ld KB resident added (titles and names %zu KB, %.1fx; "
                    "page files %zu KB)\n",
                    kPages, added / 1024, textBytes / 1024, double(added) / double(textBytes),
                    size_t(kPages) * PageText(0).size() / 1024);
    }

    Compare("LoadBook 10000 pages",
            [&] {
                TPageList pages;
                pages.LoadBook(&book);
                if (pages.Count() != kPages)
                    std::abort();
            },
            [&] { ReadPlainly(pagePaths); });

    // A library of 1,000 books, each listing a few pages.
    std::vector<std::string> bookPaths;
    Lines listLines;
    for (int i = 0; i < kBooks; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "mem%5X.book", i + 1);
        Lines lines = {"; Kavio Book File", "Title=" + "ブック"_sj + std::to_string(i), "LastIndex=3", "ShortCut=Ctrl+B", "[EOH]"};
        for (int p = 0; p < 20; ++p)
            lines.push_back("page" + std::to_string(p) + ".memo");
        bookPaths.push_back(folder + name);
        WriteLines(bookPaths.back(), lines);
        listLines.push_back(name);
    }
    WriteLines(folder + "BookFileList.lst", listLines);
    bookPaths.push_back(folder + "BookFileList.lst");

    Compare("Library of 1000 books",
            [&] {
                TBookList books(nullptr, folder);
                if (books.Count() != kBooks)
                    std::abort();
            },
            [&] { ReadPlainly(bookPaths); });

    std::filesystem::remove_all(folder);
    return 0;
}
