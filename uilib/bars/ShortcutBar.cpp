#include "uilib/bars/ShortcutBar.h"

#include "uilib/bars/BarInterfaces.h"
#include "uilib/bars/ShortcutBarLook.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/bars/WindowsVersion.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace Glazier {

namespace {

const char kClassName[] = "Glazier:OutlookBar";
constexpr int kIconSize = 32;
constexpr int kImageGrowBy = 4;
constexpr int kNoBitmapWidth = 230;
constexpr int kScrollStep = 8;
constexpr int kSmallButtonHeight = 44;
constexpr int kLargeButtonExtra = 37;
constexpr int kOldListExtra = 2;
constexpr int kMaxNarrowPath = 260;  // 259 bytes and the terminator
const char kHeightSample[] = "Ag";

ATOM g_classAtom = 0;

CShortcutBar* BarOf(HWND window)
{
    return reinterpret_cast<CShortcutBar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK ShortcutBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* bar = create ? static_cast<CShortcutBar*>(create->lpCreateParams) : nullptr;
        if (!bar)
            return FALSE;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    CShortcutBar* bar = BarOf(window);
    if (!bar)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return bar->OnCreate(window, reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
        bar->OnDestroy(window);
        return 0;
    case WM_NCDESTROY:
        // The object may outlive its window: it must never be reached through a dead one.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZE:
        bar->OnSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        bar->OnSetFocus(window, reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return bar->OnEraseBkgnd(window, reinterpret_cast<HDC>(wParam));
    case WM_DRAWITEM:
        bar->OnDrawItem(window, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MEASUREITEM:
        bar->OnMeasureItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY:
        return bar->OnNotify(window, wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_SHORTCUT_SELECTED:
        bar->ReportSelection(static_cast<int>(wParam), lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The list view hides its own scroll bars (the pager scrolls it) and repaints on leaving where
// the system does not.
LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list, GWLP_USERDATA));
    if (message == WM_NCCALCSIZE) {
        LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
        if (style & (WS_HSCROLL | WS_VSCROLL))
            SetWindowLongPtrW(list, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL));
    } else if (message == WM_MOUSELEAVE && IsWindows9xOr2000()) {
        InvalidateRect(list, nullptr, FALSE);
    } else if (message == WM_NCDESTROY) {
        SwapWindowProc(list, previous);
        SetWindowLongPtrW(list, GWLP_USERDATA, 0);
    }
    return CallPreviousProc(previous, list, message, wParam, lParam);
}

void BitmapSize(HBITMAP bitmap, int* width, int* height)
{
    BITMAP info = {};
    if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) {
        *width = info.bmWidth;
        *height = info.bmHeight;
    } else {
        *width = kNoBitmapWidth;
        *height = 0;
    }
}

}  // namespace

CShortcutBar::CShortcutBar()
{
    RegisterClass();
}

CShortcutBar::~CShortcutBar()
{
    // The last reference takes the window along (its procedure then finds no object).
    if (HWND window = m_window) {
        if (IsWindow(window))
            DestroyWindow(window);
        if (IsWindow(window))  // not ours to destroy (another thread's): at least unlink it
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    OnDestroy(nullptr);  // the copied bitmaps of a window that was never created
}

HRESULT STDMETHODCALLTYPE CShortcutBar::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IShortcutBar))
        return E_NOINTERFACE;
    *out = static_cast<IShortcutBar*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CShortcutBar::AddRef()
{
    return static_cast<ULONG>(++m_refCount);
}

ULONG STDMETHODCALLTYPE CShortcutBar::Release()
{
    if (m_refCount == 1) {
        m_refCount = 0;
        DeleteThis();
        return 0;
    }
    return static_cast<ULONG>(--m_refCount);
}

void CShortcutBar::RegisterClass()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PAGESCROLLER_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ShortcutBarProc;
    wc.hInstance = GetLibraryModule() ? GetLibraryModule() : GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    g_classAtom = RegisterLibraryClassA(&wc);
}

