#pragma once

// What the benchmarks share: timing and medians, temporary folders, realistic page text in the
// code page, a library written straight to disk in the program's file formats, and the real
// program started as a child process with a home folder of its own.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kavio::bench {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start);

template <typename Work>
double Milliseconds(Work&& work)
{
    const auto start = Clock::now();
    work();
    return MillisecondsSince(start);
}

double Median(std::vector<double> values);

// "name: 1.31 ms  floor 0.92 ms  (1.42x, goal <= 2x)". `goal` is the text after "goal ".
void PrintFigure(const std::string& what, double value, double floor, const char* unit,
                 const std::string& goal);

// Stops the benchmark with a message: a benchmark that measured something else than it claims
// must not print a figure. Child processes and temporary folders still alive are removed first.
[[noreturn]] void Fail(const std::string& message);

// A fresh folder under the system's temporary folder, removed with all it holds. path() ends
// with "/".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// About `bytes` bytes of memo text as a user writes it: Japanese sentences mixed with ASCII
// notes, URLs and code, in lines of 10 to 120 bytes joined by CR LF (no line end after the last).
std::string SampleText(size_t bytes, unsigned seed);

// A whole page file: marker, title, priority, end of header, the body with CR LF line ends.
std::string PageFile(const std::string& title, const std::string& body);

// A library in a personal folder: `books` books in "BookFileList.lst", all in the personal
// folder. Book `openBook` has `openBookPages` pages and opens on page `lastIndex`; every other
// book has `otherPages`. Pages hold SampleText of `pageBytes` bytes; when `openBookPageBytes` is
// given, the open book has one page of each of those sizes instead. The settings file makes the
// program remember and open book `openBook`, keeps it silent, and lets the API listen on
// `apiPort` (0: API off).
struct LibraryShape {
    int books = 1;
    int openBook = 0;
    int openBookPages = 1;
    int otherPages = 1;
    int lastIndex = 0;
    size_t pageBytes = 2048;
    std::vector<size_t> openBookPageBytes;
    int apiPort = 0;
};
void WriteLibrary(const std::string& personal, const LibraryShape& shape);

// A home folder for the real program under `root`: "home/Documents/Kavio" as the personal
// folder, a private runtime folder, and a copy of the program with its scheme folder in "app/",
// so that no location file of the build tree can send it to anyone's real notes.
struct ProgramHome {
    std::string home;      // $HOME
    std::string runtime;   // $XDG_RUNTIME_DIR
    std::string personal;  // the personal folder, with "/"
    std::string program;   // the copied executable
};
ProgramHome MakeProgramHome(const std::string& root, const std::string& builtProgram);

// The environment a child program runs in: the X display of this process, the home folder and
// runtime folder given, the xcb platform, a UTF-8 locale.
std::vector<std::string> ChildEnvironment(const ProgramHome& home);

// A child process, terminated (SIGTERM, then SIGKILL after 10 s) and reaped when it goes.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    bool Running();
    // SIGTERM, then waits for the end; SIGKILL when it has not ended after `graceMs`.
    void Stop(int graceMs = 10000);

private:
    pid_t m_pid = -1;
};

// A TCP port in 20000..32767 (the program's API takes ports up to 32767) that is free on every
// address at this moment.
int FreeLoopbackPort();

// A blocking TCP connection to 127.0.0.1 with Nagle's delay off, reading CR LF lines.
class LineClient {
public:
    explicit LineClient(int port);
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    void Send(const std::string& bytes);
    // The next line without its CR LF.
    std::string ReadLine();
    // Skips `count` lines; cheaper than ReadLine for replies that are not looked at.
    void SkipLines(int count);

private:
    bool Fill();
    int m_fd = -1;
    std::string m_buffer;
    size_t m_start = 0;
};

// Tries to connect until the port accepts or `timeoutMs` has passed.
bool WaitForListener(int port, int timeoutMs);

}  // namespace kavio::bench
