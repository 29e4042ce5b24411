// Plays generated wave files through the real desktop sound output into a private PulseAudio
// server whose only sink is a null sink, records the sink's monitor with parec and checks what
// arrived: a sustained tone of the right pitch and length, and a cut-off first sound when a
// second event sound follows it.
//
// Every external step has a hard time limit, and the children die with this process
// (PR_SET_PDEATHSIG), so a stuck server or recorder can neither hang the test nor outlive it.
// The test skips only when no PulseAudio server can be started on this machine.

#include "desktop/play_sound.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace kavio;
using kavio::test::TempDir;
using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr const char* kSink = "ci_sink";

// --- Wave files and their measurement ---------------------------------------------------------

struct Tone {
    double hertz;
    double seconds;
};

// A 16-bit stereo PCM wave file: `lead` seconds of silence, the tone at half of full scale, then
// `tail` seconds of silence. Silence before the tone means that milliseconds lost at the start of
// a stream are lost from the silence and not from the tone.
std::string MakeWave(Tone tone, double lead = 0.15, double tail = 0.15)
{
    std::vector<int16_t> samples;
    const auto silence = [&](double seconds) {
        samples.insert(samples.end(), static_cast<size_t>(seconds * kRate) * kChannels, 0);
    };
    silence(lead);
    const int frames = static_cast<int>(tone.seconds * kRate);
    for (int i = 0; i < frames; ++i) {
        const double value = 16384.0 * std::sin(2.0 * std::numbers::pi * tone.hertz * i / kRate);
        for (int c = 0; c < kChannels; ++c)
            samples.push_back(static_cast<int16_t>(std::lround(value)));
    }
    silence(tail);

    std::string wave;
    const auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wave.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    };
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    wave += "RIFF";
    put(36 + dataBytes, 4);
    wave += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // PCM
    put(kChannels, 2);
    put(kRate, 4);
    put(kRate * kChannels * 2, 4);
    put(kChannels * 2, 2);
    put(16, 2);
    wave += "data";
    put(dataBytes, 4);
    for (int16_t s : samples)
        put(static_cast<uint16_t>(s), 2);
    return wave;
}

// The recording (stereo mixed to mono), cut into 50 ms windows. Both test tones fit a whole
// number of periods into a window.
constexpr double kWindowSeconds = 0.05;
constexpr double kLoud = 3000.0;  // the tones' RMS is about 11600; the null sink's silence is 0

using Window = std::vector<double>;

std::vector<Window> Analyse(const std::string& raw)
{
    const size_t frameBytes = 2 * kChannels;
    const size_t size = static_cast<size_t>(kWindowSeconds * kRate);
    std::vector<Window> windows(1);
    for (size_t at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        double sum = 0;
        for (size_t c = 0; c < kChannels; ++c) {
            const auto lo = static_cast<uint8_t>(raw[at + 2 * c]);
            const auto hi = static_cast<uint8_t>(raw[at + 2 * c + 1]);
            sum += static_cast<int16_t>(static_cast<uint16_t>(lo | hi << 8));
        }
        if (windows.back().size() == size)
            windows.emplace_back();
        windows.back().push_back(sum / kChannels);
    }
    if (windows.back().size() < size)
        windows.pop_back();
    return windows;
}

double Rms(const Window& w)
{
    double energy = 0;
    for (double x : w)
        energy += x * x;
    return std::sqrt(energy / w.size());
}

// The share of the window's energy that lies at `hertz` (Goertzel): about 1 for a window full of
// that tone, about the covered fraction for a window the tone only partly fills, and near 0 for
// silence, another tone or the same tone played noticeably too fast or too slow.
double ShareAt(const Window& w, double hertz)
{
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hertz / kRate);
    double s1 = 0, s2 = 0, energy = 0;
    for (double x : w) {
        const double s0 = x + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
        energy += x * x;
    }
    if (energy == 0)
        return 0;
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * power / (w.size() * energy);
}

bool IsTone(const Window& w, double hertz)
{
    return Rms(w) > kLoud && ShareAt(w, hertz) >= 0.5;
}

double SecondsOf(const std::vector<Window>& windows, double hertz)
{
    return std::count_if(windows.begin(), windows.end(), [&](const Window& w) { return IsTone(w, hertz); }) *
           kWindowSeconds;
}

double LoudSeconds(const std::vector<Window>& windows)
{
    return std::count_if(windows.begin(), windows.end(), [](const Window& w) { return Rms(w) > kLoud; }) *
           kWindowSeconds;
}

// The pitch of each loud window by its zero crossings, "." for a quiet one: the failure messages.
std::string Describe(const std::vector<Window>& windows)
{
    std::string text;
    for (const Window& w : windows) {
        if (Rms(w) <= kLoud) {
            text += ". ";
            continue;
        }
        int crossings = 0;
        for (size_t i = 1; i < w.size(); ++i)
            crossings += (w[i - 1] < 0) != (w[i] < 0);
        text += std::to_string(std::lround(crossings / kWindowSeconds / 2)) + " ";
    }
    return text;
}

