// The HTML static control's painting: cached background, measured and aligned markup, frame.
#include "widgets/HtmlStatic.h"

#include <algorithm>

namespace {

constexpr BYTE kBackgroundBlend = 5;
constexpr DWORD kNoWrapStyles = 0x0C;   // SS_LEFTNOWORDWRAP and its neighbours

}  // namespace

LRESULT CHtmlStatic::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != 0) {
        // A caller's DC (WM_PRINTCLIENT or a parent asking): nothing was there before us.
        PaintClient(reinterpret_cast<HDC>(wParam), nullptr);
        return 0;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    PaintClient(dc, dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

void CHtmlStatic::PaintClient(HDC target, HDC paintDC)
{
    RECT client;
    GetClientRect(&client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);

    PaintBackground(memory, paintDC ? paintDC : target, client);

    const CMarkupString content = ContentMarkup();
    const BOOL wrap = (GetStyle() & kNoWrapStyles) == 0;
    const int maxWidth = std::max(0, static_cast<int>(client.right) - 2 * m_marginX - 1);
    m_drawer.SetMaxWidth(wrap ? maxWidth : 0);
    SIZE size = {0, 0};
    m_drawer.PrepareOutput(memory, content.c_str(), &size);
    // Unwrapped text still gets the whole width to align itself in ("<right>", "<center>").
    if (!wrap && !m_isImage && size.cx > 0)
        size.cx = std::max(static_cast<int>(size.cx), maxWidth);
    size.cx = std::min(size.cx, client.right);
    size.cy = std::min(size.cy, client.bottom);
    m_contentSize = size;
    m_contentRect = PlaceContent(client, size);
    m_drawer.DrawPreparedOutput(memory, &m_contentRect);
    DrawFrame(memory, client);

    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void CHtmlStatic::PaintBackground(HDC dc, HDC source, const RECT& client)
{
    BITMAP info = {};
    if (m_bkCache && (!GetObjectW(m_bkCache, sizeof(info), &info) || info.bmWidth != client.right ||
                      info.bmHeight != client.bottom))
        DropBackgroundCache();
    if (!m_bkCache) {
        HDC cacheDC = CreateCompatibleDC(dc);
        m_bkCache = CreateCompatibleBitmap(source, client.right, client.bottom);
        HGDIOBJ old = SelectObject(cacheDC, m_bkCache);
        if (m_bkMode == 1)
            BitBlt(cacheDC, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
        else
            m_drawer.GetDrawManager()->FillEffect(cacheDC, m_bkEffect, &client, m_bkColors[0], m_bkColors[1],
                                                  m_bkColors[2], m_granularity, kBackgroundBlend);
        SelectObject(cacheDC, old);
        DeleteDC(cacheDC);
    }
    HDC cacheDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(cacheDC, m_bkCache);
    BitBlt(dc, 0, 0, client.right, client.bottom, cacheDC, 0, 0, SRCCOPY);
    SelectObject(cacheDC, old);
    DeleteDC(cacheDC);
}

CMarkupString CHtmlStatic::ContentMarkup() const
{
    if (m_isImage)
        return m_imageElement + m_imageSize + L">";
    // A disabled control leaves the colour to the "body" class, which the renderer greys; an
    // explicit numeric colour would keep the text in its enabled colour.
    if (m_textColor == kNoColor || !m_enabled)
        return m_text;
    CMarkupString open;
    open.Format(L"<font color=0x%06X>", static_cast<unsigned>(m_textColor));
    return open + m_text + L"</font>";
}

RECT CHtmlStatic::PlaceContent(const RECT& client, SIZE size) const
{
    const DWORD style = GetStyle();
    UINT horizontal = m_align & 0x03;
    if (horizontal == 0) {
        const DWORD kind = style & SS_TYPEMASK;
        horizontal = kind == SS_CENTER ? kAlignHCenter : kind == SS_RIGHT ? kAlignRight : kAlignLeft;
    }
    UINT vertical = m_align & 0x0C;
    if (vertical == 0)
        vertical = (style & SS_CENTERIMAGE) ? kAlignVCenter : kAlignTop;

    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    int x = client.left + m_marginX;
    if (horizontal == kAlignRight)
        x = client.right - size.cx - m_marginX;
    else if (horizontal == kAlignHCenter)
        x = client.left + (width - size.cx) / 2;
    int y = client.top + m_marginY;
    if (vertical == kAlignBottom)
        y = client.bottom - m_marginY - size.cy;
    else if (vertical == kAlignVCenter)
        y = client.top + (height - size.cy) / 2;
    return RECT{x, y, x + size.cx, y + size.cy};
}

void CHtmlStatic::DrawFrame(HDC dc, const RECT& client)
{
    if (!m_frameBrush || m_frameWidth <= 0 || m_frameHeight <= 0)
        return;
    if (m_region) {
        FrameRgn(dc, m_region, m_frameBrush, m_frameWidth, m_frameHeight);
        return;
    }
    // FrameRect draws one pixel: thicker frames are nested rectangles.
    RECT edge = client;
    const int steps = std::max(m_frameWidth, m_frameHeight);
    for (int i = 0; i < steps && edge.right > edge.left && edge.bottom > edge.top; ++i) {
        FrameRect(dc, &edge, m_frameBrush);
        InflateRect(&edge, i + 1 < m_frameWidth ? -1 : 0, i + 1 < m_frameHeight ? -1 : 0);
    }
}
