#include "tools/process_runner.h"

#include "base/codepage.h"
#include "qt/text_codec.h"
#include "tools/tool_entry.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <memory>

#include <unistd.h>

namespace kavio::qt {

namespace {

constexpr int kPollStepMs = 1000;
constexpr int kIdleStepMs = 10;

// Prepares a QProcess for a command line; false when the line names no program.
bool SetCommand(QProcess& process, const std::string& commandLine)
{
    QStringList parts = SplitCommandLine(commandLine);
    if (parts.isEmpty())
        return false;
    process.setProgram(parts.takeFirst());
    process.setArguments(parts);
    process.setStandardInputFile(QProcess::nullDevice());
    return true;
}

// QProcess does not pass on the reason exec failed; find the usual ones, so the report names
// the system's error as a failed start always has.
int StartErrorCode(const QString& program)
{
    if (program.isEmpty())
        return ENOENT;
    if (!program.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(program).isEmpty() ? ENOENT : ENOEXEC;
    const QByteArray native = QFile::encodeName(program);
    if (::access(native.constData(), F_OK) != 0)
        return errno;
    if (QFileInfo(program).isDir() || ::access(native.constData(), X_OK) != 0)
        return EACCES;
    return ENOEXEC;
}

void PollUntilFinished(QProcess& process, const std::string& commandLine, const TStartWaitProc& waitProc,
                       bool& cancelled)
{
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning) {
        if (process.waitForFinished(kPollStepMs))
            break;
        if (waitProc) {
            waitProc(commandLine, clock.elapsed(), process.processId(), cancelled);
            if (cancelled)
                return;
        }
        QCoreApplication::processEvents();
    }
}

}  // namespace

QStringList SplitCommandLine(const std::string& commandLine)
{
    return QProcess::splitCommand(FromCp(commandLine));
}

bool StartProcess(const std::string& program, const std::string& parameters, const TStartWaitProc& waitProc,
                  TStartWait wait)
{
    const std::string commandLine = ToolCommandLine(program, parameters);
    auto process = std::make_unique<QProcess>();
    if (!SetCommand(*process, commandLine))
        return false;

    if (wait == TStartWait::swNone || wait == TStartWait::swInputIdle)
        return process->startDetached();

    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    if (!process->waitForStarted(-1))
        return false;

    if (wait == TStartWait::swInfinite) {
        process->waitForFinished(-1);
        return true;
    }

    bool cancelled = false;
    PollUntilFinished(*process, commandLine, waitProc, cancelled);
    if (cancelled && process->state() != QProcess::NotRunning) {
        // Destroying a QProcess would kill the child: let it go on and clean up after its end.
        QProcess* running = process.release();
        QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
    }
    return true;
}

void TCUIRedirect::RunToString(const std::string& program, const std::string& parameters, std::string& output,
                               const TRedirectIdleProc& onIdle)
{
    m_errorOutput.clear();
    m_exitCode = -1;
    output.clear();

    const std::string commandLine = ToolCommandLine(program, parameters);
    QProcess process;
    if (!SetCommand(process, commandLine))
        throw ESystemError(ENOENT, cp932::ToUtf8(commandLine));
    process.start();
    if (!process.waitForStarted(-1))
        throw ESystemError(StartErrorCode(process.program()), process.program().toStdString());

    auto collect = [&] {
        const QByteArray out = process.readAllStandardOutput();
        output.append(out.constData(), size_t(out.size()));
        const QByteArray err = process.readAllStandardError();
        m_errorOutput.append(err.constData(), size_t(err.size()));
    };
    if (onIdle)
        onIdle(*this);
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(kIdleStepMs);
        collect();
        if (onIdle)
            onIdle(*this);
    }
    collect();

    if (process.exitStatus() == QProcess::NormalExit)
        m_exitCode = process.exitCode();
    if (!m_errorOutput.empty())
        throw EProcessError(DecodeToolOutput(m_errorOutput).toStdString());
}

QString DecodeToolOutput(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return utf8.hasError() ? FromCp(bytes) : text;
}

bool ShellOpen(const std::string& path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QString text = FromCp(path);
    if (text.isEmpty())
        return false;
    const QUrl url = scheme.match(text).hasMatch() ? QUrl(text)
                                                   : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

}  // namespace kavio::qt
