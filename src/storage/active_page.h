#pragma once

#include "storage/memo_pad_port.h"
#include "storage/page_data.h"

#include <string>

namespace kavio {

class TPBBase;

// The page shown in the memo pad. Load puts a page file's text, line marks, title and clip files
// into the editor and the main window; Save rebuilds the page file from them.
class TActivePage {
public:
    // `pages` resolves stored page names to full paths (the page list of the open book). All
    // three must outlive the active page.
    TActivePage(const TPBBase& pages, MemoPadPort& memo, MainWindowPort& window);
    TActivePage(const TActivePage&) = delete;
    TActivePage& operator=(const TActivePage&) = delete;

    // The page whose text is in the editor, or null. Owned by the page list.
    TPageData* Page = nullptr;
    // True only while Load runs, including the change notification it raises at its end.
    bool Loading = false;

    // Shows the page's file in the editor. Whatever happens, the editor update is ended, the
    // change notification is raised once with this object as sender and Loading is cleared.
    // When reading fails the editor and Page are left as they were; when a later step fails,
    // Page becomes null, so the partly filled editor is never written over any page file.
    void Load(TPageData& page);

    // Writes the editor's content to Page's file: the header lines with other keys and the
    // file's kind survive (a plain file stays plain, a missing file stays missing). A file that
    // cannot be read completely (a header without "[EOH]") is not touched: the error is thrown.
    // The modified flag is cleared only after a successful save.
    void Save();

private:
    void FinishLoad();
    // How a clip file is stored: the bare name for a file directly in the personal folder,
    // otherwise the full path.
    static std::string StoredClipName(const std::string& path, const std::string& personal);

    const TPBBase& m_pages;
    MemoPadPort& m_memo;
    MainWindowPort& m_window;
};

}  // namespace kavio
