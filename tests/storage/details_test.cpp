#include "storage/book_details.h"
#include "storage/page_details.h"
#include "storage_support.h"

#include "base/codepage.h"
#include "base/line_file.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kavio;
using namespace kavio::test;

namespace {

const std::string kMarker = "; Kavio Page File";

}  // namespace

// A page file read, changed and written again: what survives, what is rebuilt.
TEST(PageDetails, RewritesHeaderByteForByte)
{
    struct Case {
        const char* name;
        std::string before;
        std::function<void(TPageDetails&)> change;
        std::string after;
    };
    const std::string title = "Title=" + "名称未設定"_sj;
    const Case cases[] = {
        {"marks and clip files in order",
         Crlf({kMarker, title, "Priority=3", "[EOH]", "text"}),
         [](TPageDetails& d) {
             d.SetRowMark(3, 10);
             d.SetRowMark(7, 11);
             d.ColonLines = {"clipfile:memo.txt", "clipfile:/docs/plan.xls"};
         },
         Crlf({kMarker, title, "Priority=3", "RowMarks=3=10;7=11", ":clipfile:memo.txt",
               ":clipfile:/docs/plan.xls", "[EOH]", "text"})},
        {"unknown key stays in place",
         Crlf({kMarker, "Title=a", "Color=red", "Priority=2", "[EOH]"}),
         [](TPageDetails& d) { SetKeyValue(d.Header, "Title", "b"); },
         Crlf({kMarker, "Title=b", "Color=red", "Priority=2", "[EOH]"})},
        {"repeated marker line written once",
         Crlf({kMarker + " v2", "Title=a", kMarker, kMarker, "[EOH]"}),
         [](TPageDetails&) {},
         Crlf({kMarker + " v2", "Title=a", "[EOH]"})},
        {"last mark and empty title remove their lines",
         Crlf({kMarker, "Title=a", "RowMarks=1=10", "Priority=3", "[EOH]", "x", "y"}),
         [](TPageDetails& d) {
             d.RowMarks.clear();
             SetKeyValue(d.Header, "Title", "");
         },
         Crlf({kMarker, "Priority=3", "[EOH]", "x", "y"})},
        {"lower-case key found, first entry wins",
         Crlf({kMarker, "title=abc", "TITLE=other", "[EOH]"}),
         [](TPageDetails& d) {
             EXPECT_EQ(GetKeyValue(d.Header, "Title"), "abc");
             SetKeyValue(d.Header, "Title", "new=value");
         },
         Crlf({kMarker, "title=new=value", "TITLE=other", "[EOH]"})},
        {"only the first [EOH] ends the header",
         Crlf({kMarker, "[EOH]", "[EOH]", ":not a colon line"}),
         [](TPageDetails& d) { EXPECT_TRUE(d.ColonLines.empty()); },
         Crlf({kMarker, "[EOH]", "[EOH]", ":not a colon line"})},
        {"lone CR and LF read, CR LF written, last line without end",
         kMarker + "\rTitle=a\n[EOH]\r\nx\ny",
         [](TPageDetails&) {},
         Crlf({kMarker, "Title=a", "[EOH]", "x", "y"})},
        {"plain file: body only, header untouched",
         Crlf({"just text", "Title=x"}),
         [](TPageDetails& d) {
             EXPECT_EQ(d.Kind, fkPlain);
             EXPECT_EQ(GetKeyValue(d.Header, "Title"), "");
             d.Body.push_back("more");
         },
         Crlf({"just text", "Title=x", "more"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir / "page.memo";
        WriteRaw(path, c.before);
        TPageDetails details(path);
        c.change(details);
        details.Save();
        EXPECT_EQ(ReadRaw(path), c.after);
    }
}

TEST(PageDetails, KindDecidesWhatIsWritten)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        TFileKind kind;
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, fkMissing},
        {"empty file is plain", [](const std::string& p) { WriteRaw(p, ""); }, fkPlain},
        {"marker is a case-sensitive prefix", [](const std::string& p) { WriteRaw(p, "; kavio page file\r\n[EOH]\r\n"); }, fkPlain},
        {"headed", [](const std::string& p) { WriteRaw(p, kMarker + "\r\n[EOH]\r\n"); }, fkHeaded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        c.make(path);
        TPageDetails details(path);
        EXPECT_EQ(details.Kind, c.kind);
        EXPECT_EQ(details.FileName, path);
        details.Body = {"b"};
        details.SaveToFile(path);
        EXPECT_EQ(Exists(path), c.kind != fkMissing);
    }
    EXPECT_EQ(TPageDetails().Kind, fkHeaded);
    EXPECT_EQ(TBookDetails().Kind, fkHeaded);
}

// A header that never ends must not be written back as a truncated file, whatever reads it.
TEST(PageDetails, UnterminatedHeaderIsRefusedAndNeverRewritten)
{
    TempDir dir;
    const std::string path = dir / "broken.memo";
    const std::string bytes = Crlf({kMarker, "Title=keep", ":clipfile:a", "line 1", "line 2"});
    WriteRaw(path, bytes);

    TPageDetails details;
    EXPECT_THROW(details.LoadFromFile(path), EFileFormatError);
    EXPECT_EQ(details.Kind, fkMissing);
    details.Body = {"new text"};
    details.Save();
    details.SaveToFile(path);
    EXPECT_EQ(ReadRaw(path), bytes);

    // Reading only the header keeps what it can and says the file is incomplete.
    EXPECT_FALSE(details.LoadHeader(path));
    EXPECT_EQ(GetKeyValue(details.Header, "Title"), "keep");
    EXPECT_EQ(details.ColonLines, Lines{"clipfile:a"});
    EXPECT_EQ(details.Kind, fkMissing);
    details.SaveToFile(path);
    EXPECT_EQ(ReadRaw(path), bytes);
}

TEST(PageDetails, RowMarks)
{
    TempDir dir;
    const std::string path = dir / "p.memo";
    // "\x81;" is a lead byte followed by ";": one character, no split. Empty pieces are kept.
    WriteRaw(path, Crlf({kMarker, "rowmarks=2=11;x\x81;y;;5=abc;2=10", "[EOH]"}));
    TPageDetails details(path);
    EXPECT_EQ(details.RowMarks, (Lines{"2=11", "x\x81;y", "", "5=abc", "2=10"}));
    EXPECT_EQ(details.GetRowMark(2), 11);  // first entry wins
    EXPECT_EQ(details.GetRowMark(5), 0);   // not a number
    EXPECT_EQ(details.GetRowMark(9), 0);   // no entry
    details.SetRowMark(2, 10);
    details.SetRowMark(12, 11);
    EXPECT_EQ(details.GetRowMark(2), 10);
    EXPECT_EQ(details.RowMarks.front(), "2=10");
    EXPECT_EQ(details.RowMarks.back(), "12=11");
}

TEST(KeyLookup, IgnoresCaseOfSingleByteCharactersOnly)
{
    // "\x83\x61" and "\x83\x41" are different double-byte characters whose second bytes are "a", "A".
    const Lines header = {"no equals sign", "\x83\x61=dbcs", "K\xe9y=1", "Key=2", "key=3"};
    EXPECT_EQ(FindKey(header, "\x83\x41"), -1);
    EXPECT_EQ(GetKeyValue(header, "\x83\x61"), "dbcs");
    EXPECT_EQ(GetKeyValue(header, "KEY"), "2");
    EXPECT_EQ(FindKey(header, "no equals sign"), -1);

    struct Case {
        const char* text;
        long value;
    };
    const Case numbers[] = {{"300", 300}, {"-1", -1}, {"+4", 4}, {"abc", 7}, {"", 7}, {"3 ", 7}, {"99999999999", 7}};
    for (const Case& c : numbers)
        EXPECT_EQ(ParseInteger(c.text, 7), c.value) << c.text;
}

// Reading just the header must see the same header as reading the whole file, whatever the line
// ends and wherever the read blocks split the text.
TEST(PageDetails, HeaderOnlyReadAgreesWithWholeRead)
{
    TempDir dir;
    const std::string path = dir / "p.memo";
    const char* ends[] = {"\r\n", "\r", "\n"};
    for (size_t filler : {0u, 4070u, 4080u, 4085u, 4086u, 4087u, 4090u, 70000u}) {
        for (const char* end : ends) {
            SCOPED_TRACE(testing::Message() << filler << " " << testing::PrintToString(std::string(end)));
            const std::string bytes = kMarker + end + "Pad=" + std::string(filler, 'x') + end +
                                      "Title=t" + end + ":c" + end + "[EOH]" + end + "body" + end;
            WriteRaw(path, bytes);
            TPageDetails whole(path);
            TPageDetails head;
            EXPECT_TRUE(head.LoadHeader(path));
            EXPECT_EQ(head.Header, whole.Header);
            EXPECT_EQ(head.ColonLines, whole.ColonLines);
            EXPECT_EQ(head.Kind, fkHeaded);
            EXPECT_TRUE(head.Body.empty());
            EXPECT_EQ(GetKeyValue(head.Header, "Title"), "t");
        }
    }
}

TEST(BookDetails, WritesOnlyHeadedImagesAndKeepsHeaderAsIs)
{
    TempDir dir;
    const std::string path = dir / "b.book";
    const std::string plain = Crlf({"a.memo", "b.memo"});
    WriteRaw(path, plain);
    TBookDetails book(path);
    EXPECT_EQ(book.Kind, fkPlain);
    EXPECT_EQ(book.Body, (Lines{"a.memo", "b.memo"}));
    book.Save();
    EXPECT_EQ(ReadRaw(path), plain);

    TBookDetails fresh;
    fresh.Header = {"; Kavio Book File", "Title=t", "; Kavio Book File"};
    fresh.Body = {"/full/x.memo"};
    fresh.SaveToFile(path);
    EXPECT_EQ(ReadRaw(path), Crlf({"; Kavio Book File", "Title=t", "; Kavio Book File", "[EOH]", "/full/x.memo"}));

    WriteRaw(path, Crlf({"; Kavio Book File", "Title=t", "a.memo"}));
    EXPECT_THROW(TBookDetails{path}, EFileFormatError);
}
