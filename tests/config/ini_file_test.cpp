#include "config/ini_file.h"

#include "base/codepage.h"
#include "base/error.h"
#include "config/path_macros.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace kavio;
using kavio::test::ReadRaw;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

TMemIniFileEx FromBytes(const TempDir& dir, const std::string& bytes)
{
    WriteRaw(dir / "t.ini", bytes);
    return TMemIniFileEx(dir / "t.ini");
}

}  // namespace

// Catches lines that survive the reading rules although they should not, or are changed
// where they should pass through as they are.
TEST(IniFile, ReadingRulesNormaliseTheImage)
{
    struct Case {
        const char* what;
        std::string bytes;
        Lines image;  // as UpdateFile would write it
    };
    const Case cases[] = {
        {"lines before the first section are dropped", "a=1\r\nraw\r\n[S]\r\nb=2\r\n",
         {"[S]", "b=2", ""}},
        {"bytes 0..32 trimmed at both ends", "\t [ S ] \x01\r\n \x1F k=v \t\r\n",
         {"[S]", "k=v", ""}},
        {"blanks around the first = only", "[S]\r\nname = a = b  \r\n", {"[S]", "name=a = b", ""}},
        {"empty and ; lines dropped, # kept raw", "[S]\r\n\r\n  ; note\r\n;x=1\r\n#raw\r\n",
         {"[S]", "#raw", ""}},
        {"raw lines kept", "[Tools]\r\n  notepad %f \r\nx\r\n", {"[Tools]", "notepad %f", "x", ""}},
        {"CR, LF and no final line end", "[A]\rk=1\n[B]\r\nk=2", {"[A]", "k=1", "", "[B]", "k=2", ""}},
        {"duplicate sections stay separate", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n",
         {"[A]", "k=1", "", "[a]", "k=2", ""}},
        {"empty section name", "[]\r\nk=1\r\n", {"[]", "k=1", ""}},
        // "[テキスト‐" ends in 81 5D: the 5D is no "]", so this is a raw line, not a section.
        {"] as a second byte closes no section", "[S]\r\n[\x83\x65\x83\x4C\x83\x58\x83\x67\x81\x5D\r\n",
         {"[S]", "[\x83\x65\x83\x4C\x83\x58\x83\x67\x81\x5D", ""}},
        {"empty file", "", {}},
    };
    TempDir dir;
    for (const Case& c : cases)
        EXPECT_EQ(FromBytes(dir, c.bytes).ToLines(), c.image) << c.what;
}

// Catches lookups that find the first of two equal names, or that fold the second byte of a
// double-byte name as if it were a letter (83 61 "ヂ" and 83 41 "ァ" differ).
TEST(IniFile, NamesMatchWithoutCaseAtTheirLastOccurrence)
{
    TempDir dir;
    TMemIniFileEx ini = FromBytes(dir,
                                  "[Main]\r\nKey=first\r\nkey=second\r\n\x83\x61=dbcs\r\n"
                                  "[Other]\r\nk=o\r\n[MAIN]\r\nlast=1\r\n");
    // The last [MAIN] holds no "Key": sections are not merged.
    EXPECT_EQ(ini.ReadString("main", "KEY", "def"), "def");
    EXPECT_EQ(ini.ReadString("Main", "last", ""), "1");

    TMemIniFileEx two = FromBytes(dir, "[Main]\r\nKey=first\r\nkey=second\r\n\x83\x61=dbcs\r\n");
    EXPECT_EQ(two.ReadString("MAIN", "kEy", ""), "second");
    EXPECT_EQ(two.ReadString("Main", "\x83\x61", ""), "dbcs");
    EXPECT_FALSE(two.ValueExists("Main", "\x83\x41"));

    two.WriteString("main", "KEY", "new");
    EXPECT_EQ(two.ReadSectionValues("Main"), (Lines{"Key=first", "KEY=new", "\x83\x61=dbcs"}));
    two.DeleteKey("Main", "key");
    EXPECT_EQ(two.ReadSectionValues("Main"), (Lines{"Key=first", "\x83\x61=dbcs"}));
    EXPECT_EQ(two.ReadString("Main", "Key", ""), "first");
}

