#include "uilib/bars/ToolBarXP.h"

#include <string>

#include "uilib/bars/ButtonLayouts.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/bars/WindowsVersion.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

const char kToolBarProp[] = "CToolBarXP";
constexpr int kDropDownArrowWidth = 10;
constexpr int kImageInsetWithText = 4;
constexpr int kTextGap = 7;

CToolBarXP* ObjectOf(HWND window)
{
    return static_cast<CToolBarXP*>(GetPropA(window, kToolBarProp));
}

void VerticalLine(HDC dc, int x, int top, int length, COLORREF colour)
{
    RECT line = {x, top, x + 1, top + length};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &line, brush);
    DeleteObject(brush);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour)
{
    RECT line = {left, y, right, y + 1};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &line, brush);
    DeleteObject(brush);
}

}  // namespace

CToolBarXP::~CToolBarXP()
{
    if (m_oldTbProc && IsWindow(m_hWnd)) {
        SwapWindowProc(m_hWnd, m_oldTbProc);
        RemovePropA(m_hWnd, kToolBarProp);
    }
    if (m_oldParentProc && IsWindow(m_parent)) {
        SwapWindowProc(m_parent, m_oldParentProc);
        RemovePropA(m_parent, kToolBarProp);
    }
}

DWORD CToolBarXP::SetFlags(DWORD bits)
{
    DWORD old = m_flags;
    m_flags |= bits;
    return old;
}

DWORD CToolBarXP::ClearFlags(DWORD bits)
{
    DWORD old = m_flags;
    m_flags &= ~bits;
    return old;
}

void CToolBarXP::AutoCustomDraw(BOOL parentToo)
{
    // A toolbar that another object already subclasses stays with that object: installing this
    // procedure over the same procedure would make it its own previous one, and every message
    // would recurse without end.
    if (!m_oldTbProc && IsWindow(m_hWnd) && !ObjectOf(m_hWnd)) {
        SetPropA(m_hWnd, kToolBarProp, this);
        m_oldTbProc = SwapWindowProc(m_hWnd, WndProcTb);
    }
    if (parentToo && !m_oldParentProc) {
        HWND parent = GetParent(m_hWnd);
        // A parent that another toolbar's object already serves is not subclassed again (that
        // would make its procedure its own previous one); that object routes this toolbar's
        // custom draw here through the toolbar's property.
        if (parent && !GetPropA(parent, kToolBarProp)) {
            m_parent = parent;
            SetPropA(parent, kToolBarProp, this);
            m_oldParentProc = SwapWindowProc(parent, WndProcParent);
        }
    }
}

LRESULT CToolBarXP::OnCustomDraw(NMHDR* header)
{
    if (!m_oldTbProc)
        AutoCustomDraw(FALSE);
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return PreDrawItem(draw);
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT CToolBarXP::PreDrawItem(NMTBCUSTOMDRAW* draw)
{
    HDC dc = draw->nmcd.hdc;
    RECT rect = draw->nmcd.rc;
    const UINT state = draw->nmcd.uItemState;
    const TBBUTTONLAYOUT* layout = ButtonLayout(m_hWnd, static_cast<LPARAM>(draw->nmcd.lItemlParam));
    if (layout && (layout->flags & kLayoutSeparator)) {
        const int length = rect.bottom - rect.top - 4;
        VerticalLine(dc, rect.left + 3, rect.top + 1, length, g_Colors.ToolBarSeparatorDark);
        VerticalLine(dc, rect.left + 4, rect.top + 2, length, g_Colors.ToolBarSeparatorLight);
        return CDRF_SKIPDEFAULT;
    }
    const bool pressed = state & CDIS_SELECTED;
    const bool checked = state & CDIS_CHECKED;
    const bool hot = state & CDIS_HOT;
    if (!(GetWindowLongW(m_hWnd, GWL_STYLE) & TBSTYLE_FLAT)) {
        DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    } else if (pressed || checked || hot) {
        GRADIENT fill;
        if (pressed || (checked && hot))
            fill = {g_Colors.ToolBarSelectedStart, g_Colors.ToolBarSelectedEnd};
        else if (checked)
            fill = {g_Colors.ToolBarCheckedStart, g_Colors.ToolBarCheckedEnd};
        else
            fill = {g_Colors.ToolBarHotStart, g_Colors.ToolBarHotEnd};
        FillGradient(dc, &fill, &rect, false);
        HBRUSH frame = CreateSolidBrush(g_Colors.ToolBarFrame);
        FrameRect(dc, &rect, frame);
        DeleteObject(frame);
    }
    DrawButton(draw);
    return CDRF_SKIPDEFAULT;
}

void CToolBarXP::DrawButton(NMTBCUSTOMDRAW* draw)
{
    HDC dc = draw->nmcd.hdc;
    RECT rect = draw->nmcd.rc;
    const UINT state = draw->nmcd.uItemState;
    const bool pressed = state & CDIS_SELECTED;
    const int id = static_cast<int>(draw->nmcd.dwItemSpec);

    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_IMAGE | TBIF_STYLE;
    GetButtonInfo(id, &info);

    if (info.fsStyle & BTNS_WHOLEDROPDOWN) {
        rect.right -= kDropDownArrowWidth;
        const int p = pressed ? 1 : 0;
        for (int i = 0; i < 3; ++i)
            HorizontalLine(dc, rect.right + p + i, rect.right + p + 5 - i, (rect.top + rect.bottom - 3) / 2 + p + i,
                           g_Colors.ToolBarFrame);
    }

    std::wstring text;
    if (!(GetExtendedStyle() & TBSTYLE_EX_MIXEDBUTTONS) || (info.fsStyle & BTNS_SHOWTEXT)) {
        // Asked for its length first: the message itself writes without a bound.
        LRESULT length = SendMessageW(m_hWnd, TB_GETBUTTONTEXTW, id, 0);
        if (length > 0) {
            text.resize(static_cast<size_t>(length) + 1);
            length = SendMessageW(m_hWnd, TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(&text[0]));
            text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        }
    }

    HIMAGELIST list = GetImageList();
    int iconWidth = 0, iconHeight = 0;
    if (list)
        ImageList_GetIconSize(list, &iconWidth, &iconHeight);
    if (list && info.iImage >= 0) {
        int x = text.empty() ? (rect.left + rect.right - iconWidth) / 2 : rect.left + kImageInsetWithText;
        int y = (rect.top + rect.bottom - iconHeight) / 2;
        if (state & CDIS_DISABLED) {
            DrawImageListDisabled(list, info.iImage, dc, x, y);
        } else {
            if (pressed) {
                ++x;
                ++y;
            }
            if (NeedsAlphaAwareImages())
                DrawImageListImage(list, info.iImage, dc, x, y, ILD_TRANSPARENT);
            else
                ImageList_Draw(list, info.iImage, dc, x, y, ILD_TRANSPARENT);
        }
    }

    if (!text.empty()) {
        RECT area = rect;
        area.left += iconWidth + kTextGap;
        if (pressed || (state & CDIS_CHECKED))
            OffsetRect(&area, 1, 1);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
        COLORREF colour = (state & CDIS_DISABLED) ? g_Colors.ToolBarDisabledText
                          : (state & CDIS_HOT)    ? g_Colors.ToolBarHotText
                          : pressed               ? g_Colors.ToolBarSelectedText
                                                  : g_Colors.ToolBarText;
        SetTextColor(dc, colour);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_VCENTER);
        SelectObject(dc, oldFont);
    }
}

