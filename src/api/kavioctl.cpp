// kavioctl: sends requests to the API of a running Kavio and prints the replies.
//
//   kavioctl [--host H] [--port P] FUNCTION [ARGUMENT]   one request, its reply on stdout
//   kavioctl [--host H] [--port P] -                     one request per line of stdin
//
// The terminal speaks UTF-8, the API code page 932; line breaks inside a text travel as CR.

#include "api/api_protocol.h"
#include "base/codepage.h"
#include "base/error.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

namespace {

using namespace kavio;

constexpr int kExitUsage = 64;
constexpr int kExitUnavailable = 69;

struct Options {
    std::string host = "127.0.0.1";
    std::string port = "8200";
    bool fromStdin = false;
    std::string function;
    std::optional<std::string> argument;
};

class Failure : public std::runtime_error {
public:
    Failure(int code, const std::string& message) : std::runtime_error(message), exitCode(code) {}
    int exitCode;
};

void Usage(std::ostream& out)
{
    out << "usage: kavioctl [--host HOST] [--port PORT] FUNCTION [ARGUMENT]\n"
           "       kavioctl [--host HOST] [--port PORT] -   (one request per line of stdin)\n";
}

Options ParseArguments(int argc, char** argv)
{
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--host" || arg == "--port") && i + 1 < argc) {
            (arg == "--host" ? options.host : options.port) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            std::exit(0);
        } else {
            break;
        }
    }
    if (i >= argc || argc - i > 2)
        throw Failure(kExitUsage, "");
    if (std::string(argv[i]) == "-") {
        if (argc - i != 1)
            throw Failure(kExitUsage, "");
        options.fromStdin = true;
        return options;
    }
    options.function = argv[i];
    if (i + 1 < argc)
        options.argument = argv[i + 1];
    return options;
}

// A terminal line to the wire: code page 932, line breaks as CR.
std::string ToWire(const std::string& utf8)
{
    std::string bytes;
    try {
        bytes = cp932::FromUtf8Strict(utf8);
    } catch (const EKavioError& error) {
        throw Failure(kExitUsage, error.what());
    }
    std::string wire;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        wire += bytes[i] == '\n' ? '\r' : bytes[i];
    }
    return wire;
}

std::string FromWire(std::string line)
{
    for (char& c : line) {
        if (c == '\r')
            c = '\n';
    }
    return cp932::ToUtf8(line);
}

class Connection {
public:
    Connection(const std::string& host, const std::string& port) : m_where(host + ":" + port)
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); rc != 0)
            throw Failure(kExitUnavailable, m_where + ": " + ::gai_strerror(rc));
        int lastError = 0;
        for (addrinfo* a = found; a && m_fd < 0; a = a->ai_next) {
            const int fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
            if (fd < 0) {
                lastError = errno;
                continue;
            }
            if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
                m_fd = fd;
            } else {
                lastError = errno;
                ::close(fd);
            }
        }
        ::freeaddrinfo(found);
        if (m_fd < 0)
            throw Failure(kExitUnavailable, "Kavio is not listening on " + m_where + " (" +
                                                std::strerror(lastError) + ")");
    }
    ~Connection() { ::close(m_fd); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Send(const std::string& line)
    {
        const std::string data = line + std::string(kApiLineEnd);
        for (size_t sent = 0; sent < data.size();) {
            const ssize_t n = ::send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw Failure(kExitUnavailable, "sending to " + m_where + ": " + std::strerror(errno));
            sent += static_cast<size_t>(n);
        }
    }

    // The next line from Kavio without its CR LF.
    std::string ReceiveLine()
    {
        for (;;) {
            if (const size_t end = m_buffer.find(kApiLineEnd); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + kApiLineEnd.size());
                return line;
            }
            char chunk[65536];
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw Failure(kExitUnavailable, "Kavio closed the connection on " + m_where);
            m_buffer.append(chunk, static_cast<size_t>(n));
        }
    }

private:
    std::string m_where;
    int m_fd = -1;
    std::string m_buffer;
};

int Run(const Options& options)
{
    Connection connection(options.host, options.port);
    const std::string greeting = connection.ReceiveLine();
    if (greeting == kApiBlockedLine)
        throw Failure(kExitUnavailable,
                      "Kavio on " + options.host + ":" + options.port +
                          " refused the connection (it does not accept this address)");

    auto request = [&connection](const std::string& line) {
        connection.Send(ToWire(line));
        std::cout << FromWire(connection.ReceiveLine()) << '\n' << std::flush;
    };
    if (!options.fromStdin) {
        request(options.argument ? options.function + " " + *options.argument
                                 : options.function);
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        request(line);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(ParseArguments(argc, argv));
    } catch (const Failure& failure) {
        if (failure.exitCode == kExitUsage && !*failure.what())
            Usage(std::cerr);
        else
            std::cerr << "kavioctl: " << failure.what() << '\n';
        return failure.exitCode;
    }
}
