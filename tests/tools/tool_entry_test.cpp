#include "tools/tool_entry.h"

#include "tools/tool_expansion.h"

#include <gtest/gtest.h>

using namespace kavio;

namespace {

struct LineCase {
    const char* line;
    TToolEntry entry;
};

// "ポ" is 83 7C: its second byte is "|".
const LineCase kLines[] = {
    {"Edit\t/usr/bin/vi|$PAGE #WAIT", {"Edit", "/usr/bin/vi", "$PAGE #WAIT"}},
    {"Caption only", {"Caption only", "", ""}},
    {"Both\tprog arg", {"Both", "prog arg", "prog arg"}},
    {"-\t|", {"-", "", ""}},
    {"Pipes\ta|b|c", {"Pipes", "a", "b|c"}},
    {"Tabs\tx\ty|z", {"Tabs", "x\ty", "z"}},
    {"\x83\x7C\t\x83\x7C|\x83\x7C", {"\x83\x7C", "\x83\x7C", "\x83\x7C"}},
    {"\x83\x7C only", {"\x83\x7C only", "", ""}},
};

// Catches splitting at the wrong delimiter, at a second byte, or losing the no-"|" rule.
TEST(ToolEntryTest, ParsesLinesAndRoundTrips)
{
    for (const LineCase& c : kLines) {
        SCOPED_TRACE(c.line);
        const TToolEntry entry = TToolEntry::FromLine(c.line);
        EXPECT_EQ(entry, c.entry);
        EXPECT_EQ(TToolEntry::FromLine(entry.ToLine()), entry);
        EXPECT_EQ(TToolEntry::FromHint(entry.Hint(), entry.Title), entry);
    }
}

TEST(ToolEntryTest, WritesThePipeAlwaysAndKnowsSeparators)
{
    EXPECT_EQ((TToolEntry{"T", "", ""}.ToLine()), "T\t|");
    EXPECT_EQ((TToolEntry{"T", "p", "a b"}.ToLine()), "T\tp|a b");
    EXPECT_TRUE(TToolEntry::FromLine("-\tx|y").IsSeparator());
    EXPECT_TRUE(TToolEntry::FromLine("-").IsSeparator());
    EXPECT_FALSE(TToolEntry::FromLine("--\tx|y").IsSeparator());
}

// An empty argument text must not leave a trailing blank that becomes an empty argument.
TEST(ToolEntryTest, CommandLineAddsArgumentsOnlyWhenThereAreAny)
{
    EXPECT_EQ(ToolCommandLine("prog", ""), "prog");
    EXPECT_EQ(ToolCommandLine("prog", "a  b"), "prog a  b");
    EXPECT_EQ(ToolCommandLine("", ""), "");
}

using D = TToolDirective;

struct ModeCase {
    std::initializer_list<D> directives;
    TToolRunMode mode;
    bool reloadPage;
    bool reloadBook;
};

// #REDIR, #LOADP and #LOADB without #WAIT must change nothing.
TEST(ToolEntryTest, DirectivesDecideHowALaunchRuns)
{
    const ModeCase cases[] = {
        {{}, TToolRunMode::Detached, false, false},
        {{D::tdRedir, D::tdLoadPage, D::tdLoadBook}, TToolRunMode::Detached, false, false},
        {{D::tdWait}, TToolRunMode::Wait, false, false},
        {{D::tdWait, D::tdLoadPage}, TToolRunMode::Wait, true, false},
        {{D::tdWait, D::tdLoadBook}, TToolRunMode::Wait, false, true},
        {{D::tdWait, D::tdRedir, D::tdLoadPage, D::tdLoadBook}, TToolRunMode::Capture, true, true},
    };
    for (const ModeCase& c : cases) {
        TToolLaunch launch{"p", "", {}};
        for (D d : c.directives)
            launch.Directives.Add(d);
        SCOPED_TRACE(testing::Message() << "directives " << c.directives.size());
        EXPECT_EQ(launch.Mode(), c.mode);
        EXPECT_EQ(launch.ReloadPage(), c.reloadPage);
        EXPECT_EQ(launch.ReloadBook(), c.reloadBook);
    }
}

}  // namespace
