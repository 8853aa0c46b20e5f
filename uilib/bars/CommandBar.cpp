#include "uilib/bars/CommandBar.h"

#include <algorithm>

#include "uilib/bars/ButtonLayouts.h"
#include "uilib/bars/CommandBarParent.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/DrawHelpers.h"

namespace Glazier {
namespace {

constexpr DWORD kRebarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_DBLCLKTOGGLE |
                              RBS_VARHEIGHT | CCS_NODIVIDER;
static_assert(kRebarStyle == 0x56008240, "rebar style");
constexpr DWORD kBandToolBarStyle =
    TBSTYLE_TRANSPARENT | TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE;
static_assert(kBandToolBarStyle == 0x9944, "band toolbar style");
constexpr DWORD kLayoutGap = 0x8000;  // a wide separator: an empty gap
constexpr int kOrdinarySeparatorWidth = 8;

// Separators become fixed-width buttons carrying a layout record (a line pair or an empty gap) so
// the chevron menu and the painting see them; other buttons size to their text.
void PrepareButtons(HWND toolbar)
{
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)))
            continue;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STYLE;
        if (button.fsStyle & BTNS_SEP) {
            const int width = button.iBitmap > 0 ? button.iBitmap : kOrdinarySeparatorWidth;
            TBBUTTONLAYOUT* layout = NewButtonLayout(toolbar);
            if (!layout)
                continue;
            layout->size = sizeof(TBBUTTONLAYOUT);
            layout->flags = width == kOrdinarySeparatorWidth ? kLayoutSeparator : kLayoutGap;
            info.dwMask |= TBIF_IMAGE | TBIF_SIZE | TBIF_LPARAM;
            info.fsStyle = 0;
            info.iImage = I_IMAGENONE;
            info.cx = static_cast<WORD>(width);
            info.lParam = reinterpret_cast<DWORD_PTR>(layout);
        } else {
            info.fsStyle = static_cast<BYTE>(button.fsStyle | BTNS_AUTOSIZE);
            // A button's lParam belongs to the layout records in a band; records made earlier
            // (a toolbar added again) stay.
            if (!ButtonLayout(toolbar, static_cast<LPARAM>(button.dwData))) {
                info.dwMask |= TBIF_LPARAM;
                info.lParam = 0;
            }
        }
        SendMessageA(toolbar, TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
}

}  // namespace

CCommandBar::CCommandBar() : m_colors(&g_Scheme.commandBar)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

CCommandBar::~CCommandBar()
{
    if (m_rebar && IsWindow(m_rebar)) {
        if (m_oldRebarProc)
            SwapWindowProc(m_rebar, m_oldRebarProc);
        SetWindowLongPtrW(m_rebar, GWLP_USERDATA, 0);
    }
    LeaveParent();
    delete m_menuBar;
    for (CToolBarXP* toolbar : m_toolbars)
        delete toolbar;
}

HRESULT STDMETHODCALLTYPE CCommandBar::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_ICommandBar))
        return E_NOINTERFACE;
    *out = static_cast<ICommandBar*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CCommandBar::AddRef()
{
    return ++m_refCount;
}

ULONG STDMETHODCALLTYPE CCommandBar::Release()
{
    if (m_refCount == 1) {
        DeleteThis();
        return 0;
    }
    return --m_refCount;
}

BOOL CCommandBar::Create(DWORD style, HWND parent, UINT id, bool subclassParent)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    m_rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr, style | kRebarStyle, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    if (!m_rebar)
        return FALSE;
    SetWindowLongPtrW(m_rebar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_oldRebarProc = SwapWindowProc(m_rebar, RebarProc);
    m_parentSubclassed = subclassParent;
    m_chevrons = subclassParent;
    if (subclassParent) {
        m_parent = parent;
        CommandBarParent::Join(parent, this);
    }
    return TRUE;
}

void CCommandBar::LeaveParent()
{
    if (m_parent && IsWindow(m_parent))
        CommandBarParent::Leave(m_parent, this);
    m_parent = nullptr;
}

