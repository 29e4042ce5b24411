#pragma once

#include "config/ini_file.h"

#include <array>
#include <string>
#include <vector>

// Colour schemes: small INI files in the scheme folder that the main window is painted from.
// The program never writes them. Every colour has a built-in default, so a missing file, an
// empty path or a missing key still gives a complete scheme.
namespace kavio {

namespace scheme {

constexpr std::string_view kData = "Data";
constexpr std::string_view kName = "Name";
constexpr std::string_view kFormColor = "FormColor";
constexpr std::string_view kEditorColor = "EditorColor";
constexpr std::string_view kPriorityColor = "PriorityColor";
constexpr std::string_view kSelectPriorityColor = "SelectPriorityColor";
// Key of the text colour of all rows in the two priority sections.
constexpr std::string_view kText = "Text";

// The scheme the settings name when they name none.
constexpr std::string_view kDefaultScheme = "gray.ini";

}  // namespace scheme

// An explicit colour from its red, green and blue components.
constexpr TColor Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return TColor(red) | TColor(green) << 8 | TColor(blue) << 16;
}

// Every field is a colour; clNone where it switches the thing it paints off.
struct TColorScheme {
    TColor TBarStartColor = Rgb(255, 255, 255);
    TColor TBarFinishColor = Rgb(243, 243, 243);  // the file's BaseColor unless given
    TColor BackColor = Rgb(242, 242, 242);
    TColor BorderColor = Rgb(128, 128, 128);
    TColor WindowColor = Rgb(255, 255, 255);
    TColor TitleColor = Rgb(0, 0, 0);
    TColor TitleShadowColor = clNone;
    TColor TextColor = Rgb(0, 0, 0);
    TColor SquareColor = Rgb(128, 128, 128);
    TColor BarBackColor = Rgb(255, 255, 255);  // WindowColor unless given
    TColor BarColor = Rgb(0, 0, 0);            // TextColor unless given
    TColor RulerMark = Rgb(0, 0, 128);
    TColor EditorEvenLine = clNone;
    TColor EditorCurrentLine = clNone;
    // Row backgrounds of the page list, indexed by priority - 1 (priority 1 is the highest).
    std::array<TColor, 5> PriorityColor = {Rgb(255, 0, 0), Rgb(255, 177, 102), Rgb(255, 255, 255),
                                           Rgb(150, 221, 255), Rgb(112, 173, 255)};
    std::array<TColor, 5> SelectPriorityColor = {Rgb(255, 142, 127), Rgb(255, 221, 146),
                                                 Rgb(255, 239, 229), Rgb(194, 255, 255),
                                                 Rgb(141, 202, 255)};
    TColor PriorityTextColor = Rgb(0, 0, 0);
    TColor SelectPriorityTextColor = Rgb(0, 0, 0);

    // Row background for a page priority (1..5; others are clamped into that range).
    TColor RowColor(int priority, bool selected) const;
    TColor RowTextColor(bool selected) const { return selected ? SelectPriorityTextColor : PriorityTextColor; }

    bool operator==(const TColorScheme&) const = default;
};

// The scheme in the file at `path`: an empty path or a missing file gives the built-in scheme,
// a missing key its default. A value that is neither a colour name nor a number throws
// EConvertError ("'%s' は整数ではありません"); nothing is returned then, so a caller's scheme
// stays as it was.
TColorScheme LoadColorScheme(const std::string& path);
// The same from a file already read.
TColorScheme LoadColorScheme(const TMemIniFileEx& ini);

// The key of a priority in the two priority sections: "5" for priority 1 ... "1" for priority 5.
std::string PriorityKey(int priority);

struct TSchemeEntry {
    std::string FileName;  // name inside its folder, e.g. "gray.ini"
    std::string Name;      // display name, [Data] Name
    std::string Path;      // folder + FileName
    bool operator==(const TSchemeEntry&) const = default;
};

// The display name of a scheme file; empty when the file, the key or its value is missing or
// the file cannot be read.
std::string SchemeDisplayName(const std::string& path);

// The "*.ini" files of the folders that carry a display name, sorted by file name. A file hides
// files of the same name in later folders. Missing folders and
// unreadable files are skipped.
std::vector<TSchemeEntry> ListSchemes(const std::vector<std::string>& folders);

}  // namespace kavio
