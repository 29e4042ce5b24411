#include "base/shortcut_text.h"

#include <gtest/gtest.h>

using namespace kavio;

TEST(ShortCutText, WritesModifiersInFixedOrder)
{
    struct Case {
        TShortCut shortcut;
        const char* text;
    };
    const Case cases[] = {
        {kCtrl | kAlt | 0x42, "Ctrl+Alt+B"},
        {kShift | 0x7B, "Shift+F12"},
        {kAlt | kShift | kCtrl | 0x87, "Shift+Ctrl+Alt+F24"},
        {kCtrl | 0x65, "Ctrl+5"},  // keypad 5 is written as the digit
        {0x21, "PgUp"},
        {0x2E, "Del"},
        {kShift | 0x20, "Shift+Space"},
        {kCtrl | 0x6B, "Ctrl+Num +"},
        {kCtrl | 0x07, ""},  // no name: nothing at all, modifiers neither
        {0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortCutToText(c.shortcut), c.text) << std::hex << c.shortcut;
}

TEST(ShortCutText, ReadsPrefixesInAnyOrderAndCase)
{
    struct Case {
        const char* text;
        TShortCut shortcut;
    };
    const Case cases[] = {
        {"ctrl+alt+b", kCtrl | kAlt | 0x42},
        {"Alt+Ctrl+B", kCtrl | kAlt | 0x42},
        {"^B", kCtrl | 0x42},
        {"Ctrl+5", kCtrl | 0x35},  // a digit reads back as the main-row key
        {"shift+f12", kShift | 0x7B},
        {"BKSP", 0x08},
        {"Ctrl+Num +", kCtrl | 0x6B},
        {"Ctrl+", 0},
        {"Ctrl+Nothing", 0},
        {"", 0},
        {"Win+A", 0},  // "Win+" belongs to hotkeys only
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToShortCut(c.text), c.shortcut) << c.text;
}

// Every named key must read back to itself; a name shared by two keys would break that.
TEST(ShortCutText, EveryNameReadsBackToItsKey)
{
    for (unsigned key = 0x08; key <= 0xFF; ++key) {
        if (key >= 0x60 && key <= 0x69)
            continue;  // keypad digits read back as main-row digits by design
        const std::string name = KeyName(static_cast<uint8_t>(key));
        if (name.empty())
            continue;
        EXPECT_EQ(TextToShortCut(ShortCutToText(static_cast<TShortCut>(kAlt | key))), kAlt | key) << name;
    }
}

TEST(HotkeyText, WinPrefix)
{
    EXPECT_EQ(TextToHotkey("Win+Ctrl+K"), kWin | kCtrl | 0x4B);
    EXPECT_EQ(HotkeyToText(kWin | kCtrl | 0x4B), "Win+Ctrl+K");
    EXPECT_EQ(TextToHotkey("win+ctrl+k"), kWin | kCtrl | 0x4B);
    EXPECT_EQ(TextToHotkey("Ctrl+K"), kCtrl | 0x4B);
    EXPECT_EQ(TextToHotkey("Win+"), kWin);  // the bit survives a missing key
    EXPECT_EQ(TextToHotkey("Win+Ctrl+Bogus"), kWin);
    EXPECT_EQ(TextToHotkey("Ctrl+Win+K"), 0);  // "Win+" counts only in front
    EXPECT_EQ(HotkeyToText(kWin | kShift | 0x69), "Win+Shift+9");
    EXPECT_EQ(TextToHotkey("Win+Shift+9"), kWin | kShift | 0x39);
    EXPECT_EQ(HotkeyToText(kWin), "");
}