BOOL CCommandBar::InsertBand(HWND toolbar, CToolBarXP* object, int position, WORD bandId, BOOL rowBreak)
{
    if (!m_rebar || !object || !IsWindow(toolbar))
        return FALSE;
    object->m_hWnd = toolbar;
    object->AutoCustomDraw(FALSE);
    HWND parent = GetParent(toolbar);
    if (!object->RememberedParent() && parent != m_rebar)
        object->RememberParent(parent);

    SendMessageA(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(m_rebar), 0);
    const DWORD style = (static_cast<DWORD>(GetWindowLongW(toolbar, GWL_STYLE)) & 0xFFFF0000u) | kBandToolBarStyle;
    SendMessageA(toolbar, TB_SETSTYLE, 0, style);
    SetWindowLongW(toolbar, GWL_STYLE, static_cast<LONG>(style));
    // Added to the application's extended styles (drop-down arrows and mixed buttons stay).
    const DWORD extended = static_cast<DWORD>(SendMessageA(toolbar, TB_GETEXTENDEDSTYLE, 0, 0));
    SendMessageA(toolbar, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    PrepareButtons(toolbar);

    REBARBANDINFOA band = RebarBandInfo(RBBIM_STYLE | RBBIM_CHILD | RBBIM_ID | RBBIM_LPARAM);
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | (m_parentSubclassed ? RBBS_USECHEVRON : 0);
    band.hwndChild = toolbar;
    band.wID = bandId;
    band.lParam = reinterpret_cast<LPARAM>(object);
    if (rowBreak) {
        if (m_deferred) {
            object->SetFlags(kRowBreakPending);
        } else {
            object->ClearFlags(kRowBreakPending);
            band.fStyle |= RBBS_BREAK;
        }
    }
    const BOOL done = position == -1
                          ? static_cast<BOOL>(SendMessageA(m_rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                                                           reinterpret_cast<LPARAM>(&band)))
                          : static_cast<BOOL>(SendMessageA(m_rebar, RB_SETBANDINFOA, position,
                                                           reinterpret_cast<LPARAM>(&band)));
    if (!done)
        return FALSE;
    if (!m_deferred)
        AutoSize(toolbar);
    return TRUE;
}

BOOL CCommandBar::SetMenu(HMENU menu)
{
    if (!m_rebar)
        return FALSE;
    if (!m_menuBar)
        m_menuBar = new CMenuBarXP();
    const BOOL result = m_menuBar->SetMenu(menu, m_rebar);
    const int band = static_cast<int>(SendMessageA(m_rebar, RB_IDTOINDEX, kMenuBandId, 0));
    if (result) {
        RECT size = {};
        GetWindowRect(m_menuBar->m_hWnd, &size);
        REBARBANDINFOA info = RebarBandInfo(RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID);
        info.fStyle = RBBS_BREAK | RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
        info.hwndChild = m_menuBar->m_hWnd;
        info.cxMinChild = size.right - size.left;
        info.cyMinChild = size.bottom - size.top;
        info.wID = kMenuBandId;
        if (band >= 0)
            SendMessageA(m_rebar, RB_SETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
        else
            SendMessageA(m_rebar, RB_INSERTBANDA, 0, reinterpret_cast<LPARAM>(&info));
    } else if (band >= 0) {
        SendMessageA(m_rebar, RB_DELETEBAND, band, 0);
    }
    return result;
}

void CCommandBar::RemoveBandsOf(HWND toolbar, UINT keptId)
{
    for (int band = BandOfChild(toolbar); band >= 0; band = BandOfChild(toolbar)) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_ID);
        SendMessageA(m_rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
        if (info.wID == keptId || !SendMessageA(m_rebar, RB_DELETEBAND, band, 0))
            return;
    }
}

BOOL CCommandBar::SetToolBar(HWND toolbar)
{
    if (!m_rebar || !IsWindow(toolbar))
        return FALSE;
    // A toolbar sits in one band: set as the main one, it leaves a band it was added in.
    RemoveBandsOf(toolbar, kMainToolBarBandId);
    // The first entry is the main toolbar's, whatever was added before it.
    if (m_toolbars.empty())
        m_toolbars.push_back(nullptr);
    CToolBarXP*& main = m_toolbars[0];
    if (main && main->m_hWnd != toolbar) {
        // The old main toolbar gets its own parent back, unless it moved to another band.
        const int band = BandOfChild(main->m_hWnd);
        if (main->RememberedParent() && IsWindow(main->m_hWnd) &&
            (band < 0 || band == static_cast<int>(SendMessageA(m_rebar, RB_IDTOINDEX, kMainToolBarBandId, 0))))
            SendMessageA(main->m_hWnd, TB_SETPARENT, reinterpret_cast<WPARAM>(main->RememberedParent()), 0);
        // A new toolbar needs an object of its own: this one's subclass belongs to the old one.
        delete main;
        main = nullptr;
    }
    if (!main)
        main = new CToolBarXP();
    const int band = static_cast<int>(SendMessageA(m_rebar, RB_IDTOINDEX, kMainToolBarBandId, 0));
    if (band < 0)
        return InsertBand(toolbar, main, -1, kMainToolBarBandId, TRUE);
    REBARBANDINFOA info = RebarBandInfo(RBBIM_STYLE);
    SendMessageA(m_rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
    LockWindowUpdate(m_rebar);
    const BOOL result = InsertBand(toolbar, main, band, kMainToolBarBandId, (info.fStyle & RBBS_BREAK) != 0);
    LockWindowUpdate(nullptr);
    return result;
}

BOOL CCommandBar::AddToolBar(HWND toolbar, BOOL rowBreak, UINT index)
{
    if (!m_rebar || !IsWindow(toolbar))
        return FALSE;
    // Added again (after RemoveToolBar, or while still in a band): one band, with the object
    // that already serves the toolbar.
    RemoveBandsOf(toolbar, 0);
    if (m_toolbars.empty())
        m_toolbars.push_back(nullptr);  // reserved for the main toolbar
    auto added = std::find_if(m_toolbars.begin() + 1, m_toolbars.end(),
                              [toolbar](const CToolBarXP* object) { return object->m_hWnd == toolbar; });
    CToolBarXP* object = added != m_toolbars.end() ? *added : nullptr;
    if (!object) {
        object = new CToolBarXP();
        m_toolbars.push_back(object);
    }
    return InsertBand(toolbar, object, -1, static_cast<WORD>(index + kAddedBandIdBase), rowBreak);
}

int CCommandBar::BandOfChild(HWND child)
{
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_CHILD);
        if (SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)) && info.hwndChild == child)
            return i;
    }
    return -1;
}

