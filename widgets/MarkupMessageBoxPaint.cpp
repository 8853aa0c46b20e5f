// The message box's painting: four areas with their effects and separators, the markup on top.
#include "widgets/MarkupMessageBoxTemplate.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kSolidLine = 1;
constexpr int kEtchedHeight = 2;

void FillArea(CDrawManager* manager, HDC dc, const MarkupMessageBoxArea& area, const RECT& rect)
{
    if (area.effect >= 0)
        manager->FillEffect(dc, area.effect, &rect, area.beginColor, area.midColor, area.endColor, 0, 0);
}

RECT Inset(const RECT& rect, int left, int top, int right, int bottom)
{
    return RECT{rect.left + left, rect.top + top, rect.right - right, rect.bottom - bottom};
}

}  // namespace

RECT CMarkupMessageBoxTemplate::HeaderRect(int width) const
{
    return RECT{0, 0, width, m_headerHeight};
}

RECT CMarkupMessageBoxTemplate::MessageRect(int width) const
{
    return RECT{0, m_headerHeight, width, m_headerHeight + m_messageHeight};
}

RECT CMarkupMessageBoxTemplate::ButtonAreaRect(int width) const
{
    const int top = m_headerHeight + m_messageHeight;
    return RECT{0, top, width, top + m_buttonAreaHeight};
}

RECT CMarkupMessageBoxTemplate::FooterRect(const RECT& canvas) const
{
    return RECT{canvas.left, ButtonAreaRect(canvas.right).bottom, canvas.right, canvas.bottom};
}

