#include "config/app_settings.h"

#include "base/codepage.h"
#include "config/globals.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kavio;
using kavio::test::ReadRaw;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

const TScreenDefaults kScreen{{10, 20, 603, 420}, {0, 0, 1920, 1050}};

TMemIniFileEx FromBytes(const TempDir& dir, const std::string& bytes)
{
    WriteRaw(dir / "Kavio.ini", bytes);
    return TMemIniFileEx(dir / "Kavio.ini");
}

TAppSettings LoadFrom(const TempDir& dir, const std::string& bytes)
{
    return LoadAppSettings(FromBytes(dir, bytes), kScreen);
}

}  // namespace

// Catches a key that is saved but not loaded (or under another name), and any field that does
// not survive the file.
TEST(AppSettings, RoundTripThroughTheFile)
{
    TAppSettings changed = DefaultAppSettings(kScreen);
    changed.TopMost = true;
    changed.Shade = TShadeMode::smWhenTitleBar;
    changed.ToolBarPos = TToolBarPos::tbTop;
    changed.FormSize = {1, 2, 3, 4};
    changed.SaveShadeState = true;
    changed.FormShade = true;
    changed.ClipListSize = 140;
    changed.ShowTaskBar = true;
    changed.ShowTaskTray = false;
    changed.StartOnMinimize = true;
    changed.HintShortCuts = false;
    changed.MaximumFormSize = {5, 6, 700, 800};
    changed.AlphaValue = 30;
    changed.AlphaValueSubForm = 200;
    changed.Scheme = "\x83\x58\x83\x4C\x81\x5B\x83\x80.ini";  // a double-byte name
    changed.AppCloseQuery = true;
    changed.ScreenSnap = true;
    changed.ExitEsc = true;
    changed.SplitterSize = 10;
    changed.SplitterDesign = true;
    changed.SaveBookIndex = true;
    changed.BookIndex = 7;
    changed.ListState = TToolBarPos::tbHide;
    changed.NewPageTitlePolicy = TNewPageTitlePolicy::tpFollowFirstLine;
    changed.DefaultTitle = "\x96\xB3\x91\xE8";
    changed.BookTitleJointer = "";
    changed.AcceptAPI = false;
    changed.PortNumber = 32767;
    changed.AcceptOther = true;
    changed.LeaveIPAddress = "10.0.*.*";
    changed.EnabledSound = false;

    for (const TAppSettings& record : {DefaultAppSettings(kScreen), changed}) {
        TempDir dir;
        TMemIniFileEx out(dir / "Kavio.ini");
        SaveAppSettings(out, record);
        out.UpdateFile();
        EXPECT_EQ(LoadAppSettings(TMemIniFileEx(dir / "Kavio.ini"), kScreen), record);
    }
}

// Catches wrong section or key names, wrong encodings and a changed key order of a new file.
TEST(AppSettings, DefaultsWrittenByteExact)
{
    TempDir dir;
    TMemIniFileEx ini(dir / "Kavio.ini");
    SaveAppSettings(ini, DefaultAppSettings(kScreen));
    ini.UpdateFile();
    const std::string expected =
        "[Window]\r\nTopMost=0\r\nShade=0\r\nToolBarPos=3\r\nSaveFormSize=1\r\n"
        "FormSize=20,10,420,603\r\nSaveShadeState=0\r\nClipListSize=81\r\nShowTaskBar=0\r\n"
        "ShowTaskTray=1\r\nStartOnMinimize=0\r\nHintShortCuts=1\r\nMaximumFormSize=0,0,1050,1920\r\n"
        "AlphaValue=255\r\nAlphaValueSubForm=255\r\nScheme=gray.ini\r\nAppCloseQuery=0\r\n"
        "ScreenSnap=0\r\nExitEsc=0\r\n\r\n"
        "[Splitter]\r\nSize=3\r\nDesign=0\r\n\r\n"
        "[Book]\r\nSaveBookIndex=0\r\n\r\n"
        "[Page]\r\nListState=1\r\nNewPageTitlePolicy=0\r\n"
        "DefaultTitle=\x96\xBC\x8F\xCC\x96\xA2\x90\xDD\x92\xE8\r\nBookTitleJointer=->\r\n\r\n"
        "[KavioAPI]\r\nAcceptAPI=1\r\nPortNumber=8200\r\nAcceptOther=0\r\n"
        "LeaveIPAddress=192.168.*.*\r\n\r\n"
        "[Sounds]\r\nEnabledSound=1\r\n\r\n";
    EXPECT_EQ(ReadRaw(dir / "Kavio.ini"), expected);
}

