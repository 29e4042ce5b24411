#include "config/ini_file.h"

#include "base/codepage.h"
#include "base/error.h"
#include "base/file_system.h"
#include "base/split_token.h"
#include "config/path_macros.h"

#include <cstdio>
#include <limits>
#include <utility>

namespace kavio {
namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    // A trailing byte 0..32 is never the second byte of a double-byte character.
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// "[" first and "]" last, where the "]" is a character of its own.
bool IsSectionLine(std::string_view line)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    size_t i = 0;
    while (i + 1 < line.size())
        i += cp932::CharLength(line, i);
    return i == line.size() - 1;
}

std::string_view EntryName(std::string_view line, bool& isEntry)
{
    size_t eq = line.find('=');  // "=" (3D) is never the second byte of a character
    isEntry = eq != std::string_view::npos;
    return isEntry ? line.substr(0, eq) : std::string_view();
}

bool ParseHex(std::string_view digits, int32_t& value)
{
    if (digits.empty() || digits.size() > 8)
        return false;
    uint32_t result = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        result = result * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(result);
    return true;
}

bool ParseDecimal(std::string_view text, int32_t& value)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10)
        return false;
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    if (negative)
        result = -result;
    if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

// The next comma-separated piece from `pos`. Without a further comma the piece is empty and
// `pos` stays, so the following piece is searched from the same place.
std::string_view NextPiece(std::string_view text, size_t& pos)
{
    size_t comma = FindSingleByte(text, ',', pos);
    if (comma == std::string_view::npos)
        return {};
    std::string_view piece = text.substr(pos, comma - pos);
    pos = comma + 1;
    return piece;
}

int32_t IntegerOr(std::string_view text, int32_t def)
{
    int32_t value;
    return ParseIniInteger(text, value) ? value : def;
}

std::string FormatInt(int64_t value)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    return buffer;
}

struct ColorName {
    const char* name;
    TColor value;
};

constexpr ColorName kColorNames[] = {
    {"clBlack", 0x00000000},     {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},     {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},      {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},      {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},      {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},      {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},      {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0}, {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},     {"clMedGray", 0x00A4A0A0},
    {"clActiveBorder", 0xFF00000A}, {"clActiveCaption", 0xFF000002},
    {"clAppWorkSpace", 0xFF00000C}, {"clBackground", 0xFF000001},
    {"clBtnFace", 0xFF00000F},   {"clBtnHighlight", 0xFF000014},
    {"clBtnShadow", 0xFF000010}, {"clBtnText", 0xFF000012},
    {"clCaptionText", 0xFF000009}, {"clDefault", 0x20000000},
    {"clGradientActiveCaption", 0xFF00001B}, {"clGradientInactiveCaption", 0xFF00001C},
    {"clGrayText", 0xFF000011},  {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E}, {"clHotLight", 0xFF00001A},
    {"clInactiveBorder", 0xFF00000B}, {"clInactiveCaption", 0xFF000003},
    {"clInactiveCaptionText", 0xFF000013}, {"clInfoBk", 0xFF000018},
    {"clInfoText", 0xFF000017},  {"clMenu", 0xFF000004},
    {"clMenuBar", 0xFF00001E},   {"clMenuHighlight", 0xFF00001D},
    {"clMenuText", 0xFF000007},  {"clNone", 0x1FFFFFFF},
    {"clScrollBar", 0xFF000000}, {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},   {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006}, {"clWindowText", 0xFF000008},
};

constexpr const char* kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

bool* StyleFlag(TFontStyles& style, size_t index)
{
    bool* flags[] = {&style.Bold, &style.Italic, &style.Underline, &style.StrikeOut};
    return flags[index];
}

std::string StylesToString(const TFontStyles& style)
{
    TFontStyles copy = style;
    std::string text = "[";
    for (size_t i = 0; i < 4; ++i) {
        if (!*StyleFlag(copy, i))
            continue;
        if (text.size() > 1)
            text += ',';
        text += kStyleNames[i];
    }
    return text + "]";
}

