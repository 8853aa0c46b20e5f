#include "widgets/tests/DestroyIconCount.h"

#include "tests/support/ImportSlot.h"

namespace {

HICON g_watched = nullptr;
int g_count = 0;

BOOL WINAPI HookDestroyIcon(HICON icon)
{
    if (icon != nullptr && icon == g_watched)
        ++g_count;
    using Function = BOOL(WINAPI*)(HICON);
    static const Function real = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "DestroyIcon")));
    return real(icon);
}

}  // namespace

void CountDestroyIconOf(HICON icon)
{
    g_watched = icon;
    g_count = 0;
}

int DestroyIconCount()
{
    return g_count;
}

extern "C" {
void* g_slotDestroyIcon __asm__(IMPORT_SLOT(DestroyIcon, 4)) = reinterpret_cast<void*>(&HookDestroyIcon);
}
