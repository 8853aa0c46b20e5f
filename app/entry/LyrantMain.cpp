// The program entry: COM, the common controls and the window framework, then the run routine.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/Run.h"
#include "framework/AxHost.h"
#include "framework/FrameworkModule.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int cmdShow)
{
    CoInitialize(nullptr);
    // Loads the window manager's wide entry points before any window exists.
    DefWindowProcW(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls = {8, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    g_Module.Init(instance);
    RegisterAxHostClass();

    int exitCode = Run(commandLine, cmdShow);

    g_Module.Term();
    CoUninitialize();
    return exitCode;
}
