#pragma once

#include "config/globals.h"
#include "storage/book_data.h"
#include "storage/pb_base.h"

#include <memory>
#include <string>

namespace kavio {

class TPageList;

// The library: every book, in the order of "BookFileList.lst" in the personal folder. Book
// names are stored bare for book files directly in the personal folder, as full paths otherwise.
class TBookList : public TPBBase {
public:
    // Loads the library of `personalDir` and, when it is empty, creates a first book. A list file
    // that exists but cannot be read is thrown, before anything is created or written.
    explicit TBookList(TPageList* pageList = nullptr, const std::string& personalDir = PersonalDir);

    TPageList* PageList() const { return m_pageList; }
    void SetPageList(TPageList* pageList) { m_pageList = pageList; }
    // The personal folder this library lives in, with a trailing "/".
    const std::string& PersonalFolder() const { return m_personalDir; }
    // PersonalFolder() + "BookFileList.lst".
    std::string ListFileName() const;

    // Creates a book file in `directory` (the personal folder or a folder ending with "/") and
    // appends its record; returns the new index.
    int NewBook(const std::string& directory);
    int AddBook(std::unique_ptr<TBookData> book) { return Add(std::move(book)); }
    std::unique_ptr<TBookData> ExtractBook(int index);
    TBookData& Books(int index) const { return static_cast<TBookData&>(Items(index)); }

    // Reads the list file and each book file's header. A book file that is missing, plain,
    // unreadable or without "[EOH]" still gets a record, so its line survives the next write;
    // the last two are listed in LoadProblems().
    void LoadFromFile(const std::string& path) override;
    void SaveToFile(const std::string& path) override;
    int Add(std::unique_ptr<TPBDataBase> record) override;
    int AddNew() override { return NewBook(m_personalDir); }
    std::string GetFullPath(const std::string& name) const override;
    std::string GetStoredName(const std::string& path) const override;
    void Save() override;

protected:
    // A book that leaves the library leaves the page list without a book, before any event, so
    // no handler sees the page list pointing at a freed record.
    void RecordRemoved() override;

private:
    TPageList* m_pageList = nullptr;
    std::string m_personalDir;
};

}  // namespace kavio
