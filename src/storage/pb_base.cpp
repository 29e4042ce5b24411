#include "storage/pb_base.h"

#include "base/error.h"
#include "base/file_system.h"
#include "base/trace.h"

namespace kavio {

void TPBBase::DoChangeCount()
{
    if (m_updateCount == 0 && OnChangeCount) {
        TNotifyEvent handler = OnChangeCount;  // the handler may reassign the event
        handler(*this);
    }
}

void TPBBase::DoChange()
{
    if (m_updateCount == 0 && OnChange) {
        TNotifyEvent handler = OnChange;
        handler(*this);
    }
}

int TPBBase::Add(std::unique_ptr<TPBDataBase> record)
{
    m_items.push_back(std::move(record));
    TraceFmt("%s 追加", m_items.back()->FileName.c_str());
    const int index = Count() - 1;
    DoChangeCount();
    DoChange();
    return index;
}

void TPBBase::Delete(int index)
{
    CheckIndex(index);
    fs::RemoveFile(GetFullPathOf(index));
    m_items.erase(m_items.begin() + index);
    RecordRemoved();
    DoChangeCount();
    DoChange();
}

std::unique_ptr<TPBDataBase> TPBBase::Extract(int index)
{
    CheckIndex(index);
    std::unique_ptr<TPBDataBase> record = std::move(m_items[static_cast<size_t>(index)]);
    m_items.erase(m_items.begin() + index);
    RecordRemoved();
    DoChangeCount();
    DoChange();
    return record;
}

void TPBBase::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(m_items[static_cast<size_t>(index1)], m_items[static_cast<size_t>(index2)]);
    DoChange();
}

void TPBBase::BeginUpdate()
{
    ++m_updateCount;
}

void TPBBase::EndUpdate()
{
    if (m_updateCount > 0)
        --m_updateCount;
    DoChangeCount();
    DoChange();
}

TPBDataBase& TPBBase::Items(int index) const
{
    CheckIndex(index);
    return *m_items[static_cast<size_t>(index)];
}

const std::string& TPBBase::GetFileName(int index) const
{
    return Items(index).FileName;
}

const std::string& TPBBase::GetTitle(int index) const
{
    return Items(index).Title;
}

std::string TPBBase::GetFullPathOf(int index) const
{
    return GetFullPath(GetFileName(index));
}

void TPBBase::SetTitle(int index, const std::string& title)
{
    Items(index).Title = title;
    DoChange();
}

void TPBBase::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
}

}  // namespace kavio
