// The task pane's layout, scrolling and painting (the system and colour-table looks; the
// description-file looks are in TaskPaneLooks.cpp).
#include "uilib/bars/ExplorerBar.h"
#include "uilib/bars/SolidFill.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"

namespace {

constexpr int kMargin = 10;         // around and between groups
constexpr int kGroupPadding = 4;    // above and below a group's items
constexpr int kStudioItemHeight = 44;
constexpr int kLineStep = 3;
constexpr int kAnimationStep = 3;
constexpr int kAnimationStepMs = 9;
constexpr int kPageStep = 44;
constexpr int kIdealExtra = 22;
constexpr int kSchemeHeaderExtra = 16;
constexpr int kSchemeItemExtra = 8;

// The text height of a font, for the heights of the colour-scheme look.
int FontHeight(HFONT font)
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

}  // namespace

int CExplorerBar::ItemHeight(bool last)
{
    switch (m_style) {
    case 0:
        return MulDiv(GetSystemMetrics(SM_CYMENU), 9, 8);
    case 2: {
        const int own = last ? m_imageLook.items[kPartsLast][kLookNormal].Height() : 0;
        const int height = own > 0 ? own : m_imageLook.items[kPartsOrdinary][kLookNormal].Height();
        return height > 0 ? height : kStudioItemHeight;
    }
    case 3:
        return FontHeight(m_itemFonts.GetFont(0)) + kSchemeItemExtra;
    default:
        return kStudioItemHeight;
    }
}

int CExplorerBar::HeaderHeight()
{
    if (m_style == 2) {
        const int height = m_imageLook.headers[kHeaderCollapsed].Height();
        if (height > 0)
            return height;
    } else if (m_style == 3) {
        return FontHeight(m_headerFonts.GetFont(static_cast<UINT>(HeaderTextStyle()))) + kSchemeHeaderExtra;
    }
    return GetSystemMetrics(SM_CYCAPTION) + 1;
}

void CExplorerBar::ForgetItemHeights()
{
    for (int g = 0; g < m_groups.GetCount(); ++g)
        for (int i = 0; i < m_groups[g]->items.GetCount(); ++i)
            m_groups[g]->items[i]->m_height = -1;
}

int CExplorerBar::Layout()
{
    RECT client;
    GetClientRect(m_window, &client);
    int y = m_animation + kMargin - m_scroll;
    for (int g = 0; g < m_groups.GetCount(); ++g) {
        CDirectUIGroup* group = m_groups[g];
        const int top = y;
        group->header = {kMargin, y, client.right - kMargin, y + (group->headerShown ? HeaderHeight() : 0)};
        y = group->header.bottom;
        if (!group->collapsed) {
            y += kGroupPadding;
            for (int i = 0, n = group->items.GetCount(); i < n; ++i) {
                CDirectUIItem* item = group->items[i];
                if (m_style == 2)
                    item->m_height = -1;  // the last item may have a height of its own
                int height = item->MeasureHeight(i == n - 1);
                item->m_rect = {kMargin, y, client.right - kMargin, y + height};
                if (m_style != 0)
                    item->m_hitRect = item->m_rect;
                else if (IsRectEmpty(&item->m_hitRect) || item->m_hitRect.top < y || item->m_hitRect.bottom > y + height)
                    item->m_hitRect = item->m_rect;  // narrowed to the link when drawn
                y += height;
            }
            y += kGroupPadding;
        }
        group->bounds = {kMargin, top, client.right - kMargin, y};
        group->height = y - top;
        group->needsLayout = false;
        y += kMargin;
    }
    return y + m_scroll;
}

void CExplorerBar::UpdateScrollBar(int contentHeight)
{
    RECT client;
    GetClientRect(m_window, &client);
    const bool needed = client.bottom < contentHeight;
    const bool shown = GetWindowLongW(m_window, GWL_STYLE) & WS_VSCROLL;
    if (!needed)
        m_scroll = 0;
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, needed ? contentHeight : 0,
                       static_cast<UINT>(needed ? client.bottom : 0), m_scroll, 0};
    SetScrollInfo(m_window, SB_VERT, &info, TRUE);
    if (needed != shown) {
        ShowScrollBar(m_window, SB_VERT, needed);
        Repaint();
    }
}

