#include "base/shortcut_text.h"

#include "base/codepage.h"

#include <array>
#include <cctype>
#include <string_view>

namespace kavio {
namespace {

struct NamedKey {
    uint8_t key;
    const char* name;
};

// Names of the keys that are neither letters, digits nor function keys. The first block is the
// fixed table of shortcut texts; the rest are stable English names for the other keys a
// keyboard can give, each unique so that it reads back to the same key.
constexpr NamedKey kNamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"}, {0x0D, "Enter"}, {0x1B, "Esc"}, {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"}, {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"}, {0x2E, "Del"},
    {0x0C, "Clear"}, {0x13, "Pause"}, {0x14, "Caps Lock"}, {0x1C, "Henkan"}, {0x1D, "Muhenkan"},
    {0x2C, "Print Screen"}, {0x5D, "Application"}, {0x6A, "Num *"}, {0x6B, "Num +"},
    {0x6D, "Num -"}, {0x6E, "Num Del"}, {0x6F, "Num /"}, {0x90, "Num Lock"}, {0x91, "Scroll Lock"},
    {0xBA, ";"}, {0xBB, "="}, {0xBC, ","}, {0xBD, "-"}, {0xBE, "."}, {0xBF, "/"}, {0xC0, "`"},
    {0xDB, "["}, {0xDC, "\\"}, {0xDD, "]"}, {0xDE, "'"}, {0xE2, "OEM 102"},
};

bool StripPrefix(std::string_view& text, std::string_view prefix)
{
    if (text.size() < prefix.size() || !cp932::EqualsIgnoreCase(text.substr(0, prefix.size()), prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string ModifierText(uint16_t value)
{
    std::string text;
    if (value & kShift)
        text += "Shift+";
    if (value & kCtrl)
        text += "Ctrl+";
    if (value & kAlt)
        text += "Alt+";
    return text;
}

// Strips "Shift+", "Ctrl+"/"^" and "Alt+" in any order and returns the key code of the rest with
// the modifier bits, or 0 when the rest names no key.
uint16_t ParseShortCut(std::string_view text)
{
    uint16_t modifiers = 0;
    for (;;) {
        if (StripPrefix(text, "Shift+"))
            modifiers |= kShift;
        else if (StripPrefix(text, "Ctrl+") || StripPrefix(text, "^"))
            modifiers |= kCtrl;
        else if (StripPrefix(text, "Alt+"))
            modifiers |= kAlt;
        else
            break;
    }
    if (text.empty())
        return 0;
    for (unsigned key = 0x08; key <= 0xFF; ++key) {
        std::string name = KeyName(static_cast<uint8_t>(key));
        if (!name.empty() && cp932::EqualsIgnoreCase(name, text))
            return static_cast<uint16_t>(modifiers | key);
    }
    return 0;
}

}  // namespace

std::string KeyName(uint8_t key)
{
    if (key >= 0x30 && key <= 0x39)
        return std::string(1, static_cast<char>(key));
    if (key >= 0x60 && key <= 0x69)
        return std::string(1, static_cast<char>('0' + key - 0x60));
    if (key >= 0x41 && key <= 0x5A)
        return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87)
        return "F" + std::to_string(key - 0x70 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key)
            return named.name;
    return {};
}

std::string ShortCutToText(TShortCut shortcut)
{
    std::string name = KeyName(static_cast<uint8_t>(shortcut & kKeyMask));
    if (name.empty())
        return {};
    return ModifierText(shortcut) + name;
}

TShortCut TextToShortCut(const std::string& text)
{
    return ParseShortCut(text);
}

std::string HotkeyToText(uint16_t hotkey)
{
    std::string text = ShortCutToText(static_cast<TShortCut>(hotkey & ~kWin));
    if (text.empty())
        return {};
    return ((hotkey & kWin) ? "Win+" : "") + text;
}

uint16_t TextToHotkey(const std::string& text)
{
    std::string_view rest = text;
    uint16_t win = StripPrefix(rest, "Win+") ? kWin : 0;
    return static_cast<uint16_t>(win | ParseShortCut(rest));
}

}  // namespace kavio