TFontStyles StringToStyles(std::string_view text)
{
    TFontStyles style;
    text = Trim(text);
    if (!text.empty() && text.front() == '[')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == ']')
        text.remove_suffix(1);
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view name = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        for (size_t i = 0; i < 4; ++i)
            if (cp932::EqualsIgnoreCase(name, kStyleNames[i]))
                *StyleFlag(style, i) = true;
    }
    return style;
}

// An INI line cannot hold a line break: the text from the first one on is not stored, so a
// value never injects lines or sections into the file.
std::string_view OneLine(std::string_view text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

const std::string& EmptyLineMark()
{
    static const std::string mark = "%空行%"_sj;
    return mark;
}

}  // namespace

std::string DefaultIniFile;

bool ParseIniInteger(std::string_view text, int32_t& value)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2), value);
    if (!text.empty() && text[0] == '$')
        return ParseHex(text.substr(1), value);
    return ParseDecimal(text, value);
}

std::string ColorToString(TColor color)
{
    for (const ColorName& c : kColorNames)
        if (c.value == color)
            return c.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%08X", color);
    return buffer;
}

bool StringToColor(std::string_view text, TColor& color)
{
    for (const ColorName& c : kColorNames) {
        if (cp932::EqualsIgnoreCase(text, c.name)) {
            color = c.value;
            return true;
        }
    }
    int32_t value;
    if (!ParseIniInteger(text, value))
        return false;
    color = static_cast<TColor>(value);
    return true;
}

TMemIniFileEx::TMemIniFileEx() : TMemIniFileEx(DefaultIniFile) {}

TMemIniFileEx::TMemIniFileEx(std::string fileName) : m_fileName(std::move(fileName))
{
    if (m_fileName.empty() || !fs::FileExists(m_fileName))
        return;
    // Split in place rather than through SplitLines: one string per kept line, no copy of every
    // raw line first. Line ends as everywhere: CR LF, CR or LF.
    const std::string bytes = fs::ReadFile(m_fileName);
    IniSection* current = nullptr;
    const size_t n = bytes.size();
    size_t start = 0;
    while (start < n) {
        size_t end = start;
        while (end < n && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        AddLine(std::string_view(bytes).substr(start, end - start), current);
        start = end + 1;
        if (end < n && bytes[end] == '\r' && start < n && bytes[start] == '\n')
            ++start;
    }
}

void TMemIniFileEx::Load(const Lines& lines)
{
    IniSection* current = nullptr;
    for (const std::string& raw : lines)
        AddLine(raw, current);
}

void TMemIniFileEx::AddLine(std::string_view raw, IniSection*& current)
{
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';')
        return;
    if (IsSectionLine(line)) {
        m_sections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
        current = &m_sections.back();
        return;
    }
    if (!current)
        return;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        current->lines.emplace_back(line);
        return;
    }
    std::string_view name = Trim(line.substr(0, eq));
    std::string_view value = Trim(line.substr(eq + 1));
    if (name.size() + value.size() + 1 == line.size()) {
        current->lines.emplace_back(line);
        return;
    }
    std::string entry;
    entry.reserve(name.size() + value.size() + 1);
    entry.append(name).append(1, '=').append(value);
    current->lines.push_back(std::move(entry));
}

Lines TMemIniFileEx::ToLines() const
{
    Lines lines;
    size_t count = 0;
    for (const IniSection& s : m_sections)
        count += s.lines.size() + 2;
    lines.reserve(count);
    for (const IniSection& s : m_sections) {
        lines.push_back("[" + s.name + "]");
        lines.insert(lines.end(), s.lines.begin(), s.lines.end());
        lines.emplace_back();
    }
    return lines;
}

void TMemIniFileEx::UpdateFile() const
{
    // The bytes JoinLines(ToLines()) would give, without copying every line first.
    size_t total = 0;
    for (const IniSection& s : m_sections) {
        total += s.name.size() + 6;
        for (const std::string& line : s.lines)
            total += line.size() + 2;
    }
    std::string bytes;
    bytes.reserve(total);
    for (const IniSection& s : m_sections) {
        bytes.append(1, '[').append(s.name).append("]\r\n");
        for (const std::string& line : s.lines)
            bytes.append(line).append("\r\n");
        bytes.append("\r\n");
    }
    fs::WriteFileAtomic(m_fileName, bytes);
}

