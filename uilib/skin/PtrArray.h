#pragma once

#include "uilib/skin/TarnUIApi.h"

// A growable array of pointers; it never owns or frees the items.
class TARNUI_API CVoidPtrArray {
public:
    static constexpr int kGrowBy = 4;

    CVoidPtrArray() = default;
    virtual ~CVoidPtrArray();
    CVoidPtrArray(const CVoidPtrArray&) = delete;
    CVoidPtrArray& operator=(const CVoidPtrArray&) = delete;

    // An index below 0 or above the count appends. Returns the index used, -1 when out of memory.
    int InsertAt(int index, void* item);
    int Add(void* item) { return InsertAt(-1, item); }
    // The removed item, or null for an index out of range.
    void* RemoveAt(int index);
    void* GetAt(int index) const { return index >= 0 && index < m_count ? m_items[index] : nullptr; }
    int GetCount() const { return m_count; }
    int GetCapacity() const { return m_capacity; }
    int Find(const void* item) const;

protected:
    int m_count = 0;
    void** m_items = nullptr;
    int m_capacity = 0;
};

template <class T>
class CPtrArray : public CVoidPtrArray {
public:
    ~CPtrArray() override = default;
    int InsertAt(int index, T* item) { return CVoidPtrArray::InsertAt(index, item); }
    int Add(T* item) { return CVoidPtrArray::InsertAt(-1, item); }
    T* RemoveAt(int index) { return static_cast<T*>(CVoidPtrArray::RemoveAt(index)); }
    T* GetAt(int index) const { return static_cast<T*>(CVoidPtrArray::GetAt(index)); }
    T* operator[](int index) const { return GetAt(index); }
};