BOOL CShortcutBar::Create(HWND parent, UINT id, BOOL largeButtons, HBITMAP top, const RECT* topPart,
                          HBITMAP bottom, const RECT* bottomPart)
{
    if (m_window && IsWindow(m_window))
        return FALSE;  // one window per object
    RegisterClass();
    m_large = largeButtons;
    if (m_top)
        DeleteObject(m_top);
    if (m_bottom)
        DeleteObject(m_bottom);
    m_top = CopyBitmapPart(top, topPart);
    m_bottom = CopyBitmapPart(bottom, bottomPart);
    HINSTANCE instance = GetLibraryModule() ? GetLibraryModule() : GetModuleHandleA(nullptr);
    m_window = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, this);
    return m_window != nullptr;
}

BOOL CShortcutBar::OnCreate(HWND window, CREATESTRUCTA* create)
{
    m_window = window;
    HINSTANCE instance = create ? create->hInstance : nullptr;
    m_pager = CreateWindowExW(0, WC_PAGESCROLLERW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP | PGS_VERT | PGS_AUTOSCROLL, 0,
                              0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kShortcutPagerId)),
                              instance, nullptr);
    if (!m_pager)
        return FALSE;

    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    m_font = CreateFontIndirectW(&font);
    SIZE sample = {};
    GetTextSize(window, kHeightSample, m_font, &sample);
    m_textHeight = sample.cy;

    // Created as the bar's child so its notifications and owner drawing come to the bar, then
    // handed to the pager.
    const UINT_PTR id = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    m_list = CreateWindowExW(0, WC_LISTVIEWW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED |
                                 LVS_NOCOLUMNHEADER,
                             0, 0, 0, 0, window, reinterpret_cast<HMENU>(id), instance, nullptr);
    if (!m_list)
        return FALSE;
    SetWindowLongPtrW(m_list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(SwapWindowProc(m_list, ListProc)));
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = kNoBitmapWidth;
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_ONECLICKACTIVATE, LVS_EX_ONECLICKACTIVATE);
    SendMessageW(m_list, LVM_SETBKCOLOR, 0, CLR_NONE);
    SetParent(m_list, m_pager);
    SendMessageW(m_pager, PGM_SETCHILD, 0, reinterpret_cast<LPARAM>(m_list));
    m_images = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 0, kImageGrowBy);
    SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images));

    BitmapSize(m_top, &m_topWidth, &m_topHeight);
    BitmapSize(m_bottom, &m_bottomWidth, &m_bottomHeight);
    if (g_Scheme.studioBarFile)
        LoadDescription(g_Scheme.studioBarFile);
    return TRUE;
}

void CShortcutBar::OnDestroy(HWND)
{
    if (m_font)
        DeleteObject(m_font);
    if (m_top)
        DeleteObject(m_top);
    if (m_bottom)
        DeleteObject(m_bottom);
    delete m_description;
    m_font = nullptr;
    m_top = m_bottom = nullptr;
    m_description = nullptr;
    // The list view destroys the image list it was given (it does not share it) with its window.
    m_images = nullptr;
    m_window = m_pager = m_list = nullptr;
}

int CShortcutBar::ButtonHeight() const
{
    if (m_description)
        return m_description->gap + m_description->states[kButtonNormal].left.bottom;
    return m_large ? 2 * m_textHeight + kLargeButtonExtra : kSmallButtonHeight;
}

int CShortcutBar::ListHeight() const
{
    const int count = m_list ? static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    return count * ButtonHeight() + (IsWindows9xOr2000() ? kOldListExtra : 0);
}

