#include "qt/key_codes.h"

#include <QKeyEvent>

namespace kavio::qt {
namespace {

struct KeyPair {
    int qt;
    uint8_t code;
};

// Keys whose codes are not letters, digits or function keys. Where several Qt keys share a
// code (Return and Enter), the first is the one a code maps back to.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Backtab, 0x09},
    {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},    {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},     {Qt::Key_PageUp, 0x21},   {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},     {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},        {Qt::Key_Right, 0x27},    {Qt::Key_Down, 0x28},
    {Qt::Key_Insert, 0x2D},    {Qt::Key_Delete, 0x2E},   {Qt::Key_Clear, 0x0C},
    {Qt::Key_Pause, 0x13},     {Qt::Key_CapsLock, 0x14}, {Qt::Key_Henkan, 0x1C},
    {Qt::Key_Muhenkan, 0x1D},  {Qt::Key_Print, 0x2C},    {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},   {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA},    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},      {Qt::Key_Comma, 0xBC},    {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},     {Qt::Key_Underscore, 0xBD}, {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},   {Qt::Key_Slash, 0xBF},    {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},
    // Shifted digits of the common layout: Shift+1 arrives as "!", and is stored as Shift and 1.
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

// Keypad keys that differ from their main-row twins.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B}, {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Delete, 0x6E}, {Qt::Key_Slash, 0x6F},
};

}  // namespace

uint8_t KeyCodeFromQtKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<uint8_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<uint8_t>(keypad ? 0x60 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<uint8_t>(0x70 + (qtKey - Qt::Key_F1));
    if (keypad) {
        for (const KeyPair& pair : kKeypadKeys)
            if (pair.qt == qtKey)
                return pair.code;
    }
    for (const KeyPair& pair : kKeys)
        if (pair.qt == qtKey)
            return pair.code;
    return 0;
}

int QtKeyFromKeyCode(uint8_t code)
{
    if (code >= 'A' && code <= 'Z')
        return Qt::Key_A + (code - 'A');
    if (code >= '0' && code <= '9')
        return Qt::Key_0 + (code - '0');
    if (code >= 0x60 && code <= 0x69)
        return Qt::Key_0 + (code - 0x60);
    if (code >= 0x70 && code <= 0x87)
        return Qt::Key_F1 + (code - 0x70);
    for (const KeyPair& pair : kKeypadKeys)
        if (pair.code == code)
            return pair.qt;
    for (const KeyPair& pair : kKeys)
        if (pair.code == code)
            return pair.qt;
    return Qt::Key_unknown;
}

TShortCut ShortCutFromCombination(QKeyCombination combination)
{
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const uint8_t code = KeyCodeFromQtKey(combination.key(), modifiers & Qt::KeypadModifier);
    if (code == 0)
        return 0;
    TShortCut shortcut = code;
    if (modifiers & Qt::ShiftModifier)
        shortcut |= kShift;
    if (modifiers & Qt::ControlModifier)
        shortcut |= kCtrl;
    if (modifiers & Qt::AltModifier)
        shortcut |= kAlt;
    return shortcut;
}

TShortCut ShortCutFromKeyEvent(const QKeyEvent& event)
{
    // Shift+Tab arrives as Backtab; the stored value is Tab with Shift.
    return ShortCutFromCombination(
        QKeyCombination(event.modifiers(), static_cast<Qt::Key>(event.key())));
}

QKeySequence KeySequenceFromShortCut(TShortCut shortcut)
{
    const int key = QtKeyFromKeyCode(static_cast<uint8_t>(shortcut & kKeyMask));
    if (shortcut == 0 || key == Qt::Key_unknown)
        return {};
    Qt::KeyboardModifiers modifiers;
    if (shortcut & kShift)
        modifiers |= Qt::ShiftModifier;
    if (shortcut & kCtrl)
        modifiers |= Qt::ControlModifier;
    if (shortcut & kAlt)
        modifiers |= Qt::AltModifier;
    if ((shortcut & kKeyMask) >= 0x60 && (shortcut & kKeyMask) <= 0x6F)
        modifiers |= Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}

}  // namespace kavio::qt
