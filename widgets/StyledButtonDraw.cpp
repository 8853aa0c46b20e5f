// The owner-drawn button's drawing: background, border or themed parts, picture, caption, arrow.
#include "widgets/StyledButton.h"
#include "widgets/StyledButtonShared.h"
#include "framework/MemoryDC.h"

#include <gdiplus.h>

using styled_button::IsCheckKind;
using styled_button::IsRadioKind;
using styled_button::ThemeApi;

namespace {

constexpr int kPartPushButton = 1;
constexpr int kPartRadioButton = 2;
constexpr int kPartCheckBox = 3;
constexpr int kStateNormal = 1;
constexpr int kStateHot = 2;
constexpr int kStatePressed = 3;
constexpr int kMarkSize = 20;
constexpr int kImageStates = 4;   // normal, hot, pressed, disabled

// A one-pixel 3-D frame: top and left in one brush, bottom and right in the other.
void FrameEdges(HDC dc, const RECT& r, HBRUSH topLeft, HBRUSH bottomRight)
{
    RECT top = {r.left, r.top, r.right - 1, r.top + 1};
    RECT left = {r.left, r.top, r.left + 1, r.bottom - 1};
    RECT bottom = {r.left, r.bottom - 1, r.right, r.bottom};
    RECT right = {r.right - 1, r.top, r.right, r.bottom};
    ::FillRect(dc, &top, topLeft);
    ::FillRect(dc, &left, topLeft);
    ::FillRect(dc, &bottom, bottomRight);
    ::FillRect(dc, &right, bottomRight);
}

}  // namespace

void CStyledButton::OnDrawBackground(HDC dc, const RECT& rect)
{
    const bool pressed = m_drawingPressed;
    const COLORREF colour = m_hover || pressed ? m_colors[kBackgroundActive] : m_colors[kBackgroundNormal];
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void CStyledButton::OnDrawBorder(HDC dc, const RECT& rect)
{
    const bool pressed = m_drawingPressed;
    RECT r = rect;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF topLeft = pressed ? dark : light;
    const COLORREF bottomRight = pressed ? light : dark;
    HBRUSH a = ::CreateSolidBrush(topLeft);
    HBRUSH b = ::CreateSolidBrush(bottomRight);
    FrameEdges(dc, r, a, b);
    ::DeleteObject(a);
    ::DeleteObject(b);
}

bool CStyledButton::ShowsActiveImage(bool hot, bool pressed) const
{
    if (m_checkBox || m_pushLike)
        return pressed || m_checked != 0;
    return hot || pressed;
}

POINT CStyledButton::PlaceImage(int width, int height, bool pressed, const RECT& content, bool hasCaption,
                                RECT* textRect) const
{
    POINT at;
    const int contentWidth = content.right - content.left;
    const int contentHeight = content.bottom - content.top;
    *textRect = content;
    if (!hasCaption) {
        at.x = content.left + (contentWidth - width) / 2;
        at.y = content.top + (contentHeight - height) / 2;
    } else {
        switch (m_align) {
        case kAlignTop:
            at.x = content.left + (contentWidth - width) / 2;
            at.y = content.top + m_margin.y + m_extraOffset;
            textRect->top = at.y + height;
            break;
        case kAlignRight:
            at.x = content.right - m_extraOffset - m_margin.x - width;
            at.y = content.top + (contentHeight - height) / 2;
            textRect->right = at.x - m_margin.x;
            break;
        case kAlignOver:
            at.x = content.left + m_margin.x;
            at.y = content.top + m_margin.y;
            break;
        default:
            at.x = content.left + m_margin.x + m_extraOffset;
            at.y = content.top + (contentHeight - height) / 2;
            textRect->left = at.x + width + m_margin.x;
            break;
        }
    }
    if (pressed && !m_checkBox && !m_pushLike && (m_drawFlags & kShiftPressedImage) != 0) {
        at.x += m_pressedOffset.x;
        at.y += m_pressedOffset.y;
    }
    return at;
}

void CStyledButton::DrawButtonIcon(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                   const RECT&, bool hasCaption, RECT* textRect)
{
    const ImageSlot& slot = ShowsActiveImage(hot, pressed) || m_out.icon == nullptr ? m_in : m_out;
    POINT at = PlaceImage(slot.width, slot.height, pressed, content, hasCaption, textRect);
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(slot.icon), 0, at.x, at.y, slot.width, slot.height,
                 DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void CStyledButton::DrawButtonBitmap(HDC dc, bool hot, bool pressed, bool, const RECT& content,
                                     const RECT&, bool hasCaption, RECT* textRect)
{
    const ImageSlot& slot = ShowsActiveImage(hot, pressed) || m_out.bitmap == nullptr ? m_in : m_out;
    POINT at = PlaceImage(slot.width, slot.height, pressed, content, hasCaption, textRect);
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, slot.mask);
    // The monochrome mask comes in as the target's text (0) and background (1) colours.
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    ::BitBlt(dc, at.x, at.y, slot.width, slot.height, memory, 0, 0, SRCAND);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::SelectObject(memory, slot.bitmap);
    ::BitBlt(dc, at.x, at.y, slot.width, slot.height, memory, 0, 0, SRCPAINT);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void CStyledButton::DrawButtonImage(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                    const RECT&, bool hasCaption, RECT* textRect)
{
    const int frameWidth = m_imageWidth / m_imageFrames;
    const int state = disabled ? 3 : (pressed ? 2 : (hot ? 1 : 0));
    POINT at = PlaceImage(frameWidth, m_imageHeight, pressed, content, hasCaption, textRect);
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Rect target(at.x, at.y, frameWidth, m_imageHeight);
    if (state < m_imageFrames) {
        graphics.DrawImage(m_image, target, state * frameWidth, 0, frameWidth, m_imageHeight, Gdiplus::UnitPixel);
        return;
    }
    // No frame of its own: frame 0 recoloured for the state.
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
    if (state == 1) {
        matrix.m[0][0] = 1.2f; matrix.m[1][1] = 1.2f; matrix.m[2][2] = 1.1f;
    } else if (state == 2) {
        matrix.m[0][0] = 0.9f; matrix.m[1][1] = 0.9f; matrix.m[2][2] = 0.8f;
    } else if (state == 3) {
        const float luma[3] = {0.299f, 0.587f, 0.114f};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                matrix.m[row][col] = luma[row];
        matrix.m[3][3] = 0.6f;
    }
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    graphics.DrawImage(m_image, target, 0, 0, frameWidth, m_imageHeight, Gdiplus::UnitPixel, &attributes);
}

void CStyledButton::DrawBackgroundImage(HDC dc, const RECT& rect, int state)
{
    const int frameWidth = static_cast<int>(m_bkImage->GetWidth()) / kImageStates;
    const int height = static_cast<int>(m_bkImage->GetHeight());
    const int width = rect.right - rect.left;
    if (frameWidth <= 0 || height <= 0 || width <= 0)
        return;
    const int source = state * frameWidth;
    int half = frameWidth / 2;
    if (half > width / 2)
        half = width / 2;
    const int rectHeight = rect.bottom - rect.top;
    // Below full alpha the frame shows what lies under it, a little bluer.
    Gdiplus::ImageAttributes attributes;
    Gdiplus::ImageAttributes* through = nullptr;
    if (m_bkAlpha < 255) {
        Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1.1f, 0, 0},
                                        {0, 0, 0, m_bkAlpha / 255.0f, 0}, {0, 0, 0, 0, 1}}};
        attributes.SetColorMatrix(&matrix);
        through = &attributes;
    }
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.left, rect.top, half, rectHeight), source, 0, half, height,
                       Gdiplus::UnitPixel, through);
    graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.right - half, rect.top, half, rectHeight),
                       source + frameWidth - half, 0, half, height, Gdiplus::UnitPixel, through);
    const int gap = width - 2 * half;
    if (gap > 0)
        graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.left + half, rect.top, gap, rectHeight),
                           source + frameWidth / 2, 0, 1, height, Gdiplus::UnitPixel, through);
}