void CExplorerBar::PaintGroup(HDC dc, CDirectUIGroup* group)
{
    if (m_style == 2) {
        if (group->headerShown)
            PaintImageHeader(dc, group);
        if (!group->collapsed)
            for (int i = 0; i < group->items.GetCount(); ++i)
                PaintImageItem(dc, group, i);
        return;
    }
    // A group without a colour-scheme group keeps the colour-table look.
    if (const ColorSchemeGroup* scheme = m_style == 3 ? SchemeOf(group) : nullptr) {
        if (group->headerShown)
            PaintSchemeHeader(dc, group, *scheme);
        if (!group->collapsed)
            for (int i = 0; i < group->items.GetCount(); ++i)
                PaintSchemeItem(dc, group->items[i], *scheme);
        return;
    }
    const RECT& h = group->header;
    const bool hot = group->flags & kGroupHot;
    RECT caption = h;
    if (m_style == 0) {
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        if (!group->collapsed) {
            RECT body = {group->bounds.left, h.bottom - 1, group->bounds.right, group->bounds.bottom};
            FillSolid(dc, body, LightenColor(highlight, 85));
            FrameSolid(dc, body, highlight);
        }
        if (group->headerShown) {
            // Rounded top corners: quarter pies at both ends, rectangles between and below.
            HBRUSH brush = CreateSolidBrush(highlight);
            HPEN pen = CreatePen(PS_SOLID, 1, highlight);
            HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
            Pie(dc, h.left, h.top, h.left + 10, h.top + 10, h.left + 5, h.top, h.left, h.top + 5);
            Pie(dc, h.right - 10, h.top, h.right, h.top + 10, h.right, h.top + 5, h.right - 5, h.top);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            DeleteObject(pen);
            DeleteObject(brush);
            FillSolid(dc, RECT{h.left + 5, h.top, h.right - 5, h.top + 5}, highlight);
            FillSolid(dc, RECT{h.left, h.top + 5, h.right, h.bottom}, highlight);
            const COLORREF text = hot ? LightenColor(highlight, 50) : GetSysColor(COLOR_HIGHLIGHTTEXT);
            int d = (h.bottom - h.top) - 9;
            d |= 1;
            const int bx = h.right - d - 5, by = h.top + 4;
            HPEN ring = CreatePen(PS_SOLID, 1, text);
            oldPen = SelectObject(dc, ring);
            oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, bx, by, bx + d, by + d);
            const int cx = bx + d / 2, cy = by + d / 2, arm = d / 4;
            // Two chevrons, from the centre and from a point arm - 1 further out: arms going up
            // (a V) while collapsed, down while expanded.
            const int dir = group->collapsed ? 1 : -1;
            for (int k = 0; k < 2; ++k) {
                const int vy = cy + dir * k * (arm - 1);
                POINT v[] = {{cx - arm, vy - dir * arm}, {cx, vy}, {cx + arm + 1, vy - dir * (arm + 1)}};
                Polyline(dc, v, 3);
            }
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(ring);
            caption.left += 15;
            caption.right = bx;
            SetTextColor(dc, text);
        }
    } else {
        FrameSolid(dc, group->bounds, g_Colors.WindowBorder);
        if (group->headerShown) {
            GRADIENT fill = {g_Colors.WindowCaptionStart, g_Colors.WindowCaptionEnd};
            FillGradient(dc, &fill, &h, false);
            FrameSolid(dc, h, g_Colors.WindowBorder);
            caption.left += 8;
            caption.right -= 8;
            SetTextColor(dc, hot ? LightenColor(g_Colors.WindowBorder, 70) : g_Colors.WindowCaptionText);
        }
    }
    if (group->headerShown) {
        HGDIOBJ old = SelectObject(dc, m_headerFonts.GetFont(kFontBold));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, group->text ? group->text : L"", -1, &caption,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    if (!group->collapsed)
        for (int i = 0; i < group->items.GetCount(); ++i)
            group->items[i]->Draw(dc);
}

