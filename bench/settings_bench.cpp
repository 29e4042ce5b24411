// Reading and writing a realistic settings file through TMemIniFileEx, each beside its floor:
// the same bytes read with plain open/read/close, and written with open/write/fsync/close and a
// rename (the atomic writer fsyncs, so the floor does too).

#include "base/codepage.h"
#include "base/file_system.h"
#include "config/ini_file.h"

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

double MedianMicroseconds(int repetitions, const std::function<void()>& run)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(repetitions));
    run();  // warm-up
    for (int i = 0; i < repetitions; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

void Report(const char* what, double value, double floor)
{
    std::printf("%s: %.1f us (floor %.1f us, %.1fx)\n", what, value, floor, value / floor);
}

// About 300 keys over 15 sections, the kinds of values the settings file holds, and a [Tools]
// section of raw lines.
void BuildSettings(TMemIniFileEx& ini)
{
    const char* sections[] = {"Main", "Window", "Editor", "EditorColor", "View", "Hotkeys",
                              "Sounds", "KavioAPI", "Find", "Print", "Book", "Page",
                              "Clip", "Shade", "Tray"};
    int n = 0;
    for (const char* section : sections) {
        ini.Section = section;
        for (int k = 0; k < 20; ++k, ++n) {
            const std::string name = "Key" + std::to_string(k);
            switch (n % 6) {
            case 0: ini.WriteInteger(name, n * 37); break;
            case 1: ini.WriteBool(name, n % 2 == 0); break;
            case 2: ini.WriteRect(name, TRect{n, n + 1, n + 300, n + 200}); break;
            case 3: ini.WriteFont(name, TFontSpec{128, 0, "ＭＳ ゴシック"_sj, 9, {true}}); break;
            case 4: ini.WriteColor(name, n % 4 ? clBtnFace : 0x00123456); break;
            default: ini.WriteString(name, "/home/user/Documents/Kavio/" + "メモ"_sj + std::to_string(n)); break;
            }
        }
    }
    std::vector<std::string> tools;
    for (int i = 0; i < 20; ++i)
        tools.push_back("Tool" + std::to_string(i) + "=" + "外部ツール"_sj + "|/usr/bin/tool" +
                        std::to_string(i) + " \"$FILE\" $LINE|1|0");
    ini.WriteStrings("Tools", tools, true);
}

std::string ReadPlain(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::string bytes;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    return bytes;
}

void WritePlain(const std::string& path, const std::string& bytes)
{
    const std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), path.c_str());
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/kavio-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::string dir = std::string(pattern) + "/";
    const std::string file = dir + "Kavio.ini";
    const std::string floorFile = dir + "floor.ini";

    {
        TMemIniFileEx ini(file);
        BuildSettings(ini);
        ini.UpdateFile();
    }
    const std::string bytes = ReadPlain(file);
    std::printf("settings file: %zu bytes\n", bytes.size());

    volatile size_t sink = 0;
    const int readReps = 2000;
    double read = MedianMicroseconds(readReps, [&] {
        TMemIniFileEx ini(file);
        sink = sink + static_cast<size_t>(ini.ReadInteger("Tray", "Key18", 0));
    });
    double readFloor = MedianMicroseconds(readReps, [&] { sink = sink + ReadPlain(file).size(); });
    Report("settings read", read, readFloor);

    TMemIniFileEx ini(file);
    const int writeReps = 200;
    int counter = 0;
    double write = MedianMicroseconds(writeReps, [&] {
        ini.WriteInteger("Window", "Key0", ++counter);
        ini.UpdateFile();
    });
    double writeFloor = MedianMicroseconds(writeReps, [&] { WritePlain(floorFile, bytes); });
    Report("settings write", write, writeFloor);

    std::filesystem::remove_all(dir);
    return 0;
}