// Catches defaults that differ from a missing file's, e.g. the tool bar not ending on the right
// or the API server not listening on 8200.
TEST(AppSettings, EmptyFileGivesTheDefaults)
{
    TempDir dir;
    const TAppSettings s = LoadFrom(dir, "");
    EXPECT_EQ(s, DefaultAppSettings(kScreen));
    EXPECT_EQ(s.ListState, TToolBarPos::tbRight);
    EXPECT_EQ(s.ToolBarPos, TToolBarPos::tbLeft);
    EXPECT_EQ(s.FormSize, kScreen.FormBounds);
    EXPECT_EQ(s.MaximumFormSize, kScreen.WorkArea);
    EXPECT_EQ(s.PortNumber, 8200);
    EXPECT_TRUE(s.AcceptAPI);
    EXPECT_TRUE(s.EnabledSound);
    EXPECT_EQ(s.Scheme, "gray.ini");
    EXPECT_EQ(s.DefaultTitle, "名称未設定"_sj);
    EXPECT_EQ(s.BookTitleJointer, "->");
    EXPECT_EQ(s.LeaveIPAddress, "192.168.*.*");
    EXPECT_EQ(StartBookIndex(s, 3), 0);
}

// Catches values out of range reaching the window: an invisible window from a wrapped opacity,
// a menu index that names no item, a port the server cannot use.
TEST(AppSettings, BadValuesAreClampedOrFallBack)
{
    struct Case {
        const char* lines;  // under [Window] unless a section is given
        int alpha, alphaSub, splitter, port;
        TShadeMode shade;
        TToolBarPos toolBar, listState;
        TNewPageTitlePolicy policy;
    };
    using S = TShadeMode;
    using P = TToolBarPos;
    using T = TNewPageTitlePolicy;
    const Case cases[] = {
        {"AlphaValue=256\r\nAlphaValueSubForm=0", 255, 30, 3, 8200, S::smDisable, P::tbLeft,
         P::tbRight, T::tpDefaultTitle},
        {"AlphaValue=-5\r\nAlphaValueSubForm=$80", 30, 128, 3, 8200, S::smDisable, P::tbLeft,
         P::tbRight, T::tpDefaultTitle},
        {"AlphaValue=abc\r\nShade=4\r\nToolBarPos=-1", 255, 255, 3, 8200, S::smDisable, P::tbLeft,
         P::tbRight, T::tpDefaultTitle},
        {"Shade=2\r\nToolBarPos=4\r\n[Page]\r\nListState=5\r\nNewPageTitlePolicy=2", 255, 255, 3,
         8200, S::smWhenMouseLeave, P::tbTop, P::tbRight, T::tpDefaultTitle},
        {"[Splitter]\r\nSize=11\r\n[KavioAPI]\r\nPortNumber=80", 255, 255, 10, 8200, S::smDisable,
         P::tbLeft, P::tbRight, T::tpDefaultTitle},
        {"[Splitter]\r\nSize=-1\r\n[KavioAPI]\r\nPortNumber=40000", 255, 255, 0, 8200,
         S::smDisable, P::tbLeft, P::tbRight, T::tpDefaultTitle},
        {"[Splitter]\r\nSize=0\r\n[KavioAPI]\r\nPortNumber=0x400\r\n[Page]\r\nListState=0\r\n"
         "NewPageTitlePolicy=1",
         255, 255, 0, 1024, S::smDisable, P::tbLeft, P::tbHide, T::tpFollowFirstLine},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const TAppSettings s = LoadFrom(dir, std::string("[Window]\r\n") + c.lines + "\r\n");
        EXPECT_EQ(s.AlphaValue, c.alpha) << c.lines;
        EXPECT_EQ(s.AlphaValueSubForm, c.alphaSub) << c.lines;
        EXPECT_EQ(s.SplitterSize, c.splitter) << c.lines;
        EXPECT_EQ(s.PortNumber, c.port) << c.lines;
        EXPECT_EQ(s.Shade, c.shade) << c.lines;
        EXPECT_EQ(s.ToolBarPos, c.toolBar) << c.lines;
        EXPECT_EQ(s.ListState, c.listState) << c.lines;
        EXPECT_EQ(s.NewPageTitlePolicy, c.policy) << c.lines;
    }
}

