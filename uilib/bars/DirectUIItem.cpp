#include "uilib/bars/DirectUIItem.h"

#include <new>

#include "uilib/bars/ExplorerBar.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"

namespace {

constexpr int kImageLeft = 10;
constexpr int kTextGap = 5;
constexpr int kRightInset = 5;
constexpr int kStudioTextGap = 15;
constexpr int kStudioRightInset = 10;

}  // namespace

wchar_t* CopyItemText(const void* text, bool wide)
{
    if (!text)
        return nullptr;
    if (wide) {
        size_t length = wcslen(static_cast<const wchar_t*>(text)) + 1;
        auto* copy = new (std::nothrow) wchar_t[length];
        if (copy)
            memcpy(copy, text, length * sizeof(wchar_t));
        return copy;
    }
    int chars = MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(text), -1, nullptr, 0);
    auto* copy = chars > 0 ? new (std::nothrow) wchar_t[chars] : nullptr;
    if (copy)
        MultiByteToWideChar(CP_ACP, 0, static_cast<const char*>(text), -1, copy, chars);
    return copy;
}

CDirectUIItem::CDirectUIItem(CExplorerBar* pane, const wchar_t* text, UINT id, int image)
    : m_text(CopyItemText(text, true)), m_image(image), m_id(id), m_pane(pane)
{
}

CDirectUIItem::~CDirectUIItem()
{
    delete[] m_text;
}

void CDirectUIItem::SetText(const wchar_t* text)
{
    delete[] m_text;
    m_text = CopyItemText(text, true);
    m_height = -1;
}

HCURSOR CDirectUIItem::GetCursor()
{
    return LoadCursorW(nullptr, IDC_HAND);
}

BOOL CDirectUIItem::SetCursor()
{
    ::SetCursor(GetCursor());
    return TRUE;
}

BOOL CDirectUIItem::OnClick()
{
    m_flags |= kItemPressed;
    HWND window = m_pane->Window();
    PostMessageW(GetParent(window), WM_COMMAND, m_id, reinterpret_cast<LPARAM>(window));
    return m_pane->Style() >= 1;
}

BOOL CDirectUIItem::OnPress()
{
    return FALSE;
}

BOOL CDirectUIItem::OnMouseLeave()
{
    m_flags &= ~kItemHot;
    return TRUE;
}

BOOL CDirectUIItem::OnMouseEnter()
{
    m_flags |= kItemHot;
    return TRUE;
}

BOOL CDirectUIItem::OnRelease()
{
    m_flags &= ~kItemPressed;
    return m_pane->Style() >= 1;
}

BOOL CDirectUIItem::Enable(BOOL enable)
{
    const DWORD old = m_flags;
    if (enable)
        m_flags &= ~kItemDisabled;
    else
        m_flags |= kItemDisabled;
    return old != m_flags;
}

BOOL CDirectUIItem::HitTest(POINT point) const
{
    if (m_flags & kItemDisabled)
        return FALSE;
    return PtInRect(&m_hitRect, point);
}

int CDirectUIItem::MeasureHeight(BOOL last)
{
    if (m_height < 0)
        m_height = m_pane->ItemHeight(last != FALSE);
    return m_height;
}

int CDirectUIItem::MeasureWidth(HDC dc)
{
    HGDIOBJ old = SelectObject(dc, m_pane->ItemFont(0));
    RECT box = {0, 0, 0, 0};
    DrawTextW(dc, Text(), -1, &box, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    return box.right + m_pane->ItemWidthExtra();
}

void CDirectUIItem::Draw(HDC dc)
{
    const bool hot = m_flags & kItemHot;
    const bool pressed = m_flags & kItemPressed;
    const bool disabled = m_flags & kItemDisabled;
    HIMAGELIST images = m_pane->ImageList();
    int imageWidth = 0, imageHeight = 0;
    if (images)
        ImageList_GetIconSize(images, &imageWidth, &imageHeight);
    const bool hasImage = images && m_image >= 0;
    SetBkMode(dc, TRANSPARENT);
    if (m_pane->Style() == 0) {
        const int imageY = (m_rect.top + m_rect.bottom - imageHeight) / 2;
        RECT text = {m_rect.left + kImageLeft, m_rect.top, m_rect.right - kRightInset, m_rect.bottom};
        if (hasImage) {
            ImageList_Draw(images, m_image, dc, m_rect.left + kImageLeft, imageY,
                           ILD_TRANSPARENT | (hot ? ILD_BLEND50 : 0));
            text.left = m_rect.left + kImageLeft + imageWidth + kTextGap;
        }
        HGDIOBJ old = SelectObject(dc, m_pane->ItemFont(hot ? static_cast<UINT>(kFontUnderline) : 0u));
        SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT)
                         : hot    ? GetSysColor(COLOR_HIGHLIGHT)
                                  : LightenColor(GetSysColor(COLOR_HIGHLIGHT), 15));
        RECT measured = text;
        DrawTextW(dc, Text(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
        DrawTextW(dc, Text(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        // The link answers the mouse over its image and text only.
        const int textHeight = measured.bottom - measured.top;
        m_hitRect = {hasImage ? m_rect.left + kImageLeft : text.left, (m_rect.top + m_rect.bottom - textHeight) / 2,
                     measured.right < text.right ? measured.right : text.right, 0};
        m_hitRect.bottom = m_hitRect.top + textHeight;
        if (hasImage) {
            m_hitRect.top = imageY < m_hitRect.top ? imageY : m_hitRect.top;
            m_hitRect.bottom = imageY + imageHeight > m_hitRect.bottom ? imageY + imageHeight : m_hitRect.bottom;
        }
        return;
    }
    GRADIENT fill;
    COLORREF colour;
    if (pressed && hot) {
        fill = {g_Colors.StudioBarHotSelectedStart, g_Colors.StudioBarHotSelectedEnd};
        colour = g_Colors.StudioBarHotText;
    } else if (pressed) {
        fill = {g_Colors.StudioBarSelectedStart, g_Colors.StudioBarSelectedEnd};
        colour = g_Colors.StudioBarSelectedText;
    } else if (hot) {
        fill = {g_Colors.StudioBarHotStart, g_Colors.StudioBarHotEnd};
        colour = g_Colors.StudioBarHotText;
    } else {
        fill = {g_Colors.StudioBarNormalStart, g_Colors.StudioBarNormalEnd};
        colour = g_Colors.StudioBarText;
    }
    FillGradient(dc, &fill, &m_rect, false);
    if (hasImage)
        ImageList_Draw(images, m_image, dc, m_rect.left + kImageLeft, (m_rect.top + m_rect.bottom - imageHeight) / 2,
                       ILD_TRANSPARENT);
    RECT text = {m_rect.left + imageWidth + kStudioTextGap, m_rect.top, m_rect.right - kStudioRightInset,
                 m_rect.bottom};
    HGDIOBJ old = SelectObject(dc, m_pane->ItemFont(0));
    SetTextColor(dc, colour);
    DrawTextW(dc, Text(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    RECT line = {m_rect.left, m_rect.bottom - 1, m_rect.right, m_rect.bottom};
    HBRUSH brush = CreateSolidBrush(g_Colors.StudioBarLine);
    FillRect(dc, &line, brush);
    DeleteObject(brush);
    m_hitRect = m_rect;
}
