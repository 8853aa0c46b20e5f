#include "uilib/bars/Menu.h"

#include "uilib/bars/SolidFill.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/bars/WindowsVersion.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"

namespace Glazier {
namespace {

constexpr int kMaxItemText = 256;
constexpr int kSeparatorHeight = 5;
constexpr int kArrowAndShortcutRoom = 21;  // right of the text: submenu arrow or shortcut room
constexpr int kArrowStrip = 10;
constexpr int kBoldExtraWeight = 300;
constexpr int kMaxWeight = 900;
constexpr int kCheckGrow = 2;

// Shared by every menu object: the fonts go with the last one.
int g_instances = 0;
HFONT g_menuFont = nullptr;
HFONT g_boldMenuFont = nullptr;

// One popup tracked at a time: its menu and the owner's procedure under the temporary one.
CMenu* g_trackedMenu = nullptr;
WNDPROC g_ownerProc = nullptr;

void CreateFonts()
{
    NONCLIENTMETRICSW metrics = {};
    static_assert(sizeof(metrics) == 500, "the XP layout of NONCLIENTMETRICSW");
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    g_menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    LOGFONTW bold = metrics.lfMenuFont;
    bold.lfWeight = bold.lfWeight + kBoldExtraWeight > kMaxWeight ? kMaxWeight : bold.lfWeight + kBoldExtraWeight;
    g_boldMenuFont = CreateFontIndirectW(&bold);
}

BOOL KeyboardCues()
{
    BOOL cues = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    return cues;
}

void ConvertToOwnerDraw(HMENU menu)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info))
            continue;
        if (info.hSubMenu)
            ConvertToOwnerDraw(info.hSubMenu);
        if (!(info.fType & MFT_OWNERDRAW)) {
            info.fMask = MIIM_FTYPE;
            info.fType |= MFT_OWNERDRAW;
            SetMenuItemInfoW(menu, i, TRUE, &info);
        }
    }
}

// While a popup is tracked: its owner-draw messages go to the tracked menu.
LRESULT CALLBACK TrackingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_trackedMenu && message == WM_MEASUREITEM &&
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
        g_trackedMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return 0;
    }
    if (g_trackedMenu && message == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
        g_trackedMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return 0;
    }
    return CallPreviousProc(g_ownerProc, window, message, wParam, lParam);
}

}  // namespace

CMenu::CMenu()
{
    m_showAccelerators = KeyboardCues();
    if (g_instances++ == 0)
        CreateFonts();
}

CMenu::~CMenu()
{
    if (--g_instances == 0) {
        DeleteObject(g_menuFont);
        DeleteObject(g_boldMenuFont);
        g_menuFont = g_boldMenuFont = nullptr;
    }
}

HRESULT STDMETHODCALLTYPE CMenu::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMenu))
        return E_NOINTERFACE;
    *out = static_cast<IMenu*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CMenu::AddRef()
{
    return ++m_refCount;
}

ULONG STDMETHODCALLTYPE CMenu::Release()
{
    if (m_refCount == 1) {
        DeleteThis();
        return 0;
    }
    return --m_refCount;
}

HFONT CMenu::GetMenuFont()
{
    return g_menuFont;
}

HFONT CMenu::BoldMenuFont()
{
    return g_boldMenuFont;
}

int CMenu::SetStyle(BOOL xp)
{
    m_xpStyle = xp;
    m_verticalMargin = 2;
    if (xp) {
        m_iconMargin = 4;
        m_textMargin = 8;
        m_iconWidth = m_iconHeight = 16;
    } else {
        m_iconMargin = 0;
        m_textMargin = 4;
        m_iconWidth = m_iconHeight = 13;
    }
    return m_iconWidth;
}

void CMenu::CopyStateOf(const CMenu& other)
{
    m_menu = other.m_menu;
    m_showAccelerators = other.m_showAccelerators;
    m_owner = other.m_owner;
    m_xpStyle = other.m_xpStyle;
    m_iconWidth = other.m_iconWidth;
    m_iconMargin = other.m_iconMargin;
    m_iconHeight = other.m_iconHeight;
    m_textMargin = other.m_textMargin;
    m_verticalMargin = other.m_verticalMargin;
}

void CMenu::PrepareMenu(HMENU menu, HWND owner)
{
    m_menu = menu;
    m_owner = owner;
    if (menu)
        ConvertToOwnerDraw(menu);
}

