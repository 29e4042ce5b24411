// The remote text API of the running program, each figure beside a floor measured in the same
// run:
//  - requests per second of Noop over one connection, one request at a time and pipelined by
//    100, against a Redis server's PING under the same load (redis-benchmark -c 1 -P 1 and
//    -P 100) when one listens on --redis-port (scripts/bench starts and stops it);
//  - GetText of a 1 MB page against the same reply bytes sent over a plain loopback socket by a
//    small server in this benchmark.
// The program runs as a user starts it, under the X server of $DISPLAY, with a home folder of
// its own whose settings let the API listen on a free port. The client uses plain blocking
// sockets, so that it is not what limits the rate.
//
//   api_bench [--redis-port PORT] [--program PATH]
//                                    the benchmark, of the program built beside it or of PATH
//   api_bench --free-port            prints a free loopback port (for the script's Redis)

#include "bench_support.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace kavio::bench;

namespace {

constexpr size_t kPageBytes = 1024 * 1024;
constexpr int kRounds = 3;
constexpr int kSerialRequests = 20000;
constexpr int kPipelineDepth = 100;
constexpr int kPipelinedRequests = 200000;
constexpr int kTextRepetitions = 20;

// The text as the API sends it: every CR LF travels as one CR.
std::string WireText(const std::string& text)
{
    std::string wire;
    wire.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        wire += text[i] == '\n' ? '\r' : text[i];
    }
    return wire;
}

double NoopSerial(LineClient& client, int requests)
{
    const double ms = Milliseconds([&] {
        for (int i = 0; i < requests; ++i) {
            client.Send("Noop\r\n");
            if (client.ReadLine() != "Successed")
                Fail("Noop did not reply \"Successed\"");
        }
    });
    return requests * 1000.0 / ms;
}

double NoopPipelined(LineClient& client, int requests)
{
    std::string batch;
    for (int i = 0; i < kPipelineDepth; ++i)
        batch += "Noop\r\n";
    const double ms = Milliseconds([&] {
        for (int done = 0; done < requests; done += kPipelineDepth) {
            client.Send(batch);
            client.SkipLines(kPipelineDepth - 1);
            if (client.ReadLine() != "Successed")
                Fail("a pipelined Noop did not reply \"Successed\"");
        }
    });
    return requests * 1000.0 / ms;
}

// Redis's PING rate as redis-benchmark measures it over one connection; inline PING, a text
// line like the program's requests.
double RedisPing(int port, int pipeline, int requests)
{
    const std::string command = "redis-benchmark -h 127.0.0.1 -p " + std::to_string(port) +
                                " -t ping -c 1 -P " + std::to_string(pipeline) + " -n " +
                                std::to_string(requests) + " --csv 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out)
        Fail("cannot run redis-benchmark");
    char line[512];
    double rps = 0;
    while (std::fgets(line, sizeof line, out)) {
        if (std::strncmp(line, "\"PING_INLINE\",\"", 15) == 0)
            rps = std::atof(line + 15);
    }
    ::pclose(out);
    if (rps <= 0)
        Fail("redis-benchmark gave no PING_INLINE rate (is Redis listening on port " + std::to_string(port) + "?)");
    return rps;
}

// A loopback server that answers every request line with the same canned reply line: the floor
// of moving a reply of that size from one process to another.
class CannedReplyServer {
public:
    explicit CannedReplyServer(std::string reply) : m_reply(std::move(reply) + "\r\n")
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 1) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            Fail("the reply server cannot listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CannedReplyServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    int Port() const { return m_port; }

private:
    void Serve()
    {
        const int fd = ::accept(m_listener, nullptr, nullptr);
        if (fd < 0)
            return;
        std::string pending;
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            pending.append(chunk, static_cast<size_t>(n));
            for (size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
                pending.erase(0, end + 2);
                for (size_t sent = 0; sent < m_reply.size();) {
                    const ssize_t s = ::send(fd, m_reply.data() + sent, m_reply.size() - sent, MSG_NOSIGNAL);
                    if (s < 0 && errno == EINTR)
                        continue;
                    if (s < 0) {
                        ::close(fd);
                        return;
                    }
                    sent += static_cast<size_t>(s);
                }
            }
        }
        ::close(fd);
    }

    std::string m_reply;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

