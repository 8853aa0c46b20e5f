// The markup tooltip's tip: size, placement at the screen's edge, region, background, painting.
#include "widgets/HtmlToolTip.h"
#include "render/DibSection32.h"

#include <algorithm>

namespace {

constexpr BYTE kBackgroundBlend = 5;
constexpr int kCursorGap = 20;   // a tip below the cursor starts under the arrow, not on it

int Side(int direction) { return direction & 0xF0; }
int Alignment(int direction) { return direction & 0x0F; }
bool Vertical(int direction) { return Side(direction) <= 0x10; }   // above or below the target

int ValidDirection(int direction)
{
    return Side(direction) <= 0x30 && Alignment(direction) <= 2 ? direction : 0x10;
}

// Where along a side of this length the anchor sits: near the start, centred, near the end.
int AnchorOffset(int alignment, int length, int margin)
{
    return alignment == 0 ? margin : alignment == 1 ? length / 2 : length - margin;
}

}  // namespace

RECT CHtmlToolTip::VirtualScreen()
{
    RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    const int cx = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int cy = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (cx <= 0 || cy <= 0) {
        screen = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return screen;
    }
    screen.right = screen.left + cx;
    screen.bottom = screen.top + cy;
    return screen;
}

RECT CHtmlToolTip::Arrange(SIZE body, const RECT& target, int direction, RECT* bodyInWindow, POINT* anchor) const
{
    const int anchorWidth = m_sizes[kAnchorWidth];
    const int anchorHeight = m_sizes[kAnchorHeight];
    const int margin = m_sizes[kAnchorMargin];
    const int side = Side(direction);
    const int alignment = Alignment(direction);
    RECT window = {0, 0, body.cx, body.cy};
    RECT inner = window;
    POINT tip = {0, 0};   // the anchor's point, in window coordinates
    POINT at = {0, 0};    // and on the screen
    if (Vertical(direction)) {
        window.bottom += anchorHeight;
        tip.x = AnchorOffset(alignment, body.cx, margin);
        at.x = target.left + (target.right - target.left) / 2;
        if (side == 0x10) {
            OffsetRect(&inner, 0, anchorHeight);
            at.y = target.bottom;
        } else {
            tip.y = window.bottom;
            at.y = target.top;
        }
    } else {
        window.right += anchorWidth;
        tip.y = AnchorOffset(alignment, body.cy, margin);
        at.y = target.top + (target.bottom - target.top) / 2;
        if (side == 0x30) {
            OffsetRect(&inner, anchorWidth, 0);
            at.x = target.right;
        } else {
            tip.x = window.right;
            at.x = target.left;
        }
    }
    const int sx = side == 0x20 ? -m_sizes[kOffsetX] : m_sizes[kOffsetX];
    const int sy = side == 0x00 ? -m_sizes[kOffsetY] : m_sizes[kOffsetY];
    OffsetRect(&window, at.x - tip.x + sx, at.y - tip.y + sy);
    if (bodyInWindow)
        *bodyInWindow = inner;
    if (anchor)
        *anchor = at;
    return window;
}

RECT CHtmlToolTip::PlaceTip(SIZE body, const RECT& target, const RECT& screen, int* direction, RECT* bodyInWindow,
                            POINT* anchor) const
{
    int code = ValidDirection(direction ? *direction : m_direction);
    const int growX = m_shadow ? std::max(0, m_shadowX) : 0;
    const int growY = m_shadow ? std::max(0, m_shadowY) : 0;
    auto crosses = [&](const RECT& r, int edge) {   // 0 left, 1 top, 2 right, 3 bottom
        switch (edge) {
        case 0: return r.left < screen.left;
        case 1: return r.top < screen.top;
        case 2: return r.right + growX > screen.right;
        default: return r.bottom + growY > screen.bottom;
        }
    };
    RECT window = Arrange(body, target, code, nullptr, nullptr);
    // The side first: a tip that leaves the screen on its own side opens on the other.
    const int ownEdge = Side(code) == 0x00 ? 1 : Side(code) == 0x10 ? 3 : Side(code) == 0x20 ? 0 : 2;
    if (crosses(window, ownEdge)) {
        code ^= 0x10;
        window = Arrange(body, target, code, nullptr, nullptr);
    }
    // Then the alignment along that side.
    const int startEdge = Vertical(code) ? 0 : 1;
    const int endEdge = Vertical(code) ? 2 : 3;
    if (crosses(window, endEdge))
        code = Side(code) | 2;
    else if (crosses(window, startEdge))
        code = Side(code);
    window = Arrange(body, target, code, bodyInWindow, anchor);
    if (direction)
        *direction = code;
    return window;
}

