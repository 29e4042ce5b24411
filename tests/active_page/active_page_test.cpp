#include "storage/active_page.h"

#include "base/codepage.h"
#include "config/globals.h"
#include "storage/book_data.h"
#include "storage/details.h"
#include "storage/page_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavio::test {
namespace {

const std::string kMarker = "; Kavio Page File";

std::string Crlf(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// A memo pad that wraps every logical line at `wrapWidth` bytes, so a long line spans several
// display rows and marks must land on the first of them.
class FakeMemo : public MemoPadPort {
public:
    size_t wrapWidth = 10;
    Lines lines;
    std::map<int, uint16_t> marks;  // display row -> mark set
    bool modified = false;
    std::vector<std::string> calls;
    std::function<void(const void*)> onChange;

    void BeginUpdate() override { calls.push_back("BeginUpdate"); }
    void EndUpdate() override { calls.push_back("EndUpdate"); }
    void Clear() override
    {
        lines.clear();
        marks.clear();
    }
    Lines GetLines() const override { return lines; }
    void SetLines(const Lines& text) override
    {
        lines = text;
        marks.clear();
    }
    int LineCount() const override { return static_cast<int>(lines.size()); }
    int FirstRowOfLine(int line) const override
    {
        int row = 0;
        for (int i = 0; i < line; ++i)
            row += static_cast<int>(std::max<size_t>(1, (lines.at(i).size() + wrapWidth - 1) / wrapWidth));
        return row;
    }
    uint16_t RowMarkSet(int row) const override
    {
        const auto it = marks.find(row);
        return it == marks.end() ? 0 : it->second;
    }
    void AddRowMark(int row, int mark) override { marks[row] |= static_cast<uint16_t>(1u << mark); }
    bool Modified() const override { return modified; }
    void SetModified(bool value) override { modified = value; }
    void RefreshStatus() override {}
    void DoChange(const void* sender) override
    {
        calls.push_back("Change");
        if (onChange)
            onChange(sender);
    }

    void Mark(int line, int mark) { AddRowMark(FirstRowOfLine(line), mark); }
};

class FakeWindow : public MainWindowPort {
public:
    std::vector<std::string> clips;
    std::vector<std::string> titles;
    int heightUpdates = 0;
    bool failShowTitle = false;

    void ClipFilesClear() override { clips.clear(); }
    void ClipFilesAdd(const std::string& path) override { clips.push_back(path); }
    int ClipFilesCount() const override { return static_cast<int>(clips.size()); }
    std::string ClipFileItem(int index) const override { return clips.at(static_cast<size_t>(index)); }
    void ShowPageTitle(const std::string& title) override
    {
        if (failShowTitle)
            throw std::runtime_error("title label failed");
        titles.push_back(title);
    }
    void UpdateClipListHeight() override { ++heightUpdates; }
};

class ActivePageTest : public ::testing::Test {
protected:
    ActivePageTest()
    {
        personal = dir / "personal/";
        std::filesystem::create_directory(personal);
        std::filesystem::create_directory(dir / "book");
        PersonalDir = personal;
        book.Directory = dir / "book/";
        pages.SetBook(&book);
        page.FileName = "page.memo";
        page.Title = "メモ"_sj;
        page.Priority = 2;
    }
    ~ActivePageTest() override { PersonalDir.clear(); }

    std::string PagePath() const { return dir / "book/page.memo"; }

    TempDir dir;
    std::string personal;
    TBookData book;
    TPageList pages;
    TPageData page;
    FakeMemo memo;
    FakeWindow window;
    TActivePage active{pages, memo, window};
};

// "0123456789ABCDEFGHIJ012" wraps over three rows, so line 2 begins on row 4.
const std::string kLongLine = "0123456789ABCDEFGHIJ012";

TEST_F(ActivePageTest, LoadShowsTextMarksTitleAndClipFiles)
{
    WriteRaw(PagePath(), Crlf({kMarker, "Title=" + "表示"_sj, "Color=red", "Priority=2",
                               "RowMarks=2=10;0=11;x=10;1=abc;9=10;;1=99;3=11", ":clipfile:memo.txt",
                               ":color:red", ":clipfile:/data/plan.xls", "[EOH]", "first", kLongLine,
                               "ソ"_sj, "[EOH]"}));
    memo.lines = {"old"};
    memo.modified = true;
    window.clips = {"/old/clip"};
    std::vector<std::pair<const void*, bool>> changes;
    memo.onChange = [&](const void* sender) { changes.emplace_back(sender, active.Loading); };

    active.Load(page);

    EXPECT_EQ(memo.lines, (Lines{"first", kLongLine, "ソ"_sj, "[EOH]"}));
    // Line 1 has "abc" first, so its later "99" is never looked at; line 9 lies beyond the text.
    EXPECT_EQ(memo.marks, (std::map<int, uint16_t>{{0, 1u << 11}, {4, 1u << 10}, {5, 1u << 11}}));
    EXPECT_EQ(window.titles, (std::vector<std::string>{"表示"_sj}));
    EXPECT_EQ(window.clips, (std::vector<std::string>{personal + "memo.txt", "/data/plan.xls"}));
    EXPECT_EQ(window.heightUpdates, 1);
    EXPECT_FALSE(memo.modified);
    EXPECT_EQ(active.Page, &page);
    EXPECT_FALSE(active.Loading);
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"BeginUpdate", "EndUpdate", "Change"}));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, &active);
    EXPECT_TRUE(changes[0].second) << "the post-load change must see Loading set";
    EXPECT_EQ(page.Title, "メモ"_sj) << "the record's title is not changed by a load";
}