void CShortcutBar::OnSize(HWND, UINT, int width, int height)
{
    if (!m_pager || !m_list)
        return;
    const int listHeight = ListHeight();
    const int room = height - m_topHeight;
    const int pagerHeight = listHeight < room ? listHeight : (room > 0 ? room : 0);
    SetWindowPos(m_pager, nullptr, 0, m_topHeight, width, pagerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 0, width);
    SendMessageW(m_pager, PGM_RECALCSIZE, 0, 0);
    if (listHeight <= room) {
        SendMessageW(m_pager, PGM_SETPOS, 0, 0);
    } else {
        // Some pagers show their buttons only once the position has moved (seen under Wine):
        // move it by a pixel and back, so the buttons appear as soon as the list outgrows the bar.
        const int position = static_cast<int>(SendMessageW(m_pager, PGM_GETPOS, 0, 0));
        SendMessageW(m_pager, PGM_SETPOS, 0, position > 0 ? position - 1 : position + 1);
        SendMessageW(m_pager, PGM_SETPOS, 0, position);
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

void CShortcutBar::OnPagerCalcSize(NMPGCALCSIZE* calc)
{
    if (calc && (calc->dwFlag & PGF_CALCHEIGHT))
        calc->iHeight = ListHeight();
}

void CShortcutBar::OnPagerScroll(NMPGSCROLL* scroll)
{
    if (scroll)
        scroll->iScroll = kScrollStep;
}

void CShortcutBar::OnSetFocus(HWND, HWND)
{
    if (m_list)
        SetFocus(m_list);
}

void CShortcutBar::OnMeasureItem(HWND, MEASUREITEMSTRUCT* measure)
{
    if (measure && measure->CtlType == ODT_LISTVIEW)
        measure->itemHeight = static_cast<UINT>(ButtonHeight());
}

LRESULT CShortcutBar::OnHotTrack(NMLISTVIEW* track)
{
    LVHITTESTINFO hit = {};
    hit.pt = track->ptAction;
    SendMessageW(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    const int item = (hit.flags & LVHT_ONITEM) ? hit.iItem : -1;
    const int hot = static_cast<int>(SendMessageW(m_list, LVM_GETHOTITEM, 0, 0));
    if (item != hot) {
        SendMessageW(m_list, LVM_SETHOTITEM, static_cast<WPARAM>(item), 0);
        if (IsWindows9xOr2000())
            InvalidateRect(m_list, nullptr, FALSE);
    }
    return 1;  // the list view does not select on hovering
}

LRESULT CShortcutBar::OnNotify(HWND window, WPARAM wParam, NMHDR* header)
{
    if (!header)
        return 0;
    if (header->hwndFrom == m_list && m_list) {
        switch (header->code) {
        case LVN_HOTTRACK:
            return OnHotTrack(reinterpret_cast<NMLISTVIEW*>(header));
        case LVN_ITEMCHANGED: {
            auto* change = reinterpret_cast<NMLISTVIEW*>(header);
            const bool newlySelected = (change->uChanged & LVIF_STATE) && !(change->uOldState & LVIS_SELECTED) &&
                                       (change->uNewState & LVIS_SELECTED);
            if (newlySelected && !m_selectionPending) {
                m_selectionPending = true;
                PostMessageA(window, WM_SHORTCUT_SELECTED, static_cast<WPARAM>(change->iItem), change->lParam);
            }
            return 0;
        }
        case NM_CLICK:
            if (reinterpret_cast<NMITEMACTIVATE*>(header)->iItem >= 0)
                return SendMessageW(GetParent(window), WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header));
            return 0;
        default:
            return 0;
        }
    }
    if (header->hwndFrom == m_pager && m_pager && header->idFrom == kShortcutPagerId) {
        if (header->code == PGN_CALCSIZE)
            OnPagerCalcSize(reinterpret_cast<NMPGCALCSIZE*>(header));
        else if (header->code == PGN_SCROLL)
            OnPagerScroll(reinterpret_cast<NMPGSCROLL*>(header));
    }
    return 0;
}

void CShortcutBar::ReportSelection(int item, LPARAM itemParam)
{
    NMLISTVIEW report = {};
    report.hdr.hwndFrom = m_window;
    report.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_window));
    report.hdr.code = LVN_ITEMCHANGED;
    report.iItem = item;
    report.uNewState = LVIS_SELECTED;
    report.uOldState = 0;
    report.uChanged = LVIF_STATE;
    report.lParam = itemParam;
    SendMessageW(GetParent(m_window), WM_NOTIFY, report.hdr.idFrom, reinterpret_cast<LPARAM>(&report));
    m_selectionPending = false;
}

