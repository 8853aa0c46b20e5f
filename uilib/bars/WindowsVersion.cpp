#include "uilib/bars/WindowsVersion.h"

namespace {
WindowsVersion g_override = {0, 0};
}

WindowsVersion GetWindowsVersion()
{
    if (g_override.major)
        return g_override;
    DWORD version = GetVersion();
    return {LOBYTE(LOWORD(version)), HIBYTE(LOWORD(version))};
}

void OverrideWindowsVersion(DWORD major, DWORD minor)
{
    g_override = {major, minor};
}