void CCommandBar::SizeBand(int band, HWND toolbar, bool idealIsMeasured)
{
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    CToolBarXP measure;  // no subclass: measuring only
    measure.m_hWnd = toolbar;
    SIZE size = measure.GetToolbarSize();
    // Buttons may start below the toolbar's top edge: the band holds their full height, or the
    // toolbar hides them all as clipped.
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT last = {};
    if (count > 0 && SendMessageA(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last)) &&
        last.bottom > size.cy)
        size.cy = last.bottom;
    REBARBANDINFOA info = RebarBandInfo(RBBIM_IDEALSIZE | RBBIM_CHILDSIZE);
    // Before comctl32 6.0 the rebar adds 4 pixels of its own; an empty toolbar has no negative width.
    const LONG ideal = idealIsMeasured || GetComCtlVersion() == MAKELONG(0, 6) ? size.cx : size.cx - 4;
    info.cxIdeal = static_cast<UINT>(ideal > 0 ? ideal : 0);
    info.cxMinChild = ChevronsOn() ? 0 : static_cast<UINT>(size.cx);
    info.cyMinChild = static_cast<UINT>(size.cy);
    SendMessageA(m_rebar, RB_SETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
    // A band never sized (no saved layout yet) would show its toolbar squeezed to nothing.
    REBARBANDINFOA width = RebarBandInfo(RBBIM_SIZE);
    if (SendMessageA(m_rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&width)) && width.cx == 0)
        SendMessageA(m_rebar, RB_MAXIMIZEBAND, band, TRUE);
}

