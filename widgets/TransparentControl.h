#pragma once
#include "framework/MessageMap.h"

#include <windows.h>

// The message a control sends itself when it needs a copy of its parent's background.
constexpr UINT kMakeBackgroundCopyMessage = 3036;

// Keeps a copy of the parent's background under a control T (a window-implementation class), for
// controls that draw over their parent. On kMakeBackgroundCopyMessage the copy is made: the parent
// erases (WM_ERASEBKGND) and paints (WM_PAINT with the DC in wParam) into a memory DC shifted by
// the control's position, then the control repaints. WM_SIZE drops the copy so the next drawing
// asks again.
template <class T>
class CTransparentControl
{
public:
    ~CTransparentControl() { FreeBackgroundCopy(); }

    bool HasBackgroundCopy() const { return m_backgroundDC != nullptr; }
    HDC BackgroundCopy() const { return m_backgroundDC; }
    void FreeBackgroundCopy()
    {
        if (m_backgroundDC == nullptr)
            return;
        ::SelectObject(m_backgroundDC, m_oldBitmap);
        ::DeleteObject(m_backgroundBitmap);
        ::DeleteDC(m_backgroundDC);
        m_backgroundDC = nullptr;
        m_backgroundBitmap = nullptr;
    }

    BEGIN_MSG_MAP(CTransparentControl)
        MESSAGE_HANDLER(kMakeBackgroundCopyMessage, OnMakeBackgroundCopy)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

    LRESULT OnMakeBackgroundCopy(UINT, WPARAM, LPARAM, BOOL&)
    {
        T* self = static_cast<T*>(this);
        FreeBackgroundCopy();
        HWND parent = ::GetParent(self->m_hWnd);
        RECT client;
        ::GetClientRect(self->m_hWnd, &client);
        POINT origin = {0, 0};
        ::MapWindowPoints(self->m_hWnd, parent, &origin, 1);

        HDC parentDC = ::GetDC(parent);
        m_backgroundDC = ::CreateCompatibleDC(parentDC);
        m_backgroundBitmap = ::CreateCompatibleBitmap(parentDC, client.right > 0 ? client.right : 1,
                                                      client.bottom > 0 ? client.bottom : 1);
        ::ReleaseDC(parent, parentDC);
        m_oldBitmap = ::SelectObject(m_backgroundDC, m_backgroundBitmap);

        POINT oldOrigin;
        ::SetViewportOrgEx(m_backgroundDC, -origin.x, -origin.y, &oldOrigin);
        // A dialog paints its background in WM_ERASEBKGND, so that comes first.
        ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_backgroundDC), 0);
        ::SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(m_backgroundDC), 0);
        ::SetViewportOrgEx(m_backgroundDC, oldOrigin.x, oldOrigin.y, nullptr);
        ::InvalidateRect(self->m_hWnd, nullptr, FALSE);
        return 0;
    }

    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        FreeBackgroundCopy();
        bHandled = FALSE;
        return 0;
    }

private:
    HDC m_backgroundDC = nullptr;
    HBITMAP m_backgroundBitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
