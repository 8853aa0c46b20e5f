#pragma once
#include "framework/WindowImpl.h"

// A static control that paints one icon at a chosen size at its top left, over the parent's static
// colour. Attach with SubclassWindow to a dialog's static control.
class CIconPicture : public CWindowImpl<CIconPicture>
{
public:
    DECLARE_WND_SUPERCLASS(L"LyrantIconPicture", L"STATIC")

    // Loads icon `id` from the resource module at width x height; returns it (null when the module
    // lacks it, which leaves the control without an icon). The icon is never destroyed by the
    // control; an earlier one is kept alive too.
    HICON SetIcon(UINT id, int width, int height);
    HICON GetIcon() const { return m_icon; }

    BEGIN_MSG_MAP(CIconPicture)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_MOVE, OnMove)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
    END_MSG_MAP()

    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

private:
    HICON m_icon = nullptr;
    int m_width = 0;
    int m_height = 0;
};
