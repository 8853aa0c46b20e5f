#include "uilib/bars/MenuBarXP.h"

#include <windowsx.h>

#include <string>

#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

constexpr DWORD kMenuBarStyle =
    WS_CHILD | WS_VISIBLE | TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE;  // 0x50001844
constexpr int kMaxItemText = 128;

}  // namespace

void CMenuBarMenu::DeleteThis()
{
    delete m_bar;
}

CMenuBarXP::CMenuBarXP() : m_menu(this) {}

CMenuBarXP::~CMenuBarXP()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        // When the XP toolbar subclass sits on top of ours, it restores the bar's first procedure.
        if (m_oldTbProc)
            m_oldTbProc = m_oldBarProc;
        else if (m_oldBarProc)
            SwapWindowProc(m_hWnd, m_oldBarProc);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
}

BOOL CMenuBarXP::SetMenu(HMENU menu, HWND parent)
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    // Both subclasses died with the old window.
    m_hWnd = nullptr;
    m_oldTbProc = nullptr;
    m_oldBarProc = nullptr;
    m_hMenu = nullptr;
    m_count = 0;
    m_current = -1;

    const RECT empty = {0, 0, 0, 0};
    if (parent && Create(kMenuBarStyle, empty, parent, 0)) {
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_oldBarProc = SwapWindowProc(m_hWnd, BarProc);
    }
    if (!m_hWnd || !menu)
        return FALSE;
    // Buttons are measured in the font their labels are drawn in.
    SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_menu.GetMenuFont()), FALSE);

    m_hMenu = menu;
    m_count = GetMenuItemCount(menu);
    if (m_count < 0)
        m_count = 0;
    for (int i = 0; i < m_count; ++i) {
        // Zeroed and two longer than the text: TB_ADDSTRINGW reads a list ending in two NULs.
        wchar_t text[kMaxItemText + 2] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = kMaxItemText;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        // An empty text adds no string; such a button gets no label rather than a neighbour's.
        INT_PTR string = -1;
        if (text[0])
            string = SendMessageW(m_hWnd, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(text));
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = i;
        button.fsState = (info.fState & (MFS_GRAYED | MFS_DISABLED)) ? 0 : TBSTATE_ENABLED;
        button.fsStyle = BTNS_AUTOSIZE;
        button.iString = string;
        if (!SendMessageW(m_hWnd, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)))
            return FALSE;
    }
    const SIZE size = GetToolbarSize();
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CMenuBarXP::DrawButton(NMTBCUSTOMDRAW* draw)
{
    HDC dc = draw->nmcd.hdc;
    RECT rect = draw->nmcd.rc;
    const UINT state = draw->nmcd.uItemState;
    const WPARAM id = draw->nmcd.dwItemSpec;

    // The button's own text (labels are not numbered by command: empty items add no string).
    std::wstring text;
    LRESULT length = SendMessageW(m_hWnd, TB_GETBUTTONTEXTW, id, 0);
    if (length <= 0)
        return;
    text.resize(static_cast<size_t>(length) + 1);
    length = SendMessageW(m_hWnd, TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(&text[0]));
    if (length <= 0)
        return;
    text.resize(static_cast<size_t>(length));

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, m_menu.GetMenuFont());
    const COLORREF colour = (state & CDIS_DISABLED) ? g_Colors.ToolBarDisabledText
                            : (state & CDIS_HOT)    ? g_Colors.ToolBarHotText
                            : (state & CDIS_SELECTED) ? g_Colors.ToolBarSelectedText
                                                      : g_Colors.ToolBarText;
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | (m_menu.ShowAccelerators() ? 0 : DT_HIDEPREFIX));
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK CMenuBarXP::BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CMenuBarXP*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnBarMessage(window, message, wParam, lParam);
}

LRESULT CMenuBarXP::OnBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM:
        m_menu.DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 0;
    case WM_MEASUREITEM:
        m_menu.MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return 0;
    case WM_LBUTTONUP:
        return 0;
    case WM_INITMENUPOPUP:
        SendMessageW(GetParent(window), message, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        TrackButton(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        SendMessageW(GetParent(window), message, wParam, 0);
        return 0;
    case WM_MENUBAR_OPENPOPUP:
        if (m_current < 0)
            m_current = m_count - 1;
        else if (m_current >= m_count)
            m_current = 0;
        OpenPopup(FALSE);
        return 0;
    default:
        break;
    }
    if (message == WM_MENUXP_GETIMAGE)
        return SendMessageW(GetParent(window), message, wParam, lParam);
    return CallPreviousProc(m_oldBarProc, window, message, wParam, lParam);
}