TEST(IniFile, SectionOperations)
{
    TempDir dir;
    TMemIniFileEx ini = FromBytes(dir, "[A]\r\nx=1\r\nraw\r\n[Empty]\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n");
    EXPECT_EQ(ini.ReadSections(), (Lines{"A", "Empty", "B", "a"}));
    EXPECT_EQ(ini.ReadSection("A"), (Lines{"z"}));
    EXPECT_FALSE(ini.SectionExists("Empty"));  // exists, but holds no line
    EXPECT_FALSE(ini.SectionExists("None"));
    EXPECT_TRUE(ini.SectionExists("b"));

    ini.EraseSection("A");  // the later [a]
    EXPECT_EQ(ini.ReadSections(), (Lines{"A", "Empty", "B"}));
    EXPECT_EQ(ini.ReadSection("A"), (Lines{"x", ""}));  // raw lines have no name
    EXPECT_EQ(ini.ReadSectionValues("A"), (Lines{"x=1", "raw"}));

    ini.WriteString("New", "k", "v");  // a missing section is appended
    EXPECT_EQ(ini.ReadSections().back(), "New");
    ini.DeleteKey("None", "k");        // nothing to delete is no error
}

// Catches a file that is changed before UpdateFile, or written in any but the fixed layout.
TEST(IniFile, UpdateFileWritesTheImageByteForByte)
{
    TempDir dir;
    WriteRaw(dir / "t.ini", "junk\r\n[A]\r\n k = v \r\n\r\n\r\n[B]\n\x83\x5C=\x83\x7C\n");
    TMemIniFileEx ini(dir / "t.ini");
    ini.WriteInteger("B", "n", -5);
    ini.WriteString("C", "s", "\x96\xBC\x8F\xCC");
    EXPECT_EQ(ReadRaw(dir / "t.ini"), "junk\r\n[A]\r\n k = v \r\n\r\n\r\n[B]\n\x83\x5C=\x83\x7C\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(dir / "t.ini"),
              "[A]\r\nk=v\r\n\r\n[B]\r\n\x83\x5C=\x83\x7C\r\nn=-5\r\n\r\n[C]\r\ns=\x96\xBC\x8F\xCC\r\n\r\n");
}

TEST(IniFile, MissingFileIsEmptyAndIsCreatedOnUpdate)
{
    TempDir dir;
    TMemIniFileEx ini(dir / "new.ini");
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_FALSE(kavio::test::Exists(dir / "new.ini"));
    ini.WriteBool("S", "b", true);
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(dir / "new.ini"), "[S]\r\nb=1\r\n\r\n");
}

TEST(IniFile, FileThatCannotBeWrittenIsAnError)
{
    TempDir dir;
    TMemIniFileEx blocked(dir / "missing/t.ini");
    blocked.WriteString("S", "k", "v");
    EXPECT_THROW(blocked.UpdateFile(), ESystemError);
}

TEST(IniFile, FileThatCannotBeReadIsAnError)
{
    TempDir dir;
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads unreadable files";
    WriteRaw(dir / "secret.ini", "[S]\r\nk=v\r\n");
    std::filesystem::permissions(dir / "secret.ini", std::filesystem::perms::none);
    EXPECT_THROW(TMemIniFileEx(dir / "secret.ini"), ESystemError);
}

TEST(IniFile, DefaultConstructorOpensTheDefaultFile)
{
    TempDir dir;
    WriteRaw(dir / "Kavio.ini", "[PersonalDirectory]\r\nalice=/x\r\n");
    const std::string saved = DefaultIniFile;
    DefaultIniFile = dir / "Kavio.ini";
    TMemIniFileEx ini;
    DefaultIniFile = saved;
    EXPECT_EQ(ini.FileName(), dir / "Kavio.ini");
    EXPECT_EQ(ini.ReadString("PersonalDirectory", "ALICE", ""), "/x");
}

// Catches hex read where it should not be ("0x" alone), overflow read as a wrapped number, and
// Booleans that treat anything but 0 as false.
TEST(IniFile, IntegersAndBooleans)
{
    struct Case {
        const char* value;
        int32_t integer;  // ReadInteger with default 7
        bool boolean;     // ReadBool with default false
    };
    const Case cases[] = {
        {"42", 42, true},          {"-12", -12, true},       {"+3", 3, true},
        {"0", 0, false},           {"2", 2, true},           {"abc", 7, false},
        {"0x10", 16, true},        {"0X1f", 31, true},       {"0x", 7, false},
        {"$FF", 255, true},        {"$", 7, false},          {"$FFFFFFFF", -1, true},
        {"2147483647", 2147483647, true}, {"2147483648", 7, false}, {"-2147483648", INT32_MIN, true},
        {"12a", 7, false},         {"", 7, false},           {"$1G", 7, false},
    };
    TMemIniFileEx ini("");
    ini.Section = "S";
    for (const Case& c : cases) {
        ini.WriteString("v", c.value);
        EXPECT_EQ(ini.ReadInteger("v", 7), c.integer) << c.value;
        EXPECT_EQ(ini.ReadBool("v", false), c.boolean) << c.value;
    }
    EXPECT_TRUE(ini.ReadBool("missing", true));
    EXPECT_EQ(ini.ReadInteger("missing", -3), -3);
    ini.WriteInteger("n", INT32_MIN);
    ini.WriteBool("b", false);
    EXPECT_EQ(ini.ReadString("n", ""), "-2147483648");
    EXPECT_EQ(ini.ReadString("b", ""), "0");
}

