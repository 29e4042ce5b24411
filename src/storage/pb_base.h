#pragma once

#include "storage/page_data.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavio {

// With it on, opening a book without pages creates a first page, and an empty library gets a
// first book. On for the whole run.
inline bool AutoCreate = true;

// A file listed in a book or in the library that could not be read while loading. Its record is
// kept (with what could be read, defaults otherwise) so the next write still lists it.
struct TLoadProblem {
    std::string FileName;  // the full path, code-page bytes
    std::string Message;   // what went wrong, for the user
};

// The ordered, owning list shared by the page list and the book list. Events go to at most one
// handler each, with the list as sender, and are raised only after the operation's own change is
// complete, so a handler may call back into the list.
class TPBBase {
public:
    using TNotifyEvent = std::function<void(TPBBase& sender)>;

    TPBBase() = default;
    virtual ~TPBBase() = default;
    TPBBase(const TPBBase&) = delete;
    TPBBase& operator=(const TPBBase&) = delete;

    TNotifyEvent OnChange;       // titles, order or members changed
    TNotifyEvent OnChangeCount;  // the number of records may have changed

    virtual void LoadFromFile(const std::string& path) = 0;
    virtual void SaveToFile(const std::string& path) = 0;
    virtual void DoChangeCount();
    virtual void DoChange();
    // Appends and takes ownership; returns the new index.
    virtual int Add(std::unique_ptr<TPBDataBase> record);
    virtual int AddNew() = 0;
    // Deletes the record's file (a missing file is no error) and the record.
    virtual void Delete(int index);
    // Removes the record without freeing it or touching its file.
    virtual std::unique_ptr<TPBDataBase> Extract(int index);
    virtual void Exchange(int index1, int index2);
    virtual std::string GetFullPath(const std::string& name) const = 0;
    virtual std::string GetStoredName(const std::string& path) const = 0;
    virtual void Save() = 0;

    // Updates nest; the events held back are raised once when the outermost update ends.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TPBDataBase& Items(int index) const;
    const std::string& GetFileName(int index) const;
    const std::string& GetTitle(int index) const;
    std::string GetFullPathOf(int index) const;
    void SetTitle(int index, const std::string& title);

    // The files that could not be read by the last LoadFromFile.
    const std::vector<TLoadProblem>& LoadProblems() const { return m_loadProblems; }

protected:
    void CheckIndex(int index) const;
    void ClearItems() { m_items.clear(); }
    // Runs after a record has left the list, before the events.
    virtual void RecordRemoved() {}

    std::vector<std::unique_ptr<TPBDataBase>> m_items;
    std::vector<TLoadProblem> m_loadProblems;

private:
    int m_updateCount = 0;
};

}  // namespace kavio
