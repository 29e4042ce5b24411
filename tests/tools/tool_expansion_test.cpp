#include "tools/tool_expansion.h"

#include "support/temp_dir.h"

#include "base/error.h"
#include "config/globals.h"
#include "tools/tool_context_port.h"
#include "tools/tool_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace kavio;
using namespace kavio::test;

namespace {

class FakeContext : public ToolContextPort {
public:
    std::optional<std::string> page = "/books/p.memo";
    std::optional<std::string> book = "/books/b.book";
    std::string text;
    std::string selection = "sel";
    std::string token = "tok";
    int line = 0;
    int port = 8200;

    std::optional<std::string> SelectedPagePath() const override { return page; }
    std::optional<std::string> SelectedBookPath() const override { return book; }
    std::string PageText() const override { return text; }
    std::string SelectedText() const override { return selection; }
    std::string TokenAtCaret() const override { return token; }
    int CaretLine() const override { return line; }
    int ApiPort() const override { return port; }
};

class ToolExpansionTest : public testing::Test {
public:
    ToolExpansionTest() : m_savedDataDir(ProgramDataDir) { ProgramDataDir = dir.path(); }
    ~ToolExpansionTest() override { ProgramDataDir = m_savedDataDir; }

    std::vector<std::string> TempFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempDir dir;
    FakeContext context;

private:
    std::string m_savedDataDir;
};

using D = TToolDirective;

struct ExpandCase {
    const char* name;
    std::string tmpl;
    std::string expected;
    std::initializer_list<D> directives;
    std::string selection = "sel";
    std::string token = "tok";
    int line = 0;
    std::string page = "/books/p.memo";
};

// "表" is 95 5C, "　" (full-width blank) is 81 40: both must pass through and survive the trim.
const ExpandCase kCases[] = {
    {"paths", "$PAGE $BOOK", "/books/p.memo /books/b.book", {}},
    {"seltok before sel", "$SELTOK|$SEL|$SELTOKEN", "tok|sel|tokEN", {}},
    {"line and port", "-l $LINE -p $PORT", "-l 7 -p 8200", {}, "sel", "tok", 7},
    {"first line is 0", "$LINE", "0", {}},
    {"every occurrence", "$SEL$SEL $PAGE$PAGE", "selsel /books/p.memo/books/p.memo", {}},
    {"lower case is text", "$page $sel $line #wait #redir", "$page $sel $line #wait #redir", {}},
    {"second #WAIT stays", "#WAIT a #WAIT", "a #WAIT", {D::tdWait}},
    {"all directives", "x #WAIT#REDIR #LOADP #LOADB y", "x    y", {D::tdWait, D::tdRedir, D::tdLoadPage, D::tdLoadBook}},
    {"directives alone", "#REDIR #LOADB", "", {D::tdRedir, D::tdLoadBook}},
    {"selection expanded later", "$SEL", "at 3", {D::tdWait}, "at $LINE #WAIT", "tok", 3},
    {"token expanded later", "$SELTOK", "sel", {}, "sel", "$SEL"},
    {"page path expanded later", "$PAGE", "/x//books/b.book.memo", {}, "sel", "tok", 0, "/x/$BOOK.memo"},
    {"inserted text not searched again", "$SEL", "a$SELb", {}, "a$SELb"},
    {"trim bytes 0 to 32 only", "\t\r\n $SEL \x01\x7F", "sel \x01\x7F", {}},
    {"code-page bytes kept", " $SEL ", "\x81\x40\x95\x5C\x81\x40", {}, "\x81\x40\x95\x5C\x81\x40"},
    {"empty", "", "", {}},
    {"blank", " \t ", "", {}},
};

// Catches a wrong step order, replacing only once, case-insensitive matching, removing every
// directive occurrence, and a trim that eats code-page bytes.
TEST_F(ToolExpansionTest, ExpandsMacrosAndTakesDirectives)
{
    for (const ExpandCase& c : kCases) {
        SCOPED_TRACE(c.name);
        context.selection = c.selection;
        context.token = c.token;
        context.line = c.line;
        context.page = c.page;
        std::string text = c.tmpl;
        TToolDirectives directives;
        ExpandToolArguments(text, directives, context);
        TToolDirectives expected;
        for (D d : c.directives)
            expected.Add(d);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(directives, expected);
    }
    EXPECT_TRUE(TempFiles().empty()) << "no $TEXT, no file";
}

// The file must hold the page text byte for byte and be written once however often $TEXT occurs.
TEST_F(ToolExpansionTest, TextWritesOneTemporaryFilePerLaunch)
{
    context.text = std::string("\x83\x7C\x95\x5C\r\nline\0two\r\n", 14);
    std::string text = "$TEXT|$TEXT";
    TToolDirectives directives;
    ExpandToolArguments(text, directives, context);

    const std::vector<std::string> files = TempFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string path = dir / files[0];
    EXPECT_EQ(text, path + "|" + path);
    EXPECT_EQ(files[0].substr(0, 3), "mem");
    EXPECT_EQ(files[0].substr(files[0].size() - 4), ".tmp");
    EXPECT_EQ(ReadRaw(path), context.text);

    std::string again = "$TEXT";
    ExpandToolArguments(again, directives, context);
    EXPECT_EQ(TempFiles().size(), 2u);
    EXPECT_NE(again, path);
}

// The $TEXT path is itself subject to the later steps; a lower-case word writes nothing.
TEST_F(ToolExpansionTest, TextFileOnlyForTheExactWord)
{
    std::string text = "$text $Text";
    TToolDirectives directives;
    ExpandToolArguments(text, directives, context);
    EXPECT_EQ(text, "$text $Text");
    EXPECT_TRUE(TempFiles().empty());
}

// With no page or no book selected nothing may be written, even when $TEXT is asked for.
TEST_F(ToolExpansionTest, NoSelectionFailsBeforeAnythingIsWritten)
{
    for (int missing = 0; missing < 2; ++missing) {
        FakeContext c = context;
        (missing == 0 ? c.page : c.book).reset();
        std::string text = "$TEXT";
        TToolDirectives directives;
        EXPECT_THROW(ExpandToolArguments(text, directives, c), EListError);
        EXPECT_EQ(text, "$TEXT") << "missing " << missing;
    }
    EXPECT_TRUE(TempFiles().empty());
}

// A folder that cannot take the file is an error, not a path to a file that does not exist.
TEST_F(ToolExpansionTest, UnwritableFolderIsReported)
{
    ProgramDataDir = dir / "missing/";
    std::string text = "$TEXT";
    TToolDirectives directives;
    EXPECT_THROW(ExpandToolArguments(text, directives, context), EKavioError);
}

// The program is used verbatim; only the template is expanded.
TEST_F(ToolExpansionTest, PrepareExpandsOnlyTheTemplate)
{
    context.line = 4;
    const TToolLaunch launch =
        PrepareToolLaunch(TToolEntry::FromLine("T\t/opt/$PAGE/tool|-n $LINE #WAIT"), context);
    EXPECT_EQ(launch.Program, "/opt/$PAGE/tool");
    EXPECT_EQ(launch.CommandLine(), "/opt/$PAGE/tool -n 4");
    EXPECT_EQ(launch.Mode(), TToolRunMode::Wait);

    const TToolLaunch bare = PrepareToolLaunch(TToolEntry::FromLine("T\tprog|  #WAIT "), context);
    EXPECT_EQ(bare.CommandLine(), "prog");
}

}  // namespace
