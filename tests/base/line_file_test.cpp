#include "base/codepage.h"
#include "base/error.h"
#include "base/file_system.h"
#include "base/line_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace kavio;
using kavio::test::TempDir;

TEST(LineFile, EveryLineEndIsRead)
{
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\x83\x5C\r\n\x83\x7C", {"\x83\x5C", "\x83\x7C"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(LineFile, WritesCrLfAfterEveryLine)
{
    EXPECT_EQ(JoinLines({}), "");
    EXPECT_EQ(JoinLines({""}), "\r\n");
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(LineFile, RoundTripsThroughAFileWithACodePageName)
{
    TempDir dir;
    const std::string path = dir.path() + "メモ.txt"_sj;
    WriteLines(path, {"; Kavio Page File", "Title=" + "名称未設定"_sj, "[EOH]"});
    // The name reaches the file system as UTF-8.
    EXPECT_TRUE(kavio::test::Exists(dir.path() + "メモ.txt"));
    EXPECT_EQ(kavio::test::ReadRaw(dir.path() + "メモ.txt"),
              "; Kavio Page File\r\nTitle=\x96\xBC\x8F\xCC\x96\xA2\x90\xDD\x92\xE8\r\n[EOH]\r\n");
    EXPECT_EQ(ReadLines(path).size(), 3u);
}

TEST(LineFile, ReadingAMissingFileIsAnErrorNamingIt)
{
    TempDir dir;
    try {
        ReadLines(dir / "missing.memo");
        FAIL() << "no error";
    } catch (const ESystemError& e) {
        EXPECT_NE(std::string(e.what()).find("システムエラー。コード：2."), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("missing.memo"), std::string::npos);
    }
}

TEST(LineFile, PathThatTheCodePageCannotCarryIsAnError)
{
    EXPECT_THROW(fs::FileExists("/tmp/\x82"), EKavioError);
}

namespace {

size_t FilesIn(const std::string& folder)
{
    size_t n = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

}  // namespace

// A write that fails half-way (here: the file-size limit, as a full disk would) leaves the old
// file byte for byte and no temporary file.
TEST(AtomicWrite, FailedWriteKeepsOldFileAndLeavesNoTemporary)
{
    TempDir dir;
    const std::string path = dir / "page.memo";
    WriteLines(path, {"old", "text"});
    const std::string before = kavio::test::ReadRaw(path);

    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 1024;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        fs::WriteFileAtomic(path, std::string(64 * 1024, 'x'));
    } catch (const ESystemError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(threw);
    EXPECT_EQ(kavio::test::ReadRaw(path), before);
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(AtomicWrite, ReplacesWholeFileAndKeepsPermissions)
{
    TempDir dir;
    const std::string path = dir / "Kavio.ini";
    fs::WriteFileAtomic(path, "first version, longer than the second");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    fs::WriteFileAtomic(path, "second");
    EXPECT_EQ(kavio::test::ReadRaw(path), "second");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(AtomicWrite, UnwritableFolderIsAnErrorAndNothingChanges)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const std::string path = dir / "BookFileList.lst";
    WriteLines(path, {"a.book"});
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(WriteLines(path, {"b.book"}), ESystemError);
    EXPECT_EQ(kavio::test::ReadRaw(path), "a.book\r\n");
}

TEST(FileSystem, RemovingAMissingFileIsNoError)
{
    TempDir dir;
    EXPECT_FALSE(fs::RemoveFile(dir / "none.memo"));
    kavio::test::WriteRaw(dir / "x.memo", "x");
    EXPECT_TRUE(fs::RemoveFile(dir / "x.memo"));
    EXPECT_FALSE(fs::FileExists(dir / "x.memo"));
}

TEST(FileSystem, ListsMatchingFiles)
{
    TempDir dir;
    for (const char* name : {"mem  1.tmp", "mem  2.tmp", "mem.memo", "other.tmp"})
        kavio::test::WriteRaw(dir / name, "");
    std::filesystem::create_directory(dir / "mem3.tmp");  // a folder is not a file
    auto names = fs::ListFiles(dir.path(), "mem*.tmp");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"mem  1.tmp", "mem  2.tmp"}));
}
