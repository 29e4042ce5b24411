#pragma once

#include "base/shortcut_text.h"

#include <QKeyCombination>
#include <QKeySequence>

class QKeyEvent;

// Between Qt's keys and the shortcut values books and settings store (the key code in the low
// byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt).
namespace kavio::qt {

// The stored key code of a Qt key, 0 for a key without one (modifier keys among them).
uint8_t KeyCodeFromQtKey(int qtKey, bool keypad = false);
// The Qt key of a stored key code, Qt::Key_unknown for none.
int QtKeyFromKeyCode(uint8_t keyCode);

// The shortcut value of a key press; 0 for a lone modifier or a key without a code.
TShortCut ShortCutFromKeyEvent(const QKeyEvent& event);
TShortCut ShortCutFromCombination(QKeyCombination combination);
// The key sequence of a shortcut value; empty for 0 or a key Qt has no name for.
QKeySequence KeySequenceFromShortCut(TShortCut shortcut);

}  // namespace kavio::qt