void CMarkupMessageBoxTemplate::RenderBackground(HDC dc, const RECT& canvas)
{
    CDrawManager* manager = m_messageDrawer.GetDrawManager();
    if (m_params.background.effect >= 0) {
        FillArea(manager, dc, m_params.background, canvas);
    } else {
        FillRect(dc, &canvas, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (m_headerHeight > 0) {
        const RECT header = HeaderRect(canvas.right);
        FillArea(manager, dc, m_params.header, header);
        // Along the header's bottom edge, inside the header.
        RECT line = {header.left, header.bottom - kEtchedHeight, header.right, header.bottom};
        DrawSeparator(dc, line, m_params.header.separatorStyle, m_headerSeparator.c_str(),
                      m_params.header.separatorAlignment);
    }
    const RECT buttons = ButtonAreaRect(canvas.right);
    FillArea(manager, dc, m_params.buttons, buttons);
    DrawSeparator(dc, buttons, m_params.buttons.separatorStyle, m_buttonSeparator.c_str(),
                  m_params.buttons.separatorAlignment);
    if (m_footerHeight > 0) {
        RECT footer = FooterRect(canvas);
        FillArea(manager, dc, m_params.footer, footer);
        DrawSeparator(dc, footer, m_params.footer.separatorStyle, m_footerSeparator.c_str(),
                      m_params.footer.separatorAlignment);
    }
}

void CMarkupMessageBoxTemplate::DrawBackground(HWND dialog, HDC dc)
{
    RECT canvas;
    GetClientRect(dialog, &canvas);
    // The canvas always holds the footer, so expanding it needs no new background.
    if (!m_footerExpanded)
        canvas.bottom += m_footerHeight;
    const int width = canvas.right - canvas.left;
    const int height = canvas.bottom - canvas.top;
    if (width <= 0 || height <= 0)
        return;

    HDC target = dc != nullptr ? dc : GetDC(dialog);
    HDC cache = CreateCompatibleDC(target);
    if (m_background == nullptr) {
        m_background = CreateCompatibleBitmap(target, width, height);
        HGDIOBJ previous = SelectObject(cache, m_background);
        HGDIOBJ previousFont = SelectObject(cache, m_messageFont);
        RenderBackground(cache, canvas);
        SelectObject(cache, previousFont);
        SelectObject(cache, previous);
    }
    HGDIOBJ previousCache = SelectObject(cache, m_background);

    HDC work = CreateCompatibleDC(target);
    HBITMAP workBitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ previousWork = SelectObject(work, workBitmap);
    BitBlt(work, 0, 0, width, height, cache, 0, 0, SRCCOPY);

    const RECT header = HeaderRect(canvas.right);
    const RECT message = MessageRect(canvas.right);
    const RECT footer = FooterRect(canvas);
    if (!m_headerMarkup.empty() && m_headerHeight > 0) {
        RECT inside = Inset(header, kAreaMarginX, kAreaMarginY, kAreaMarginX, kAreaMarginY);
        m_headerDrawer.DrawPreparedOutput(work, &inside);
    }
    if (!m_messageMarkup.empty() && m_messageHeight > 0) {
        RECT inside = Inset(message, kAreaMarginX, kAreaMarginY, kAreaMarginX, kAreaMarginY);
        m_messageDrawer.DrawPreparedOutput(work, &inside);
    }
    if (m_footerExpanded && !m_footerMarkup.empty()) {
        RECT inside = Inset(footer, kAreaMarginX, kAreaMarginY, kAreaMarginX, 0);
        m_footerDrawer.DrawPreparedOutput(work, &inside);
    }

    if (dc != nullptr) {
        BitBlt(dc, 0, 0, width, height, work, 0, 0, SRCCOPY);
    } else {
        // A hovered link changed: only the text areas.
        const int textBottom = m_headerHeight + m_messageHeight;
        BitBlt(target, 0, 0, width, textBottom, work, 0, 0, SRCCOPY);
        if (m_footerExpanded)
            BitBlt(target, 0, footer.top, width, footer.bottom - footer.top, work, 0, footer.top, SRCCOPY);
    }

    SelectObject(work, previousWork);
    DeleteObject(workBitmap);
    DeleteDC(work);
    SelectObject(cache, previousCache);
    DeleteDC(cache);
    if (dc == nullptr)
        ReleaseDC(dialog, target);
}

void CMarkupMessageBoxTemplate::DrawSeparator(HDC dc, const RECT& rect, int style, const wchar_t* caption,
                                              int alignment)
{
    if (style == 0)
        return;   // "none": neither a line nor a caption
    const int left = rect.left + kSeparatorInset;
    const int right = rect.right - kSeparatorInset;
    const int y = rect.top;
    // Line parts beside the caption: [from1, to1] and [from2, to2].
    int from1 = left, to1 = right, from2 = 0, to2 = 0;
    const int length = caption != nullptr ? lstrlenW(caption) : 0;
    if (length > 0 && alignment >= 0 && alignment <= 2) {
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(dc, caption, length, &extent);
        int x = left;
        if (alignment == 0) {
            from1 = left + extent.cx + kSeparatorInset;
        } else if (alignment == 1) {
            x = right - extent.cx;
            to1 = x - kSeparatorInset;
        } else {
            x = left + (right - left - extent.cx) / 2;
            to1 = x - kSeparatorInset;
            from2 = x + extent.cx + kSeparatorInset;
            to2 = right;
        }
        const int previousMode = SetBkMode(dc, TRANSPARENT);
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption), static_cast<WPARAM>(length), x,
                   y - extent.cy / 2, extent.cx, extent.cy, DST_TEXT | DSS_DISABLED);
        SetBkMode(dc, previousMode);
    }
    CDrawManager* manager = m_messageDrawer.GetDrawManager();
    const int parts[2][2] = {{from1, to1}, {from2, to2}};
    for (const auto& part : parts) {
        if (part[1] - part[0] <= 0)
            continue;
        if (style == 1) {
            RECT edge = {part[0], y, part[1], y + kEtchedHeight};
            DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
        } else if (style == 2 || style == 3) {
            manager->DrawLine(dc, part[0], y, part[1], y, style == 2 ? kBlack : kWhite, kSolidLine, 1);
        }
    }
}