// --- External programs --------------------------------------------------------------------------

// Children of this test die with it, whatever way it ends.
void DieWithParent(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

struct RunResult {
    bool ok = false;
    QString output;
};

// Runs a program to its end within `limit`; a program still running then is killed.
RunResult RunTool(const QString& program, const QStringList& args, std::chrono::milliseconds limit = 5s)
{
    QProcess process;
    DieWithParent(process);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted(static_cast<int>(limit.count())))
        return {false, program + ": " + process.errorString()};
    if (!process.waitForFinished(static_cast<int>(limit.count()))) {
        process.kill();
        process.waitForFinished(1000);
        return {false, program + " " + args.join(' ') + ": no answer within the time limit"};
    }
    const QString output = QString::fromLocal8Bit(process.readAll());
    return {process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output};
}

// A PulseAudio server of this test alone: a private runtime folder, home and socket, no default
// script, one null sink and no idle exit. The sound output in this process, pactl and parec
// reach it through PULSE_SERVER; autospawn is off so that no client starts a server of its own.
class PulseServer {
public:
    // Empty when the server runs; otherwise why it could not be started.
    std::string Start()
    {
        ::chmod(m_dir.path().c_str(), 0700);
        const std::string runtime = m_dir / "runtime";
        const std::string home = m_dir / "home";
        ::mkdir(runtime.c_str(), 0700);
        ::mkdir(home.c_str(), 0700);
        kavio::test::WriteRaw(m_dir / "client.conf", "autospawn = no\n");
        m_socket = m_dir / "native";
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + m_socket).c_str(), 1);
        ::setenv("PULSE_CLIENTCONFIG", (m_dir / "client.conf").c_str(), 1);
        ::unsetenv("PULSE_SINK");
        ::unsetenv("PULSE_SOURCE");

        DieWithParent(m_daemon);
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        // "--system=false" and no daemonizing: it runs as an ordinary per-user server even when
        // the test runs as root, and stays our child so that we can end it.
        m_daemon.start("pulseaudio",
                       {"-n", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                        "--use-pid-file=no", "--disable-shm=yes", "--realtime=no",
                        "--high-priority=no", "--log-target=stderr",
                        QString::fromStdString("--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket),
                        QString("--load=module-null-sink sink_name=%1 rate=%2 channels=%3")
                            .arg(kSink).arg(kRate).arg(kChannels)});
        if (!m_daemon.waitForStarted(5000))
            return "pulseaudio cannot be started: " + m_daemon.errorString().toStdString();

        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (m_daemon.waitForFinished(200))
                return "pulseaudio ended at start: " + m_daemon.readAll().toStdString();
            if (RunTool("pactl", {"info"}, 2s).ok) {
                m_running = true;
                break;
            }
        }
        if (!m_running)
            return "pulseaudio did not answer within 15 s: " + m_daemon.readAll().toStdString();
        return {};
    }

    ~PulseServer()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }

    bool Running() const { return m_running; }
    std::string Folder() const { return m_dir.path(); }

private:
    TempDir m_dir;
    std::string m_socket;
    QProcess m_daemon;
    bool m_running = false;
};

// parec on the null sink's monitor, writing raw frames into a file. It asks for small fragments
// (20 ms): with the default size the server hands over seconds at a time, and whatever it still
// holds when parec is stopped is lost.
class Recorder {
public:
    explicit Recorder(std::string file) : m_file(std::move(file)) {}
    ~Recorder()
    {
        if (m_parec.state() != QProcess::NotRunning) {
            m_parec.kill();
            m_parec.waitForFinished(3000);
        }
    }

    // Returns when frames arrive in the file; false after 5 s without any. A stream that is
    // connected is not yet recording: the null sink renders in blocks of up to two seconds while
    // nobody asks for a lower latency, and parec's first frames come only when the block that
    // was running when it connected has ended. A tone played before then would be lost.
    bool Start()
    {
        DieWithParent(m_parec);
        m_parec.setStandardOutputFile(QString::fromStdString(m_file));
        m_parec.start("parec", {"-d", QString(kSink) + ".monitor", "--raw", "--format=s16le",
                                QString("--rate=%1").arg(kRate), QString("--channels=%1").arg(kChannels),
                                "--latency-msec=20"});
        if (!m_parec.waitForStarted(5000))
            return false;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            std::error_code ec;
            if (std::filesystem::file_size(m_file, ec) > 0 && !ec) {
                std::this_thread::sleep_for(100ms);
                return true;
            }
            if (m_parec.waitForFinished(20))
                return false;
        }
        return false;
    }

    // Stops parec with SIGINT, the way it flushes and closes its output; the raw frames recorded.
    std::optional<std::string> Stop()
    {
        ::kill(static_cast<pid_t>(m_parec.processId()), SIGINT);
        if (!m_parec.waitForFinished(5000))
            return std::nullopt;
        return kavio::test::ReadRaw(m_file);
    }

