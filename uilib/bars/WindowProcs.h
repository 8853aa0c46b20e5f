#pragma once
#include <windows.h>

// Subclassing in the character set the window was made with (IsWindowUnicode): the wide or the
// narrow window-procedure functions.
WNDPROC SwapWindowProc(HWND window, WNDPROC proc);  // returns the previous procedure
// Calls previous (DefWindowProcW when there is none).
LRESULT CallPreviousProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
