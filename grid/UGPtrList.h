#pragma once
// A slot table of pointers. The index a pointer gets stays its handle for the life of the list
// (cell-type indexes and font indexes are such handles), so slots are never compacted.

#include "platform/base/framework_objects.h"

#include <memory>

class CUGPtrList : public CObject {
public:
    CUGPtrList() = default;
    ~CUGPtrList() override = default;
    CUGPtrList(const CUGPtrList&) = delete;
    CUGPtrList& operator=(const CUGPtrList&) = delete;

    // The index of the slot that now holds the pointer, or -1 when the list cannot grow.
    int AddPointer(void* pointer);

    // Null unless the slot exists and is in use.
    void* GetPointer(int index) const;
    // The slot's counter (0 when filled); the font list keeps its use counts there.
    int GetParam(int index) const;
    int SetParam(int index, int param);

    int GetMaxCount() const { return m_capacity; }
    int GetCount() const { return m_count; }

private:
    struct Entry {
        int inUse = 0;
        void* pointer = nullptr;
        int param = 0;
        unsigned char extra[16] = {};
    };

    int GrowList();
    bool IsUsedSlot(int index) const;

    std::unique_ptr<Entry[]> m_entries;
    int m_capacity = 0;
    int m_count = 0;
};
