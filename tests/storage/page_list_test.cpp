#include "storage/page_list.h"
#include "storage_support.h"

#include "base/codepage.h"
#include "base/error.h"
#include "storage/page_details.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kavio;
using namespace kavio::test;

namespace {

const std::string kPage = "; Kavio Page File";
const std::string kBook = "; Kavio Book File";

class PageListTest : public testing::Test {
public:
    PageListTest()
    {
        book.FileName = dir / "b.book";
        book.Directory = dir.path();
        book.Title = "Book";
    }

    void WritePage(const std::string& name, const std::string& title, const std::string& priority = "3")
    {
        WriteRaw(dir / name, Crlf({kPage, "Title=" + title, "Priority=" + priority, "[EOH]", "body of " + name}));
    }
    void WriteBook(std::initializer_list<std::string> pages)
    {
        std::string bytes = Crlf({kBook, "Title=Book", "[EOH]"});
        for (const std::string& page : pages)
            bytes += page + "\r\n";
        WriteRaw(book.FileName, bytes);
    }
    // Two pages, loaded, events attached and cleared.
    void OpenTwoPages()
    {
        WritePage("a.memo", "A");
        WritePage("b.memo", "B");
        WriteBook({"a.memo", "b.memo"});
        recorder.Attach(list);
        list.LoadBook(&book);
        recorder.Take();
    }
    // Write the book file on every change, as the main window does.
    void SaveOnChange()
    {
        list.OnChange = [this](TPBBase& sender) {
            recorder.events.push_back("Change");
            sender.Save();
        };
    }

    FixedNames names;
    TempDir dir;
    TBookData book;
    TPageList list;
    EventRecorder recorder;
};

}  // namespace

TEST_F(PageListTest, EachOperationRaisesItsEventsInOrder)
{
    struct Case {
        const char* name;
        std::function<void(PageListTest&)> operation;
        std::vector<std::string> events;
    };
    const std::vector<std::string> count = {"ChangeCount", "Change"};
    const Case cases[] = {
        {"AddPage", [](PageListTest& t) { t.list.AddPage(std::make_unique<TPageData>()); }, count},
        {"NewPage", [](PageListTest& t) { t.list.NewPage("x"); }, {"NeedDefaultTitle", "ChangeCount", "Change"}},
        {"AddNew", [](PageListTest& t) { t.list.AddNew(); }, {"NeedDefaultTitle", "ChangeCount", "Change"}},
        {"Delete", [](PageListTest& t) { t.list.Delete(0); }, count},
        {"Extract", [](PageListTest& t) { t.list.Extract(1); }, count},
        {"Exchange", [](PageListTest& t) { t.list.Exchange(0, 1); }, {"Change"}},
        {"SetTitle", [](PageListTest& t) { t.list.SetTitle(1, "new"); }, {"Change"}},
        {"Priority", [](PageListTest& t) { t.list.Pages(0).Priority = 1; }, {}},
        {"LoadFromFile", [](PageListTest& t) { t.list.LoadFromFile(t.book.FileName); }, count},
        {"LoadBook", [](PageListTest& t) { t.list.LoadBook(&t.book); },
         {"BookChanging", "ChangeCount", "Change", "BookChanged"}},
        {"LoadBook of an empty book",
         [](PageListTest& t) {
             t.WriteBook({});
             t.list.LoadBook(&t.book);
         },
         {"BookChanging", "ChangeCount", "Change", "NeedDefaultTitle", "ChangeCount", "Change", "BookChanged"}},
        {"Save", [](PageListTest& t) { t.list.Save(); }, {"NeedPageIndex"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenTwoPages();
        c.operation(*this);
        EXPECT_EQ(recorder.Take(), c.events);
    }
}

TEST_F(PageListTest, NestedUpdatesRaiseOnceAtTheOutermostEnd)
{
    OpenTwoPages();
    for (int i = 0; i < 3; ++i)
        list.BeginUpdate();
    list.SetTitle(0, "x");
    list.AddPage(std::make_unique<TPageData>());
    list.Exchange(0, 1);
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_TRUE(recorder.events.empty());
    list.EndUpdate();
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"ChangeCount", "Change"}));
    list.EndUpdate();  // unbalanced: events still flow afterwards
    recorder.Take();
    list.SetTitle(0, "y");
    EXPECT_EQ(recorder.Take(), std::vector<std::string>{"Change"});
}

// Handlers run after the change is complete, so writing the book from them lists the new state.
TEST_F(PageListTest, HandlersSeeTheFinishedChange)
{
    OpenTwoPages();
    list.OnChangeCount = [](TPBBase& sender) { sender.Save(); };
    list.OnNeedPageIndex = [](TPageList& sender, int& index) { index = sender.Count() - 1; };
    const int added = list.NewPage("");
    EXPECT_EQ(added, 2);
    const std::string newName = list.GetFileName(2);
    EXPECT_EQ(ReadRaw(book.FileName),
              Crlf({kBook, "Title=Book", "Directory=" + dir.path(), "LastIndex=2", "[EOH]", "a.memo", "b.memo", newName}));
    list.Delete(0);
    EXPECT_EQ(ReadRaw(book.FileName),
              Crlf({kBook, "Title=Book", "Directory=" + dir.path(), "LastIndex=1", "[EOH]", "b.memo", newName}));
}

