#pragma once

#include "config/ini_file.h"

#include <QColor>
#include <QFont>
#include <QStringList>

#include <string>
#include <string_view>

// The memo pad's editor settings as they are kept in an INI file: the sections
// [Editor.Preference], [Editor.Marks], [Editor.TextMarkup], [Editor.WordWrap] and
// [Editor.ReserveWords] of the settings file, or of an exported editor settings file.
namespace kavio::qt {

class TEditorExMain;

// Reads the five sections into `editor`. A missing key leaves its default: false, 0, an empty
// text, grey invisible marks, no token colour, visual formatting on, and the editor's current
// tab width, wrap column and line-breaking strings. The font is replaced only when the file
// names one, and then the text colour becomes the font's colour: whoever loads onto the main
// memo pad sets the scheme's text colour again afterwards. The reserved words go to `words`
// when given, otherwise to the editor's list; a missing section leaves that list alone.
// A colour that is neither a colour name nor a number throws EConvertError, leaving the keys
// read before it applied.
void LoadEditorSettings(TEditorExMain& editor, const kavio::TMemIniFileEx& ini,
                        QStringList* words = nullptr);

// Writes the same keys in the same order from `editor` (the reserved words from `words` when
// given). The search-hit colouring is not written: hits take the find mark's colour when the
// file is read again. The caller writes the file.
void SaveEditorSettings(const TEditorExMain& editor, kavio::TMemIniFileEx& ini,
                        const QStringList* words = nullptr);

// A style set as stored, "[fsBold,fsItalic]" or "[]", and the token style bits it stands for
// (1 bold, 2 italic, 4 underline, 8 strike-out). Unknown names are ignored.
std::string StyleSetText(int style);
int StyleSetBits(std::string_view text);

// The INI font record of `font` drawn in `color` (Shift_JIS character set, size in points),
// and back: the face and size of `spec` on top of `base` (an empty face or a size below 1 keeps
// the base's), its styles replacing the base's.
kavio::TFontSpec FontSpecOf(const QFont& font, const QColor& color);
QFont FontFromSpec(const kavio::TFontSpec& spec, const QFont& base);

// The stored value of a colour: an invalid colour is clNone.
kavio::TColor StoredColor(const QColor& color);

}  // namespace kavio::qt
