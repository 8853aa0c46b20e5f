#include "uilib/skin/SkinImg.h"

namespace FWSkin {

bool CSkinImg::ShouldDraw(HDC dc) const
{
    if ((m_style & kStyleHidden) || m_source.right <= 0 || m_source.bottom <= 0 || !m_painter)
        return false;
    RECT rect = WindowRect();
    return RectVisible(dc, &rect) != FALSE;
}

void CSkinImg::Draw(HDC dc, bool)
{
    if (!ShouldDraw(dc))
        return;
    POINT at = {m_rect.left, m_rect.top};
    DWORD layout = GetLayout(dc);
    bool keepOrientation = (m_style & kStyleNoMirror) && layout != GDI_ERROR && (layout & LAYOUT_RTL);
    if (keepOrientation)
        SetLayout(dc, layout | LAYOUT_BITMAPORIENTATIONPRESERVED);
    m_painter->DrawImageAt(dc, &at, &m_source, 255);
    if (keepOrientation)
        SetLayout(dc, layout);
}

HRGN CSkinImg::GetRegion() const
{
    if (!m_region)
        return nullptr;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, m_region, nullptr, RGN_COPY);
    OffsetRgn(copy, m_rect.left, m_rect.top);
    return copy;
}

}  // namespace FWSkin
