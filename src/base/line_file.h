#pragma once

#include <string>
#include <string_view>
#include <vector>

// Kavio's text files are lines of code-page bytes. Reading accepts CR LF, a lone CR and a lone LF
// as line ends, and a last line without one; an empty file has no lines. Writing ends every
// line with CR LF, the last included.
namespace kavio {

using Lines = std::vector<std::string>;

Lines SplitLines(std::string_view bytes);
std::string JoinLines(const Lines& lines);

// Reads a file as lines; throws ESystemError when it cannot be read.
Lines ReadLines(const std::string& path);
// Replaces the file with the lines atomically (see fs::WriteFileAtomic).
void WriteLines(const std::string& path, const Lines& lines);

}  // namespace kavio
