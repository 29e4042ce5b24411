// The colour schemes that ship with the program (schemes/ in the source tree, copied into the
// build tree's scheme folder).

#include "base/codepage.h"
#include "base/file_system.h"
#include "config/color_scheme.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

using namespace kavio;

namespace {

const std::string kSourceDir = KAVIO_SCHEME_SOURCE_DIR;
const std::string kBuildDir = KAVIO_SCHEME_BUILD_DIR;

struct Shipped {
    const char* file;
    const char* name;  // display name, UTF-8 here, CP932 in the file
};
const Shipped kShipped[] = {
    {"blue.ini", "ブルー"},
    {"gray.ini", "グレー"},
    {"green.ini", "ダークグリーン"},
    {"sepia.ini", "セピア"},
};

// Every key the loader reads, by section: a misspelt key in a shipped file would be ignored
// without a word and its colour silently left at the default.
const std::vector<std::pair<std::string, std::set<std::string>>> kKeys = {
    {"Data", {"Name"}},
    {"FormColor", {"BaseColor", "TBarStartColor", "TBarFinishColor", "BackColor", "BorderColor", "WindowColor",
                   "TextColor", "TitleColor", "TitleShadowColor", "SquareColor"}},
    {"EditorColor", {"BarBackColor", "BarColor", "RulerMark", "EditorEvenLine", "EditorCurrentLine"}},
    {"PriorityColor", {"1", "2", "3", "4", "5", "Text"}},
    {"SelectPriorityColor", {"1", "2", "3", "4", "5", "Text"}},
};

// Relative luminance and contrast ratio of two explicit colours (red in the low byte).
double Luminance(TColor c)
{
    double sum = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
        const double v = ((c >> (8 * i)) & 0xFF) / 255.0;
        sum += weights[i] * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return sum;
}

double Contrast(TColor a, TColor b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

// Catches a shipped file saved in UTF-8 or with LF line ends, a colour the loader cannot read,
// a missing display name (the file would not be listed) and a misspelt or missing key.
TEST(ShippedSchemes, EveryFileIsACompleteCodePageScheme)
{
    std::vector<std::string> files;
    for (const Shipped& s : kShipped)
        files.push_back(s.file);
    std::vector<std::string> found = fs::ListFiles(kSourceDir, "*.ini");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, files) << "a shipped scheme without a row in this table";

    for (const Shipped& s : kShipped) {
        SCOPED_TRACE(s.file);
        const std::string path = kSourceDir + s.file;
        const std::string bytes = kavio::test::ReadRaw(path);
        EXPECT_TRUE(cp932::IsValid(bytes));
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
            } else if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
            }
        }
        EXPECT_TRUE(bytes.ends_with("\r\n"));

        EXPECT_EQ(SchemeDisplayName(path), cp932::FromUtf8Strict(s.name));
        EXPECT_NO_THROW(LoadColorScheme(path));
        const TMemIniFileEx ini(path);
        std::set<std::string> sections;
        for (const auto& [section, keys] : kKeys) {
            sections.insert(section);
            const std::vector<std::string> names = ini.ReadSection(section);
            EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), keys) << "[" << section << "]";
            EXPECT_EQ(names.size(), keys.size()) << "a key given twice in [" << section << "]";
        }
        const std::vector<std::string> all = ini.ReadSections();
        EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), sections);
    }
}

// Catches a shipped default scheme that drifts from the built-in colours, so that choosing
// "gray.ini" would look different from having no scheme file at all.
TEST(ShippedSchemes, GrayIsTheBuiltInScheme)
{
    EXPECT_EQ(LoadColorScheme(kSourceDir + std::string(scheme::kDefaultScheme)), TColorScheme());
}

// Catches a scheme whose text cannot be read on its own background: each text colour against
// every background it is drawn on must reach a contrast ratio of 4.5.
TEST(ShippedSchemes, TextStaysReadable)
{
    for (const Shipped& shipped : kShipped) {
        SCOPED_TRACE(shipped.file);
        const TColorScheme s = LoadColorScheme(kSourceDir + shipped.file);
        std::vector<std::tuple<const char*, TColor, TColor>> pairs = {
            {"text on window", s.TextColor, s.WindowColor},
            {"bar text", s.BarColor, s.BarBackColor},
            {"title on title-bar edge", s.TitleColor, s.TBarStartColor},
            {"title on title-bar middle", s.TitleColor, s.TBarFinishColor},
            {"text on even line", s.TextColor, s.EditorEvenLine},
            {"text on current line", s.TextColor, s.EditorCurrentLine},
        };
        for (int priority = 1; priority <= 5; ++priority) {
            pairs.emplace_back("page row", s.RowTextColor(false), s.RowColor(priority, false));
            pairs.emplace_back("selected page row", s.RowTextColor(true), s.RowColor(priority, true));
        }
        for (const auto& [what, text, back] : pairs) {
            if (back == clNone)
                continue;  // that mark is off
            EXPECT_GE(Contrast(text, back), 4.5) << what;
        }
    }
}

// Catches a build that does not copy the schemes into the scheme folder beside the program, or
// copies stale ones.
TEST(ShippedSchemes, BuildTreeHoldsTheShippedFiles)
{
    std::vector<TSchemeEntry> expected;
    for (const Shipped& s : kShipped) {
        EXPECT_EQ(kavio::test::ReadRaw(kBuildDir + s.file), kavio::test::ReadRaw(kSourceDir + s.file)) << s.file;
        expected.push_back({s.file, cp932::FromUtf8Strict(s.name), kBuildDir + s.file});
    }
    EXPECT_EQ(ListSchemes({kBuildDir}), expected);
}