void CStyledButton::DrawThemedMark(HDC dc, const RECT& rect, bool hot, bool pressed, bool disabled, RECT* textRect)
{
    const bool radio = IsRadioKind(m_kind);
    const bool checked = m_checked != 0;
    int state;
    if (disabled)
        state = checked ? 8 : 4;
    else if (checked)
        state = hot ? 6 + (pressed ? 1 : 0) : 5;
    else
        state = hot ? 2 + (pressed ? 1 : 0) : 1;
    RECT mark = rect;
    if (m_align == kAlignRight) {
        mark.left = rect.right - kMarkSize;
        textRect->right = mark.left;
    } else {
        mark.right = rect.left + kMarkSize;
        textRect->left = mark.right;
    }
    ThemeApi::Get().draw(m_theme, dc, radio ? kPartRadioButton : kPartCheckBox, state, &mark, nullptr);
}

void CStyledButton::DrawClassicBorder(HDC dc, const RECT& rect, bool pressed, bool hot)
{
    if (pressed) {
        if (!m_flat) {
            HBRUSH shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
            ::FrameRect(dc, &rect, shadow);
        } else if (m_drawBorder) {
            OnDrawBorder(dc, rect);
        }
        return;
    }
    if (!m_flat) {
        // Classic bevel: outer highlight / dark shadow, inner light / shadow.
        struct Edge { int inset; int topLeft; int bottomRight; };
        const Edge edges[] = {{0, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW}, {1, COLOR_3DLIGHT, COLOR_BTNSHADOW}};
        for (const Edge& e : edges) {
            RECT r = rect;
            ::InflateRect(&r, -e.inset, -e.inset);
            FrameEdges(dc, r, ::GetSysColorBrush(e.topLeft), ::GetSysColorBrush(e.bottomRight));
        }
    } else if (hot && m_drawBorder) {
        OnDrawBorder(dc, rect);   // raised while hovered
    }
}

