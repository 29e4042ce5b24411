#pragma once

#include "base/line_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Kavio's INI files (settings, the location file, colour schemes) held wholly in memory.
//
// Reading rules, applied when a file is read and when a string list is stored:
// - every line is trimmed of the bytes 0..32 at both ends; empty lines and lines beginning with
//   ";" are dropped, and so is everything before the first section line;
// - "[name]" starts a section (its name trimmed); a "]" that is the second byte of a
//   double-byte character does not close a section line;
// - a line with "=" is an entry, its name and value trimmed separately; any other line is kept
//   as a raw line;
// - names of sections and entries compare without regard to the case of single-byte letters;
//   a name held twice is found at its last occurrence, for reading, writing and erasing alike.
//
// Names and values are code-page bytes. Nothing reaches the disk before UpdateFile().
namespace kavio {

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};

struct TFontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFontStyles&) const = default;
};

struct TFontSpec {
    uint8_t Charset = 0;   // 128 is Shift_JIS
    uint32_t Color = 0;
    std::string Name;      // code-page bytes
    int Size = 0;          // points
    TFontStyles Style;
    bool operator==(const TFontSpec&) const = default;
};

// Red in the low byte, green, blue; FF in the top byte with an index names a system colour.
using TColor = uint32_t;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clNone = 0x1FFFFFFF;

// The colour's name ("clBtnFace"), or "$" and eight upper-case hex digits.
std::string ColorToString(TColor color);
// A colour name (any letter case) or a whole number; false for anything else.
bool StringToColor(std::string_view text, TColor& color);

// The number rules of ReadInteger: "0x"/"0X" + hex when longer than two characters, "$" + hex,
// or decimal; false when the text is none of these or does not fit 32 bits.
bool ParseIniInteger(std::string_view text, int32_t& value);

// The file the constructor without arguments opens. Start-up sets it to the location file, so
// that whoever changes a personal-folder entry writes the file start-up reads.
extern std::string DefaultIniFile;

class TMemIniFileEx {
public:
    // Opens DefaultIniFile.
    TMemIniFileEx();
    // A missing file gives an empty image; a file that exists but cannot be read throws.
    explicit TMemIniFileEx(std::string fileName);

    const std::string& FileName() const { return m_fileName; }
    // Replaces the file with the image atomically: "[name]", the section's lines, an empty line.
    void UpdateFile() const;
    // The image as UpdateFile writes it.
    Lines ToLines() const;

    // The current section of the short forms.
    std::string Section;

    std::string ReadString(std::string_view section, std::string_view name,
                           const std::string& def) const;
    // Replaces the last entry of that name in place, or appends one (and the section, when
    // missing). A line break cannot be held in an INI line: a name or value is stored up to its
    // first CR or LF, so it can never add lines or sections to the file.
    void WriteString(std::string_view section, std::string_view name, std::string_view value);
    int32_t ReadInteger(std::string_view section, std::string_view name, int32_t def) const;
    void WriteInteger(std::string_view section, std::string_view name, int32_t value);
    bool ReadBool(std::string_view section, std::string_view name, bool def) const;
    void WriteBool(std::string_view section, std::string_view name, bool value);

    bool ValueExists(std::string_view section, std::string_view name) const;
    // True when the section exists and holds at least one line.
    bool SectionExists(std::string_view section) const;
    // The names of the section's lines; "" for a raw line.
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    // The section's lines as held ("name=value" or raw).
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view name);

    // "%d,%d,%d,%d" in the order top, left, bottom, right. An empty or unreadable piece reads as
    // the default's field.
    TRect ReadRect(std::string_view section, std::string_view name, const TRect& def) const;
    void WriteRect(std::string_view section, std::string_view name, const TRect& rect);
    // "charset,colour,face,size,[fsBold,...]". False and `font` untouched when the entry is
    // missing. Unknown style names are ignored.
    bool ReadFont(std::string_view section, std::string_view name, TFontSpec& font) const;
    void WriteFont(std::string_view section, std::string_view name, const TFontSpec& font);
    // Throws EConvertError ("'%s' は整数ではありません") for a value that is neither a colour
    // name nor a number.
    TColor ReadColor(std::string_view section, std::string_view name, TColor def) const;
    void WriteColor(std::string_view section, std::string_view name, TColor color);
    // Stored with a leading folder folded to its macro; read with the macro expanded.
    std::string ReadPath(std::string_view section, std::string_view name,
                         const std::string& def) const;
    void WritePath(std::string_view section, std::string_view name, const std::string& path);

    // Replaces the section by one holding the lines, moved to the end of the image. The lines
    // pass through the reading rules: they are trimmed, blanks around their first "=" vanish and
    // empty ones are lost, unless `markEmpty` stores an empty line as "%空行%". A line that the
    // reading rules would take for a comment or a section line (";..." or "[...]" once trimmed),
    // or that holds a line break, cannot be held and is dropped, so it never disturbs the
    // sections that follow.
    void WriteStrings(std::string_view section, const std::vector<std::string>& lines,
                      bool markEmpty);
    // False and `lines` untouched when the section is missing or empty; "%空行%" reads as "".
    bool ReadStrings(std::string_view section, std::vector<std::string>& lines) const;

    // Short forms on the current Section.
    std::string ReadString(std::string_view name, const std::string& def) const
    {
        return ReadString(Section, name, def);
    }
    void WriteString(std::string_view name, std::string_view value) { WriteString(Section, name, value); }
    int32_t ReadInteger(std::string_view name, int32_t def) const { return ReadInteger(Section, name, def); }
    void WriteInteger(std::string_view name, int32_t value) { WriteInteger(Section, name, value); }
    bool ReadBool(std::string_view name, bool def) const { return ReadBool(Section, name, def); }
    void WriteBool(std::string_view name, bool value) { WriteBool(Section, name, value); }
    TRect ReadRect(std::string_view name, const TRect& def) const { return ReadRect(Section, name, def); }
    void WriteRect(std::string_view name, const TRect& rect) { WriteRect(Section, name, rect); }
    bool ReadFont(std::string_view name, TFontSpec& font) const { return ReadFont(Section, name, font); }
    void WriteFont(std::string_view name, const TFontSpec& font) { WriteFont(Section, name, font); }
    TColor ReadColor(std::string_view name, TColor def) const { return ReadColor(Section, name, def); }
    void WriteColor(std::string_view name, TColor color) { WriteColor(Section, name, color); }

private:
    struct IniSection {
        std::string name;
        Lines lines;
    };

    void Load(const Lines& lines);
    // Applies the reading rules to one line; `current` is the section lines go to (none before
    // the first section line).
    void AddLine(std::string_view raw, IniSection*& current);
    const IniSection* Find(std::string_view section) const;
    IniSection* Find(std::string_view section);
    // Index of the last entry called `name`, or -1.
    static long FindEntry(const IniSection& section, std::string_view name);
    std::optional<std::string_view> Value(std::string_view section, std::string_view name) const;

    std::string m_fileName;
    std::vector<IniSection> m_sections;
};

}  // namespace kavio
