#include "base/file_head.h"

#include "base/codepage.h"
#include "base/error.h"
#include "base/file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kavio {
namespace {

// Most headers fit in the first block; a longer one is read on in larger steps.
constexpr size_t kFirstBlock = 4096;
constexpr size_t kNextBlock = 65536;

}  // namespace

TFileHead::TFileHead(const std::string& path) : m_path(path)
{
    m_fd = ::open(fs::ToNative(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            m_eof = true;
            return;
        }
        throw ESystemError(errno, "ファイルを開けません: " + cp932::ToUtf8(path));
    }
    try {
        Fill();
    } catch (...) {
        ::close(m_fd);
        m_fd = -1;
        throw;
    }
}

TFileHead::~TFileHead()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void TFileHead::Fill()
{
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    const size_t old = m_buffer.size();
    const size_t block = old == 0 && m_buffer.capacity() < kFirstBlock ? kFirstBlock : kNextBlock;
    m_buffer.resize(old + block);
    ssize_t n;
    do
        n = ::read(m_fd, m_buffer.data() + old, block);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int code = errno;
        m_buffer.resize(old);
        if (code == EISDIR) {  // a folder is no file
            ::close(m_fd);
            m_fd = -1;
            m_eof = true;
            return;
        }
        throw ESystemError(code, "ファイルを読み込めません: " + cp932::ToUtf8(m_path));
    }
    m_buffer.resize(old + static_cast<size_t>(n));
    if (n == 0)
        m_eof = true;
}

bool TFileHead::NextLine(std::string& line)
{
    for (;;) {
        const char* base = m_buffer.data() + m_pos;
        const size_t left = m_buffer.size() - m_pos;
        const char* end = nullptr;
        for (size_t i = 0; i < left; ++i) {
            if (base[i] == '\r' || base[i] == '\n') {
                end = base + i;
                break;
            }
        }
        if (end) {
            const size_t at = static_cast<size_t>(end - m_buffer.data());
            // A CR as the last byte read: whether an LF follows decides where the next line starts.
            if (*end == '\r' && at + 1 == m_buffer.size() && !m_eof) {
                Fill();
                continue;
            }
            line.assign(base, static_cast<size_t>(end - base));
            m_pos = at + 1;
            if (*end == '\r' && m_pos < m_buffer.size() && m_buffer[m_pos] == '\n')
                ++m_pos;
            return true;
        }
        if (m_eof) {
            if (left == 0)
                return false;
            line.assign(base, left);
            m_pos = m_buffer.size();
            return true;
        }
        Fill();
    }
}

}  // namespace kavio