const TMemIniFileEx::IniSection* TMemIniFileEx::Find(std::string_view section) const
{
    for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it)
        if (cp932::EqualsIgnoreCase(it->name, section))
            return &*it;
    return nullptr;
}

TMemIniFileEx::IniSection* TMemIniFileEx::Find(std::string_view section)
{
    return const_cast<IniSection*>(std::as_const(*this).Find(section));
}

long TMemIniFileEx::FindEntry(const IniSection& section, std::string_view name)
{
    for (long i = static_cast<long>(section.lines.size()) - 1; i >= 0; --i) {
        bool isEntry;
        std::string_view entryName = EntryName(section.lines[static_cast<size_t>(i)], isEntry);
        if (isEntry && cp932::EqualsIgnoreCase(entryName, name))
            return i;
    }
    return -1;
}

std::optional<std::string_view> TMemIniFileEx::Value(std::string_view section,
                                                     std::string_view name) const
{
    const IniSection* s = Find(section);
    if (!s)
        return std::nullopt;
    long i = FindEntry(*s, name);
    if (i < 0)
        return std::nullopt;
    std::string_view line = s->lines[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}

std::string TMemIniFileEx::ReadString(std::string_view section, std::string_view name,
                                      const std::string& def) const
{
    auto value = Value(section, name);
    return value ? std::string(*value) : def;
}

void TMemIniFileEx::WriteString(std::string_view section, std::string_view name,
                                std::string_view value)
{
    IniSection* s = Find(section);
    if (!s) {
        m_sections.push_back({std::string(OneLine(section)), {}});
        s = &m_sections.back();
    }
    name = OneLine(name);
    value = OneLine(value);
    std::string entry;
    entry.reserve(name.size() + value.size() + 1);
    entry.append(name).append(1, '=').append(value);
    long i = FindEntry(*s, name);
    if (i >= 0)
        s->lines[static_cast<size_t>(i)] = std::move(entry);
    else
        s->lines.push_back(std::move(entry));
}

int32_t TMemIniFileEx::ReadInteger(std::string_view section, std::string_view name, int32_t def) const
{
    auto value = Value(section, name);
    return value ? IntegerOr(*value, def) : def;
}

void TMemIniFileEx::WriteInteger(std::string_view section, std::string_view name, int32_t value)
{
    WriteString(section, name, FormatInt(value));
}

bool TMemIniFileEx::ReadBool(std::string_view section, std::string_view name, bool def) const
{
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

void TMemIniFileEx::WriteBool(std::string_view section, std::string_view name, bool value)
{
    WriteString(section, name, value ? "1" : "0");
}

bool TMemIniFileEx::ValueExists(std::string_view section, std::string_view name) const
{
    return Value(section, name).has_value();
}

bool TMemIniFileEx::SectionExists(std::string_view section) const
{
    const IniSection* s = Find(section);
    return s && !s->lines.empty();
}

std::vector<std::string> TMemIniFileEx::ReadSection(std::string_view section) const
{
    std::vector<std::string> names;
    if (const IniSection* s = Find(section)) {
        names.reserve(s->lines.size());
        for (const std::string& line : s->lines) {
            bool isEntry;
            names.emplace_back(EntryName(line, isEntry));
        }
    }
    return names;
}

std::vector<std::string> TMemIniFileEx::ReadSections() const
{
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const IniSection& s : m_sections)
        names.push_back(s.name);
    return names;
}

std::vector<std::string> TMemIniFileEx::ReadSectionValues(std::string_view section) const
{
    const IniSection* s = Find(section);
    return s ? s->lines : std::vector<std::string>();
}

void TMemIniFileEx::EraseSection(std::string_view section)
{
    if (IniSection* s = Find(section))
        m_sections.erase(m_sections.begin() + (s - m_sections.data()));
}

void TMemIniFileEx::DeleteKey(std::string_view section, std::string_view name)
{
    IniSection* s = Find(section);
    if (!s)
        return;
    long i = FindEntry(*s, name);
    if (i >= 0)
        s->lines.erase(s->lines.begin() + i);
}

TRect TMemIniFileEx::ReadRect(std::string_view section, std::string_view name, const TRect& def) const
{
    const std::string value = ReadString(section, name, std::string());
    std::string_view text = value;
    size_t pos = 0;
    TRect rect;
    rect.Top = IntegerOr(NextPiece(text, pos), def.Top);
    rect.Left = IntegerOr(NextPiece(text, pos), def.Left);
    rect.Bottom = IntegerOr(NextPiece(text, pos), def.Bottom);
    rect.Right = IntegerOr(text.substr(pos), def.Right);
    return rect;
}

void TMemIniFileEx::WriteRect(std::string_view section, std::string_view name, const TRect& rect)
{
    WriteString(section, name,
                FormatInt(rect.Top) + "," + FormatInt(rect.Left) + "," + FormatInt(rect.Bottom) +
                    "," + FormatInt(rect.Right));
}

bool TMemIniFileEx::ReadFont(std::string_view section, std::string_view name, TFontSpec& font) const
{
    auto value = Value(section, name);
    if (!value)
        return false;
    std::string_view text = *value;
    size_t pos = 0;
    font.Charset = static_cast<uint8_t>(IntegerOr(NextPiece(text, pos), 0));
    font.Color = static_cast<uint32_t>(IntegerOr(NextPiece(text, pos), 0));
    font.Name = std::string(NextPiece(text, pos));
    font.Size = IntegerOr(NextPiece(text, pos), 0);
    font.Style = StringToStyles(text.substr(pos));
    return true;
}

void TMemIniFileEx::WriteFont(std::string_view section, std::string_view name, const TFontSpec& font)
{
    WriteString(section, name,
                FormatInt(font.Charset) + "," + FormatInt(static_cast<int32_t>(font.Color)) + "," +
                    font.Name + "," + FormatInt(font.Size) + "," + StylesToString(font.Style));
}

TColor TMemIniFileEx::ReadColor(std::string_view section, std::string_view name, TColor def) const
{
    auto value = Value(section, name);
    if (!value)
        return def;
    TColor color;
    if (!StringToColor(*value, color))
        throw EConvertError("'" + cp932::ToUtf8(*value) + "' は整数ではありません");
    return color;
}

void TMemIniFileEx::WriteColor(std::string_view section, std::string_view name, TColor color)
{
    WriteString(section, name, ColorToString(color));
}

std::string TMemIniFileEx::ReadPath(std::string_view section, std::string_view name,
                                    const std::string& def) const
{
    return ExpandPathMacros(ReadString(section, name, def));
}

void TMemIniFileEx::WritePath(std::string_view section, std::string_view name, const std::string& path)
{
    WriteString(section, name, FoldPathMacros(path));
}

void TMemIniFileEx::WriteStrings(std::string_view section, const std::vector<std::string>& lines,
                                 bool markEmpty)
{
    EraseSection(section);
    // The section goes through the reading rules as if the image were written and read back.
    Lines image = ToLines();
    image.reserve(image.size() + lines.size() + 2);
    image.push_back("[" + std::string(section) + "]");
    for (const std::string& line : lines) {
        if (line.empty() && markEmpty) {
            image.push_back(EmptyLineMark());
            continue;
        }
        // A line that would open a section of its own, or that holds a line break, cannot be
        // held (";..." is dropped by the reading rules anyway).
        if (IsSectionLine(Trim(line)) || HasLineBreak(line))
            continue;
        image.push_back(line);
    }
    image.emplace_back();
    m_sections.clear();
    Load(image);
}

bool TMemIniFileEx::ReadStrings(std::string_view section, std::vector<std::string>& lines) const
{
    const IniSection* s = Find(section);
    if (!s || s->lines.empty())
        return false;
    lines.clear();
    lines.reserve(s->lines.size());
    for (const std::string& line : s->lines)
        lines.push_back(line == EmptyLineMark() ? std::string() : line);
    return true;
}

}  // namespace kavio
