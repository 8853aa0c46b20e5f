#include "uilib/skin/PtrArray.h"

#include <cstdlib>
#include <cstring>

CVoidPtrArray::~CVoidPtrArray()
{
    free(m_items);
}

int CVoidPtrArray::InsertAt(int index, void* item)
{
    if (m_count >= m_capacity) {
        void** grown = static_cast<void**>(realloc(m_items, (m_capacity + kGrowBy) * sizeof(void*)));
        if (!grown)
            return -1;
        m_items = grown;
        m_capacity += kGrowBy;
    }
    if (index < 0 || index > m_count)
        index = m_count;
    memmove(m_items + index + 1, m_items + index, (m_count - index) * sizeof(void*));
    m_items[index] = item;
    ++m_count;
    return index;
}

void* CVoidPtrArray::RemoveAt(int index)
{
    if (index < 0 || index >= m_count)
        return nullptr;
    void* item = m_items[index];
    memmove(m_items + index, m_items + index + 1, (m_count - index - 1) * sizeof(void*));
    --m_count;
    if (m_capacity - m_count > 3) {
        if (m_count == 0) {
            free(m_items);
            m_items = nullptr;
            m_capacity = 0;
        } else if (void** shrunk = static_cast<void**>(realloc(m_items, m_count * sizeof(void*)))) {
            m_items = shrunk;
            m_capacity = m_count;
        }
    }
    return item;
}

int CVoidPtrArray::Find(const void* item) const
{
    for (int i = 0; i < m_count; ++i)
        if (m_items[i] == item)
            return i;
    return -1;
}
