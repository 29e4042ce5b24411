#include "storage/book_list.h"

#include "base/file_system.h"
#include "base/line_file.h"
#include "config/file_naming.h"
#include "storage/book_details.h"
#include "storage/page_list.h"

#include <stdexcept>

namespace kavio {

TBookList::TBookList(TPageList* pageList, const std::string& personalDir)
    : m_pageList(pageList), m_personalDir(fs::IncludeTrailingDelimiter(personalDir))
{
    LoadFromFile(ListFileName());
    if (AutoCreate && Count() == 0)
        AddNew();
}

std::string TBookList::ListFileName() const
{
    return m_personalDir + "BookFileList.lst";
}

void TBookList::LoadFromFile(const std::string& path)
{
    m_loadProblems.clear();
    BeginUpdate();
    try {
        Lines lines;
        if (fs::FileExists(path))
            lines = ReadLines(path);
        TBookDetails details;
        ClearItems();
        m_items.reserve(lines.size());
        for (std::string& line : lines) {
            if (line.empty())  // the system never writes blank lines; they name no book
                continue;
            auto book = std::make_unique<TBookData>();
            const std::string fullPath = GetFullPath(line);
            try {
                const bool complete = details.LoadHeader(fullPath);
                book->Title = GetKeyValue(details.Header, "Title");
                book->Directory = GetKeyValue(details.Header, "Directory");
                book->LastIndex = static_cast<int32_t>(ParseInteger(GetKeyValue(details.Header, "LastIndex"), 0));
                book->ShortCut = TextToShortCut(GetKeyValue(details.Header, "ShortCut"));
                if (!complete)
                    m_loadProblems.push_back({fullPath, HeaderNotClosedMessage(fullPath)});
            } catch (const std::exception& e) {
                m_loadProblems.push_back({fullPath, e.what()});
            }
            book->FileName = std::move(line);
            AddBook(std::move(book));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TBookList::SaveToFile(const std::string& path)
{
    Lines lines;
    lines.reserve(m_items.size());
    for (const auto& item : m_items)
        lines.push_back(item->FileName);
    WriteLines(path, lines);
}

int TBookList::Add(std::unique_ptr<TPBDataBase> record)
{
    if (!dynamic_cast<TBookData*>(record.get()))
        throw std::invalid_argument("TBookList holds book records only");
    return TPBBase::Add(std::move(record));
}

std::unique_ptr<TBookData> TBookList::ExtractBook(int index)
{
    return std::unique_ptr<TBookData>(static_cast<TBookData*>(Extract(index).release()));
}

std::string TBookList::GetFullPath(const std::string& name) const
{
    if (name.find(fs::kDelimiter) != std::string::npos)
        return name;
    return m_personalDir + name;
}

std::string TBookList::GetStoredName(const std::string& path) const
{
    if (fs::ExtractFilePath(path) == m_personalDir)
        return fs::ExtractFileName(path);
    return path;
}

void TBookList::Save()
{
    SaveToFile(ListFileName());
}

void TBookList::RecordRemoved()
{
    if (m_pageList)
        m_pageList->SetBook(nullptr);
}

int TBookList::NewBook(const std::string& directory)
{
    const std::string path = MakeRandomFileName(directory, "mem", ".book");
    TBookDetails details;
    details.Header.emplace_back(kBookMarker);
    SetKeyValue(details.Header, "Title", DefaultTitle);
    SetKeyValue(details.Header, "Directory", directory);
    SetKeyValue(details.Header, "LastIndex", "0");

    auto book = std::make_unique<TBookData>();
    book->FileName = GetStoredName(path);
    book->Title = DefaultTitle;
    book->Directory = directory == m_personalDir ? std::string() : directory;
    book->LastIndex = 0;
    book->ShortCut = 0;
    const int index = AddBook(std::move(book));
    details.SaveToFile(path);
    return index;
}

}  // namespace kavio