void CMenu::MeasureItem(MEASUREITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_MENU)
        return;
    wchar_t text[kMaxItemText] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = kMaxItemText;
    GetMenuItemInfoW(m_menu, item->itemID, FALSE, &info);
    if (info.fType & MFT_SEPARATOR) {
        item->itemWidth = 0;
        item->itemHeight = kSeparatorHeight;
        return;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, (info.fState & MFS_DEFAULT) ? g_boldMenuFont : g_menuFont);
    RECT box = {0, 0, 0, 0};
    ::DrawTextW(dc, text, -1, &box, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int textHeight = box.bottom - box.top;
    item->itemHeight = (textHeight > m_iconHeight ? textHeight : m_iconHeight) + 2 * m_verticalMargin;
    item->itemWidth = (box.right - box.left) + 2 * m_textMargin + IconColumnWidth() + kArrowAndShortcutRoom;
}

void CMenu::DrawItem(const DRAWITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_MENU)
        return;
    HDC dc = item->hDC;
    const RECT& rect = item->rcItem;
    HMENU menu = reinterpret_cast<HMENU>(item->hwndItem);
    wchar_t text[kMaxItemText] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = kMaxItemText;
    if (!GetMenuItemInfoW(menu ? menu : m_menu, item->itemID, FALSE, &info))
        GetMenuItemInfoW(m_menu, item->itemID, FALSE, &info);

    RECT column = {rect.left, rect.top, rect.left + IconColumnWidth(), rect.bottom};
    if (info.fType & MFT_SEPARATOR) {
        DrawBackGround(dc, rect, FALSE, FALSE);
        // The side bar over the separator's own height (it is shorter than an icon row).
        RECT area = column;
        const int full = rect.top + m_iconHeight + 2 * m_verticalMargin;
        area.bottom = full < rect.bottom ? full : rect.bottom;
        DrawIconArea(dc, area, FALSE, FALSE, FALSE);
        RECT line = {rect.left + IconColumnWidth() + m_textMargin, rect.top + (rect.bottom - rect.top) / 2, rect.right,
                     0};
        line.bottom = line.top + 1;
        FillSolid(dc, line, g_Colors.MenuSeparator);
        return;
    }
    const BOOL savedAccelerators = m_showAccelerators;
    m_showAccelerators = !(item->itemState & ODS_NOACCEL);
    const BOOL selected = (item->itemState & ODS_SELECTED) != 0;
    const BOOL grayed = (item->itemState & ODS_GRAYED) != 0;
    const BOOL checked = (item->itemState & ODS_CHECKED) != 0;
    const BOOL bold = (item->itemState & ODS_DEFAULT) != 0;

    DrawBackGround(dc, rect, selected, grayed);
    DrawIconArea(dc, column, selected, grayed, checked);
    RECT box = {rect.left + m_iconMargin, rect.top + m_verticalMargin, 0, 0};
    box.right = box.left + m_iconWidth;
    box.bottom = box.top + m_iconHeight;
    if (checked)
        DrawCheckMark(dc, box, selected, grayed, TRUE);
    else
        DrawIcon(dc, box, item->itemID, selected, grayed);
    RECT textArea = {rect.left + IconColumnWidth() + m_textMargin, rect.top, rect.right, rect.bottom};
    DrawItemText(dc, textArea, text, selected, grayed, bold);

    if (info.hSubMenu && selected) {
        const int x0 = rect.right - kArrowStrip;
        const int y0 = (rect.top + rect.bottom - 7) / 2 - 1;
        for (int k = 0; k < 4; ++k) {
            MoveToEx(dc, x0 + k, y0 + k, nullptr);
            LineTo(dc, x0 + k, y0 + k + (7 - 2 * k));
        }
        // Keeps the system's own arrow from painting over ours.
        ExcludeClipRect(dc, rect.right - kArrowStrip, rect.top, rect.right, rect.bottom);
    }
    m_showAccelerators = savedAccelerators;
}

