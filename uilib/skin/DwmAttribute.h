#pragma once
#include <windows.h>

// DwmSetWindowAttribute with a 32-bit value, looked up at run time: Windows XP has no DWM, and on
// Windows 6.0 and later a missing function changes nothing.
void SetDwmWindowAttribute(HWND window, DWORD attribute, DWORD value);
