#include "tools/process_runner.h"

#include "support/temp_dir.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <cerrno>
#include <filesystem>

using namespace kavio;
using namespace kavio::qt;

namespace {

const std::string kChild = TOOL_TEST_CHILD;

// What the child's "--out N" writes.
QByteArray Pattern(int count)
{
    QByteArray bytes;
    bytes.reserve(count);
    for (int k = 0; k < count; ++k)
        bytes += (k % 100 == 99) ? '\n' : char('0' + k % 10);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return QFile::exists(QString::fromStdString(path));
}

}  // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class ProcessRunnerTest : public QObject {
    Q_OBJECT

private slots:
    void capture_data();
    void capture();
    void standardErrorEndsTheRun();
    void startFailureIsReported();
    void textNeverReachesAShell();
    void programPathWithSpaces();
    void startWaitsAsAsked_data();
    void startWaitsAsAsked();
    void pollProcessesEventsAndCallsBack();
    void pollCancelLeavesTheChildRunning();
    void startFailureReturnsFalse_data();
    void startFailureReturnsFalse();
    void shellOpenPassesUrls();
    void decodesOutput();
};

void ProcessRunnerTest::capture_data()
{
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("nothing") << "" << QByteArray() << 0;
    // More than any pipe buffer holds: complete and in order.
    QTest::newRow("large") << "--out 1000000" << Pattern(1000000) << 0;
    // Ends at once after writing, without any flush of its own.
    QTest::newRow("ends right after writing") << "--out 70000 --exit 3" << Pattern(70000) << 3;
    // Standard input is at its end from the start: no hang.
    QTest::newRow("reads stdin") << "--stdin" << QByteArray("stdin:0\n") << 0;
    QTest::newRow("quoted argument") << "--argv \"a  b\" c" << QByteArray("a  b\nc\n") << 0;
}

void ProcessRunnerTest::capture()
{
    QFETCH(QString, parameters);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);

    TCUIRedirect runner;
    std::string output = "stale";
    int idleCalls = 0;
    runner.RunToString(kChild, parameters.toStdString(), output, [&](TCUIRedirect&) { ++idleCalls; });
    QCOMPARE(QByteArray::fromStdString(output), expected);
    QCOMPARE(runner.ExitCode(), exitCode);
    QVERIFY(idleCalls > 0);
}

void ProcessRunnerTest::standardErrorEndsTheRun()
{
    TCUIRedirect runner;
    std::string output;
    try {
        runner.RunToString(kChild, "--print out --err \"bad line\" --print after", output);
        QFAIL("no error raised");
    } catch (const EProcessError& e) {
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("bad line\n"));
    }
    QCOMPARE(runner.ErrorOutput(), std::string("bad line\n"));
}

void ProcessRunnerTest::startFailureIsReported()
{
    TCUIRedirect runner;
    std::string output;
    for (const std::string& program : {std::string("/nonexistent/kavio-tool"), std::string("kavio-no-such-tool")}) {
        try {
            runner.RunToString(program, "", output);
            QFAIL("no error raised");
        } catch (const ESystemError& e) {
            QCOMPARE(e.code(), ENOENT);
            QVERIFY(QString::fromStdString(e.what()).startsWith(QStringLiteral("システムエラー。コード：2.")));
        }
    }
}

// Page text in the arguments must arrive as plain arguments: no command substitution, no
// command separators, no variables. "表示" (95 5C 8E A6) arrives as the child's own text.
void ProcessRunnerTest::textNeverReachesAShell()
{
    test::TempDir dir;
    const std::string x = dir / "x", y = dir / "y", z = dir / "z";
    const std::string parameters =
        "--argv \"$(touch " + x + ")\" ; touch " + y + " && `touch " + z + "` $HOME \x95\x5C\x8E\xA6";
    std::string output;
    TCUIRedirect runner;
    runner.RunToString(kChild, parameters, output);
    const std::string expected = "$(touch " + x + ")\n;\ntouch\n" + y + "\n&&\n`touch\n" + z + "`\n$HOME\n表示\n";
    QCOMPARE(QString::fromStdString(output), QString::fromStdString(expected));
    QVERIFY(!FileExists(x) && !FileExists(y) && !FileExists(z));

    QVERIFY(StartProcess(kChild, "--argv ; touch " + y, {}, TStartWait::swInfinite));
    QVERIFY(!FileExists(y));
}

