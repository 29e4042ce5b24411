#pragma once

#include <cstdint>
#include <string>

// Keyboard shortcuts as 16-bit values: the low byte is the key code (the Windows virtual-key
// numbering that book files and settings store), 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt;
// hotkeys add 0x1000 for the Windows (Super) key. 0 is no shortcut.
namespace kavio {

using TShortCut = uint16_t;

constexpr TShortCut kShift = 0x2000;
constexpr TShortCut kCtrl = 0x4000;
constexpr TShortCut kAlt = 0x8000;
constexpr TShortCut kWin = 0x1000;
constexpr TShortCut kKeyMask = 0x00FF;

// The name of a key code ("A", "F12", "PgUp", "Num +", ...), or "" for a key without one.
// Keypad digits are named like the main-row digits.
std::string KeyName(uint8_t key);

// "Shift+Ctrl+Alt+" (those set, in that order) + the key name; "" when the key has no name.
std::string ShortCutToText(TShortCut shortcut);
// Modifier prefixes in any order and letter case ("Shift+", "Ctrl+" or "^", "Alt+"), then the
// key name (letter case ignored; the lowest key code of that name). 0 when nothing matches.
TShortCut TextToShortCut(const std::string& text);

// Hotkey text: "Win+" first when 0x1000 is set, then as ShortCutToText; "" when the key has no name.
std::string HotkeyToText(uint16_t hotkey);
// A leading "Win+" sets 0x1000, even when the rest names no key (then only that bit is returned).
uint16_t TextToHotkey(const std::string& text);

}  // namespace kavio
