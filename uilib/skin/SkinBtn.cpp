#include "uilib/skin/SkinBtn.h"

namespace FWSkin {

const RECT& CSkinBtn::Picture(DWORD state) const
{
    switch (state) {
    case kStateDisabled: return disabled;
    case kStatePushed: return pushed;
    case kStateHot: return hot;
    default: return normal;
    }
}

void CSkinBtn::Draw(HDC dc, bool withBackground)
{
    RECT area = WindowRect();
    if ((m_style & kStyleHidden) || !m_painter || !RectVisible(dc, &area))
        return;
    if (withBackground)
        m_painter->DrawBackground(dc, &area);
    DWORD state = VisibleState();
    if (IsFading() && (state == 0 || state == kStateHot)) {
        // The picture being left shows through the one being faded in.
        const RECT& under = Picture(state == kStateHot ? 0 : kStateHot);
        m_painter->DrawImage(dc, &m_rect, &under, static_cast<BYTE>(255 - m_fadeAlpha));
    }
    m_painter->DrawImage(dc, &m_rect, &Picture(state), static_cast<BYTE>(m_fadeAlpha));
}

}  // namespace FWSkin
