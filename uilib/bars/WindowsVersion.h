#pragma once
#include <windows.h>

// The running Windows version as major and minor numbers; tests replace it, since Wine always
// reports one version.
struct WindowsVersion {
    DWORD major;
    DWORD minor;
};
WindowsVersion GetWindowsVersion();
void OverrideWindowsVersion(DWORD major, DWORD minor);  // 0, 0 asks Windows again
inline bool IsWindowsVersion(DWORD major, DWORD minor)
{
    WindowsVersion v = GetWindowsVersion();
    return v.major == major && v.minor == minor;
}

inline bool IsWindows9xOr2000()
{
    return (GetVersion() & 0x80000000u) || IsWindowsVersion(5, 0);
}

// Windows 9x and 2000 need the alpha-aware image drawing; later image lists blend themselves.
inline bool NeedsAlphaAwareImages()
{
    return IsWindows9xOr2000();
}
