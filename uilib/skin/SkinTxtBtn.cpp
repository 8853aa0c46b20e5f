#include "uilib/skin/SkinTxtBtn.h"

#include <algorithm>

namespace FWSkin {

constexpr int kCaptionPadding = 2;

CSkinTxtBtn::CSkinTxtBtn(ISkinFrame* frame, int id) : CSkinBtnBase(frame, id), m_caption(frame, id)
{
    m_caption.AddStyle(kStyleCenterText);
}

void CSkinTxtBtn::ApplyLook(const StateLook& look)
{
    m_caption.color = look.color;
    m_caption.shadow = look.shadow;
    m_caption.attributes = look.attributes;
    m_caption.SetTextSize(look.size);
}

SIZE CSkinTxtBtn::MeasureCaption()
{
    ApplyLook(looks[kNormal]);
    RECT placed = m_caption.Rect();
    m_caption.SetRect(RECT{0, 0, 0x7FFF, 0});  // single line: measured without a width limit
    SIZE size = m_caption.Measure();
    m_caption.SetRect(placed);
    size.cx += kCaptionPadding;
    size.cy += kCaptionPadding;
    return size;
}

void CSkinTxtBtn::SetCaption(const wchar_t* caption)
{
    m_caption.SetText(caption);
    SIZE size = MeasureCaption();
    const StateLook& normal = looks[kNormal];
    LONG x = normal.left.right;
    LONG room = m_rect.right - (normal.left.right + size.cx + normal.right.right);
    if (room > 0)
        x += room / 2;
    m_captionRect = RECT{x, 0, size.cx, std::max<LONG>(size.cy, normal.middle.bottom)};
    PlaceCaption();
}

void CSkinTxtBtn::PlaceCaption()
{
    m_caption.SetRect(RECT{m_rect.left + m_captionRect.left, m_rect.top + m_captionRect.top, m_captionRect.right,
                           m_captionRect.bottom});
}

void CSkinTxtBtn::Unanchor()
{
    CSkinBtnBase::Unanchor();
}

void CSkinTxtBtn::Layout(int frameCx, int frameCy)
{
    CSkinBtnBase::Layout(frameCx, frameCy);
    PlaceCaption();
}

CSkinTxtBtn::StateIndex CSkinTxtBtn::VisibleIndex() const
{
    switch (VisibleState()) {
    case kStateDisabled: return kDisabled;
    case kStatePushed: return kPushed;
    case kStateHot: return kHot;
    default: return kNormal;
    }
}

void CSkinTxtBtn::Draw(HDC dc, bool withBackground)
{
    RECT area = WindowRect();
    if ((m_style & kStyleHidden) || !m_painter || !RectVisible(dc, &area))
        return;
    if (withBackground)
        m_painter->DrawBackground(dc, &area);
    const StateLook& look = looks[VisibleIndex()];
    POINT at = {m_rect.left, m_rect.top};
    m_painter->DrawImageAt(dc, &at, &look.left, 255);
    RECT middle = {m_rect.left + look.left.right, m_rect.top, m_rect.right - look.left.right - look.right.right,
                   look.middle.bottom};
    m_painter->DrawImage(dc, &middle, &look.middle, 255);
    POINT right = {middle.left + middle.right, m_rect.top};
    m_painter->DrawImageAt(dc, &right, &look.right, 255);
    ApplyLook(look);
    m_caption.Draw(dc, false);
}

}  // namespace FWSkin
