#include "storage/book_list.h"
#include "storage/page_list.h"
#include "storage_support.h"

#include "base/codepage.h"
#include "base/error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace kavio;
using namespace kavio::test;

namespace {

const std::string kPage = "; Kavio Page File";
const std::string kBook = "; Kavio Book File";
const std::string kUntitled = "名称未設定"_sj;

class BookListTest : public testing::Test {
protected:
    std::string ListFile() const { return dir / "BookFileList.lst"; }

    FixedNames names;
    TempDir dir;
    EventRecorder recorder;
};

}  // namespace

// First start: an empty personal folder gets one book, and opening it one page, with the
// main window's reactions writing the book list and the book file.
TEST_F(BookListTest, FirstStartCreatesABookWithAPage)
{
    TBookList books(nullptr, dir.path());
    TPageList pages(&books);
    books.SetPageList(&pages);
    ASSERT_EQ(books.Count(), 1);
    EXPECT_EQ(books.GetFileName(0), "mem    1.book");
    EXPECT_EQ(books.GetTitle(0), kUntitled);
    EXPECT_EQ(books.Books(0).Directory, "");
    EXPECT_EQ(ReadRaw(dir / "mem    1.book"),
              Crlf({kBook, "Title=" + kUntitled, "Directory=" + dir.path(), "LastIndex=0", "[EOH]"}));
    EXPECT_FALSE(Exists(ListFile()));

    books.OnChange = [](TPBBase& sender) { sender.Save(); };
    books.OnChange(books);
    EXPECT_EQ(ReadRaw(ListFile()), Crlf({"mem    1.book"}));

    pages.OnChangeCount = [](TPBBase& sender) { sender.Save(); };
    pages.LoadBook(&books.Books(0));
    ASSERT_EQ(pages.Count(), 1);
    EXPECT_EQ(ReadRaw(dir / "mem    2.memo"), Crlf({kPage, "Title=" + kUntitled, "Priority=3", "[EOH]"}));
    EXPECT_EQ(ReadRaw(dir / "mem    1.book"),
              Crlf({kBook, "Title=" + kUntitled, "LastIndex=0", "[EOH]", "mem    2.memo"}));
}

TEST_F(BookListTest, ReadsEveryBookHeader)
{
    TempDir other;
    const std::string outside = other / "far.book";
    WriteRaw(dir / "a.book", Crlf({kBook, "title=A", "Directory=" + other.path(), "LastIndex=4",
                                   "ShortCut=ctrl+alt+b", "[EOH]", "p.memo"}));
    WriteRaw(dir / "plain.book", Crlf({"p.memo"}));
    WriteRaw(outside, Crlf({kBook, "Title=Far", "LastIndex=x", "ShortCut=Nothing", "[EOH]"}));
    WriteRaw(ListFile(), Crlf({"a.book", "", "missing.book", "plain.book", outside}));

    TBookList books(nullptr, dir.path());
    struct Row {
        std::string name, title, directory;
        int lastIndex;
        TShortCut shortcut;
    };
    const Row rows[] = {
        {"a.book", "A", other.path(), 4, kCtrl | kAlt | 0x42},
        {"missing.book", "", "", 0, 0},
        {"plain.book", "", "", 0, 0},
        {outside, "Far", "", 0, 0},
    };
    ASSERT_EQ(books.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(rows[i].name);
        const TBookData& book = books.Books(i);
        EXPECT_EQ(book.FileName, rows[i].name);
        EXPECT_EQ(book.Title, rows[i].title);
        EXPECT_EQ(book.Directory, rows[i].directory);
        EXPECT_EQ(book.LastIndex, rows[i].lastIndex);
        EXPECT_EQ(book.ShortCut, rows[i].shortcut);
    }
    EXPECT_EQ(books.GetFullPathOf(0), dir / "a.book");
    EXPECT_EQ(books.GetFullPathOf(3), outside);
    EXPECT_TRUE(books.LoadProblems().empty());
    EXPECT_EQ(GetBookDirectory(books.Books(0), dir.path()), other.path());
    EXPECT_EQ(GetBookDirectory(books.Books(1), dir.path()), dir.path());
}

