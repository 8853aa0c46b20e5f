#pragma once
#include "framework/MessageMap.h"

#include <windows.h>

// An off-screen copy of an area of a DC: draw into it in the target's coordinates, and the
// destructor copies the area back (SRCCOPY) in one step, so the screen never shows half a paint.
class CMemoryDC
{
public:
    CMemoryDC(HDC target, const RECT& area);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    operator HDC() const { return m_dc; }
    const RECT& Area() const { return m_area; }

private:
    HDC m_target;
    RECT m_area;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
};

// Double-buffered painting for a window class T: T provides void DoPaint(HDC dc) and chains this
// map. WM_ERASEBKGND does nothing (result 1); WM_PAINT paints through a CMemoryDC, or straight into
// the DC that wParam carries (a parent asking for its background); WM_PRINTCLIENT paints into its DC.
template <class T>
class CDoubleBufferImpl
{
public:
    BEGIN_MSG_MAP(CDoubleBufferImpl)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MSG_MAP()

    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        T* self = static_cast<T*>(this);
        if (wParam != 0) {
            self->DoPaint(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(self->m_hWnd, &ps);
        {
            CMemoryDC memory(dc, ps.rcPaint);
            self->DoPaint(memory);
        }
        ::EndPaint(self->m_hWnd, &ps);
        return 0;
    }
};
