#include "base/line_file.h"

#include "base/file_system.h"

#include <cstring>

namespace kavio {

Lines SplitLines(std::string_view bytes)
{
    Lines lines;
    size_t start = 0;
    const size_t n = bytes.size();
    while (start < n) {
        const char* base = bytes.data() + start;
        size_t len = n - start;
        // memchr for both CR and LF: find the nearer of the two.
        const void* lf = std::memchr(base, '\n', len);
        const void* cr = std::memchr(base, '\r', lf ? static_cast<const char*>(lf) - base : len);
        const char* end = cr ? static_cast<const char*>(cr) : lf ? static_cast<const char*>(lf) : nullptr;
        if (!end) {
            lines.emplace_back(base, len);
            break;
        }
        lines.emplace_back(base, end - base);
        start = static_cast<size_t>(end - bytes.data()) + 1;
        if (*end == '\r' && start < n && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

std::string JoinLines(const Lines& lines)
{
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

Lines ReadLines(const std::string& path)
{
    return SplitLines(fs::ReadFile(path));
}

void WriteLines(const std::string& path, const Lines& lines)
{
    fs::WriteFileAtomic(path, JoinLines(lines));
}

}  // namespace kavio
