#pragma once

#include <string>

namespace kavio {

// Reads a file's lines from its start, a block at a time and only as far as asked: the lists
// need just the header of each page and book file, not its body. Line ends as in line_file.h.
// Opening goes through fs::ToNative like every other file access.
class TFileHead {
public:
    explicit TFileHead(const std::string& path);
    ~TFileHead();
    TFileHead(const TFileHead&) = delete;
    TFileHead& operator=(const TFileHead&) = delete;

    // No such file (or a folder in its place): what fs::FileExists calls missing.
    bool Missing() const { return m_fd < 0; }
    // The next line without its line end; false at the end of the file. Throws ESystemError
    // naming the file when it cannot be read.
    bool NextLine(std::string& line);

private:
    void Fill();

    std::string m_path;
    int m_fd = -1;
    std::string m_buffer;
    size_t m_pos = 0;
    bool m_eof = false;
};

}  // namespace kavio
