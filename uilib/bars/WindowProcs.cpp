#include "uilib/bars/WindowProcs.h"

WNDPROC SwapWindowProc(HWND window, WNDPROC proc)
{
    LONG_PTR value = reinterpret_cast<LONG_PTR>(proc);
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(window) ? SetWindowLongPtrW(window, GWLP_WNDPROC, value)
                                                              : SetWindowLongPtrA(window, GWLP_WNDPROC, value));
}

LRESULT CallPreviousProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous)
        return DefWindowProcW(window, message, wParam, lParam);
    return IsWindowUnicode(window) ? CallWindowProcW(previous, window, message, wParam, lParam)
                                   : CallWindowProcA(previous, window, message, wParam, lParam);
}
