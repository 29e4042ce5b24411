#include "storage/active_page.h"

#include "base/codepage.h"
#include "base/file_system.h"
#include "base/trace.h"
#include "config/globals.h"
#include "storage/page_details.h"
#include "storage/pb_base.h"

#include <string_view>

namespace kavio {
namespace {

constexpr std::string_view kClipPrefix = "clipfile:";
constexpr int kMaxMark = 15;

// The personal folder with its trailing delimiter.
std::string PersonalFolder()
{
    return fs::IncludeTrailingDelimiter(PersonalDir);
}

// Puts the marks of `details` on the first display rows of their lines. Entries whose line or
// mark is not a whole number, whose line lies beyond the text, or whose mark the editor cannot
// hold are skipped. As with GetRowMark, the first entry for a line gives its mark.
void ApplyRowMarks(const TPageDetails& details, MemoPadPort& memo)
{
    const int lineCount = memo.LineCount();
    for (const std::string& entry : details.RowMarks) {
        const size_t eq = entry.find('=');
        if (eq == std::string::npos)
            continue;
        const long line = ParseInteger(std::string_view(entry).substr(0, eq), -1);
        if (line < 0 || line >= lineCount)
            continue;
        const long mark = ParseInteger(GetKeyValue(details.RowMarks, std::to_string(line)), -1);
        if (mark < 0 || mark > kMaxMark)
            continue;
        memo.AddRowMark(memo.FirstRowOfLine(static_cast<int>(line)), static_cast<int>(mark));
    }
}

}  // namespace

TActivePage::TActivePage(const TPBBase& pages, MemoPadPort& memo, MainWindowPort& window)
    : m_pages(pages), m_memo(memo), m_window(window)
{
}

void TActivePage::Load(TPageData& page)
{
    TraceSeparator();
    Trace("ページを読み込み(" + cp932::ToUtf8(page.Title) + ")");
    TimerStart("読み込み時間");

    Loading = true;
    m_memo.BeginUpdate();
    bool editorTouched = false;
    try {
        TPageDetails details;
        m_memo.RefreshStatus();
        details.LoadFromFile(m_pages.GetFullPath(page.FileName));

        editorTouched = true;
        m_memo.Clear();
        m_window.ClipFilesClear();
        m_memo.SetLines(details.Body);
        ApplyRowMarks(details, m_memo);
        m_window.ShowPageTitle(GetKeyValue(details.Header, "Title"));
        m_memo.SetModified(false);

        const std::string personal = PersonalFolder();
        for (const std::string& colon : details.ColonLines) {
            if (!colon.starts_with(kClipPrefix))
                continue;
            const std::string name = colon.substr(kClipPrefix.size());
            m_window.ClipFilesAdd(name.find(fs::kDelimiter) != std::string::npos ? name : personal + name);
        }
        m_window.UpdateClipListHeight();
        Page = &page;
    } catch (...) {
        // The editor may now hold part of this page: it must not be saved as the previous one.
        if (editorTouched)
            Page = nullptr;
        FinishLoad();
        throw;
    }
    FinishLoad();
    TimerStop("読み込み時間");
}

void TActivePage::FinishLoad()
{
    struct ClearLoading {
        bool& loading;
        ~ClearLoading() { loading = false; }
    } clearLoading{Loading};
    m_memo.EndUpdate();
    // Loading is still set here, so the controller's change handler writes nothing.
    m_memo.DoChange(this);
}

std::string TActivePage::StoredClipName(const std::string& path, const std::string& personal)
{
    // File names on this system are case-sensitive, so the folder is compared exactly: a bare
    // name is always resolved in the personal folder itself. A file in a sub-folder keeps its
    // full path, since a stored name with a delimiter is read back as a full path.
    if (path.size() > personal.size() && path.starts_with(personal)
        && path.find(fs::kDelimiter, personal.size()) == std::string::npos)
        return path.substr(personal.size());
    return path;
}

void TActivePage::Save()
{
    if (!Page)
        return;
    Trace("ディスク書き込み(" + cp932::ToUtf8(Page->Title) + ")");
    TimerStart("書き込み時間");

    const std::string path = m_pages.GetFullPath(Page->FileName);
    // Reading the present file keeps its other header lines and its kind; a file that cannot be
    // read completely throws here, before anything is written.
    TPageDetails details(path);

    if (!details.Header.empty() && details.Header.front() != kPageMarker)
        details.Header.clear();
    if (details.Header.empty())
        details.Header.emplace_back(kPageMarker);
    SetKeyValue(details.Header, "Title", Page->Title);
    SetKeyValue(details.Header, "Priority", std::to_string(Page->Priority));

    details.ColonLines.clear();
    const std::string personal = PersonalFolder();
    const int clipCount = m_window.ClipFilesCount();
    for (int i = 0; i < clipCount; ++i)
        details.ColonLines.push_back(std::string(kClipPrefix) + StoredClipName(m_window.ClipFileItem(i), personal));

    details.Body = m_memo.GetLines();

    details.RowMarks.clear();
    const int lineCount = m_memo.LineCount();
    for (int line = 0; line < lineCount; ++line) {
        const uint16_t marks = m_memo.RowMarkSet(m_memo.FirstRowOfLine(line));
        if (marks & (1u << kMarkSuspended))
            details.SetRowMark(line, kMarkSuspended);
        else if (marks & (1u << kMarkFinished))
            details.SetRowMark(line, kMarkFinished);
    }

    details.SaveToFile(path);
    m_memo.SetModified(false);
    TimerStop("書き込み時間");
}

}  // namespace kavio
