#pragma once

#include "base/error.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

// Starting child programs for the tools and the "open" commands. A command line is the program,
// then one space and the parameters when there are any (code-page bytes, not quoted or escaped).
// It is split into program and arguments by QProcess::splitCommand: blanks separate arguments,
// double quotes group them ("" inside quotes is one quote). No shell ever sees it, so text from a
// page can add arguments but can never run as a command.
namespace kavio::qt {

enum class TStartWait : uint8_t {
    swNone,       // start and return
    // Waiting until a child is ready for input has no counterpart here: the child is started
    // like swNone, and the call returns once the program has been executed.
    swInputIdle,
    swInfinite,   // wait until the child ends, processing no events
    swPoll,       // wait in steps of a second, processing pending events between them
};

// Called by swPoll after each second of waiting with the command line, the milliseconds since
// the start and the child's process id. Setting `cancel` stops the waiting; the child runs on.
using TStartWaitProc =
    std::function<void(const std::string& commandLine, int64_t elapsedMs, int64_t pid, bool& cancel)>;

// Starts a child with the caller's environment and folder; its standard input is empty, its
// output and errors go where the program's own go. Returns false, reporting nothing, when the
// command line is empty or the program cannot be started.
bool StartProcess(const std::string& program, const std::string& parameters,
                  const TStartWaitProc& waitProc = {}, TStartWait wait = TStartWait::swNone);

// The error of a capture run whose child wrote to its standard error; the message is that text.
class EProcessError : public EKavioError {
public:
    using EKavioError::EKavioError;
};

// Runs a console program to its end and collects its standard output. The child's standard
// input is at its end from the start, so a child that reads it does not wait for ever.
class TCUIRedirect {
public:
    // Called about every 10 ms while the child runs.
    using TRedirectIdleProc = std::function<void(TCUIRedirect& runner)>;

    // Blocks until the child has ended; `output` receives its standard output byte for byte.
    // Throws ESystemError when the program cannot be started, and EProcessError (with the text
    // decoded by DecodeToolOutput) when the child wrote anything to its standard error; output
    // collected so far is then still in `output` but is not the caller's to use.
    void RunToString(const std::string& program, const std::string& parameters, std::string& output,
                     const TRedirectIdleProc& onIdle = {});

    // What the last run wrote to its standard error, byte for byte.
    const std::string& ErrorOutput() const { return m_errorOutput; }
    // The last run's exit code; -1 when it crashed or has not run.
    int ExitCode() const { return m_exitCode; }

private:
    std::string m_errorOutput;
    int m_exitCode = -1;
};

// A child's output as text. Programs here write UTF-8; a tool that passes on the code-page bytes
// of a "$TEXT" file writes code-page bytes instead, so output that is not valid UTF-8 is read as
// the code page.
QString DecodeToolOutput(const std::string& bytes);

// Opens a file, folder or URL with the desktop's default application. A text with a scheme
// ("https:", "mailto:") is a URL, anything else a local path (code-page bytes). Returns whether
// the desktop accepted it; callers may ignore it.
bool ShellOpen(const std::string& path);

// The program and arguments of a command line, as StartProcess and TCUIRedirect split it.
QStringList SplitCommandLine(const std::string& commandLine);

}  // namespace kavio::qt
