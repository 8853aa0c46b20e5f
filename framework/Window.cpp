#include "framework/Window.h"

BOOL CWindow::Modify(int index, DWORD remove, DWORD add, UINT swpFlags)
{
    DWORD old = static_cast<DWORD>(::GetWindowLongW(m_hWnd, index));
    DWORD changed = (old & ~remove) | add;
    if (changed == old)
        return FALSE;
    ::SetWindowLongW(m_hWnd, index, static_cast<LONG>(changed));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

BOOL CWindow::CenterWindow(HWND over)
{
    const bool child = (GetStyle() & WS_CHILD) != 0;
    if (over == nullptr)
        over = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    RECT area;       // the rectangle to centre over
    RECT bounds;     // the window must stay inside this
    if (child) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &bounds);
        area = bounds;
        if (over != nullptr && over != parent) {
            ::GetWindowRect(over, &area);
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        }
    } else {
        HMONITOR monitor = ::MonitorFromWindow(over != nullptr ? over : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(monitor, &info);
        bounds = info.rcWork;
        area = bounds;
        if (over != nullptr && ::IsWindowVisible(over) && !::IsIconic(over))
            ::GetWindowRect(over, &area);
    }

    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int left = (area.left + area.right) / 2 - width / 2;
    int top = (area.top + area.bottom) / 2 - height / 2;
    if (left + width > bounds.right) left = bounds.right - width;
    if (left < bounds.left) left = bounds.left;
    if (top + height > bounds.bottom) top = bounds.bottom - height;
    if (top < bounds.top) top = bounds.top;
    return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
