#pragma once

#include <optional>
#include <string>

namespace kavio {

// What the tool expansion reads of the lists and the memo pad. The main window implements it;
// tests fake it. All text is code-page bytes.
class ToolContextPort {
public:
    virtual ~ToolContextPort() = default;

    // Full path of the page file of the page selected in the page list; nullopt when none is.
    virtual std::optional<std::string> SelectedPagePath() const = 0;
    // Full path of the book file of the book selected in the book list; nullopt when none is.
    virtual std::optional<std::string> SelectedBookPath() const = 0;
    // The memo pad's whole text exactly as it is to reach a "$TEXT" file (lines ended by CR LF).
    virtual std::string PageText() const = 0;
    // The selected text; empty when nothing is selected.
    virtual std::string SelectedText() const = 0;
    // The word under the caret; empty when there is none.
    virtual std::string TokenAtCaret() const = 0;
    // The caret's logical line, from 0: wrapped continuation rows above the caret do not count.
    virtual int CaretLine() const = 0;
    // The port number set for the API server, whether or not it is listening.
    virtual int ApiPort() const = 0;
};

}  // namespace kavio