SIZE CToolBarXP::GetToolbarSize()
{
    SIZE size = {0, 0};
    WindowsVersion v = GetWindowsVersion();
    if ((v.major == 5 && v.minor == 1) || v.major >= 6) {
        GetMaxSize(&size);
        return size;
    }
    for (int index = GetButtonCount() - 1; index >= 0; --index) {
        TBBUTTON button = {};
        if (!GetButton(index, &button) || (button.fsState & TBSTATE_HIDDEN))
            continue;
        RECT item = {};
        GetItemRect(index, &item);
        return SIZE{item.right, item.bottom};
    }
    return size;
}

void CToolBarXP::PlaceChild(int index, const TBBUTTONLAYOUT* layout)
{
    RECT item = {};
    GetItemRect(index, &item);
    const int x = item.left + layout->left;
    const int y = item.top + layout->top;
    SetWindowPos(layout->child, nullptr, x, y, (item.right - layout->right) - x, (item.bottom - layout->bottom) - y,
                 SWP_NOZORDER);
}

LRESULT CToolBarXP::SetButtonLayout(WPARAM which, const TBBUTTONLAYOUT* layout)
{
    if (!layout || layout->size < sizeof(TBBUTTONLAYOUT))
        return 0;
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_LPARAM | TBIF_SIZE | (layout->byIndex ? TBIF_BYINDEX : 0);
    const int index = GetButtonInfo(static_cast<int>(which), &info);
    if (index < 0)
        return 0;
    // A button laid out for the first time gives its lParam to the record, whatever it held.
    TBBUTTONLAYOUT* record = ButtonLayout(m_hWnd, static_cast<LPARAM>(info.lParam));
    if (!record) {
        record = NewButtonLayout(m_hWnd);
        if (!record)
            return 0;
        info.lParam = reinterpret_cast<DWORD_PTR>(record);
        SetButtonInfo(static_cast<int>(which), &info);
    }
    *record = *layout;
    record->width = info.cx;
    if (record->flags & kLayoutStretch) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        const int width = client.right + info.cx - GetToolbarSize().cx;
        record->width = width;
        info.cx = static_cast<WORD>(width > 0 ? width : 1);
        SetButtonInfo(static_cast<int>(which), &info);
        AutoSize();
    }
    if (IsWindow(record->child)) {
        SetParent(record->child, m_hWnd);
        PlaceChild(index, record);
    }
    return 1;
}

LRESULT CALLBACK CToolBarXP::WndProcTb(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CToolBarXP* self = ObjectOf(window);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_RBUTTONDOWN || (message == WM_RBUTTONUP && GetCapture() == window))
        return 0;
    if (message == WM_SETTBBUTTONLAYOUT)
        return self->SetButtonLayout(wParam, reinterpret_cast<const TBBUTTONLAYOUT*>(lParam));
    if (message == WM_WINDOWPOSCHANGED && !(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOSIZE)) {
        for (int index = 0, count = self->GetButtonCount(); index < count; ++index) {
            const TBBUTTONLAYOUT* layout = ButtonLayoutOfIndex(window, index);
            if (layout && IsWindow(layout->child))
                self->PlaceChild(index, layout);
        }
    } else if (message == WM_DESTROY) {
        FreeButtonLayouts(window);
    }
    return CallPreviousProc(self->m_oldTbProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CToolBarXP::WndProcParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CToolBarXP* self = ObjectOf(window);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            // The object that subclasses the sender paints it; this one when none does yet.
            CToolBarXP* target = ObjectOf(header->hwndFrom);
            if (!target && header->hwndFrom == self->m_hWnd)
                target = self;
            if (target && target->m_hWnd == header->hwndFrom)
                return target->OnCustomDraw(header);
        }
    }
    return CallPreviousProc(self->m_oldParentProc, window, message, wParam, lParam);
}
