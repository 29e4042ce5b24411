#include "controls/editor_settings.h"

#include "base/codepage.h"
#include "config/app_settings.h"
#include "controls/gradient.h"
#include "controls/memo_pad.h"
#include "qt/text_codec.h"

#include <cmath>
#include <vector>

namespace kavio::qt {

namespace {

using Mark = TEditorExMain::Mark;
using Token = TEditorExMain::Token;

constexpr TColor kMarkGrey = 0x00808080;
constexpr uint8_t kShiftJisCharset = 128;

struct MarkKey {
    std::string_view name;
    Mark mark;
};

// Load and save order.
constexpr MarkKey kMarkKeys[] = {
    {"DBSpace", Mark::DBSpace}, {"FindMark", Mark::Find},   {"ParenMark", Mark::Paren},
    {"Space", Mark::Space},     {"TabMark", Mark::Tab},     {"EofMark", Mark::Eof},
    {"HideMark", Mark::Hide},   {"RetMark", Mark::Ret},     {"Underline", Mark::Underline},
    {"WrapMark", Mark::Wrap},
};

struct TokenKey {
    std::string_view name;
    Token token;
};

constexpr TokenKey kTokenKeys[] = {
    {"Comment", Token::Comment}, {"Mail", Token::Mail}, {"Reserve", Token::Reserve},
    {"Str", Token::Str},         {"Url", Token::Url},
};

// Style names in the order of their bits.
constexpr std::string_view kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

std::string Key(std::string_view name, std::string_view suffix)
{
    return std::string(name) + std::string(suffix);
}

QColor ReadQColor(const TMemIniFileEx& ini, std::string_view section, const std::string& name,
                  TColor def)
{
    return ToQColor(ini.ReadColor(section, name, def));
}

QString ReadText(const TMemIniFileEx& ini, std::string_view section, std::string_view name,
                 const QString& def)
{
    return FromCp(ini.ReadString(section, name, ToCp(def)));
}

int StyleBitsOf(const QFont& font)
{
    return (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
           (font.strikeOut() ? 8 : 0);
}

bool HasSection(const TMemIniFileEx& ini, std::string_view section)
{
    for (const std::string& name : ini.ReadSections())
        if (cp932::EqualsIgnoreCase(name, section))
            return true;
    return false;
}

void LoadPreference(TEditorExMain& editor, const TMemIniFileEx& ini)
{
    const std::string_view s = settings::kEditorPreference;
    editor.SetAutoIndentOn(ini.ReadBool(s, "AutoIndent", false));
    editor.SetFreeCaret(ini.ReadBool(s, "FreeCaret", false));
    editor.LockScroll = ini.ReadBool(s, "LockScroll", false);
    editor.SelMove = ini.ReadBool(s, "SelMove", false);
    editor.SetSoftTab(ini.ReadBool(s, "SoftTab", false));
    editor.SetTabSpaceCount(ini.ReadInteger(s, "TabSpaceCount", editor.TabSpaceCount()));
    editor.SetCharacterSpan(ini.ReadInteger(s, "ChaeactorSpan", 0));
    editor.SetLineSpan(ini.ReadInteger(s, "LineSpan", 0));
    editor.SetShowLineNumber(ini.ReadBool(s, "ShowLineNumber", false));
    editor.SetShowRuler(ini.ReadBool(s, "ShowRuler", false));
}

void LoadMarks(TEditorExMain& editor, const TMemIniFileEx& ini)
{
    const std::string_view s = settings::kEditorMarks;
    for (const MarkKey& key : kMarkKeys) {
        MarkSetting mark;
        mark.color = ReadQColor(ini, s, Key(key.name, ".Color"), kMarkGrey);
        mark.visible = ini.ReadBool(s, Key(key.name, ".Visible"), false);
        editor.SetMark(key.mark, mark);
        if (key.mark != Mark::Find)
            continue;
        // Search hits: the find mark's colour key is also the hit text colour.
        TokenColor hit;
        hit.back = ReadQColor(ini, s, Key(key.name, ".BackColor"), clNone);
        hit.text = ReadQColor(ini, s, Key(key.name, ".Color"), clNone);
        hit.style = StyleSetBits(ini.ReadString(s, Key(key.name, ".Style"), "[]"));
        editor.SetHitColor(hit);
    }
}

void LoadTextMarkup(TEditorExMain& editor, const TMemIniFileEx& ini)
{
    const std::string_view s = settings::kEditorTextMarkup;
    TFontSpec spec;
    if (ini.ReadFont(s, "Font", spec)) {
        editor.SetEditorFont(FontFromSpec(spec, editor.EditorFont()));
        QColor color = ToQColor(spec.Color);
        if (color.isValid())
            editor.SetTextColor(color);
    }
    editor.SetCommenter(ReadText(ini, s, "Commenter", QString()));
    editor.SetQuotation(ReadText(ini, s, "Quotation", QString()));
    // Plain text and selection are drawn in the editor font itself; search hits keep the
    // font's style beside their colours.
    TokenColor hit = editor.HitColor();
    hit.style = StyleBitsOf(editor.EditorFont());
    editor.SetHitColor(hit);
    for (const TokenKey& key : kTokenKeys) {
        TokenColor color;
        color.back = ReadQColor(ini, s, Key(key.name, ".BackColor"), clNone);
        color.text = ReadQColor(ini, s, Key(key.name, ".Color"), clNone);
        color.style = StyleSetBits(ini.ReadString(s, Key(key.name, ".Style"), "[]"));
        editor.SetTokenColor(key.token, color);
    }
}

void LoadWordWrap(TEditorExMain& editor, const TMemIniFileEx& ini)
{
    const std::string_view s = settings::kEditorWordWrap;
    editor.SetWordWrapEnabled(ini.ReadBool(s, "WordWrap", false));
    editor.ViewFormat = ini.ReadBool(s, "ViewFormat", true);
    editor.FollowStr = ReadText(ini, s, "FollowStr", editor.FollowStr);
    editor.LeadStr = ReadText(ini, s, "LeadStr", editor.LeadStr);
    editor.PunctuationStr = ReadText(ini, s, "PunctionStr", editor.PunctuationStr);
    editor.SetEnglishWordWrap(ini.ReadBool(s, "EnglishWordWrap", false));
    editor.SetWrapByte(ini.ReadInteger(s, "WrapByte", editor.WrapByte()));
}

// A section that is there but empty is an empty list (a list cleared by the user and saved),
// not a missing one.
void LoadReserveWords(TEditorExMain& editor, const TMemIniFileEx& ini, QStringList* words)
{
    const std::string_view s = settings::kEditorReserveWords;
    std::vector<std::string> lines;
    if (!ini.ReadStrings(s, lines) && !HasSection(ini, s))
        return;
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        list << FromCp(line);
    if (words)
        *words = list;
    else
        editor.SetReserveWordList(list);
}

}  // namespace

std::string StyleSetText(int style)
{
    std::string text = "[";
    for (int i = 0; i < 4; ++i) {
        if (!(style & (1 << i)))
            continue;
        if (text.size() > 1)
            text += ',';
        text += kStyleNames[i];
    }
    return text + "]";
}

int StyleSetBits(std::string_view text)
{
    auto trim = [](std::string_view t) {
        while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ')
            t.remove_prefix(1);
        while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ')
            t.remove_suffix(1);
        return t;
    };
    text = trim(text);
    if (!text.empty() && text.front() == '[')
        text.remove_prefix(1);
    if (!text.empty() && text.back() == ']')
        text.remove_suffix(1);
    int style = 0;
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view name = trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        for (int i = 0; i < 4; ++i)
            if (cp932::EqualsIgnoreCase(name, kStyleNames[i]))
                style |= 1 << i;
    }
    return style;
}

TFontSpec FontSpecOf(const QFont& font, const QColor& color)
{
    TFontSpec spec;
    spec.Charset = kShiftJisCharset;
    spec.Color = StoredColor(color);
    spec.Name = ToCp(font.family());
    if (font.pointSize() > 0)
        spec.Size = font.pointSize();
    else if (font.pointSizeF() > 0)
        spec.Size = static_cast<int>(std::lround(font.pointSizeF()));
    else
        spec.Size = static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
    spec.Style.Bold = font.bold();
    spec.Style.Italic = font.italic();
    spec.Style.Underline = font.underline();
    spec.Style.StrikeOut = font.strikeOut();
    return spec;
}

QFont FontFromSpec(const TFontSpec& spec, const QFont& base)
{
    QFont font = base;
    if (!spec.Name.empty())
        font.setFamily(FromCp(spec.Name));
    if (spec.Size > 0)
        font.setPointSize(spec.Size);
    font.setBold(spec.Style.Bold);
    font.setItalic(spec.Style.Italic);
    font.setUnderline(spec.Style.Underline);
    font.setStrikeOut(spec.Style.StrikeOut);
    return font;
}

TColor StoredColor(const QColor& color)
{
    if (!color.isValid())
        return clNone;
    return TColor(color.red()) | TColor(color.green()) << 8 | TColor(color.blue()) << 16;
}

void LoadEditorSettings(TEditorExMain& editor, const TMemIniFileEx& ini, QStringList* words)
{
    LoadPreference(editor, ini);
    LoadMarks(editor, ini);
    LoadTextMarkup(editor, ini);
    LoadWordWrap(editor, ini);
    LoadReserveWords(editor, ini, words);
}

void SaveEditorSettings(const TEditorExMain& editor, TMemIniFileEx& ini, const QStringList* words)
{
    std::string_view s = settings::kEditorPreference;
    ini.WriteBool(s, "AutoIndent", editor.AutoIndentOn());
    ini.WriteBool(s, "FreeCaret", editor.FreeCaret());
    ini.WriteBool(s, "LockScroll", editor.LockScroll);
    ini.WriteBool(s, "SelMove", editor.SelMove);
    ini.WriteBool(s, "SoftTab", editor.SoftTab());
    ini.WriteInteger(s, "TabSpaceCount", editor.TabSpaceCount());
    ini.WriteInteger(s, "ChaeactorSpan", editor.CharacterSpan());
    ini.WriteInteger(s, "LineSpan", editor.LineSpan());
    ini.WriteBool(s, "ShowLineNumber", editor.ShowLineNumber());
    ini.WriteBool(s, "ShowRuler", editor.ShowRuler());

    s = settings::kEditorMarks;
    for (const MarkKey& key : kMarkKeys) {
        MarkSetting mark = editor.MarkAt(key.mark);
        ini.WriteColor(s, Key(key.name, ".Color"), StoredColor(mark.color));
        ini.WriteBool(s, Key(key.name, ".Visible"), mark.visible);
    }

    s = settings::kEditorTextMarkup;
    ini.WriteFont(s, "Font", FontSpecOf(editor.EditorFont(), editor.TextColor()));
    ini.WriteString(s, "Commenter", ToCp(editor.Commenter()));
    ini.WriteString(s, "Quotation", ToCp(editor.Quotation()));
    for (const TokenKey& key : kTokenKeys) {
        TokenColor color = editor.TokenColorAt(key.token);
        ini.WriteColor(s, Key(key.name, ".BackColor"), StoredColor(color.back));
        ini.WriteColor(s, Key(key.name, ".Color"), StoredColor(color.text));
        ini.WriteString(s, Key(key.name, ".Style"), StyleSetText(color.style));
    }

    s = settings::kEditorWordWrap;
    ini.WriteBool(s, "WordWrap", editor.WordWrapEnabled());
    ini.WriteBool(s, "ViewFormat", editor.ViewFormat);
    ini.WriteString(s, "FollowStr", ToCp(editor.FollowStr));
    ini.WriteString(s, "LeadStr", ToCp(editor.LeadStr));
    ini.WriteString(s, "PunctionStr", ToCp(editor.PunctuationStr));
    ini.WriteBool(s, "EnglishWordWrap", editor.EnglishWordWrap());
    ini.WriteInteger(s, "WrapByte", editor.WrapByte());

    const QStringList list = words ? *words : editor.ReserveWordList();
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(list.size()));
    for (const QString& word : list)
        lines.push_back(ToCp(word));
    ini.WriteStrings(settings::kEditorReserveWords, lines, false);
}

}  // namespace kavio::qt
