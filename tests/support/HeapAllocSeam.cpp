#include "tests/support/HeapAllocSeam.h"

#include "tests/support/ImportSlot.h"

namespace {

volatile SIZE_T g_bytes = 0;
volatile LONG g_succeed = 0;
volatile LONG g_refused = 0;

LPVOID WINAPI HookHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    if (g_bytes != 0 && bytes == g_bytes && InterlockedDecrement(&g_succeed) < 0) {
        InterlockedIncrement(&g_refused);
        return nullptr;
    }
    using Fn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
    static Fn real = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "HeapAlloc")));
    return real(heap, flags, bytes);
}

}  // namespace

void FailHeapAllocOfSize(SIZE_T bytes, LONG succeed)
{
    g_bytes = 0;
    g_succeed = succeed;
    g_refused = 0;
    g_bytes = bytes;
}

LONG RefusedHeapAllocs()
{
    return g_refused;
}

extern "C" {
void* g_slotHeapAlloc __asm__(IMPORT_SLOT(HeapAlloc, 12)) = reinterpret_cast<void*>(&HookHeapAlloc);
}