TEST_F(BookListTest, NewBooksLiveWhereTheyWereCreated)
{
    TempDir user;
    WriteRaw(ListFile(), Crlf({"first.book"}));
    TBookList books(nullptr, dir.path());
    recorder.Attach(books);
    books.OnChange = [this](TPBBase& sender) {
        recorder.events.push_back("Change");
        sender.Save();
    };

    const int inUser = books.NewBook(user.path());
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"ChangeCount", "Change"}));
    EXPECT_EQ(books.GetFileName(inUser), user / "mem    1.book");
    EXPECT_EQ(books.Books(inUser).Directory, user.path());

    // The personal folder spelled in another letter case is another folder.
    std::string upper = dir.path();
    upper[1] = static_cast<char>(toupper(upper[1]));
    books.SetTitle(0, "kept");
    EXPECT_EQ(books.GetStoredName(upper + "x.book"), upper + "x.book");
    EXPECT_EQ(books.GetStoredName(dir / "x.book"), "x.book");

    const int plain = books.AddNew();
    EXPECT_EQ(books.GetFileName(plain), "mem    2.book");
    EXPECT_EQ(books.Books(plain).Directory, "");
    EXPECT_EQ(ReadRaw(ListFile()), Crlf({"first.book", user / "mem    1.book", "mem    2.book"}));

    // Its pages go to its own folder.
    TPageList pages(&books);
    pages.LoadBook(&books.Books(inUser));
    EXPECT_EQ(pages.GetFullPathOf(0), user / "mem    3.memo");
    EXPECT_TRUE(Exists(user / "mem    3.memo"));

    books.Exchange(1, 2);
    EXPECT_EQ(ReadRaw(ListFile()), Crlf({"first.book", "mem    2.book", user / "mem    1.book"}));
}

TEST_F(BookListTest, DeletingABookRemovesItsFileAndLeavesThePageListWithoutABook)
{
    TBookList books(nullptr, dir.path());
    TPageList pages(&books);
    books.SetPageList(&pages);
    books.AddNew();
    pages.LoadBook(&books.Books(1));
    // Handlers that reach for the page list must not find the freed book.
    books.OnChangeCount = [&](TPBBase&) {
        EXPECT_EQ(pages.Book(), nullptr);
        pages.Save();
    };
    books.OnChange = [](TPBBase& sender) { sender.Save(); };

    books.Delete(1);
    EXPECT_FALSE(Exists(dir / "mem    2.book"));
    EXPECT_TRUE(Exists(dir / "mem    3.memo"));  // page files are the caller's business
    EXPECT_EQ(ReadRaw(ListFile()), Crlf({"mem    1.book"}));

    pages.LoadBook(&books.Books(0));
    auto extracted = books.ExtractBook(0);
    EXPECT_EQ(pages.Book(), nullptr);
    EXPECT_TRUE(Exists(dir / "mem    1.book"));
    EXPECT_EQ(books.Count(), 0);
    EXPECT_THROW(books.Delete(0), EListError);
}

// A book whose file cannot be read keeps its record and its line in the list file.
TEST_F(BookListTest, UnreadableBookFilesKeepTheirPlaceInTheLibrary)
{
    const std::string broken = Crlf({kBook, "Title=Half", "LastIndex=2", "a.memo"});
    WriteRaw(dir / "a.book", Crlf({kBook, "Title=A", "[EOH]"}));
    WriteRaw(dir / "broken.book", broken);
    MakeUnreadable(dir / "locked.book");
    WriteRaw(dir / "z.book", Crlf({kBook, "Title=Z", "[EOH]"}));
    WriteRaw(ListFile(), Crlf({"a.book", "broken.book", "locked.book", "z.book"}));

    TBookList books(nullptr, dir.path());
    ASSERT_EQ(books.Count(), 4);
    const std::string titles[] = {"A", "Half", "", "Z"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(books.GetTitle(i), titles[i]);
    EXPECT_EQ(books.Books(1).LastIndex, 2);
    ASSERT_EQ(books.LoadProblems().size(), 2u);
    EXPECT_EQ(books.LoadProblems()[0].FileName, dir / "broken.book");
    EXPECT_EQ(books.LoadProblems()[1].FileName, dir / "locked.book");

    books.Save();
    EXPECT_EQ(ReadRaw(ListFile()), Crlf({"a.book", "broken.book", "locked.book", "z.book"}));
    EXPECT_EQ(ReadRaw(dir / "broken.book"), broken);
}

TEST_F(BookListTest, UnreadableListFileIsAnErrorNotAnEmptyLibrary)
{
    MakeUnreadable(ListFile());
    EXPECT_THROW(TBookList(nullptr, dir.path()), ESystemError);
    EXPECT_TRUE(std::filesystem::is_symlink(ListFile()));
    EXPECT_FALSE(Exists(dir / "mem    1.book"));
}

TEST_F(BookListTest, LoadRaisesItsEventsOnce)
{
    WriteRaw(ListFile(), Crlf({"a.book", "b.book", "c.book"}));
    TBookList books(nullptr, dir.path());
    recorder.Attach(books);
    books.LoadFromFile(ListFile());
    EXPECT_EQ(recorder.Take(), (std::vector<std::string>{"ChangeCount", "Change"}));
    EXPECT_EQ(books.Count(), 3);
}