void CStyledButton::DrawCaption(HDC dc, const RECT& textRect, bool active, bool disabled)
{
    const int length = GetWindowTextLength();
    if (length <= 0)
        return;
    wchar_t* text = new wchar_t[length + 1];
    GetWindowText(text, length + 1);
    HGDIOBJ oldFont = ::SelectObject(dc, GetFont() != nullptr ? GetFont() : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = textRect;
    ::DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_WORDBREAK | m_textAlign);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    RECT centred = textRect;
    centred.top = textRect.top + ((textRect.bottom - textRect.top) - textHeight) / 2;
    centred.bottom = centred.top + textHeight;
    if (m_textAlign == DT_CENTER) {
        centred.left = textRect.left + ((textRect.right - textRect.left) - textWidth) / 2;
        centred.right = centred.left + textWidth;
    }
    if (disabled) {
        RECT raised = centred;
        ::OffsetRect(&raised, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextW(dc, text, -1, &raised, DT_WORDBREAK | m_textAlign);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        ::DrawTextW(dc, text, -1, &centred, DT_WORDBREAK | m_textAlign);
    } else {
        ::SetTextColor(dc, active ? m_colors[kTextActive] : m_colors[kTextNormal]);
        ::DrawTextW(dc, text, -1, &centred, DT_WORDBREAK | m_textAlign);
    }
    ::SelectObject(dc, oldFont);
    delete[] text;
}

LRESULT CStyledButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CMemoryDC dc(item->hDC, item->rcItem);
    ::SetBkMode(dc, TRANSPARENT);

    const bool pressed = (item->itemState & ODS_SELECTED) != 0 || (m_checkBox && m_checked != 0);
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool hot = m_hover;
    m_drawingPressed = pressed;
    const bool hasContent = m_in.icon != nullptr || m_in.bitmap != nullptr || m_image != nullptr;
    const bool themed = m_theme != nullptr && (m_drawFlags & kThemed) != 0;

    RECT rect = item->rcItem;
    if (!m_flat && (focused || m_default)) {
        ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&rect, -1, -1);
    }

    if (m_transparent) {
        if (!HasBackgroundCopy())
            ::SendMessageW(m_hWnd, kMakeBackgroundCopyMessage, 0, 0);
        if (HasBackgroundCopy())
            ::BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, BackgroundCopy(),
                     rect.left, rect.top, SRCCOPY);
    } else {
        OnDrawBackground(dc, rect);
    }
    if (m_bkImage != nullptr) {
        const int state = disabled ? 3 : (pressed ? 2 : (hot ? 1 : 0));
        if (m_menu == nullptr) {
            DrawBackgroundImage(dc, rect, state);
        } else {
            // The drop-down part has a state of its own: hot alone while the mouse is over it,
            // pressed while its menu shows.
            RECT main = rect;
            RECT arrow = rect;
            main.right = arrow.left = rect.right - kDropDownWidth;
            const int arrowState = disabled ? 3 : (m_menuShowing ? 2 : state);
            const int mainState = state == 1 && m_dropDownHover ? 0 : state;
            DrawBackgroundImage(dc, main, mainState);
            DrawBackgroundImage(dc, arrow, arrowState);
        }
    }

    RECT textRect = rect;
    if (themed && !hasContent && (IsCheckKind(m_kind) || IsRadioKind(m_kind))) {
        DrawThemedMark(dc, rect, hot, pressed, disabled, &textRect);
    } else if (themed) {
        const int state = pressed ? kStatePressed : (hot ? kStateHot : kStateNormal);
        ThemeApi::Get().draw(m_theme, dc, kPartPushButton, state, &rect, nullptr);
    } else if (m_kind == BS_PUSHBUTTON || m_pushLike || !m_checkBox) {
        DrawClassicBorder(dc, rect, pressed, hot);
    }

    RECT content = rect;
    if (m_menu != nullptr)
        content.right -= kDropDownWidth;
    const bool hasCaption = GetWindowTextLength() > 0;
    if (hasContent) {
        if (m_in.icon != nullptr)
            DrawButtonIcon(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
        else if (m_in.bitmap != nullptr)
            DrawButtonBitmap(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
        else
            DrawButtonImage(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
    } else if (m_menu != nullptr) {
        textRect.right = content.right;
    }
    if (hasCaption)
        DrawCaption(dc, textRect, hot || pressed, disabled);

    if (m_menu != nullptr) {
        RECT arrow = {rect.right - kDropDownWidth, rect.top + 2, rect.right, rect.bottom - 2};
        ::DrawEdge(dc, &arrow, EDGE_ETCHED, BF_LEFT);
        const int cx = (arrow.left + arrow.right) / 2;
        const int cy = (arrow.top + arrow.bottom) / 2;
        POINT triangle[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
        HBRUSH brush = ::CreateSolidBrush(disabled ? ::GetSysColor(COLOR_3DSHADOW) : m_colors[kTextNormal]);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, triangle, 3);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
    }
    if (focused) {
        RECT focus = rect;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
    return TRUE;
}
