#pragma once

#include "base/line_file.h"

#include <cstdint>
#include <string>

namespace kavio {

// What the core needs of the memo pad (the editor control). The Qt layer implements it on the
// editor widget; tests fake it. Text is code-page bytes, one string per logical line.
//
// A logical line is a line of the text; with word wrap it may occupy several display rows. Row
// marks sit on display rows; the first display row of a logical line carries that line's marks.
class MemoPadPort {
public:
    virtual ~MemoPadPort() = default;

    // Updates nest; the editor repaints once when the outermost one ends.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;

    // Removes all text (and with it every row mark).
    virtual void Clear() = 0;
    // The text as its logical lines; an empty editor has none. LineCount() == GetLines().size().
    virtual Lines GetLines() const = 0;
    // Replaces the whole text by exactly these logical lines.
    virtual void SetLines(const Lines& lines) = 0;
    virtual int LineCount() const = 0;
    // The display row on which logical line `line` (0-based) begins.
    virtual int FirstRowOfLine(int line) const = 0;

    // The marks of display row `row` as a set: bit m is set when mark m (0..15) is on the row.
    virtual uint16_t RowMarkSet(int row) const = 0;
    // Puts mark `mark` (0..15) on display row `row`; the row's other marks stay.
    virtual void AddRowMark(int row, int mark) = 0;

    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;

    // Refreshes the editor's status indicators (caret position, insert mode and the like).
    virtual void RefreshStatus() = 0;
    // Raises the editor's change notification, as an edit would, naming `sender` as its origin.
    virtual void DoChange(const void* sender) = 0;
};

// What the core needs of the main window around the memo pad.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // The clip file list under the editor: full paths, code-page bytes, in list order.
    virtual void ClipFilesClear() = 0;
    virtual void ClipFilesAdd(const std::string& path) = 0;
    virtual int ClipFilesCount() const = 0;
    virtual std::string ClipFileItem(int index) const = 0;

    // Shows a page title (code-page bytes) in the title label.
    virtual void ShowPageTitle(const std::string& title) = 0;
    // Collapses the clip list when it is empty and restores it when it has items.
    virtual void UpdateClipListHeight() = 0;
};

// The two marks a page file stores for its lines.
inline constexpr int kMarkSuspended = 10;  // "保留"
inline constexpr int kMarkFinished = 11;   // "済"

}  // namespace kavio