TEST_F(PageListTest, NewPageWritesItsTextAndTitle)
{
    OpenTwoPages();
    list.OnNeedDefaultTitle = [](TPageList&, std::string& title) {
        EXPECT_EQ(title, "名称未設定"_sj);
        title = "メモ"_sj;
    };
    const int index = list.NewPage("one\r\ntwo\r\nthree");
    EXPECT_EQ(index, list.Count() - 1);
    EXPECT_EQ(list.GetFileName(index), "mem    1.memo");
    EXPECT_EQ(list.GetTitle(index), "メモ"_sj);
    EXPECT_EQ(list.GetPriority(index), 3);
    EXPECT_EQ(ReadRaw(dir / "mem    1.memo"),
              Crlf({kPage, "Title=" + "メモ"_sj, "Priority=3", "[EOH]", "one", "two", "three"}));

    list.OnNeedDefaultTitle = nullptr;
    list.AddNew();
    EXPECT_EQ(ReadRaw(dir / "mem    2.memo"), Crlf({kPage, "Title=" + "名称未設定"_sj, "Priority=3", "[EOH]"}));
}

TEST_F(PageListTest, RecordsTakeTitleAndPriorityFromEachHeader)
{
    TempDir other;
    WritePage("p300.memo", "t300", "300");
    WritePage("pabc.memo", "tabc", "abc");
    WritePage("pneg.memo", "tneg", "-1");
    WriteRaw(dir / "none.memo", Crlf({kPage, "title=lower", "[EOH]"}));
    WriteRaw(dir / "plain.memo", Crlf({"Title=not a header", "Priority=1"}));
    const std::string outside = other / "x.memo";
    WriteRaw(outside, Crlf({kPage, "Title=outside", "Priority=5", "[EOH]"}));
    WriteBook({"p300.memo", "pabc.memo", "pneg.memo", "none.memo", "plain.memo", "missing.memo", outside});

    list.LoadBook(&book);
    struct Row {
        std::string name;
        std::string title;
        int priority;
    };
    const Row rows[] = {
        {"p300.memo", "t300", 44}, {"pabc.memo", "tabc", 3}, {"pneg.memo", "tneg", 255}, {"none.memo", "lower", 3},
        {"plain.memo", "", 3},     {"missing.memo", "", 3},  {outside, "outside", 5},
    };
    ASSERT_EQ(list.Count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(list.GetFileName(i), rows[i].name);
        EXPECT_EQ(list.GetTitle(i), rows[i].title) << rows[i].name;
        EXPECT_EQ(list.GetPriority(i), rows[i].priority) << rows[i].name;
    }
    EXPECT_TRUE(list.LoadProblems().empty());

    // A page outside the book's folder keeps its full path, and deleting it deletes that file.
    EXPECT_EQ(list.GetFullPathOf(6), outside);
    list.Delete(6);
    EXPECT_FALSE(Exists(outside));
    list.Delete(list.Count() - 1);  // missing file: no error
    EXPECT_EQ(list.Count(), 5);
}

TEST_F(PageListTest, StoredNamesCompareTheFolderExactly)
{
    list.SetBook(&book);
    std::string upper = dir.path();
    upper[1] = static_cast<char>(toupper(upper[1]));
    struct Case {
        std::string path;
        std::string stored;
    };
    const Case cases[] = {
        {dir / "x.memo", "x.memo"},
        {upper + "x.memo", upper + "x.memo"},
        {dir / "sub/x.memo", dir / "sub/x.memo"},
        {"/elsewhere/x.memo", "/elsewhere/x.memo"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list.GetStoredName(c.path), c.stored);
        EXPECT_EQ(list.GetFullPath(c.stored), c.path);
    }
    // A book of the personal folder resolves there.
    TBookData personal;
    personal.FileName = "p.book";
    PersonalDir = "/home/someone/Kavio/";
    list.SetBook(&personal);
    EXPECT_EQ(list.GetFullPath("x.memo"), "/home/someone/Kavio/x.memo");
    PersonalDir.clear();
}