BOOL CShortcutBar::LoadDescriptionW(const wchar_t* file)
{
    char narrow[kMaxNarrowPath];
    if (!file || !WideToNarrow(narrow, file, kMaxNarrowPath, CP_ACP))
        return FALSE;
    return LoadDescription(narrow);
}

int CShortcutBar::InsertItem(int index, const wchar_t* text, int image)
{
    if (!m_list)
        return -1;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index == kShortcutAppend ? static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)) : index;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    item.iImage = image;
    const int at = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at >= 0 && m_window) {
        RECT client;
        GetClientRect(m_window, &client);
        OnSize(m_window, SIZE_RESTORED, client.right, client.bottom);
    }
    return at;
}

int CShortcutBar::AddItem(int image, const wchar_t* text)
{
    return InsertItem(kShortcutAppend, text, image);
}

int CShortcutBar::InsertIconItem(int index, HICON icon, const wchar_t* text)
{
    if (!m_images || !icon)
        return -1;
    const int image = ImageList_ReplaceIcon(m_images, -1, icon);
    if (image < 0)
        return -1;
    return InsertItem(index, text, image);
}

int CShortcutBar::AddIconItem(HICON icon, const wchar_t* text)
{
    return InsertIconItem(kShortcutAppend, icon, text);
}

int CShortcutBar::InsertResourceIconItem(int index, HINSTANCE module, UINT iconId, const wchar_t* text)
{
    HICON icon = LoadIconA(module, MAKEINTRESOURCEA(iconId));
    return InsertIconItem(index, icon, text);
}

int CShortcutBar::AddResourceIconItem(HINSTANCE module, UINT iconId, const wchar_t* text)
{
    return InsertResourceIconItem(kShortcutAppend, module, iconId, text);
}

BOOL CShortcutBar::SelectItem(int index, BOOL select)
{
    if (!m_list)
        return FALSE;
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = select ? (LVIS_FOCUSED | LVIS_SELECTED) : 0;
    return static_cast<BOOL>(SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(&item)));
}

int CShortcutBar::GetWidth()
{
    int topWidth = kNoBitmapWidth, topHeight = 0, bottomWidth = kNoBitmapWidth, bottomHeight = 0;
    if (m_window) {
        topWidth = m_topWidth;
        bottomWidth = m_bottomWidth;
    } else {
        BitmapSize(m_top, &topWidth, &topHeight);
        BitmapSize(m_bottom, &bottomWidth, &bottomHeight);
    }
    return (topWidth < bottomWidth ? topWidth : bottomWidth) + 2;
}

int CShortcutBar::GetHeight()
{
    int bottom = 0;
    const int count = m_list ? static_cast<int>(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    if (count > 0) {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        if (SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&rect)))
            bottom = rect.bottom;
    }
    return bottom + m_topHeight;
}

BOOL CShortcutBar::GetItemText(int index, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0)
        return TRUE;
    buffer[0] = 0;
    if (!m_list)
        return TRUE;
    LVITEMW item = {};
    item.pszText = buffer;
    item.cchTextMax = size;
    SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return TRUE;
}

void CShortcutBar::GetTextSize(HWND window, const char* text, HFONT font, SIZE* size)
{
    if (!size)
        return;
    size->cx = size->cy = 0;
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32A(dc, text ? text : "", text ? lstrlenA(text) : 0, size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

}  // namespace Glazier