RECT CHtmlToolTip::TargetRect() const
{
    if (m_help || m_menuTip)
        return m_target;
    if (m_displayed.window &&
        std::find(m_toolBars.begin(), m_toolBars.end(), m_displayed.window) != m_toolBars.end()) {
        RECT button = m_displayed.rect;
        MapWindowPoints(m_displayed.window, nullptr, reinterpret_cast<POINT*>(&button), 2);
        return button;
    }
    return RECT{m_cursor.x, m_cursor.y, m_cursor.x, m_cursor.y + kCursorGap};
}

HRGN CHtmlToolTip::BuildTipRegion(const RECT& body, int direction) const
{
    const int cw = m_sizes[kCornerWidth];
    const int ch = m_sizes[kCornerHeight];
    HRGN region = cw > 0 || ch > 0 ? CreateRoundRectRgn(body.left, body.top, body.right + 1, body.bottom + 1, cw, ch)
                                   : CreateRectRgn(body.left, body.top, body.right, body.bottom);
    const int aw = m_sizes[kAnchorWidth];
    const int ah = m_sizes[kAnchorHeight];
    if (!region || aw <= 0 || ah <= 0)
        return region;
    const int margin = m_sizes[kAnchorMargin];
    const int alignment = Alignment(direction);
    POINT points[3];
    if (Vertical(direction)) {
        const int width = body.right - body.left;
        const int tipX = body.left + AnchorOffset(alignment, width, margin);
        const int baseLeft = alignment == 0 ? tipX : alignment == 1 ? tipX - aw / 2 : tipX - aw;
        // The base reaches one pixel into the body so that the two regions join.
        const int baseY = Side(direction) == 0x10 ? body.top + 1 : body.bottom - 1;
        const int tipY = Side(direction) == 0x10 ? body.top - ah : body.bottom + ah;
        points[0] = POINT{tipX, tipY};
        points[1] = POINT{baseLeft, baseY};
        points[2] = POINT{baseLeft + aw, baseY};
    } else {
        const int height = body.bottom - body.top;
        const int tipY = body.top + AnchorOffset(alignment, height, margin);
        const int baseTop = alignment == 0 ? tipY : alignment == 1 ? tipY - ah / 2 : tipY - ah;
        const int baseX = Side(direction) == 0x30 ? body.left + 1 : body.right - 1;
        const int tipX = Side(direction) == 0x30 ? body.left - aw : body.right + aw;
        points[0] = POINT{tipX, tipY};
        points[1] = POINT{baseX, baseTop};
        points[2] = POINT{baseX, baseTop + ah};
    }
    HRGN triangle = CreatePolygonRgn(points, 3, WINDING);
    if (triangle) {
        CombineRgn(region, region, triangle, RGN_OR);
        DeleteObject(triangle);
    }
    return region;
}