private:
    std::string m_file;
    QProcess m_parec;
};

class SoundServer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "sound_server_test";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
        s_server = new PulseServer;
        s_skipReason = s_server->Start();
        if (!s_server->Running())
            return;
        // A running server that refuses this is a failure, not a reason to skip.
        const RunResult sink = RunTool("pactl", {"set-default-sink", kSink});
        s_setupError = sink.ok ? std::string() : sink.output.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        if (!s_server->Running())
            GTEST_SKIP() << s_skipReason;
        ASSERT_TRUE(s_setupError.empty()) << "pactl set-default-sink: " << s_setupError;
        m_recorder = std::make_unique<Recorder>(s_server->Folder() + "rec.raw");
        ASSERT_TRUE(m_recorder->Start()) << "parec did not start recording within 5 s";
    }

    std::vector<Window> StopRecording()
    {
        const std::optional<std::string> raw = m_recorder->Stop();
        if (!raw) {
            ADD_FAILURE() << "parec did not stop on SIGINT within 5 s";
            return {};
        }
        return Analyse(*raw);
    }

    std::string WriteWave(const std::string& name, Tone tone)
    {
        const std::string path = s_server->Folder() + name;
        kavio::test::WriteRaw(path, MakeWave(tone));
        return path;
    }

    static inline PulseServer* s_server = nullptr;
    static inline std::string s_skipReason;
    static inline std::string s_setupError;
    std::unique_ptr<Recorder> m_recorder;
};

}  // namespace

// Catches a test sound that is not played at all, played cut short, played twice, or at the
// wrong speed, and a waiting call that returns before the sound has ended.
TEST_F(SoundServer, WaitingTestSoundPlaysTheWholeTone)
{
    const Tone tone{440, 0.6};
    const std::string wave = WriteWave("tone.wav", tone);
    auto sounds = std::make_shared<TPlaySound>(MakeDesktopSoundOutput());

    const auto started = std::chrono::steady_clock::now();
    // The output bounds its own wait; this bound only turns a hang into a clear failure.
    auto played = std::async(std::launch::async, [sounds, wave] { return sounds->PlayTestSound(wave, true); });
    ASSERT_EQ(played.wait_for(20s), std::future_status::ready) << "PlayTestSound(wait) did not return";
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_TRUE(played.get());
    EXPECT_GE(waited, tone.seconds) << "returned before the sound had ended";

    std::this_thread::sleep_for(300ms);
    const std::vector<Window> windows = StopRecording();
    const double seconds = SecondsOf(windows, tone.hertz);
    EXPECT_GE(seconds, 0.8 * tone.seconds) << Describe(windows);
    EXPECT_LE(LoudSeconds(windows), tone.seconds + 0.1) << Describe(windows);
}

// Catches an event sound that does not cut off the one still playing (both would sound to the
// end: 3 s of the first tone) and a second sound that is swallowed by the cut. libcanberra's
// ALSA driver fails this (its cancel leaves the sound playing); its PulseAudio driver passes.
TEST_F(SoundServer, NextEventSoundCutsOffThePrevious)
{
    const Tone first{440, 3.0};
    const Tone second{1000, 0.5};
    TPlaySound sounds(MakeDesktopSoundOutput());
    sounds.AddEvent("OnHotkey").FileName = WriteWave("first.wav", first);
    sounds.AddEvent("OnHide").FileName = WriteWave("second.wav", second);
    sounds.Enabled = true;

    sounds.Play("OnHotkey");
    std::this_thread::sleep_for(600ms);
    sounds.Play("OnHide");
    std::this_thread::sleep_for(1500ms);

    const std::vector<Window> windows = StopRecording();
    const double firstSeconds = SecondsOf(windows, first.hertz);
    EXPECT_GE(firstSeconds, 0.15) << "the first sound never played: " << Describe(windows);
    EXPECT_LE(firstSeconds, 1.0) << "the first sound was not cut off: " << Describe(windows);
    EXPECT_GE(SecondsOf(windows, second.hertz), 0.8 * second.seconds) << Describe(windows);
    EXPECT_LE(LoudSeconds(windows), 1.5) << Describe(windows);
    // Nothing of the first sound once the second has begun.
    const auto secondStart = std::find_if(windows.begin(), windows.end(),
                                          [&](const Window& w) { return IsTone(w, second.hertz); });
    EXPECT_EQ(std::count_if(secondStart, windows.end(), [&](const Window& w) { return IsTone(w, first.hertz); }), 0)
        << Describe(windows);
}
