#include "storage/page_list.h"

#include "base/codepage.h"
#include "base/error.h"
#include "base/file_system.h"
#include "base/trace.h"
#include "config/file_naming.h"
#include "storage/book_details.h"
#include "storage/book_list.h"
#include "storage/page_details.h"

#include <stdexcept>

namespace kavio {
namespace {

[[noreturn]] void ThrowNoBook()
{
    throw EKavioError("ブックが開かれていません。");
}

uint8_t ReadPriority(const Lines& header)
{
    return static_cast<uint8_t>(ParseInteger(GetKeyValue(header, "Priority"), 3) & 0xFF);
}

}  // namespace

TPageList::TPageList(TBookList* bookList) : m_bookList(bookList) {}

std::string TPageList::BookDirectory() const
{
    if (!m_book)
        ThrowNoBook();
    return GetBookDirectory(*m_book, m_bookList ? m_bookList->PersonalFolder() : PersonalDir);
}

std::string TPageList::BookFilePath(const TBookData& book) const
{
    if (m_bookList)
        return m_bookList->GetFullPath(book.FileName);
    if (book.FileName.find(fs::kDelimiter) != std::string::npos)
        return book.FileName;
    return fs::IncludeTrailingDelimiter(PersonalDir) + book.FileName;
}

std::string TPageList::GetFullPath(const std::string& name) const
{
    if (name.find(fs::kDelimiter) != std::string::npos)
        return name;
    return BookDirectory() + name;
}

std::string TPageList::GetStoredName(const std::string& path) const
{
    if (fs::ExtractFilePath(path) == BookDirectory())
        return fs::ExtractFileName(path);
    return path;
}

int TPageList::Add(std::unique_ptr<TPBDataBase> record)
{
    if (!dynamic_cast<TPageData*>(record.get()))
        throw std::invalid_argument("TPageList holds page records only");
    return TPBBase::Add(std::move(record));
}

std::unique_ptr<TPageData> TPageList::ExtractPage(int index)
{
    return std::unique_ptr<TPageData>(static_cast<TPageData*>(Extract(index).release()));
}

void TPageList::LoadBook(TBookData* book)
{
    TraceSeparator();
    if (OnBookChanging) {
        TPageListEvent handler = OnBookChanging;
        handler(*this);
    }
    TraceFmt("ブックを読み込み(%s)", book->Title.c_str());
    TimerStart("ブック読み込み時間");
    m_book = book;
    try {
        LoadFromFile(BookFilePath(*book));
        if (AutoCreate && Count() == 0)
            AddNew();
    } catch (...) {
        TimerStop("ブック読み込み時間");
        throw;
    }
    TimerStop("ブック読み込み時間");
    if (OnBookChanged) {
        TPageListEvent handler = OnBookChanged;
        handler(*this);
    }
}

void TPageList::LoadFromFile(const std::string& path)
{
    m_loadProblems.clear();
    BeginUpdate();
    try {
        TBookDetails book;
        try {
            book.LoadFromFile(path);
        } catch (...) {
            // Without its page names the book must not stay open: writing it now would replace
            // its book file with a list of the wrong pages, or of none.
            ClearItems();
            m_book = nullptr;
            throw;
        }
        TPageDetails page;
        ClearItems();
        m_items.reserve(book.Body.size());
        for (std::string& line : book.Body) {
            auto record = std::make_unique<TPageData>();
            record->Priority = 3;
            const std::string fullPath = GetFullPath(line);
            try {
                const bool complete = page.LoadHeader(fullPath);
                record->Title = GetKeyValue(page.Header, "Title");
                record->Priority = ReadPriority(page.Header);
                if (!complete)
                    m_loadProblems.push_back({fullPath, HeaderNotClosedMessage(fullPath)});
            } catch (const std::exception& e) {
                m_loadProblems.push_back({fullPath, e.what()});
            }
            record->FileName = std::move(line);
            Add(std::move(record));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TPageList::SaveToFile(const std::string& path)
{
    if (!m_book)
        ThrowNoBook();
    TraceFmt("ディスク書き込み(%s)", m_book->Title.c_str());
    TimerStart("ブック書き込み時間");
    int index = m_book->LastIndex;
    if (OnNeedPageIndex) {
        TNeedPageIndexEvent handler = OnNeedPageIndex;
        handler(*this, index);
    }
    TBookDetails details;
    details.Header.emplace_back(kBookMarker);
    SetKeyValue(details.Header, "Title", m_book->Title);
    SetKeyValue(details.Header, "Directory", m_book->Directory);
    SetKeyValue(details.Header, "LastIndex", std::to_string(index));
    SetKeyValue(details.Header, "ShortCut", ShortCutToText(m_book->ShortCut));
    details.Body.reserve(m_items.size());
    for (const auto& item : m_items)
        details.Body.push_back(item->FileName);
    details.SaveToFile(path);
    TimerStop("ブック書き込み時間");
}

void TPageList::Save()
{
    if (m_book)
        SaveToFile(GetFullPath(m_book->FileName));
}

int TPageList::NewPage(const std::string& text)
{
    const std::string path = MakeRandomFileName(BookDirectory(), "mem", ".memo");
    TPageDetails details;
    std::string title = "名称未設定"_sj;
    if (OnNeedDefaultTitle) {
        TNeedDefaultTitleEvent handler = OnNeedDefaultTitle;
        handler(*this, title);
    }
    auto record = std::make_unique<TPageData>();
    record->FileName = GetStoredName(path);
    record->Title = title;
    record->Priority = 3;
    details.Header.emplace_back(kPageMarker);
    SetKeyValue(details.Header, "Title", title);
    SetKeyValue(details.Header, "Priority", "3");
    details.Body = SplitLines(text);
    const int index = Add(std::move(record));
    details.SaveToFile(path);
    return index;
}

}  // namespace kavio