TEST_F(ActivePageTest, SaveRebuildsTheHeadedFile)
{
    WriteRaw(PagePath(), Crlf({kMarker, "Title=old", "Color=red", kMarker, "Priority=5", "RowMarks=0=11",
                               ":color:red", ":clipfile:old.txt", "[EOH]", "old text"}));
    active.Load(page);

    memo.lines = {kLongLine, "ソ表示"_sj, "plain", "both", "[EOH]"};
    memo.marks.clear();
    memo.Mark(3, 11);
    memo.Mark(3, 10);
    memo.Mark(1, 11);
    memo.AddRowMark(1, 10);  // a continuation row of line 0 marks nothing
    memo.Mark(4, 3);         // marks other than 10 and 11 are not stored
    memo.modified = true;
    window.clips = {personal + "memo.txt", personal + "sub/deep.txt", "/data/plan.xls"};

    active.Save();

    EXPECT_EQ(ReadRaw(PagePath()),
              Crlf({kMarker, "Title=" + "メモ"_sj, "Color=red", "Priority=2", "RowMarks=1=11;3=10",
                    ":clipfile:memo.txt", ":clipfile:" + personal + "sub/deep.txt", ":clipfile:/data/plan.xls",
                    "[EOH]", kLongLine, "ソ表示"_sj, "plain", "both", "[EOH]"}));
    EXPECT_FALSE(memo.modified);

    // What was saved loads back as it was shown.
    const auto clips = window.clips;
    memo.lines.clear();
    active.Load(page);
    EXPECT_EQ(window.clips, clips);
    EXPECT_EQ(memo.marks, (std::map<int, uint16_t>{{3, 1u << 11}, {5, 1u << 10}}));
}

TEST_F(ActivePageTest, SaveDropsEmptyTitleAndMarksAndWritesTheExactMarker)
{
    WriteRaw(PagePath(), Crlf({kMarker, "Title=x", "RowMarks=0=10", "[EOH]", "a"}));
    active.Load(page);
    page.Title.clear();
    memo.marks.clear();
    active.Save();
    EXPECT_EQ(ReadRaw(PagePath()), Crlf({kMarker, "Priority=2", "[EOH]", "a"}));

    // A marker line with trailing text is read as headed, but only the exact marker is written.
    WriteRaw(PagePath(), Crlf({kMarker + " v2", "Color=red", "[EOH]", "a"}));
    active.Save();
    EXPECT_EQ(ReadRaw(PagePath()), Crlf({kMarker, "Priority=2", "[EOH]", "a"}));
}

