#include "uilib/skin/tests/QuarantineHeap.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kPoison = 0;  // a freed object reads as empty: a stale flag stays false
constexpr size_t kMaxBlocks = 1 << 16;

struct Block {
    void* p;
    size_t size;
    bool freed;
};

// Plain arrays, never the heap this file replaces; the tests use it from one thread.
Block g_blocks[kMaxBlocks];
size_t g_count = 0;
bool g_armed = false;
int g_freedTwice = 0;

Block* Find(void* p)
{
    for (size_t i = g_count; i-- > 0;)
        if (g_blocks[i].p == p)
            return &g_blocks[i];
    return nullptr;
}

void* Allocate(size_t size)
{
    void* p = malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    if (g_armed && g_count < kMaxBlocks)
        g_blocks[g_count++] = Block{p, size, false};
    return p;
}

void Release(void* p)
{
    if (!p)
        return;
    if (Block* block = g_count ? Find(p) : nullptr) {
        if (block->freed) {
            ++g_freedTwice;
            return;
        }
        memset(p, kPoison, block->size);
        block->freed = true;
        return;
    }
    free(p);
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }

namespace QuarantineHeap {

void Arm()
{
    g_armed = true;
    g_freedTwice = 0;
}

Findings Disarm()
{
    g_armed = false;
    Findings f;
    f.freedTwice = g_freedTwice;
    size_t count = g_count;
    g_count = 0;  // from here on every delete goes to the real heap
    for (size_t i = 0; i < count; ++i) {
        Block& b = g_blocks[i];
        if (!b.freed)
            continue;  // still in use: its owner frees it later
        ++f.kept;
        const auto* bytes = static_cast<const unsigned char*>(b.p);
        for (size_t k = 0; k < b.size; ++k)
            if (bytes[k] != kPoison) {
                ++f.writtenAfterFree;
                break;
            }
        free(b.p);
    }
    return f;
}

}  // namespace QuarantineHeap
