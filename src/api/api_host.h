#pragma once

#include <optional>
#include <string>

namespace kavio {

// What the API functions need of the main window and its memo pad. The Qt layer implements it
// on the editor and the lists; tests fake it. All text is code-page bytes; line breaks in the
// memo pad's text are CR LF, and offsets and lengths count bytes with a line break as two.
class ApiHost {
public:
    virtual ~ApiHost() = default;

    // The application and personal folders (a trailing "/" may be missing).
    virtual std::string AppDir() const = 0;
    virtual std::string PersonalDir() const = 0;

    // The memo pad's whole text, with a final line break only when the text has one.
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Length of Text() in bytes; kept up to date by the editor, so reading it is cheap.
    virtual long TextLength() const = 0;

    virtual std::string SelText() const = 0;
    // Replaces the selection by `text`, or inserts it at the caret when nothing is selected.
    virtual void ReplaceSelection(const std::string& text) = 0;
    // Selection start (the caret when nothing is selected) and length (0 when nothing is).
    virtual long SelStart() const = 0;
    virtual long SelLength() const = 0;
    // Selects `length` bytes from `start` (a caret at `start` for 0). The caller keeps both
    // inside the text; an offset inside a double-byte character or a CR LF moves to its start.
    virtual void SetSelection(long start, long length) = 0;
    // The token under the caret.
    virtual std::string SelToken() const = 0;

    // The editor's find string (the highlight string).
    virtual std::string FindString() const = 0;
    virtual void SetFindString(const std::string& text) = 0;

    // The memo pad's change handler, run as if the user had edited the text: the title rule
    // runs and the page file is written.
    virtual void MemoPadChange() = 0;

    virtual int BookCount() const = 0;
    // Reopens the open book (pages added or removed on disk appear).
    virtual void ReloadBook() = 0;
    // Reads the active page again from its page file; does nothing without an active page.
    virtual void ReloadPage() = 0;

    // A modal information box; returns when the user has closed it. Events, other API clients
    // included, are served while it is open.
    virtual void ShowInformation(const std::string& text) = 0;
};

}  // namespace kavio
