#include "uilib/skin/LibraryEntry.h"

#include <delayimp.h>
#include <gdiplus.h>

#include <cstdio>
#include <new>

#include "uilib/skin/ColorScheme.h"

namespace {

HINSTANCE g_module = nullptr;
CRITICAL_SECTION g_lock;
bool g_lockReady = false;
GdiplusHolder* g_gdiplus = nullptr;
constexpr int kMaxLibraryClasses = 32;
struct LibraryClass {
    ATOM atom;
    HINSTANCE instance;
};
LibraryClass g_classes[kMaxLibraryClasses] = {};
int g_classCount = 0;

ATOM RememberClass(ATOM atom, HINSTANCE instance)
{
    if (!atom)
        return 0;
    for (int i = 0; i < g_classCount; ++i)
        if (g_classes[i].atom == atom)
            return atom;
    if (g_classCount < kMaxLibraryClasses)
        g_classes[g_classCount++] = {atom, instance};
    return atom;
}

}  // namespace

const UINT WM_GLZ_DRAWBKGND = RegisterWindowMessageA("Glazier::DrawBkgnd");
const UINT WM_SFWM_NOTIFY = RegisterWindowMessageA("SFWM_NOTIFY");
const UINT WM_MENUXP_GETIMAGE = RegisterWindowMessageA("MenuXP::GetImage");
const UINT WM_SETTBBUTTONLAYOUT = RegisterWindowMessageW(L"SetTBButtonLayout");
const ATOM g_atomGlobalSubclassData = AddAtomW(L"glzGlobalSubclassData");

void (*g_pfnRemoveAllHooks)() = nullptr;
int (WINAPI *g_pfnDelayLoadMessageBox)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;

void LibraryProcessAttach(HINSTANCE module)
{
    g_module = module;
    LoadColorScheme(static_cast<const wchar_t*>(nullptr), 0);
    if (!g_lockReady) {
        InitializeCriticalSection(&g_lock);
        g_lockReady = true;
    }
}

void LibraryProcessDetach()
{
    UnregisterLibraryClasses();
    if (g_lockReady) {
        DeleteCriticalSection(&g_lock);
        g_lockReady = false;
    }
    if (g_pfnRemoveAllHooks)
        g_pfnRemoveAllHooks();
}

HINSTANCE GetLibraryModule()
{
    return g_module;
}

ATOM RegisterLibraryClass(const WNDCLASSEXW* wc)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExW(wc->hInstance, wc->lpszClassName, &existing)))
        return RememberClass(atom, wc->hInstance);
    return RememberClass(RegisterClassExW(wc), wc->hInstance);
}

ATOM RegisterLibraryClassA(const WNDCLASSEXA* wc)
{
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExA(wc->hInstance, wc->lpszClassName, &existing)))
        return RememberClass(atom, wc->hInstance);
    return RememberClass(RegisterClassExA(wc), wc->hInstance);
}

void UnregisterLibraryClasses()
{
    // Windows of a class keep it registered; those are the caller's to destroy before unloading.
    for (int i = 0; i < g_classCount; ++i)
        UnregisterClassW(MAKEINTATOM(g_classes[i].atom), g_classes[i].instance);
    g_classCount = 0;
}

void LockLibrary()
{
    if (g_lockReady)
        EnterCriticalSection(&g_lock);
}

void UnlockLibrary()
{
    if (g_lockReady)
        LeaveCriticalSection(&g_lock);
}

GdiplusHolder* GetGdiplusHolder(bool create, bool addRef)
{
    if (!g_gdiplus && create) {
        auto* holder = new (std::nothrow) GdiplusHolder{0, 0};
        if (!holder)
            return nullptr;
        Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
        ULONG_PTR token = 0;
        // A failed start-up is reported as failure and leaves no holder with a garbage token.
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
            delete holder;
            return nullptr;
        }
        holder->token = token;
        g_gdiplus = holder;
    }
    if (g_gdiplus && addRef)
        ++g_gdiplus->refCount;
    return g_gdiplus;
}

int ReleaseGdiplusHolder()
{
    if (!g_gdiplus)
        return 0;
    if (g_gdiplus->refCount <= 1) {
        Gdiplus::GdiplusShutdown(g_gdiplus->token);
        delete g_gdiplus;
        g_gdiplus = nullptr;
        return 0;
    }
    return --g_gdiplus->refCount;
}

extern "C" int WINAPI glzStartup(DWORD)
{
    return GetGdiplusHolder(true, true) != nullptr;
}

extern "C" void WINAPI glzShutdown(void)
{
    if (GetGdiplusHolder(false, false))
        ReleaseGdiplusHolder();
}

extern "C" int WINAPI ISglzStartup(DWORD unused)
{
    return glzStartup(unused);
}

extern "C" void WINAPI ISglzShutdown(void)
{
    glzShutdown();
}

void FormatDelayLoadFailure(const EXCEPTION_POINTERS* info, char* text, int size)
{
    if (!text || size <= 0)
        return;
    text[0] = 0;
    if (!info || !info->ExceptionRecord || info->ExceptionRecord->NumberParameters < 1)
        return;
    DWORD code = info->ExceptionRecord->ExceptionCode;
    auto* load = reinterpret_cast<const DelayLoadInfo*>(info->ExceptionRecord->ExceptionInformation[0]);
    if (!load || (code != kDelayLoadModuleNotFound && code != kDelayLoadProcNotFound))
        return;
    const char* dll = load->szDll ? load->szDll : "";
    // Bounded: the names come from the import data and may be long.
    int written;
    if (code == kDelayLoadModuleNotFound)
        written = snprintf(text, size, "%s not found", dll);
    else if (load->dlp.fImportByName)
        written = snprintf(text, size, "Function %s not found in %s",
                            load->dlp.szProcName ? load->dlp.szProcName : "", dll);
    else
        written = snprintf(text, size, "Function #%d not found in %s",
                            static_cast<int>(load->dlp.dwOrdinal), dll);
    if (written < 0 || written >= size)
        text[size - 1] = 0;
}

int DelayLoadFailureFilter(EXCEPTION_POINTERS* info, bool showMessage)
{
    if (!info || !info->ExceptionRecord)
        return 0;
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != kDelayLoadModuleNotFound && code != kDelayLoadProcNotFound)
        return 0;
    if (showMessage) {
        char text[512];
        FormatDelayLoadFailure(info, text, sizeof(text));
        g_pfnDelayLoadMessageBox(GetActiveWindow(), text, nullptr, MB_OK);
    }
    return 1;
}
