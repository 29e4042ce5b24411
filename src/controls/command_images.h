#pragma once

#include <QIcon>

// The program's pictures, drawn in code: dark grey strokes with one accent colour, laid out on
// the pixel grid so that they stay sharp at their design size. Each icon carries pixmaps at 1×,
// 2× and 4× the design size.
namespace kavio::qt {

// The command images (16 × 16), by image index:
//   0 SetTitle, 1 TurnUp, 2 TurnDown, 3 PageListLeft, 4 Cut, 5 Copy, 6 Paste, 7 Undo, 8 Redo,
//   9 RemovePage, 10 FileOpen, 11 FileSaveAs, 12 ToolSettings and the tools menu,
//   13 ShadeDisable and the window-shade menu, 14 Settings, 15 About, 16 HelpContents.
constexpr int kCommandImageCount = 17;
constexpr int kCommandImageSize = 16;
// A null icon for an index outside 0 … kCommandImageCount − 1.
QIcon CommandImage(int index);

// The title-bar buttons, left to right.
enum class TitleButton { NewPage, PasteNewPage, CopyPage, Hide, Maximize, Exit };
constexpr int kTitleButtonImageSize = 12;
// A glyph of about 10 × 10 pixels on a 12 × 12 picture; Maximize is FormStateImage(0).
QIcon TitleButtonImage(TitleButton button);

// The maximise button's picture for a maximised state (12 × 12): 0 normal shows the maximise
// glyph, 1 maximised the restore glyph; a null icon for anything else.
QIcon FormStateImage(int state);

}  // namespace kavio::qt