TEST_F(ActivePageTest, PlainFileStaysPlain)
{
    WriteRaw(PagePath(), "Title=not a header\r\nsecond\rthird");
    active.Load(page);
    EXPECT_EQ(memo.lines, (Lines{"Title=not a header", "second", "third"}));
    EXPECT_EQ(window.titles, (std::vector<std::string>{""}));
    EXPECT_TRUE(window.clips.empty());

    memo.lines.push_back("fourth");
    memo.Mark(0, 10);
    window.clips = {personal + "memo.txt"};
    active.Save();
    EXPECT_EQ(ReadRaw(PagePath()), Crlf({"Title=not a header", "second", "third", "fourth"}));
}

TEST_F(ActivePageTest, MissingFileIsNeverCreated)
{
    active.Load(page);
    EXPECT_TRUE(memo.lines.empty());
    EXPECT_EQ(active.Page, &page);

    memo.lines = {"typed"};
    active.Save();
    EXPECT_FALSE(Exists(PagePath()));

    // A file removed after the page became active stays removed.
    WriteRaw(PagePath(), Crlf({kMarker, "[EOH]", "x"}));
    active.Load(page);
    std::filesystem::remove(PagePath());
    active.Save();
    EXPECT_FALSE(Exists(PagePath()));
}

TEST_F(ActivePageTest, FileWithoutEndOfHeaderIsNeverOverwritten)
{
    const std::string broken = Crlf({kMarker, "Title=x", "lost text"});
    WriteRaw(PagePath(), Crlf({kMarker, "[EOH]", "good"}));
    active.Load(page);
    memo.Mark(0, 10);
    memo.calls.clear();

    // Loading it fails before the editor is touched: the shown page stays active and intact.
    TPageData other;
    other.FileName = "broken.memo";
    WriteRaw(dir / "book/broken.memo", broken);
    EXPECT_THROW(active.Load(other), EFileFormatError);
    EXPECT_EQ(active.Page, &page);
    EXPECT_FALSE(active.Loading);
    EXPECT_EQ(memo.lines, (Lines{"good"}));
    EXPECT_EQ(memo.calls, (std::vector<std::string>{"BeginUpdate", "EndUpdate", "Change"}));

    // The active page's own file broken behind its back: the save is refused, the file kept.
    WriteRaw(PagePath(), broken);
    memo.modified = true;
    EXPECT_THROW(active.Save(), EFileFormatError);
    EXPECT_EQ(ReadRaw(PagePath()), broken);
    EXPECT_TRUE(memo.modified);
}

TEST_F(ActivePageTest, LoadFailingAfterTheEditorWasClearedForgetsThePage)
{
    const std::string first = Crlf({kMarker, "Title=a", "Priority=2", "[EOH]", "first page"});
    WriteRaw(PagePath(), first);
    active.Load(page);

    TPageData other;
    other.FileName = "other.memo";
    WriteRaw(dir / "book/other.memo", Crlf({kMarker, "[EOH]", "other"}));
    window.failShowTitle = true;
    EXPECT_THROW(active.Load(other), std::runtime_error);
    EXPECT_EQ(active.Page, nullptr);
    EXPECT_FALSE(active.Loading);

    // The half-loaded editor is written nowhere.
    active.Save();
    EXPECT_EQ(ReadRaw(PagePath()), first);
}

TEST_F(ActivePageTest, FailedWriteKeepsTheOldFileAndTheModifiedFlag)
{
    const std::string old = Crlf({kMarker, "Title=x", "[EOH]", "old"});
    WriteRaw(PagePath(), old);
    active.Load(page);
    memo.lines = {std::string(4096, 'x')};
    memo.modified = true;

    // Writes beyond 64 bytes fail, for root as well.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(active.Save(), EKavioError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadRaw(PagePath()), old);
    EXPECT_TRUE(memo.modified);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "book"))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, (std::vector<std::string>{"page.memo"}));
}

}  // namespace
}  // namespace kavio::test
