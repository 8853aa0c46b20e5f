// Entry of TarnUI.dll: the library's attach and detach work.
#include <windows.h>

#include "uilib/skin/LibraryEntry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        LibraryProcessAttach(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        LibraryProcessDetach();
    }
    return TRUE;
}
