#include "base/file_system.h"

#include "base/codepage.h"
#include "base/error.h"
#include "base/wildcard.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavio::fs {
namespace {

std::string Shown(const std::string& path)
{
    return cp932::ToUtf8(path);
}

[[noreturn]] void ThrowFileError(int code, const char* what, const std::string& path)
{
    throw ESystemError(code, std::string(what) + ": " + Shown(path));
}

bool Stat(const std::string& path, struct stat& st)
{
    return ::stat(ToNative(path).c_str(), &st) == 0;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

}  // namespace

std::string ToNative(std::string_view path)
{
    bool ascii = true;
    for (unsigned char c : path)
        ascii = ascii && c < 0x80;
    if (ascii)
        return std::string(path);
    if (!cp932::IsValid(path))
        throw EKavioError("パス名に使えない文字が含まれています: " + cp932::ToUtf8(path));
    return cp932::ToUtf8(path);
}

bool FromNative(std::string_view native, std::string& path)
{
    cp932::EncodeResult r = cp932::FromUtf8(native);
    if (!r.ok())
        return false;
    path = std::move(r.bytes);
    return true;
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return Stat(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat st;
    return Stat(path, st) && S_ISDIR(st.st_mode);
}

bool CreateDirectory(const std::string& path)
{
    return ::mkdir(ToNative(ExcludeTrailingDelimiter(path)).c_str(), 0777) == 0;
}

bool IsWritableDirectory(const std::string& path)
{
    return DirectoryExists(path) && ::access(ToNative(path).c_str(), W_OK | X_OK) == 0;
}

bool RemoveFile(const std::string& path)
{
    if (::unlink(ToNative(path).c_str()) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    ThrowFileError(errno, "ファイルを削除できません", path);
}

void RenameFile(const std::string& from, const std::string& to)
{
    if (::rename(ToNative(from).c_str(), ToNative(to).c_str()) != 0)
        ThrowFileError(errno, "ファイルを移動できません", from + " → " + to);
}

std::string ReadFile(const std::string& path)
{
    Fd fd(::open(ToNative(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        ThrowFileError(errno, "ファイルを開けません", path);
    struct stat st;
    std::string bytes;
    if (::fstat(fd.get(), &st) == 0 && st.st_size > 0)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowFileError(errno, "ファイルを読み込めません", path);
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

void WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    const std::string native = ToNative(path);
    const std::string folder = ExtractFilePath(native);
    std::string temp = (folder.empty() ? std::string() : folder) + "." + ExtractFileName(native) + ".XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0)
        ThrowFileError(errno, "ファイルを書き込めません", path);

    auto fail = [&](int code) {
        ::close(fd.release());
        ::unlink(temp.c_str());
        ThrowFileError(code, "ファイルを書き込めません", path);
    };

    // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
    struct stat st;
    mode_t mode;
    if (::stat(native.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        fail(errno);

    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        fail(errno);
    if (::close(fd.release()) != 0) {
        int code = errno;
        ::unlink(temp.c_str());
        ThrowFileError(code, "ファイルを書き込めません", path);
    }
    if (::rename(temp.c_str(), native.c_str()) != 0) {
        int code = errno;
        ::unlink(temp.c_str());
        ThrowFileError(code, "ファイルを書き込めません", path);
    }
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(ToNative(folder.empty() ? std::string(".") : folder).c_str());
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name;
        if (!FromNative(entry->d_name, name))
            continue;
        if (name == "." || name == ".." || !WildcardMatch(name, pattern))
            continue;
        if (FileExists(IncludeTrailingDelimiter(folder) + name))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::string ExtractFilePath(const std::string& path)
{
    size_t pos = path.rfind(kDelimiter);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string ExtractFileName(const std::string& path)
{
    size_t pos = path.rfind(kDelimiter);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string IncludeTrailingDelimiter(const std::string& path)
{
    if (!path.empty() && path.back() == kDelimiter)
        return path;
    return path + kDelimiter;
}

std::string ExcludeTrailingDelimiter(const std::string& path)
{
    if (path.size() > 1 && path.back() == kDelimiter)
        return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace kavio::fs
