#pragma once
#include <windows.h>

// Shows a window T as a drop-down hanging from an anchor window: a semi-transparent layered
// pop-up with a drop shadow, whose rounded panel lies below the anchor and joins a tab of the
// anchor's size that covers the anchor itself. T is a window class with m_hWnd.
//
// Only side 0 (panel below the anchor, left edges aligned, tab at the top left) is built: it is the
// one the manager uses.
template <class T>
class CWndDropDownImpl
{
public:
    static constexpr BYTE kAlpha = 220;
    static constexpr int kCorner = 5;   // corner ellipse of the panel and the tab
    static constexpr int kTabOverlap = 5;

    void ShowAt(HWND anchor, int side)
    {
        T* self = static_cast<T*>(this);
        HWND window = self->m_hWnd;
        m_anchor = anchor;
        m_side = side;
        MakeLayeredPopup(window);

        RECT anchorRect, popupRect;
        ::GetWindowRect(anchor, &anchorRect);
        ::GetWindowRect(window, &popupRect);
        if (m_width == 0 && m_height == 0) {
            m_width = popupRect.right - popupRect.left;
            m_height = popupRect.bottom - popupRect.top;
        }
        const int anchorWidth = anchorRect.right - anchorRect.left;
        const int anchorHeight = anchorRect.bottom - anchorRect.top;
        ::MoveWindow(window, anchorRect.left, anchorRect.top, m_width, m_height + anchorHeight, TRUE);
        OffsetChildren(window, 0, anchorHeight);

        RECT client;
        ::GetClientRect(window, &client);
        m_tab = {0, 0, anchorWidth, anchorHeight + kTabOverlap};
        HRGN panel = ::CreateRoundRectRgn(client.left, anchorHeight, client.right + 1, client.bottom + 1, kCorner, kCorner);
        HRGN tab = ::CreateRoundRectRgn(m_tab.left, m_tab.top, m_tab.right + 1, m_tab.bottom + 1, kCorner, kCorner);
        ::CombineRgn(panel, panel, tab, RGN_OR);
        ::DeleteObject(tab);
        ::SetWindowRgn(window, panel, TRUE);   // the window owns the region now
    }

    HWND Anchor() const { return m_anchor; }
    int Side() const { return m_side; }
    const RECT& TabRect() const { return m_tab; }
    POINT ChildOffset() const { return m_offset; }

private:
    static void MakeLayeredPopup(HWND window)
    {
        ::SetWindowLongW(window, GWL_EXSTYLE, ::GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(window, 0, kAlpha, LWA_ALPHA);
        LONG style = ::GetWindowLongW(window, GWL_STYLE);
        ::SetWindowLongW(window, GWL_STYLE, (style & ~WS_CHILD) | WS_POPUP | WS_MINIMIZEBOX);
        ::SetClassLongPtrW(window, GCL_STYLE, ::GetClassLongPtrW(window, GCL_STYLE) | CS_DROPSHADOW);
    }

    // Moves the children back by the earlier offset and then by the new one.
    void OffsetChildren(HWND window, int dx, int dy)
    {
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rect;
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
            ::SetWindowPos(child, nullptr, rect.left - m_offset.x + dx, rect.top - m_offset.y + dy, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        m_offset = {dx, dy};
    }

    HWND m_anchor = nullptr;
    int m_side = 0;
    int m_width = 0;
    int m_height = 0;
    POINT m_offset = {0, 0};
    RECT m_tab = {0, 0, 0, 0};
};