TEST_F(PageListTest, WritesTheBookFileInPageOrder)
{
    OpenTwoPages();
    book.ShortCut = kCtrl | kAlt | 0x42;
    book.LastIndex = 7;
    list.NewPage("");
    list.Exchange(0, 2);
    list.SetTitle(1, "ignored by the book file");
    list.Save();
    EXPECT_EQ(ReadRaw(book.FileName), Crlf({kBook, "Title=Book", "Directory=" + dir.path(), "LastIndex=7",
                                            "ShortCut=Ctrl+Alt+B", "[EOH]", "mem    1.memo", "b.memo", "a.memo"}));
    EXPECT_EQ(book.LastIndex, 7);

    // Reopening the book (the open one included) reads the order and titles from disk again.
    WritePage("b.memo", "B2");
    list.LoadBook(&book);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetFileName(0), "mem    1.memo");
    EXPECT_EQ(list.GetTitle(1), "B2");
}

// Pages after a broken or unreadable page file are not lost, and the broken file is left alone.
TEST_F(PageListTest, UnreadablePagesKeepTheirRecords)
{
    const std::string broken = Crlf({kPage, "Title=half", "Priority=2", "text without end of header"});
    WritePage("a.memo", "A");
    WriteRaw(dir / "broken.memo", broken);
    WritePage("c.memo", "C");
    MakeUnreadable(dir / "locked.memo");
    WritePage("d.memo", "D");
    WriteBook({"a.memo", "broken.memo", "c.memo", "locked.memo", "d.memo"});
    recorder.Attach(list);
    SaveOnChange();

    list.LoadBook(&book);
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"BookChanging", "ChangeCount", "Change", "NeedPageIndex", "BookChanged"}));
    ASSERT_EQ(list.Count(), 5);
    const std::string titles[] = {"A", "half", "C", "", "D"};
    const int priorities[] = {3, 2, 3, 3, 3};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list.GetTitle(i), titles[i]);
        EXPECT_EQ(list.GetPriority(i), priorities[i]);
    }
    ASSERT_EQ(list.LoadProblems().size(), 2u);
    EXPECT_EQ(list.LoadProblems()[0].FileName, dir / "broken.memo");
    EXPECT_NE(list.LoadProblems()[0].Message.find("[EOH]"), std::string::npos);
    EXPECT_EQ(list.LoadProblems()[1].FileName, dir / "locked.memo");

    EXPECT_EQ(ReadRaw(book.FileName), Crlf({kBook, "Title=Book", "Directory=" + dir.path(), "LastIndex=0", "[EOH]",
                                            "a.memo", "broken.memo", "c.memo", "locked.memo", "d.memo"}));
    EXPECT_EQ(ReadRaw(dir / "broken.memo"), broken);

    // The next load starts with a clean slate of problems.
    WriteRaw(dir / "broken.memo", Crlf({kPage, "[EOH]"}));
    list.LoadFromFile(book.FileName);
    EXPECT_EQ(list.LoadProblems().size(), 1u);
}

// A book file that cannot be read leaves no book open, so no reaction can overwrite it with the
// pages of the previous book or with none.
TEST_F(PageListTest, UnreadableBookFileIsNeverOverwritten)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"no end of header", [](const std::string& p) { WriteRaw(p, Crlf({kBook, "Title=T", "a.memo"})); }},
        {"unreadable", [](const std::string& p) { MakeUnreadable(p); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenTwoPages();
        SaveOnChange();
        TBookData bad;
        bad.FileName = dir / c.name;
        c.make(bad.FileName);
        auto snapshot = [](const std::string& path) {
            if (std::filesystem::is_symlink(path))
                return "link to " + std::filesystem::read_symlink(path).string();
            return ReadRaw(path);
        };
        const std::string before = snapshot(bad.FileName);

        EXPECT_THROW(list.LoadBook(&bad), EKavioError);
        EXPECT_EQ(list.Book(), nullptr);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(list.UpdateCount(), 0);
        EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"BookChanging", "ChangeCount", "Change"}));
        EXPECT_EQ(snapshot(bad.FileName), before);
        EXPECT_EQ(ReadRaw(book.FileName), Crlf({kBook, "Title=Book", "[EOH]", "a.memo", "b.memo"}));
    }
}

TEST_F(PageListTest, IndexErrorsNameTheIndex)
{
    OpenTwoPages();
    const std::function<void()> operations[] = {
        [&] { list.Delete(2); },       [&] { list.Extract(-1); }, [&] { list.Exchange(0, 2); },
        [&] { list.SetTitle(5, ""); }, [&] { list.GetTitle(2); }, [&] { list.Pages(-1); },
    };
    for (const auto& operation : operations)
        EXPECT_THROW(operation(), EListError);
    try {
        list.Delete(2);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています (2)");
    }
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(PageListTest, PagesMoveBetweenListsWithTheirRecords)
{
    OpenTwoPages();
    TPageList other;
    auto page = list.ExtractPage(0);
    EXPECT_EQ(page->Title, "A");
    other.AddPage(std::move(page));
    EXPECT_EQ(other.GetTitle(0), "A");
    EXPECT_TRUE(Exists(dir / "a.memo"));
    EXPECT_EQ(list.Count(), 1);
}
