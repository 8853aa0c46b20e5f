#include "uilib/skin/OffscreenDC.h"

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/GradientFill.h"

HDC COffscreenDC::Begin(HDC target, const RECT* area, int yOrigin, const GRADIENT* fill, bool horizontal,
                        BYTE alpha)
{
    Free();
    if (!target || !area)
        return nullptr;
    m_target = target;
    m_alpha = alpha;
    m_area = *area;
    SetWindowOrgEx(target, 0, yOrigin, nullptr);
    m_area.bottom += yOrigin;
    int w = m_area.right - m_area.left, h = m_area.bottom - m_area.top;
    if (w <= 0 || h <= 0)
        return nullptr;
    DWORD* bits = nullptr;
    m_buffer = CreateDib32(w, h, &bits);
    m_bits = bits;
    m_dc = CreateCompatibleDC(target);
    if (!m_buffer || !m_dc) {
        Free();
        return nullptr;
    }
    m_old = SelectObject(m_dc, m_buffer);
    SetWindowOrgEx(m_dc, m_area.left, m_area.top, nullptr);
    RECT clip;
    if (GetClipBox(target, &clip) != NULLREGION && GetClipBox(target, &clip) != ERROR) {
        // The buffer draws only where the target would.
        HRGN box = CreateRectRgn(clip.left - m_area.left, clip.top - m_area.top, clip.right - m_area.left,
                                 clip.bottom - m_area.top);
        SelectClipRgn(m_dc, box);
        DeleteObject(box);
    }
    if (fill)
        FillGradient(m_dc, fill, &m_area, horizontal);
    return m_dc;
}

void COffscreenDC::End()
{
    if (m_dc && m_target) {
        int w = m_area.right - m_area.left, h = m_area.bottom - m_area.top;
        SetWindowOrgEx(m_dc, 0, 0, nullptr);
        SelectClipRgn(m_dc, nullptr);
        if (m_alpha == 255)
            BitBlt(m_target, m_area.left, m_area.top, w, h, m_dc, 0, 0, SRCCOPY);
        else
            AlphaBlendRTL(m_target, m_area.left, m_area.top, w, h, m_dc, 0, 0, w, h,
                          BLENDFUNCTION{AC_SRC_OVER, 0, m_alpha, 0});
    }
    if (m_target)
        SetWindowOrgEx(m_target, 0, 0, nullptr);
    Free();
}

void COffscreenDC::Free()
{
    if (m_dc) {
        if (m_old)
            SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    if (m_buffer)
        DeleteObject(m_buffer);
    m_dc = nullptr;
    m_buffer = nullptr;
    m_bits = nullptr;
    m_old = nullptr;
    m_target = nullptr;
}