// Quotes keep a path with blanks together; without them the blank separates the arguments.
void ProcessRunnerTest::programPathWithSpaces()
{
    test::TempDir dir;
    const std::string program = dir / "a folder/the child";
    std::filesystem::create_directories(dir / "a folder");
    std::filesystem::copy_file(kChild, program);

    TCUIRedirect runner;
    std::string output;
    runner.RunToString("\"" + program + "\"", "--print ok", output);
    QCOMPARE(output, std::string("ok\n"));
    QVERIFY_THROWS_EXCEPTION(ESystemError, runner.RunToString(program, "--print ok", output));
}

void ProcessRunnerTest::startWaitsAsAsked_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("waits");
    QTest::newRow("swNone") << int(TStartWait::swNone) << false;
    QTest::newRow("swInputIdle") << int(TStartWait::swInputIdle) << false;
    QTest::newRow("swInfinite") << int(TStartWait::swInfinite) << true;
    QTest::newRow("swPoll") << int(TStartWait::swPoll) << true;
}

// A waiting start returns only after the child has ended; a plain one at once, and the child
// still runs to its end. Standard input is empty, so "--stdin" does not hold the child up.
void ProcessRunnerTest::startWaitsAsAsked()
{
    QFETCH(int, mode);
    QFETCH(bool, waits);
    test::TempDir dir;
    const std::string done = dir / "done";
    QElapsedTimer clock;
    clock.start();
    QVERIFY(StartProcess(kChild, "--stdin --sleep 1200 --touch \"" + done + "\"", {}, TStartWait(mode)));
    QCOMPARE(FileExists(done), waits);
    if (!waits)
        QVERIFY(clock.elapsed() < 1000);
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(done), 10000);
}

void ProcessRunnerTest::pollProcessesEventsAndCallsBack()
{
    test::TempDir dir;
    const std::string done = dir / "done";
    bool timerFired = false;
    QTimer::singleShot(100, this, [&] { timerFired = true; });
    QList<qint64> elapsed;
    const std::string parameters = "--sleep 2300 --touch " + done;
    const auto callback = [&](const std::string& commandLine, int64_t ms, int64_t pid, bool&) {
        QCOMPARE(commandLine, kChild + " " + parameters);
        QVERIFY(pid > 0);
        elapsed.append(ms);
    };
    QVERIFY(StartProcess(kChild, parameters, callback, TStartWait::swPoll));
    QVERIFY(FileExists(done));
    QVERIFY(timerFired);
    // About once a second: after one and two seconds (a third only on a very slow machine).
    QVERIFY(elapsed.size() >= 2 && elapsed.size() <= 3);
    QVERIFY(elapsed[0] >= 1000 && elapsed[1] >= 2000);
}

void ProcessRunnerTest::pollCancelLeavesTheChildRunning()
{
    test::TempDir dir;
    const std::string done = dir / "done";
    const auto cancelAtOnce = [](const std::string&, int64_t, int64_t, bool& cancel) { cancel = true; };
    QVERIFY(StartProcess(kChild, "--sleep 2000 --touch " + done, cancelAtOnce, TStartWait::swPoll));
    QVERIFY(!FileExists(done));
    QTRY_VERIFY_WITH_TIMEOUT(FileExists(done), 10000);
}

void ProcessRunnerTest::startFailureReturnsFalse_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("mode");
    for (int mode = 0; mode < 4; ++mode) {
        QTest::addRow("missing, mode %d", mode) << "/nonexistent/kavio-tool" << mode;
        QTest::addRow("empty, mode %d", mode) << "" << mode;
    }
}

void ProcessRunnerTest::startFailureReturnsFalse()
{
    QFETCH(QString, program);
    QFETCH(int, mode);
    QVERIFY(!StartProcess(program.toStdString(), "", {}, TStartWait(mode)));
}

// Paths become file URLs (blanks and code-page text intact), URLs stay URLs.
void ProcessRunnerTest::shellOpenPassesUrls()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QVERIFY(ShellOpen("/tmp/a b/\x95\x5C.txt"));
    QVERIFY(ShellOpen("https://example.org/a?b=1"));
    QVERIFY(!ShellOpen(""));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls[0], QUrl::fromLocalFile(QStringLiteral("/tmp/a b/表.txt")));
    QCOMPARE(catcher.urls[1], QUrl(QStringLiteral("https://example.org/a?b=1")));
}

// UTF-8 from ordinary programs, code-page bytes passed on from a "$TEXT" file.
void ProcessRunnerTest::decodesOutput()
{
    QCOMPARE(DecodeToolOutput("\xE8\xA1\xA8 ok"), QStringLiteral("表 ok"));
    QCOMPARE(DecodeToolOutput("\x95\x5C ok"), QStringLiteral("表 ok"));
    QCOMPARE(DecodeToolOutput(""), QString());
}

QTEST_MAIN(ProcessRunnerTest)
#include "process_runner_test.moc"
