#include "config/color_scheme.h"

#include "base/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kavio;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

TColorScheme LoadBytes(const TempDir& dir, const std::string& bytes)
{
    WriteRaw(dir / "s.ini", bytes);
    return LoadColorScheme(dir / "s.ini");
}

}  // namespace

// Catches built-in colours that differ from the documented ones, and a missing file or an
// empty path that does not give them.
TEST(ColorScheme, MissingFileAndEmptyPathGiveTheBuiltInScheme)
{
    TempDir dir;
    EXPECT_EQ(LoadColorScheme(std::string()), TColorScheme());
    EXPECT_EQ(LoadColorScheme(dir / "missing.ini"), TColorScheme());
    EXPECT_EQ(LoadBytes(dir, "[Data]\r\nName=Empty\r\n"), TColorScheme());

    const TColorScheme s;
    EXPECT_EQ(s.TBarFinishColor, Rgb(243, 243, 243));
    EXPECT_EQ(s.BackColor, 0x00F2F2F2u);
    EXPECT_EQ(s.RulerMark, 0x00800000u);  // navy: blue in the third byte
    EXPECT_EQ(s.TitleShadowColor, clNone);
    EXPECT_EQ(s.EditorEvenLine, clNone);
    EXPECT_EQ(s.EditorCurrentLine, clNone);
    EXPECT_EQ(s.RowColor(1, false), Rgb(255, 0, 0));
    EXPECT_EQ(s.RowColor(1, true), Rgb(255, 142, 127));
    EXPECT_EQ(s.RowColor(5, false), Rgb(112, 173, 255));
    EXPECT_EQ(s.RowTextColor(true), clBlack);
}

// Catches defaults that name another key but ignore the value read for it.
TEST(ColorScheme, DependentDefaultsFollowTheFile)
{
    TempDir dir;
    TColorScheme expected;
    expected.TBarFinishColor = Rgb(255, 0, 0);
    EXPECT_EQ(LoadBytes(dir, "[FormColor]\r\nBaseColor=clRed\r\n"), expected);

    const TColorScheme s =
        LoadBytes(dir, "[FormColor]\r\nBaseColor=clRed\r\nTBarFinishColor=clLime\r\n"
                       "WindowColor=$00102030\r\nTextColor=clNavy\r\n");
    EXPECT_EQ(s.TBarFinishColor, 0x0000FF00u);
    EXPECT_EQ(s.BarBackColor, 0x00102030u);
    EXPECT_EQ(s.BarColor, 0x00800000u);

    const TColorScheme own = LoadBytes(
        dir, "[FormColor]\r\nWindowColor=clBlack\r\n[EditorColor]\r\nBarBackColor=clSilver\r\n"
             "EditorCurrentLine=clYellow\r\n");
    EXPECT_EQ(own.BarBackColor, 0x00C0C0C0u);
    EXPECT_EQ(own.EditorCurrentLine, 0x0000FFFFu);
    EXPECT_EQ(own.EditorEvenLine, clNone);
}

// Catches priority keys read the wrong way round (key "5" is priority 1) and the two sections
// mixed up.
TEST(ColorScheme, PriorityKeysCountDownward)
{
    TempDir dir;
    const TColorScheme s = LoadBytes(dir,
                                     "[PriorityColor]\r\n5=1\r\n1=5\r\nText=clWhite\r\n"
                                     "[SelectPriorityColor]\r\n4=12\r\ntext=CLRED\r\n");
    EXPECT_EQ(s.PriorityColor, (std::array<TColor, 5>{1, Rgb(255, 177, 102), Rgb(255, 255, 255),
                                                       Rgb(150, 221, 255), 5}));
    EXPECT_EQ(s.PriorityTextColor, clWhite);
    EXPECT_EQ(s.RowColor(2, true), 12u);
    EXPECT_EQ(s.RowColor(1, true), Rgb(255, 142, 127));
    EXPECT_EQ(s.SelectPriorityTextColor, Rgb(255, 0, 0));
    EXPECT_EQ(PriorityKey(1), "5");
    EXPECT_EQ(PriorityKey(5), "1");
}

// Catches a malformed colour that crashes, is silently taken as some colour, or half-loads the
// caller's scheme.
TEST(ColorScheme, MalformedColourIsAConversionError)
{
    TempDir dir;
    TColorScheme current;
    current.BackColor = Rgb(255, 0, 0);
    for (const char* bytes : {"[FormColor]\r\nBackColor=grey\r\n",
                              "[EditorColor]\r\nRulerMark=#FF0000\r\n",
                              "[SelectPriorityColor]\r\nText=\r\n"}) {
        try {
            current = LoadBytes(dir, bytes);
            ADD_FAILURE() << "no error for " << bytes;
        } catch (const EConvertError& e) {
            EXPECT_NE(std::string(e.what()).find("は整数ではありません"), std::string::npos);
        }
        EXPECT_EQ(current.BackColor, Rgb(255, 0, 0));
    }
}

// Catches listing files without a display name, files that are no schemes, a missing folder
// that fails the list, and a later folder's file of the same name shadowing the first.
TEST(ColorScheme, ListsNamedSchemeFiles)
{
    TempDir user;
    TempDir installed;
    WriteRaw(user / "b.ini", "[Data]\r\nName=Blue\r\n");
    WriteRaw(user / "a.ini", "[Data]\r\nName=\x83\x4F\x83\x8C\x81\x5B\r\n");
    WriteRaw(user / "noname.ini", "[FormColor]\r\nBackColor=clRed\r\n");
    WriteRaw(user / "empty.ini", "[Data]\r\nName=\r\n");
    WriteRaw(user / "c.txt", "[Data]\r\nName=Text\r\n");
    std::filesystem::create_directory(user / "d.ini");
    WriteRaw(installed / "b.ini", "[Data]\r\nName=Other blue\r\n");
    WriteRaw(installed / "noname.ini", "[Data]\r\nName=Hidden\r\n");
    WriteRaw(installed / "gray.ini", "[Data]\r\nName=Gray\r\n");

    const std::vector<TSchemeEntry> expected = {
        {"a.ini", "\x83\x4F\x83\x8C\x81\x5B", user / "a.ini"},
        {"b.ini", "Blue", user / "b.ini"},
        {"gray.ini", "Gray", installed / "gray.ini"},
    };
    EXPECT_EQ(ListSchemes({user.path(), user / "missing/", installed.path()}), expected);
    EXPECT_EQ(SchemeDisplayName(installed / "gray.ini"), "Gray");
    EXPECT_EQ(SchemeDisplayName(user / "missing.ini"), "");
}