TEST(IniFile, RectanglesAreStoredTopLeftBottomRight)
{
    TMemIniFileEx ini("");
    ini.Section = "Window";
    const TRect rect{10, 20, 300, 400};
    ini.WriteRect("Bounds", rect);
    EXPECT_EQ(ini.ReadString("Bounds", ""), "20,10,400,300");
    EXPECT_EQ(ini.ReadRect("Bounds", TRect{}), rect);

    // A missing comma leaves its piece empty and the next search starts at the same place.
    struct Case {
        const char* value;
        TRect expected;  // {Left, Top, Right, Bottom}; default {-1, -2, -3, -4}
    };
    const Case cases[] = {
        {"1,2,3", {2, 1, 3, -4}},
        {"1,2,3,4,5", {2, 1, -3, 3}},
        {"1", {-1, -2, 1, -4}},
        {",,,", {-1, -2, -3, -4}},
        {"a,2,b,4", {2, -2, 4, -4}},
        {"", {-1, -2, -3, -4}},
    };
    for (const Case& c : cases) {
        ini.WriteString("R", c.value);
        EXPECT_EQ(ini.ReadRect("R", TRect{-1, -2, -3, -4}), c.expected) << c.value;
    }
}

TEST(IniFile, FontsRoundTripWithCodePageFaceAndStyleSet)
{
    TMemIniFileEx ini("");
    TFontSpec font{128, 0, "ＭＳ ゴシック"_sj, 9, {true, true, false, false}};
    ini.WriteFont("Editor", "Font", font);
    EXPECT_EQ(ini.ReadString("Editor", "Font", ""), "128,0," + "ＭＳ ゴシック"_sj + ",9,[fsBold,fsItalic]");
    TFontSpec read;
    ASSERT_TRUE(ini.ReadFont("Editor", "Font", read));
    EXPECT_EQ(read, font);

    // System colours are negative as 32-bit numbers and must come back whole.
    TFontSpec all{1, clWindowText, "Mono", 12, {true, true, true, true}};
    ini.WriteFont("Editor", "All", all);
    EXPECT_EQ(ini.ReadString("Editor", "All", ""), "1,-16777208,Mono,12,[fsBold,fsItalic,fsUnderline,fsStrikeOut]");
    ASSERT_TRUE(ini.ReadFont("Editor", "All", read));
    EXPECT_EQ(read, all);
}

TEST(IniFile, FontReadingToleratesDamage)
{
    TMemIniFileEx ini("");
    TFontSpec font{1, 2, "keep", 3, {true}};
    EXPECT_FALSE(ini.ReadFont("Editor", "Font", font));
    EXPECT_EQ(font, (TFontSpec{1, 2, "keep", 3, {true}}));

    struct Case {
        const char* value;
        TFontSpec expected;
    };
    const Case cases[] = {
        {"x,y,Face,z,[fsBogus, fsUnderline]", {0, 0, "Face", 0, {false, false, true, false}}},
        // No third comma: face and size are empty and "Face" is read as a style set.
        {"128,255,Face", {128, 255, "", 0, {}}},
        {"", {0, 0, "", 0, {}}},
        {"1,2,F,9,fsItalic", {1, 2, "F", 9, {false, true, false, false}}},
    };
    for (const Case& c : cases) {
        ini.WriteString("Editor", "Font", c.value);
        ASSERT_TRUE(ini.ReadFont("Editor", "Font", font));
        EXPECT_EQ(font, c.expected) << c.value;
    }
}

TEST(IniFile, ColoursByNameOrHex)
{
    struct Case {
        TColor color;
        const char* text;
    };
    const Case cases[] = {
        {0xFF00000F, "clBtnFace"}, {0x00123456, "$00123456"}, {0x00000000, "clBlack"},
        {0x1FFFFFFF, "clNone"},    {0x20000000, "clDefault"}, {0x00F0CAA6, "clSkyBlue"},
        {0xFF000016, "cl3DLight"}, {0xFF000020, "$FF000020"}, {0x00A4A0A0, "clMedGray"},
    };
    TMemIniFileEx ini("");
    ini.Section = "Colors";
    for (const Case& c : cases) {
        ini.WriteColor("c", c.color);
        EXPECT_EQ(ini.ReadString("c", ""), c.text);
        EXPECT_EQ(ini.ReadColor("c", 1), c.color) << c.text;
    }
    const std::pair<const char*, TColor> reads[] = {
        {"CLBTNFACE", 0xFF00000F}, {"clwindowtext", 0xFF000008}, {"255", 255}, {"$ff", 255}, {"-1", 0xFFFFFFFF},
    };
    for (const auto& [text, color] : reads) {
        ini.WriteString("c", text);
        EXPECT_EQ(ini.ReadColor("c", 1), color) << text;
    }
    EXPECT_EQ(ini.ReadColor("missing", 0x123), 0x123u);
}