void CCommandBar::AutoSize(HWND toolbar)
{
    if (!m_rebar)
        return;
    const int band = BandOfChild(toolbar);
    if (band >= 0)
        SizeBand(band, toolbar, false);
}

void CCommandBar::DeferLayout(BOOL defer)
{
    m_deferred = defer;
    if (defer || !m_rebar)
        return;
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_STYLE | RBBIM_CHILD | RBBIM_LPARAM);
        if (!SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)) || !info.lParam)
            continue;
        auto* object = reinterpret_cast<CToolBarXP*>(info.lParam);
        if (object->ClearFlags(kRowBreakPending) & kRowBreakPending) {
            REBARBANDINFOA style = RebarBandInfo(RBBIM_STYLE);
            style.fStyle = info.fStyle | RBBS_BREAK;
            SendMessageA(m_rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&style));
        }
        SizeBand(i, info.hwndChild, true);
    }
}

void CCommandBar::ShowBand(int bandIndex, BOOL show)
{
    if (!m_rebar || bandIndex < 0)
        return;
    SendMessageA(m_rebar, RB_SHOWBAND, bandIndex, show);
    if (show) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_SIZE);
        SendMessageA(m_rebar, RB_GETBANDINFOA, bandIndex, reinterpret_cast<LPARAM>(&info));
        if (info.cx == 0) {
            SendMessageA(m_rebar, RB_MINIMIZEBAND, bandIndex, 0);
            SendMessageA(m_rebar, RB_MAXIMIZEBAND, bandIndex, TRUE);
        }
    }
    InvalidateRect(m_rebar, nullptr, TRUE);
}

void CCommandBar::Show(UINT index, BOOL show)
{
    if (m_rebar)
        ShowBand(static_cast<int>(SendMessageA(m_rebar, RB_IDTOINDEX, index + kAddedBandIdBase, 0)), show);
}

BOOL CCommandBar::ShowToolBar(HWND toolbar, BOOL show)
{
    if (!m_rebar)
        return show;
    const int band = BandOfChild(toolbar);
    if (band < 0)
        return show;
    REBARBANDINFOA info = RebarBandInfo(RBBIM_STYLE);
    SendMessageA(m_rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
    ShowBand(band, show);
    return (info.fStyle & RBBS_HIDDEN) ? FALSE : TRUE;
}

BOOL CCommandBar::RemoveToolBar(HWND toolbar)
{
    if (!m_rebar)
        return FALSE;
    const int band = BandOfChild(toolbar);
    if (band < 0)
        return FALSE;
    return SendMessageA(m_rebar, RB_DELETEBAND, band, 0) ? TRUE : FALSE;
}

LRESULT CCommandBar::OnMenuChar(UINT character)
{
    return m_menuBar ? m_menuBar->OnMenuChar(character) : 0;
}

BOOL CCommandBar::OnSysCommand(UINT command, LPARAM lParam)
{
    if (!m_menuBar || !IsWindow(m_menuBar->m_hWnd) || (command & 0xFFF0) != SC_KEYMENU)
        return FALSE;
    if (lParam)
        return m_menuBar->OnMenuChar(static_cast<UINT>(lParam)) != 0;
    m_menuBar->TrackMenuBar(TRUE, -1);
    return TRUE;
}

void CCommandBar::GradientBackground(BOOL on)
{
    m_gradient = on != FALSE;
    m_group = false;
}

void CCommandBar::GroupBackground(BOOL on)
{
    m_group = on != FALSE;
    m_gradient = !m_group;
}

void CCommandBar::DrawGripper(BOOL on)
{
    m_grippers = on != FALSE;
}

void CCommandBar::SetColorScheme(int scheme)
{
    if (scheme == 0)
        m_colors = &g_Scheme.commandBar;
    else if (scheme == 1)
        m_colors = &g_Scheme.commandBarView;
}

void CCommandBar::SetMenuStyle(BOOL xp)
{
    if (m_menuBar)
        m_menuBar->Menu().SetStyle(xp);
}

}  // namespace Glazier