// Catches a remembered value used while its switch is off, and a clamp that fails at the ends.
TEST(AppSettings, SwitchedValuesAndBookIndex)
{
    TempDir dir;
    const std::string kept = "[Window]\r\nSaveFormSize=0\r\nFormSize=1,2,3,4\r\nSaveShadeState=0\r\n"
                             "FormShade=1\r\n[Book]\r\nSaveBookIndex=0\r\nBookIndex=2\r\n";
    const TAppSettings off = LoadFrom(dir, kept);
    EXPECT_EQ(off.FormSize, kScreen.FormBounds);
    EXPECT_FALSE(off.FormShade);
    EXPECT_EQ(off.BookIndex, 0);
    EXPECT_EQ(StartBookIndex(off, 3), 0);

    TAppSettings on = LoadFrom(dir, "[Window]\r\nFormSize=1,2,,4\r\nSaveShadeState=1\r\n"
                                    "FormShade=1\r\n[Book]\r\nSaveBookIndex=1\r\nBookIndex=99\r\n");
    EXPECT_EQ(on.FormSize, (TRect{2, 1, 4, kScreen.FormBounds.Bottom}));
    EXPECT_TRUE(on.FormShade);
    EXPECT_EQ(StartBookIndex(on, 3), 2);
    EXPECT_EQ(StartBookIndex(on, 0), -1);
    on.BookIndex = -4;
    EXPECT_EQ(StartBookIndex(on, 3), 0);

    on.ClipListSize = 5;
    EXPECT_EQ(ClipListHeight(on), 20);
    on.ClipListSize = 120;
    EXPECT_EQ(ClipListHeight(on), 120);
}

// Catches a shut-down that overwrites a FormSize kept while SaveFormSize is off, trusts a stale
// switch instead of the file, or drops an empty joiner.
TEST(AppSettings, ShutDownWritesTheWindowState)
{
    TempDir dir;
    TAppSettings s;
    s.TopMost = true;
    s.Shade = TShadeMode::smWhenDisactive;
    s.ToolBarPos = TToolBarPos::tbBottom;
    s.ListState = TToolBarPos::tbBottom;
    s.ClipListSize = 90;
    s.FormSize = {1, 2, 3, 4};
    s.FormShade = true;
    s.BookIndex = 5;
    s.SaveFormSize = true;  // stale: the file says otherwise
    s.SaveBookIndex = false;
    s.EnabledSound = false;
    s.BookTitleJointer = "";

    TMemIniFileEx ini = FromBytes(dir, "[Window]\r\nSaveFormSize=0\r\nFormSize=9,9,9,9\r\n"
                                       "SaveShadeState=1\r\n[Book]\r\nSaveBookIndex=1\r\n");
    SaveWindowState(ini, s);
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(dir / "Kavio.ini"),
              "[Window]\r\nSaveFormSize=0\r\nFormSize=9,9,9,9\r\nSaveShadeState=1\r\nTopMost=1\r\n"
              "Shade=1\r\nToolBarPos=2\r\nClipListSize=90\r\nFormShade=1\r\n\r\n"
              "[Book]\r\nSaveBookIndex=1\r\nBookIndex=5\r\n\r\n"
              "[Page]\r\nListState=2\r\nBookTitleJointer=\r\n\r\n"
              "[Sounds]\r\nEnabledSound=0\r\n\r\n");

    // The empty joiner is a value, not a missing key.
    EXPECT_EQ(LoadAppSettings(TMemIniFileEx(dir / "Kavio.ini")).BookTitleJointer, "");
}

// Catches new pages that keep the old title after the settings are applied.
TEST(AppSettings, AppliedDefaultTitleReachesNewPages)
{
    const std::string before = DefaultTitle;
    TAppSettings s;
    s.DefaultTitle = "\x83\x81\x83\x82";
    ApplyDefaultTitle(s);
    EXPECT_EQ(DefaultTitle, "\x83\x81\x83\x82");
    DefaultTitle = before;
}

// Catches tool lines that pick up the empty-line marker or lose their order.
TEST(AppSettings, ToolLinesAreARawSection)
{
    TempDir dir;
    TMemIniFileEx ini = FromBytes(dir, "[Tools]\r\nold\r\n[Page]\r\nListState=1\r\n");
    WriteToolLines(ini, {"b tool", "", "a tool"});
    EXPECT_EQ(ReadToolLines(ini), (std::vector<std::string>{"b tool", "a tool"}));
    EXPECT_EQ(ini.ToLines(), (Lines{"[Page]", "ListState=1", "", "[Tools]", "b tool", "a tool", ""}));
}