// An unreadable colour is the one value that is reported instead of defaulted.
TEST(IniFile, UnreadableColourIsAConversionErrorNamingTheValue)
{
    TMemIniFileEx ini("");
    ini.WriteString("Colors", "c", "\x90\xD4");  // "赤"
    try {
        ini.ReadColor("Colors", "c", 0);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'赤' は整数ではありません");
    }
    ini.WriteString("Colors", "c", "clBtnFaceX");
    EXPECT_THROW(ini.ReadColor("Colors", "c", 0), EConvertError);
}

TEST(IniFile, StringListsKeepEmptyElementsOnlyWhenMarked)
{
    TMemIniFileEx ini("");
    ini.WriteString("Tools", "old", "x");
    ini.WriteString("After", "k", "v");
    ini.WriteStrings("Tools", {"a", "", "  b"}, true);
    Lines lines;
    ASSERT_TRUE(ini.ReadStrings("Tools", lines));
    EXPECT_EQ(lines, (Lines{"a", "", "b"}));
    // The section moved to the end and the raw lines are stored marked.
    EXPECT_EQ(ini.ToLines(), (Lines{"[After]", "k=v", "", "[Tools]", "a", "%空行%"_sj, "b", ""}));

    ini.WriteStrings("Tools", {"a", "", "  b"}, false);
    ASSERT_TRUE(ini.ReadStrings("Tools", lines));
    EXPECT_EQ(lines, (Lines{"a", "b"}));

    ini.WriteStrings("Tools", {"k = v", " x "}, false);
    ASSERT_TRUE(ini.ReadStrings("Tools", lines));
    EXPECT_EQ(lines, (Lines{"k=v", "x"}));
}

TEST(IniFile, MissingOrEmptyStringListLeavesTheCallersLines)
{
    TMemIniFileEx ini("");
    Lines lines{"keep"};
    EXPECT_FALSE(ini.ReadStrings("Tools", lines));
    ini.WriteStrings("Tools", {"", "   "}, false);
    EXPECT_FALSE(ini.ReadStrings("Tools", lines));
    EXPECT_EQ(lines, (Lines{"keep"}));
}

// Catches an element that turns into a section (or a comment, or extra lines) and so takes the
// sections after it apart once the file is written and read again.
TEST(IniFile, ElementsThatCannotBeHeldNeverBreakOtherSections)
{
    TempDir dir;
    TMemIniFileEx ini(dir / "t.ini");
    ini.WriteStrings("Words", {"one", "[Hotkeys]", "  [x]  ", "; comment", "two\r\n[Evil]\r\nk=v",
                               "[\x83\x65\x81\x5D", "three"},
                     true);
    ini.WriteString("Hotkeys", "Show", "Ctrl+Alt+K");
    ini.WriteString("Main", "Title", "a\r\n[Injected]\r\nk=v");  // a value cannot break lines either
    ini.UpdateFile();

    TMemIniFileEx again(dir / "t.ini");
    EXPECT_EQ(again.ReadSections(), (Lines{"Words", "Hotkeys", "Main"}));
    Lines words;
    ASSERT_TRUE(again.ReadStrings("Words", words));
    EXPECT_EQ(words, (Lines{"one", "[\x83\x65\x81\x5D", "three"}));
    EXPECT_EQ(again.ReadSectionValues("Hotkeys"), (Lines{"Show=Ctrl+Alt+K"}));
    EXPECT_EQ(again.ReadString("Main", "Title", ""), "a");
}

TEST(IniFile, PathsAreFoldedAndExpanded)
{
    const PathMacroFolders saved = GetPathMacroFolders();
    PathMacroFolders folders = saved;
    folders[0] = "/home/u/Documents";
    SetPathMacroFolders(folders);
    TMemIniFileEx ini("");
    ini.WritePath("PersonalDirectory", "u", "/home/u/Documents/Kavio");
    EXPECT_EQ(ini.ReadString("PersonalDirectory", "u", ""), "%PERSONAL%/Kavio");
    EXPECT_EQ(ini.ReadPath("PersonalDirectory", "u", ""), "/home/u/Documents/Kavio");
    EXPECT_EQ(ini.ReadPath("PersonalDirectory", "none", "%PERSONAL%/x"), "/home/u/Documents/x");
    SetPathMacroFolders(saved);
}
