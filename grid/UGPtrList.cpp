#include "grid/UGPtrList.h"

#include <new>

int CUGPtrList::AddPointer(void* pointer)
{
    if (m_count >= m_capacity && GrowList() != 0)
        return -1;
    if (m_capacity < 1)
        return -1;
    for (int index = 0; index < m_capacity; ++index) {
        Entry& entry = m_entries[index];
        if (entry.inUse == 0) {
            entry.inUse = 1;
            entry.pointer = pointer;
            entry.param = 0;
            ++m_count;
            return index;
        }
    }
    return -1;
}

void* CUGPtrList::GetPointer(int index) const
{
    return IsUsedSlot(index) ? m_entries[index].pointer : nullptr;
}

int CUGPtrList::GetParam(int index) const
{
    return IsUsedSlot(index) ? m_entries[index].param : 0;
}

int CUGPtrList::SetParam(int index, int param)
{
    if (!IsUsedSlot(index))
        return 1;
    m_entries[index].param = param;
    return 0;
}

int CUGPtrList::GrowList()
{
    const int capacity = m_capacity + 10;
    std::unique_ptr<Entry[]> entries(new (std::nothrow) Entry[capacity]);
    if (!entries)
        return 1;
    for (int index = 0; index < m_capacity; ++index)
        entries[index] = m_entries[index];
    m_entries = std::move(entries);
    m_capacity = capacity;
    return 0;
}

bool CUGPtrList::IsUsedSlot(int index) const
{
    return index >= 0 && index < m_capacity && m_entries[index].inUse != 0;
}