void CHtmlToolTip::FillBackground(const RECT& body, int direction)
{
    HDC screenDC = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screenDC);
    m_background = CreateCompatibleBitmap(screenDC, m_windowSize.cx, m_windowSize.cy);
    ReleaseDC(nullptr, screenDC);
    HGDIOBJ old = SelectObject(dc, m_background);
    // The displayed record's looks: the tool's own where its mask says so, and whatever the notify
    // window made of them.
    const HtmlToolInfo& looks = m_displayed;
    m_drawer.GetDrawManager()->FillEffect(dc, looks.effect, &body, looks.colors[0], looks.colors[1], looks.colors[2],
                                          looks.granularity, kBackgroundBlend);
    // The anchor takes the fill of the body's edge that it grows from.
    const int w = body.right - body.left;
    const int h = body.bottom - body.top;
    switch (Side(direction)) {
    case 0x00: StretchBlt(dc, body.left, body.bottom, w, m_windowSize.cy - body.bottom, dc, body.left, body.bottom - 1, w, 1, SRCCOPY); break;
    case 0x10: StretchBlt(dc, body.left, 0, w, body.top, dc, body.left, body.top, w, 1, SRCCOPY); break;
    case 0x20: StretchBlt(dc, body.right, body.top, m_windowSize.cx - body.right, h, dc, body.right - 1, body.top, 1, h, SRCCOPY); break;
    default: StretchBlt(dc, 0, body.top, body.left, h, dc, body.left, body.top, 1, h, SRCCOPY); break;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

void CHtmlToolTip::FreeTipGraphics()
{
    for (HGDIOBJ* object : {reinterpret_cast<HGDIOBJ*>(&m_bodyRegion), reinterpret_cast<HGDIOBJ*>(&m_shadowRegion),
                            reinterpret_cast<HGDIOBJ*>(&m_background), reinterpret_cast<HGDIOBJ*>(&m_under)}) {
        if (*object)
            DeleteObject(*object);
        *object = nullptr;
    }
}

void CHtmlToolTip::Notify(HtmlToolInfo& record)
{
    if (!m_notify || !m_hWnd)
        return;
    HtmlToolTipNotify notify = {};
    notify.header.hwndFrom = m_hWnd;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.header.code = kNotifyCode;
    notify.toolId = record.id;
    notify.anchor = m_anchor;
    notify.record = &record;
    ::SendMessageW(m_notify, WM_NOTIFY, notify.header.idFrom, reinterpret_cast<LPARAM>(&notify));
}

BOOL CHtmlToolTip::ShowTip(BOOL forMenu)
{
    HtmlToolInfo record = m_displayed;
    if (!(record.mask & HtmlToolInfo::kMaskEffect)) {
        record.effect = m_effect;
        record.granularity = m_granularity;
    }
    if (!(record.mask & HtmlToolInfo::kMaskColors))
        std::copy(m_colors, m_colors + 3, record.colors);
    if (!(record.mask & HtmlToolInfo::kMaskDirection))
        record.direction = m_direction;
    if (!(record.mask & HtmlToolInfo::kMaskBehaviour))
        record.behaviour = m_behaviour;
    if (!(record.mask & HtmlToolInfo::kMaskTransparency))
        record.transparency = static_cast<BYTE>(m_targetTransparency);
    if (!(record.mask & HtmlToolInfo::kMaskHideDelay))
        record.hideDelay = m_delays[kDelayAutoPop];
    const RECT target = TargetRect();
    m_anchor = POINT{target.left + (target.right - target.left) / 2, target.bottom};
    Notify(record);
    m_displayed = record;
    if (record.text.empty())
        return FALSE;

    FreeTipGraphics();
    HDC dc = GetDC(m_hWnd);
    SIZE content = {0, 0};
    m_drawer.PrepareOutput(dc, record.text.c_str(), &content);
    ReleaseDC(m_hWnd, dc);
    const int mx = m_sizes[kMarginX];
    const int my = m_sizes[kMarginY];
    const SIZE body = {content.cx + 2 * mx, content.cy + 2 * my};

    int direction = record.direction;
    RECT bodyRect;
    RECT window = PlaceTip(body, target, VirtualScreen(), &direction, &bodyRect, &m_anchor);
    m_shownDirection = direction;

    // The shadow grows the window toward its offsets; a negative offset moves the body instead.
    const int sx = m_shadow ? m_shadowX : 0;
    const int sy = m_shadow ? m_shadowY : 0;
    const int shiftX = std::max(0, -sx);
    const int shiftY = std::max(0, -sy);
    OffsetRect(&bodyRect, shiftX, shiftY);
    window.left -= shiftX;
    window.top -= shiftY;
    window.right += std::max(0, sx);
    window.bottom += std::max(0, sy);
    m_windowSize = SIZE{window.right - window.left, window.bottom - window.top};
    m_bodyRect = bodyRect;
    m_contentRect = RECT{bodyRect.left + mx, bodyRect.top + my, bodyRect.left + mx + content.cx,
                         bodyRect.top + my + content.cy};

    m_bodyRegion = BuildTipRegion(bodyRect, direction);
    HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(windowRegion, m_bodyRegion, nullptr, RGN_COPY);
    if (sx != 0 || sy != 0) {
        m_shadowRegion = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(m_shadowRegion, m_bodyRegion, nullptr, RGN_COPY);
        OffsetRgn(m_shadowRegion, sx, sy);
        CombineRgn(windowRegion, windowRegion, m_shadowRegion, RGN_OR);
    }
    FillBackground(bodyRect, direction);

    // What the tip covers, for its shadow and its fading: read while the tip is not there.
    if (IsWindowVisible())
        ShowWindow(SW_HIDE);
    m_under = SnapshotUnder(POINT{window.left, window.top}, nullptr, POINT{0, 0});

    m_state = kAppearing;
    m_transparency = m_fadeIn && m_delays[kDelayFadeIn] ? 100 : record.transparency;
    SetWindowRgn(m_hWnd, windowRegion, FALSE);   // the window owns windowRegion from here on
    SetWindowPos(HWND_TOPMOST, window.left, window.top, m_windowSize.cx, m_windowSize.cy,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | (forMenu ? SWP_NOZORDER : 0));
    Invalidate(FALSE);
    UpdateWindow();
    return TRUE;
}

HBITMAP CHtmlToolTip::SnapshotUnder(POINT at, HBITMAP previous, POINT previousAt) const
{
    HDC screenDC = GetDC(nullptr);
    HDC underDC = CreateCompatibleDC(screenDC);
    HBITMAP under = CreateCompatibleBitmap(screenDC, m_windowSize.cx, m_windowSize.cy);
    if (!underDC || !under) {
        if (under)
            DeleteObject(under);
        if (underDC)
            DeleteDC(underDC);
        ReleaseDC(nullptr, screenDC);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(underDC, under);
    BitBlt(underDC, 0, 0, m_windowSize.cx, m_windowSize.cy, screenDC, at.x, at.y, SRCCOPY);
    if (previous) {
        // Where the old place and the new one overlap the screen shows the tip itself: what lies
        // under it there is in the old picture.
        HDC previousDC = CreateCompatibleDC(screenDC);
        HGDIOBJ oldPrevious = SelectObject(previousDC, previous);
        BitBlt(underDC, previousAt.x - at.x, previousAt.y - at.y, m_windowSize.cx, m_windowSize.cy, previousDC, 0, 0,
               SRCCOPY);
        SelectObject(previousDC, oldPrevious);
        DeleteDC(previousDC);
    }
    SelectObject(underDC, old);
    DeleteDC(underDC);
    ReleaseDC(nullptr, screenDC);
    return under;
}

void CHtmlToolTip::FollowTo(POINT position)
{
    RECT rect;
    GetWindowRect(&rect);
    if (HBITMAP under = SnapshotUnder(position, m_under, POINT{rect.left, rect.top})) {
        DeleteObject(m_under);
        m_under = under;
    }
    // Nothing of the old picture is kept: what lies under the shadow is another place's now.
    SetWindowPos(nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    Invalidate(FALSE);
    UpdateWindow();
}

void CHtmlToolTip::PaintTip(HDC dc)
{
    if (!m_background || !m_under || m_windowSize.cx <= 0 || m_windowSize.cy <= 0)
        return;
    CDibSection32 under;
    CDibSection32 picture;
    if (!under.Create(m_windowSize.cx, m_windowSize.cy) || !picture.Create(m_windowSize.cx, m_windowSize.cy))
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, m_under);
    BitBlt(under.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, source, 0, 0, SRCCOPY);
    BitBlt(picture.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, source, 0, 0, SRCCOPY);

    // The shadow darkens what lies under it, softly over its depths: the mask holds each pixel's
    // factor (white: none), which the drawing manager blurs.
    if (m_shadowRegion && m_darkness > 0) {
        CDibSection32 mask;
        if (mask.Create(m_windowSize.cx, m_windowSize.cy)) {
            PatBlt(mask.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, WHITENESS);
            const int grey = MulDiv(255, 100 - m_darkness, 100);
            HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
            FillRgn(mask.DC(), m_shadowRegion, brush);
            DeleteObject(brush);
            GdiFlush();
            HBITMAP bits = mask.Detach();
            m_drawer.GetDrawManager()->DrawShadow(picture.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, bits, TRUE,
                                                  m_shadowDepthX, m_shadowDepthY);
            DeleteObject(bits);
        }
    }
    // The body: its fill, the markup, the border.
    SelectClipRgn(picture.DC(), m_bodyRegion);
    SelectObject(source, m_background);
    BitBlt(picture.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, source, 0, 0, SRCCOPY);
    m_drawer.DrawPreparedOutput(picture.DC(), &m_contentRect);
    SelectClipRgn(picture.DC(), nullptr);
    if (m_borderBrush && m_borderWidth > 0 && m_borderHeight > 0)
        DrawBorder(picture.DC(), m_bodyRegion, m_borderBrush, m_borderWidth, m_borderHeight);
    SelectObject(source, old);
    DeleteDC(source);

    // Transparency: the tip over what it covers.
    m_drawer.GetDrawManager()->AlphaBitBlt(under.DC(), 0, 0, m_windowSize.cx, m_windowSize.cy, picture.DC(), 0, 0,
                                           100 - m_transparency);
    BitBlt(dc, 0, 0, m_windowSize.cx, m_windowSize.cy, under.DC(), 0, 0, SRCCOPY);
}

void CHtmlToolTip::DrawBorder(HDC dc, HRGN region, HBRUSH brush, int width, int height)
{
    FrameRgn(dc, region, brush, width, height);
}

LRESULT CHtmlToolTip::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    // The tip on screen is the current tool as shown: with the tooltip's values filled in and what
    // the notify window made of them (its behaviour flags above all). Where it is stays the tool's
    // own, so that the next mouse move still finds the same tool.
    if (m_hasCurrent && m_current.window == m_displayed.window && m_current.id == m_displayed.id) {
        const RECT rect = m_current.rect;
        m_current = m_displayed;
        m_current.rect = rect;
        m_current.mask |= HtmlToolInfo::kMaskBehaviour;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    PaintTip(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CHtmlToolTip::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    if (!m_drawer.OnSetCursor(&point))
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT CHtmlToolTip::OnHotLinkChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    HDC dc = GetDC(m_hWnd);
    PaintTip(dc);
    ReleaseDC(m_hWnd, dc);
    return 0;
}
