#include "uilib/skin/SkinTxt.h"

#include <cstdlib>

#include "uilib/skin/DrawHelpers.h"

namespace FWSkin {

CSkinTxt::CSkinTxt(ISkinFrame* frame, int id) : CSkinBase(frame, id), m_fonts(nullptr, false)
{
}

CSkinTxt::~CSkinTxt()
{
    free(m_text);
}

void CSkinTxt::SetText(const wchar_t* text)
{
    free(m_text);
    m_text = nullptr;
    if (text) {
        size_t chars = wcslen(text) + 1;
        m_text = static_cast<wchar_t*>(malloc(chars * sizeof(wchar_t)));
        if (m_text)
            memcpy(m_text, text, chars * sizeof(wchar_t));
    }
}

void CSkinTxt::SetTextSize(int points)
{
    // A skin's size past any readable text would only make the system build giant glyphs.
    const int kMaxPoints = 500;
    points = points < -kMaxPoints ? -kMaxPoints : points > kMaxPoints ? kMaxPoints : points;
    if (points == 0 || points == m_points)
        return;
    LOGFONTW lf = {};
    GetObjectW(m_fonts.GetFont(0), sizeof(lf), &lf);
    HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    if (HFONT font = CreateFontIndirectW(&lf)) {
        m_fonts.SetFont(font, true);
        m_points = points;
    }
}

UINT CSkinTxt::Format() const
{
    UINT format = DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER;
    if (m_style & (kStyleCenterX | kStyleCenterText))
        format |= DT_CENTER;
    format |= (m_style & kStyleMultiLine) ? DT_WORDBREAK : DT_SINGLELINE;
    return format;
}

SIZE CSkinTxt::Measure()
{
    RECT r = {0, 0, m_rect.right, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font());
    UINT format = DT_CALCRECT | DT_NOPREFIX | ((m_style & kStyleMultiLine) ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, Text(), -1, &r, format);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT CSkinTxt::PrepareDc(HDC dc)
{
    RECT area = WindowRect();
    SaveDC(dc);
    SelectObject(dc, Font());
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    return area;
}

void CSkinTxt::Draw(HDC dc, bool)
{
    RECT area = WindowRect();
    if ((m_style & kStyleHidden) || !m_text || !*m_text || !RectVisible(dc, &area))
        return;
    UINT format = Format();
    if (m_style & kStyleMultiLine) {
        SIZE block = Measure();
        LONG spare = (area.bottom - area.top) - block.cy;
        if (spare > 0)
            InflateRect(&area, 0, -spare / 2);
    }
    PrepareDc(dc);
    if (shadow != kNoColor) {
        DrawShadowTextEx(dc, m_text, -1, &area, format, color, shadow, kShadowOffset, kShadowOffset);
    } else {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, color);
        DrawTextW(dc, m_text, -1, &area, format);
    }
    RestoreDC(dc, -1);
}

}  // namespace FWSkin
