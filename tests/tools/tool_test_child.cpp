// A child program for the process runner tests. Its arguments are commands, run in order:
//   --out N        write N bytes to standard output: "0123456789" repeated, a line break every 100
//   --print TEXT   write TEXT and a line break to standard output
//   --err TEXT     write TEXT and a line break to standard error
//   --sleep MS     sleep MS milliseconds
//   --stdin        read standard input to its end, then print "stdin:<bytes read>"
//   --touch PATH   create the file PATH
//   --argv         print every argument after this one, one per line, and stop
//   --exit CODE    end at once with CODE, without flushing anything further
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

void WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            std::_Exit(90);
        done += size_t(n);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string command = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (command == "--argv") {
            for (int j = i + 1; j < argc; ++j)
                WriteAll(1, std::string(argv[j]) + "\n");
            return 0;
        }
        if (command == "--stdin") {
            char buffer[4096];
            size_t total = 0;
            ssize_t n;
            while ((n = ::read(0, buffer, sizeof buffer)) > 0)
                total += size_t(n);
            WriteAll(1, "stdin:" + std::to_string(total) + "\n");
            continue;
        }
        ++i;
        if (command == "--out") {
            std::string bytes;
            const long count = std::atol(value);
            for (long k = 0; k < count; ++k)
                bytes += (k % 100 == 99) ? '\n' : char('0' + k % 10);
            WriteAll(1, bytes);
        } else if (command == "--print") {
            WriteAll(1, std::string(value) + "\n");
        } else if (command == "--err") {
            WriteAll(2, std::string(value) + "\n");
        } else if (command == "--sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(value)));
        } else if (command == "--touch") {
            std::ofstream(value) << "x";
        } else if (command == "--exit") {
            std::_Exit(std::atoi(value));
        } else {
            WriteAll(2, "unknown command " + command + "\n");
            return 99;
        }
    }
    return 0;
}
