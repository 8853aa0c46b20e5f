#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// Process-wide state of the library: its module, the one lock, registered messages and the
// reference-counted GDI+ start-up.

// Attach and detach work of the library entry; the DLL's DllMain calls them, and programs that
// link the library statically (its tests) call them themselves.
void LibraryProcessAttach(HINSTANCE module);
void LibraryProcessDetach();

HINSTANCE GetLibraryModule();

// Window classes the library registers with its own module: registered once while the library is
// loaded and unregistered when it unloads, so a reloaded library never finds a stale class whose
// procedure pointed into the old image. Returns the class atom (also when it was already there).
ATOM RegisterLibraryClass(const WNDCLASSEXW* wc);
ATOM RegisterLibraryClassA(const WNDCLASSEXA* wc);
void UnregisterLibraryClasses();

// The one process-wide lock (image cache, its memory DCs, the task pane's shared data).
void LockLibrary();
void UnlockLibrary();
class CLibraryLock {
public:
    CLibraryLock() { LockLibrary(); }
    ~CLibraryLock() { UnlockLibrary(); }
    CLibraryLock(const CLibraryLock&) = delete;
    CLibraryLock& operator=(const CLibraryLock&) = delete;
};

// Registered messages and the dialog-property atom, obtained when the library loads.
extern const UINT WM_GLZ_DRAWBKGND;      // "Glazier::DrawBkgnd"
extern const UINT WM_SFWM_NOTIFY;        // "SFWM_NOTIFY"
extern const UINT WM_MENUXP_GETIMAGE;    // "MenuXP::GetImage"
extern const UINT WM_SETTBBUTTONLAYOUT;  // "SetTBButtonLayout" (wide)
extern const ATOM g_atomGlobalSubclassData;  // "glzGlobalSubclassData"

// The hook engine installs its remover here when it installs its first hook; unload runs it.
extern void (*g_pfnRemoveAllHooks)();

struct GdiplusHolder {
    int refCount;
    ULONG_PTR token;
};
GdiplusHolder* GetGdiplusHolder(bool create, bool addRef);
int ReleaseGdiplusHolder();

// Takes a GDI+ reference for the lifetime of the object (PNG loads use it around one call).
class CGdiplusUse {
public:
    CGdiplusUse() : m_holder(GetGdiplusHolder(true, true)) {}
    ~CGdiplusUse() { if (m_holder) ReleaseGdiplusHolder(); }
    bool Ok() const { return m_holder != nullptr; }
    CGdiplusUse(const CGdiplusUse&) = delete;
    CGdiplusUse& operator=(const CGdiplusUse&) = delete;

private:
    GdiplusHolder* m_holder;
};

// Exception filter around calls into delay-loaded libraries: 1 (handle) for a missing module or
// procedure, showing the failure text when asked; 0 for anything else.
constexpr DWORD kDelayLoadModuleNotFound = 0xC06D007E;
constexpr DWORD kDelayLoadProcNotFound = 0xC06D007F;
int DelayLoadFailureFilter(EXCEPTION_POINTERS* info, bool showMessage);
// Shows the failure text; MessageBoxA, replaceable so tests can see the text without a dialog.
extern int (WINAPI *g_pfnDelayLoadMessageBox)(HWND, LPCSTR, LPCSTR, UINT);
// The failure text for a delay-load failure (bounded to size); empty for other exceptions.
void FormatDelayLoadFailure(const EXCEPTION_POINTERS* info, char* text, int size);

extern "C" {
TARNUI_API int WINAPI glzStartup(DWORD unused);
TARNUI_API void WINAPI glzShutdown(void);
TARNUI_API int WINAPI ISglzStartup(DWORD unused);
TARNUI_API void WINAPI ISglzShutdown(void);
}