void CMenu::DrawBackGround(HDC dc, RECT rect, BOOL selected, BOOL grayed)
{
    if (!selected || grayed) {
        FillSolid(dc, rect, g_Colors.MenuBackground);
        return;
    }
    HBRUSH brush = CreateSolidBrush(g_Colors.MenuSelectedBar);
    HPEN pen = CreatePen(PS_SOLID, 1, g_Colors.MenuFrame);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void CMenu::DrawIconArea(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL)
{
    if (!m_xpStyle || (selected && !grayed))
        return;
    GRADIENTEX side = {g_Colors.MenuSideBarStart, g_Colors.MenuSideBarEnd, true, kNoColor, 0, kNoColor, 0};
    FillGradientEx(dc, &side, &rect);
}

void CMenu::DrawIcon(HDC dc, RECT rect, UINT id, BOOL, BOOL grayed)
{
    if (!m_xpStyle || !m_owner)
        return;
    MENUXPIMAGE image = {id, kMenuImageNone, nullptr, 0};
    SendMessageW(m_owner, WM_MENUXP_GETIMAGE, 0, reinterpret_cast<LPARAM>(&image));
    if (image.type == kMenuImageList && image.handle) {
        HIMAGELIST list = static_cast<HIMAGELIST>(image.handle);
        if (grayed)
            DrawImageListDisabled(list, image.index, dc, rect.left, rect.top);
        else if (NeedsAlphaAwareImages())
            DrawImageListImage(list, image.index, dc, rect.left, rect.top, ILD_TRANSPARENT);
        else
            ImageList_Draw(list, image.index, dc, rect.left, rect.top, ILD_TRANSPARENT);
    } else if (image.type == kMenuImageIcon && image.handle) {
        HICON icon = static_cast<HICON>(image.handle);
        if (grayed) {
            HICON grey = CreateDisabledIcon(icon);
            if (grey) {
                DrawIconEx(dc, rect.left, rect.top, grey, 0, 0, 0, nullptr, DI_NORMAL);
                DestroyIcon(grey);
            }
        } else {
            DrawIconEx(dc, rect.left, rect.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
        }
    }
}

void CMenu::DrawCheckMark(HDC dc, RECT rect, BOOL selected, BOOL grayed, BOOL checked)
{
    if (!checked)
        return;
    COLORREF penColour, brushColour;
    if (grayed) {
        penColour = g_Colors.MenuDisabledText;
        brushColour = g_Colors.MenuBackground;
    } else {
        penColour = m_xpStyle ? g_Colors.MenuFrame : selected ? g_Colors.MenuSelectedText : g_Colors.MenuText;
        brushColour = selected ? g_Colors.MenuSelectedMark : g_Colors.MenuCheckMark;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, penColour);
    HBRUSH brush = CreateSolidBrush(brushColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    InflateRect(&rect, kCheckGrow, kCheckGrow);
    if (m_xpStyle)
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    const int l = rect.left, t = rect.top;
    const POINT first[] = {{l + 6, t + 9}, {l + 8, t + 11}, {l + 13, t + 6}};
    const POINT second[] = {{l + 6, t + 10}, {l + 8, t + 12}, {l + 13, t + 7}};
    Polyline(dc, first, 3);
    Polyline(dc, second, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void CMenu::DrawItemText(HDC dc, RECT rect, const wchar_t* text, BOOL selected, BOOL grayed, BOOL bold)
{
    HGDIOBJ old = SelectObject(dc, bold ? g_boldMenuFont : g_menuFont);
    SetBkMode(dc, TRANSPARENT);
    COLORREF colour = grayed ? g_Colors.MenuDisabledText : selected ? g_Colors.MenuSelectedText : g_Colors.MenuText;
    DrawMenuText(dc, rect, text, colour);
    SelectObject(dc, old);
}

void CMenu::DrawMenuText(HDC dc, RECT rect, const wchar_t* text, COLORREF colour)
{
    if (!text)
        return;
    COLORREF previous = SetTextColor(dc, colour);
    const wchar_t* tab = wcschr(text, L'\t');
    const int leftLength = tab ? static_cast<int>(tab - text) : -1;
    ::DrawTextW(dc, text, leftLength, &rect, DT_SINGLELINE | DT_VCENTER | (m_showAccelerators ? 0 : DT_HIDEPREFIX));
    if (tab) {
        RECT right = rect;
        right.right -= kArrowAndShortcutRoom;
        ::DrawTextW(dc, tab + 1, -1, &right, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SetTextColor(dc, previous);
}

BOOL CMenu::TrackPopupMenu(HMENU menu, int x, int y, HWND owner, HWND anchor)
{
    return TrackPopupMenuEx(menu, TPM_RIGHTBUTTON, x, y, owner, anchor);
}

BOOL CMenu::TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, HWND anchor)
{
    if (!IsWindow(owner) || g_trackedMenu)
        return FALSE;  // one tracked popup at a time: a second would lose the owner's procedure
    g_trackedMenu = this;
    g_ownerProc = SwapWindowProc(owner, TrackingOwnerProc);
    PrepareMenu(menu, owner);
    if (x == -1 && y == -1 && anchor) {
        RECT r = {};
        GetWindowRect(anchor, &r);
        x = r.left;
        y = r.top;
    }
    BOOL result = ::TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
    SwapWindowProc(owner, g_ownerProc);
    g_trackedMenu = nullptr;
    g_ownerProc = nullptr;
    return result;
}

}  // namespace Glazier
