#pragma once

#include "storage/book_data.h"
#include "storage/pb_base.h"

#include <functional>
#include <memory>
#include <string>

namespace kavio {

class TBookList;

// The pages of the open book, in the order of its book file. Page names are stored bare when the
// page file lies in the book's folder, as full paths otherwise.
class TPageList : public TPBBase {
public:
    using TPageListEvent = std::function<void(TPageList& sender)>;
    using TNeedPageIndexEvent = std::function<void(TPageList& sender, int& index)>;
    using TNeedDefaultTitleEvent = std::function<void(TPageList& sender, std::string& title)>;

    explicit TPageList(TBookList* bookList = nullptr);

    TPageListEvent OnBookChanging;  // before another book is loaded: the owner saves the open one
    TPageListEvent OnBookChanged;   // after a book was loaded
    TNeedPageIndexEvent OnNeedPageIndex;        // the page index to record in the book file
    TNeedDefaultTitleEvent OnNeedDefaultTitle;  // the title of a new page

    TBookList* BookList() const { return m_bookList; }
    void SetBookList(TBookList* bookList) { m_bookList = bookList; }
    // The open book (owned by the book list), or null.
    TBookData* Book() const { return m_book; }
    void SetBook(TBookData* book) { m_book = book; }

    // Makes `book` the open book and loads its pages; the open book again re-reads it. When its
    // book file cannot be read, no book stays open (so nothing overwrites that file) and the
    // error is thrown.
    void LoadBook(TBookData* book);
    // Creates a page file holding `text` in the book's folder and appends it; returns its index.
    int NewPage(const std::string& text);
    int AddPage(std::unique_ptr<TPageData> page) { return Add(std::move(page)); }
    std::unique_ptr<TPageData> ExtractPage(int index);
    TPageData& Pages(int index) const { return static_cast<TPageData&>(Items(index)); }
    uint8_t GetPriority(int index) const { return Pages(index).Priority; }

    // Reads the book file's page names and each page's header. A page file that is missing,
    // plain, unreadable or without "[EOH]" still gets a record; the last two are listed in
    // LoadProblems().
    void LoadFromFile(const std::string& path) override;
    // Writes the open book's book file.
    void SaveToFile(const std::string& path) override;
    int Add(std::unique_ptr<TPBDataBase> record) override;
    int AddNew() override { return NewPage({}); }
    std::string GetFullPath(const std::string& name) const override;
    std::string GetStoredName(const std::string& path) const override;
    void Save() override;

private:
    std::string BookDirectory() const;
    std::string BookFilePath(const TBookData& book) const;

    TBookList* m_bookList = nullptr;
    TBookData* m_book = nullptr;
};

}  // namespace kavio