void CExplorerBar::Paint(HDC dc)
{
    const int content = Layout();
    RECT client;
    GetClientRect(m_window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1, client.bottom > 0 ? client.bottom : 1);
    HGDIOBJ old = SelectObject(memory, buffer);
    // A mirrored target gets a mirrored buffer: the copy below moves its pixels across as they are.
    const DWORD targetLayout = GetLayout(dc);
    if (targetLayout != GDI_ERROR)
        SetLayout(memory, targetLayout);
    if (m_style == 0) {
        FillSolid(memory, client, LightenColor(GetSysColor(COLOR_HIGHLIGHT), 40));
    } else if (m_style == 1) {
        FillSolid(memory, client, g_Colors.CommandBarBackgroundPlain);
    } else {
        GRADIENT fill = {m_backgroundStart, m_backgroundEnd};
        FillGradient(memory, &fill, &client, !m_verticalBackground);
    }
    if ((m_pictureFlags & kBackgroundModeMask) == kBackgroundShown && !(m_pictureFlags & kBackgroundHidden)) {
        SIZE size = {};
        m_picture.GetSize(&size);
        const DWORD layout = GetLayout(memory);
        const bool keepOrientation =
            (m_pictureFlags & kBackgroundKeepsOrientation) && layout != GDI_ERROR && (layout & LAYOUT_RTL);
        if (keepOrientation)
            SetLayout(memory, layout | LAYOUT_BITMAPORIENTATIONPRESERVED);
        m_picture.DrawAt(memory, (client.right - size.cx) * m_pictureX / 100,
                         (client.bottom - size.cy) * m_pictureY / 100);
        if (keepOrientation)
            SetLayout(memory, layout);
    }
    for (int g = 0; g < m_groups.GetCount(); ++g)
        PaintGroup(memory, m_groups[g]);
    if (m_style == 2)
        PaintPictogram(memory, content);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(buffer);
    DeleteDC(memory);
    UpdateScrollBar(content);
}

void CExplorerBar::AnimateExpand(CDirectUIGroup* group)
{
    Layout();
    const int distance = group->height - (group->header.bottom - group->header.top) - kAnimationStep;
    if (distance <= 0 || m_groups.GetCount() == 0)
        return;
    RECT client;
    GetClientRect(m_window, &client);
    const int lastBottom = m_groups[m_groups.GetCount() - 1]->bounds.bottom;
    RECT area = {kMargin, group->header.bottom, client.right - kMargin,
                 lastBottom < client.bottom ? lastBottom : client.bottom};
    if (area.bottom <= area.top)
        return;
    LARGE_INTEGER frequency = {}, start = {}, now = {};
    QueryPerformanceFrequency(&frequency);
    LONGLONG firstStep = -1;
    const LONGLONG stepTicks = frequency.QuadPart * kAnimationStepMs / 1000;
    for (m_animation = -distance; m_animation < 0;) {
        QueryPerformanceCounter(&start);
        m_animation = m_animation + kAnimationStep > 0 ? 0 : m_animation + kAnimationStep;
        ScrollWindowEx(m_window, 0, kAnimationStep, &area, &area, nullptr, nullptr, SW_INVALIDATE);
        UpdateWindow(m_window);
        QueryPerformanceCounter(&now);
        if (firstStep < 0) {
            firstStep = now.QuadPart - start.QuadPart;
            continue;
        }
        const LONGLONG wait = stepTicks - firstStep;
        while (wait > 0 && now.QuadPart - start.QuadPart < wait)
            QueryPerformanceCounter(&now);
    }
    m_animation = 0;
}

void CExplorerBar::OnVScroll(int code)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(m_window, SB_VERT, &info);
    int position = m_scroll;
    switch (code) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= kPageStep; break;
    case SB_PAGEDOWN: position += kPageStep; break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax - 1; break;
    default: return;
    }
    const int limit = info.nMax - static_cast<int>(info.nPage) + 1;
    if (position > limit)
        position = limit;
    if (position < 0)
        position = 0;
    if (position != m_scroll) {
        m_scroll = position;
        SetScrollPos(m_window, SB_VERT, position, TRUE);
        Repaint();
    }
}

LRESULT CExplorerBar::IdealWidth(bool expandedOnly)
{
    HDC dc = GetDC(m_window);
    int widest = 0;
    const int extra = GroupWidthExtra();
    HFONT headerFont = m_headerFonts.GetFont(static_cast<UINT>(HeaderTextStyle()));
    for (int g = 0; g < m_groups.GetCount(); ++g) {
        CDirectUIGroup* group = m_groups[g];
        if (expandedOnly && group->collapsed)
            continue;
        HGDIOBJ old = SelectObject(dc, headerFont);
        RECT box = {0, 0, 0, 0};
        DrawTextW(dc, group->text ? group->text : L"", -1, &box, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        int width = box.right + extra;
        for (int i = 0; i < group->items.GetCount(); ++i) {
            int item = group->items[i]->MeasureWidth(dc);
            width = item > width ? item : width;
        }
        widest = width > widest ? width : widest;
    }
    ReleaseDC(m_window, dc);
    int ideal = widest + kIdealExtra;
    if (GetWindowLongW(m_window, GWL_STYLE) & WS_VSCROLL)
        ideal += GetSystemMetrics(SM_CXVSCROLL);
    return ideal;
}