double GetTextMs(LineClient& client, size_t expectedBytes)
{
    size_t got = 0;
    const double ms = Milliseconds([&] {
        client.Send("GetText\r\n");
        got = client.ReadLine().size();
    });
    if (got != expectedBytes)
        Fail("GetText replied " + std::to_string(got) + " bytes, not " + std::to_string(expectedBytes));
    return ms;
}

int Run(int redisPort, const std::string& builtProgram)
{
    if (!std::getenv("DISPLAY"))
        Fail("no X server: run this under xvfb-run (scripts/bench api does)");
    TempFolder root;
    const ProgramHome home = MakeProgramHome(root.path(), builtProgram);
    LibraryShape shape;
    shape.openBookPageBytes = {kPageBytes};
    shape.apiPort = FreeLoopbackPort();
    WriteLibrary(home.personal, shape);
    const std::string pageText = SampleText(kPageBytes, 0);  // the body WriteLibrary wrote
    const std::string expected = WireText(pageText);

    ChildProcess program({home.program}, ChildEnvironment(home));
    if (!WaitForListener(shape.apiPort, 60000))
        Fail("the program's API did not listen on port " + std::to_string(shape.apiPort) + " within a minute");
    LineClient client(shape.apiPort);
    if (client.ReadLine().rfind("Hello. This is ", 0) != 0)
        Fail("the API did not greet");

    // Warm both paths up before measuring.
    NoopSerial(client, 1000);
    NoopPipelined(client, 10000);
    if (redisPort) {
        RedisPing(redisPort, 1, 2000);
        RedisPing(redisPort, kPipelineDepth, 100000);
    }

    std::vector<double> serial, pipelined, redisSerial, redisPipelined;
    for (int round = 0; round < kRounds; ++round) {
        serial.push_back(NoopSerial(client, kSerialRequests));
        if (redisPort)
            redisSerial.push_back(RedisPing(redisPort, 1, kSerialRequests));
        pipelined.push_back(NoopPipelined(client, kPipelinedRequests));
        if (redisPort)
            redisPipelined.push_back(RedisPing(redisPort, kPipelineDepth, kPipelinedRequests * 5));
    }
    if (redisPort) {
        PrintFigure("Noop one at a time (floor: Redis PING -c 1 -P 1)", Median(serial), Median(redisSerial),
                    "req/s", ">= 0.5x");
        PrintFigure("Noop pipelined by 100 (floor: Redis PING -c 1 -P 100)", Median(pipelined),
                    Median(redisPipelined), "req/s", "none set");
    } else {
        std::printf("Noop one at a time: %.0f req/s  (no Redis floor: give --redis-port)\n", Median(serial));
        std::printf("Noop pipelined by 100: %.0f req/s  (no Redis floor: give --redis-port)\n", Median(pipelined));
    }

    CannedReplyServer floorServer(expected);
    LineClient floorClient(floorServer.Port());
    GetTextMs(client, expected.size());
    GetTextMs(floorClient, expected.size());
    std::vector<double> text, floor;
    for (int i = 0; i < kTextRepetitions; ++i) {
        text.push_back(GetTextMs(client, expected.size()));
        floor.push_back(GetTextMs(floorClient, expected.size()));
    }
    PrintFigure("GetText 1 MB page (floor: same bytes over a loopback socket)", Median(text), Median(floor),
                "ms", "none set");
    program.Stop();
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    int redisPort = 0;
    std::string program = KAVIO_PROGRAM;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--free-port") {
            std::printf("%d\n", FreeLoopbackPort());
            return 0;
        }
        if (arg == "--redis-port" && i + 1 < argc) {
            redisPort = std::atoi(argv[++i]);
            continue;
        }
        if (arg == "--program" && i + 1 < argc) {
            program = argv[++i];
            continue;
        }
        std::fprintf(stderr, "usage: api_bench [--redis-port PORT] [--program PATH] | --free-port\n");
        return 64;
    }
    return Run(redisPort, program);
}
