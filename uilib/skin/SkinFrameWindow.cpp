// The skinned frame on its window: attach and detach, the frame elements, painting, the window
// region, hit-testing and the subclass procedure.
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "uilib/skin/DwmAttribute.h"
#include "uilib/skin/OffscreenDC.h"
#include "uilib/skin/SkinBtn.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinTxt.h"

namespace FWSkin {

namespace {

constexpr DWORD kDwmTransitionsForceDisabled = 3;

struct SizeHandle {
    const char* section;
    int id;
};
const SizeHandle kSizeHandles[] = {
    {"SizeHandle.TopLeft Image", -20},    {"SizeHandle.Top Image", -21},    {"SizeHandle.TopRight Image", -22},
    {"SizeHandle.Left Image", -33},       {"SizeHandle.Right Image", -24},  {"SizeHandle.BottomLeft Image", -25},
    {"SizeHandle.Bottom Image", -26},     {"SizeHandle.BottomRight Image", -27},
};

bool IsSizeHandle(int id)
{
    for (const SizeHandle& h : kSizeHandles)
        if (h.id == id)
            return true;
    return false;
}

bool IsSystemCommandButton(int id)
{
    return id == SC_MINIMIZE || id == SC_MAXIMIZE || id == SC_CLOSE || id == SC_RESTORE || id == SC_CONTEXTHELP;
}

// Left and right codes exchanged, for right-to-left windows.
LRESULT Mirror(LRESULT code)
{
    switch (code) {
    case HTLEFT: return HTRIGHT;
    case HTRIGHT: return HTLEFT;
    case HTTOPLEFT: return HTTOPRIGHT;
    case HTTOPRIGHT: return HTTOPLEFT;
    case HTBOTTOMLEFT: return HTBOTTOMRIGHT;
    case HTBOTTOMRIGHT: return HTBOTTOMLEFT;
    default: return code;
    }
}

LRESULT ElementHitCode(int id)
{
    switch (id) {
    case SC_MINIMIZE: return HTMINBUTTON;
    case SC_MAXIMIZE:
    case SC_RESTORE: return HTMAXBUTTON;
    case SC_CLOSE: return HTCLOSE;
    case SC_CONTEXTHELP: return HTHELP;
    case -20: return HTTOPLEFT;
    case -21: return HTTOP;
    case -22: return HTTOPRIGHT;
    case -33: return HTLEFT;
    case -24: return HTRIGHT;
    case -25: return HTBOTTOMLEFT;
    case -26: return HTBOTTOM;
    case -27: return HTBOTTOMRIGHT;
    default: return HTNOWHERE;
    }
}

bool IsMirrored(HWND window)
{
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CSkinFrame* frame = CSkinFrame::FromWindow(window))
        return frame->WindowProc(message, wParam, lParam);
    return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

CSkinFrame* CSkinFrame::FromWindow(HWND window)
{
    return window ? static_cast<CSkinFrame*>(GetPropA(window, kFramePropName)) : nullptr;
}

// --- attach ---

int CSkinFrame::Attach(HWND window, bool redraw)
{
    if (m_window) {
        HWND old = m_window;
        if (window != old) {
            if (m_previousProc) {
                if (m_unicode)
                    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
                else
                    SetWindowLongPtrA(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
            }
            m_previousProc = nullptr;
            RemovePropA(old, kFramePropName);
            KillTimer(old, kFadeTimerId);
            DestroyShadowWindow();
            if (m_layeredBorder)
                m_layeredBorder->Show(false);
        }
        m_captured = nullptr;
        while (m_elements.GetCount())
            delete m_elements.RemoveAt(m_elements.GetCount() - 1);
        if (m_tooltip) {
            DestroyWindow(m_tooltip);
            m_tooltip = nullptr;
        }
        if (!window) {
            if (redraw) {
                SetWindowRgn(old, nullptr, TRUE);
                // The system frame comes back with its own metrics.
                SetWindowPos(old, nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            m_window = nullptr;
            return 1;
        }
    }
    if (!window || !IsWindow(window))
        return 0;

    m_window = window;
    m_unicode = IsWindowUnicode(window) != FALSE;
    m_windowStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    m_windowExStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    m_active = (m_windowStyle & WS_CHILD) || GetActiveWindow() == window;
    m_layoutKind = (IsZoomed(window) && Layout(2)) ? 2 : 1;

    OSVERSIONINFOW version = {sizeof(version)};
    GetVersionExW(&version);
    if (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion == 1))
        m_visualStyles = IsThemeActive() != FALSE;
    SetDwmWindowAttribute(window, kDwmTransitionsForceDisabled, TRUE);

    bool translucent = false;
    for (int i = 0; i < m_layouts.GetCount(); ++i)
        translucent |= m_layouts[i]->IsTranslucent();
    if (translucent && !m_layeredBorder)
        m_layeredBorder = new CLayeredBorder(this);

    if (!GetPropA(window, kFramePropName)) {
        SetPropA(window, kFramePropName, this);
        LONG_PTR proc = reinterpret_cast<LONG_PTR>(&FrameProc);
        m_previousProc = reinterpret_cast<WNDPROC>(m_unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                                                             : SetWindowLongPtrA(window, GWLP_WNDPROC, proc));
    }

    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    m_dialog = lstrcmpW(className, L"#32770") == 0;
    CSkinLayout* layout = CurrentLayout();
    if (m_dialog && !(m_windowStyle & WS_CHILD) && layout) {
        // The dialog keeps its client size inside the skin's borders.
        RECT client;
        GetClientRect(window, &client);
        auto size = [&](int i) { return layout->Part(i)->Source(); };
        int minWidth = std::max(size(CSkinLayout::kTopLeft).right + size(CSkinLayout::kTopRight).right,
                                size(CSkinLayout::kBottomLeft).right + size(CSkinLayout::kBottomRight).right);
        int minHeight = std::max(size(CSkinLayout::kTopLeft).bottom + size(CSkinLayout::kBottomLeft).bottom,
                                 size(CSkinLayout::kTopRight).bottom + size(CSkinLayout::kBottomRight).bottom);
        int width = std::max<int>(client.right + layout->BorderLeft() + layout->BorderRight(), minWidth);
        int height = std::max<int>(client.bottom + layout->BorderTop() + layout->BorderBottom(), minHeight);
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RECT rect;
    GetWindowRect(window, &rect);
    LayoutPass(rect.right - rect.left, rect.bottom - rect.top);
    PlaceLayeredBorder(0);
    SetWindowRegion(redraw);
    if (!(m_windowStyle & WS_CHILD))
        CreateFrameElements();
    if (m_layeredBorder) {
        DestroyShadowWindow();
        m_options &= ~kOptionShadow;
    } else {
        UpdateShadowWindow();
    }
    if (m_layeredBorder)
        m_layeredBorder->PostRepaint();  // now with its elements
    if (redraw)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return 1;
}

CSkinImg* CSkinFrame::MakeImage(const char* section, int id)
{
    CSkinBase* element = MakeElement(section, id, true);
    auto* image = dynamic_cast<CSkinImg*>(element);
    if (!image) {
        delete element;
        return nullptr;
    }
    RECT normal;
    m_reader.GetRect("Normal", &normal);
    image->SetSource(normal);
    FinishPlacement(image);
    return image;
}

void CSkinFrame::CreateSizeHandles()
{
    bool zoomed = IsZoomed(m_window) != FALSE;
    for (const SizeHandle& h : kSizeHandles)
        if (!FindElement(h.id))
            AddChild(h.section, h.id, !zoomed, nullptr);
}

void CSkinFrame::CreateStatusBar()
{
    CSkinImg* left = MakeImage("Statusbar.Left Image", 0);
    if (!left)
        return;
    auto* bar = new CSkinSb(this);
    // A bar described without its middle or right image keeps what it has and is never laid out.
    bar->SetEnds(left, MakeImage("Statusbar.Middle Image", 1), MakeImage("Statusbar.Right Image", 2));
    RECT margins;
    if (m_reader.SelectSection("Statusbar") && m_reader.GetRect("Margins", &margins))
        bar->SetMargins(margins.left, margins.top);  // written left, right, ...
    bar->Unanchor();  // the images were placed once already
    bar->Layout(m_cx, m_cy);
    if (m_elements.Add(bar) < 0)
        delete bar;
}

void CSkinFrame::CreateFrameElements()
{
    wchar_t title[kMaxCaptionChars + 1] = {};
    GetWindowTextW(m_window, title, kMaxCaptionChars + 1);
    if (!AddChild("Caption Text", kCaptionId, true, title))
        AddChild("Caption Image", kCaptionId, true, nullptr);
    bool zoomed = IsZoomed(m_window) != FALSE;
    AddChild("Minimize Button", SC_MINIMIZE, true, nullptr);
    if (AddChild("Maximize Button", SC_MAXIMIZE, !zoomed, nullptr))
        if (!AddChild("Restore Button", SC_RESTORE, zoomed, nullptr))
            AddChild("Maximize Button", SC_RESTORE, zoomed, nullptr);
    AddChild("Close Button", SC_CLOSE, true, nullptr);
    if (m_windowStyle & WS_THICKFRAME)
        CreateSizeHandles();
    CreateStatusBar();
    AddChild("Branding Image", kBrandingId, true, nullptr);
    ApplyCaptionButtonRules();
}

void CSkinFrame::ApplyCaptionButtonRules()
{
    auto enable = [&](int id, bool on) {
        if (auto* button = dynamic_cast<CSkinBtnBase*>(FindElement(id))) {
            if (on)
                button->RemoveState(kStateDisabled);
            else
                button->AddState(kStateDisabled);
        }
    };
    auto hide = [&](int id) {
        if (CSkinBase* element = FindElement(id))
            element->AddStyle(kStyleHidden);
    };
    DWORD style = m_windowStyle;
    if (style & WS_SYSMENU) {
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
            enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0);
            enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
            enable(SC_RESTORE, (style & WS_MAXIMIZEBOX) != 0);
        } else {
            hide(SC_MINIMIZE), hide(SC_MAXIMIZE), hide(SC_RESTORE);
        }
    } else {
        hide(SC_MINIMIZE), hide(SC_MAXIMIZE), hide(SC_RESTORE), hide(SC_CLOSE);
    }
}

void CSkinFrame::ShowElement(int id, bool show)
{
    CSkinBase* element = FindElement(id);
    if (!element || element->HasStyle(kStyleHidden) == !show)
        return;
    if (show)
        element->RemoveStyle(kStyleHidden);
    else
        element->AddStyle(kStyleHidden);
    RECT r = element->WindowRect();
    Invalidate(&r);
}

// --- region and painting ---

HRGN CSkinFrame::CreateWindowRegion()
{
    CSkinLayout* layout = CurrentLayout();
    if (!layout || !m_window || IsZoomed(m_window))
        return nullptr;
    if (BorderWindow())
        return CreateRectRgn(layout->BorderLeft(), layout->BorderTop(), std::max(0, m_cx - layout->BorderRight()),
                             std::max(0, m_cy - layout->BorderBottom()));
    return layout->RegionAsPlaced(m_cx, m_cy);  // every layout pass places the parts first
}

void CSkinFrame::SetWindowRegion(bool redraw)
{
    if (!m_window || IsIconic(m_window))
        return;
    HRGN region = CreateWindowRegion();
    SetWindowRgn(m_window, region, redraw);  // the system owns the region now
}

void CSkinFrame::RefreshCloseButton()
{
    auto* close = dynamic_cast<CSkinBtn*>(FindElement(SC_CLOSE));
    if (!close)
        return;
    HMENU menu = GetSystemMenu(m_window, FALSE);
    UINT state = menu ? GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : static_cast<UINT>(-1);
    bool disabled = state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED));
    if (disabled)
        close->AddState(kStateDisabled);
    else
        close->RemoveState(kStateDisabled);
}

void CSkinFrame::SendNotify(UINT stage, HDC dc)
{
    static const UINT message = RegisterWindowMessageA("SFWM_NOTIFY");
    SkinFrameNotify record = {sizeof(SkinFrameNotify), 1, 0, stage, dc, RECT{0, 0, m_cx, m_cy}};
    CallPrevious(message, 0, reinterpret_cast<LPARAM>(&record));
}

void CSkinFrame::Paint(HDC dc, BYTE alpha)
{
    RECT all = {0, 0, m_cx, m_cy};
    COffscreenDC buffer;
    HDC off = buffer.Begin(dc, &all, 0, nullptr, false, alpha);
    if (!off)
        return;
    if (m_options & kOptionNotify)
        SendNotify(kNotifyBeforePaint, off);
    DrawBackground(off, &all);
    for (int i = 0; i < m_elements.GetCount(); ++i) {
        CSkinBase* element = m_elements[i];
        if (element->Id() == SC_CLOSE)
            RefreshCloseButton();
        element->Draw(off, false);
    }
    if (m_options & kOptionNotify)
        SendNotify(kNotifyAfterPaint, off);
    buffer.End();
}

void CSkinFrame::OnNcPaint(HRGN update)
{
    HWND self = m_window;  // a handler of the paint notices may take the skin away
    if (BorderWindow() || !self)
        return;
    HDC dc = GetWindowDC(self);
    if (!dc)
        return;
    RECT window, client;
    GetWindowRect(self, &window);
    GetClientRect(self, &client);
    MapWindowPoints(self, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (IsMirrored(self)) {
        // A mirrored window DC counts x from the right edge.
        LONG left = window.right - client.right, right = window.right - client.left;
        client.left = left + window.left, client.right = right + window.left;
        if (client.left > client.right)
            std::swap(client.left, client.right);
    }
    OffsetRect(&client, -window.left, -window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    if (update && update != reinterpret_cast<HRGN>(1)) {
        HRGN local = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(local, update, nullptr, RGN_COPY);
        OffsetRgn(local, -window.left, -window.top);
        ExtSelectClipRgn(dc, local, RGN_AND);
        DeleteObject(local);
    }
    if (m_active || (m_options & kOptionAlwaysActive)) {
        Paint(dc, 255);
    } else {
        RECT all = {0, 0, m_cx, m_cy};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        Paint(dc, kInactiveAlpha);
    }
    ReleaseDC(self, dc);
}

// --- hit-testing ---

LRESULT CSkinFrame::HitTest(POINT screen)
{
    CSkinLayout* layout = CurrentLayout();
    if (!layout)
        return HTNOWHERE;
    RECT window;
    GetWindowRect(m_window, &window);
    bool mirrored = IsMirrored(m_window);
    int x = mirrored ? window.right - screen.x : screen.x - window.left;
    int y = screen.y - window.top;
    int W = window.right - window.left, H = window.bottom - window.top;
    auto code = [&](LRESULT c) { return mirrored ? Mirror(c) : c; };

    if (x >= layout->BorderLeft() && x < W - layout->BorderRight() && y >= layout->BorderTop() &&
        y < H - layout->BorderBottom())
        return HTCLIENT;
    for (int i = 0; i < m_elements.GetCount(); ++i) {
        CSkinBase* element = m_elements[i];
        if (!element->HitTest(x, y))
            continue;
        LRESULT hit = ElementHitCode(element->Id());
        if (hit != HTNOWHERE)
            return code(hit);
        break;
    }
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
    if (style & WS_THICKFRAME) {
        const RECT& band = layout->SizingThickness();
        const RECT& shadow = layout->ShadowThickness();
        const RECT& corner = layout->SizingCorners();
        RECT inner = {band.left + shadow.left, band.top + shadow.top, W - band.right - shadow.right,
                      H - band.bottom - shadow.bottom};
        if (y < inner.top)
            return code(x < corner.left ? HTTOPLEFT : x >= W - corner.right ? HTTOPRIGHT : HTTOP);
        if (y >= inner.bottom)
            return code(x < corner.left ? HTBOTTOMLEFT : x >= W - corner.right ? HTBOTTOMRIGHT : HTBOTTOM);
        if (x < inner.left)
            return code(y < corner.top ? HTTOPLEFT : y >= H - corner.bottom ? HTBOTTOMLEFT : HTLEFT);
        if (x >= inner.right)
            return code(y < corner.top ? HTTOPRIGHT : y >= H - corner.bottom ? HTBOTTOMRIGHT : HTRIGHT);
    }
    if (style & WS_CHILD)
        return HTBORDER;
    return y < layout->BorderTop() ? HTCAPTION : HTBORDER;
}

// --- the window procedure ---

LRESULT CSkinFrame::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_previousProc)
        return m_unicode ? DefWindowProcW(m_window, message, wParam, lParam)
                         : DefWindowProcA(m_window, message, wParam, lParam);
    return m_unicode ? CallWindowProcW(m_previousProc, m_window, message, wParam, lParam)
                     : CallWindowProcA(m_previousProc, m_window, message, wParam, lParam);
}

LRESULT CSkinFrame::CallPreviousWithoutCaption(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = m_window;
    LONG style = GetWindowLongW(window, GWL_STYLE);
    if (m_visualStyles || (style & WS_CAPTION) == 0)
        return CallPrevious(message, wParam, lParam);
    m_changingStyle = true;
    SetWindowLongW(window, GWL_STYLE, style & ~WS_CAPTION);
    m_changingStyle = false;
    LRESULT result = CallPrevious(message, wParam, lParam);
    if (m_dying || !IsWindow(window))
        return result;  // closed from inside the handler
    m_changingStyle = true;
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | (style & WS_CAPTION));
    m_changingStyle = false;
    return result;
}

void CSkinFrame::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_tooltip)
        return;
    MSG msg = {m_window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&msg.pt);
    SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

POINT CSkinFrame::ClientToFrame(LPARAM lParam) const
{
    CSkinLayout* layout = CurrentLayout();
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (layout)
        p.x += layout->BorderLeft(), p.y += layout->BorderTop();
    return p;
}

void CSkinFrame::StartFadeTimerIf(bool started)
{
    if (started)
        SetTimer(m_window, kFadeTimerId, kFadeInterval, nullptr);
}

LRESULT CSkinFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A handler may destroy the window (a close click on a dialog whose cancel destroys it at
    // once) or take its skin away (a button's command, the host's WM_DESTROY): the frame then goes
    // when the outermost call returns, never under a running handler.
    ++m_depth;
    LRESULT result = Dispatch(message, wParam, lParam);
    if (--m_depth == 0 && m_dying)
        delete this;
    return result;
}

void CSkinFrame::DeleteWhenIdle()
{
    if (m_depth == 0) {
        delete this;
        return;
    }
    if (m_dying)
        return;  // already on its way
    Attach(nullptr, false);
    ReleaseSkin();
    m_dying = true;
}

bool CSkinFrame::BorderShouldShow() const
{
    CSkinLayout* layout = CurrentLayout();
    return m_layeredBorder && layout && layout->IsTranslucent() && !IsZoomed(m_window) && !IsIconic(m_window);
}

void CSkinFrame::PlaceLayeredBorder(UINT flags)
{
    if (!m_layeredBorder)
        return;
    bool show = BorderShouldShow();
    m_layeredBorder->Show(show);
    if (!show)
        return;
    RECT r;
    GetWindowRect(m_window, &r);
    m_layeredBorder->Paint(r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
}

void CSkinFrame::OnWindowPosChanged(const WINDOWPOS* pos)
{
    if (pos->flags & SWP_NOSIZE) {
        if (!(pos->flags & SWP_NOMOVE)) {
            // A pure move: the companions follow.
            if (BorderWindow() && IsWindowVisible(BorderWindow())) {
                RECT r;
                GetWindowRect(m_window, &r);
                SetWindowPos(BorderWindow(), nullptr, r.left, r.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (m_options & kOptionShadow)
                PlaceShadowWindow(false);
        }
        return;
    }
    RECT rect;
    GetWindowRect(m_window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    bool zoomed = IsZoomed(m_window) != FALSE;
    int kind = (zoomed && Layout(2)) ? 2 : 1;
    if (width == m_cx && height == m_cy && kind == m_layoutKind) {
        if (m_options & kOptionShadow)
            PlaceShadowWindow(false);
        return;
    }
    m_layoutKind = kind;
    if (IsIconic(m_window)) {
        PlaceLayeredBorder(0);
        if (m_options & kOptionShadow)
            PlaceShadowWindow(false);
        return;
    }
    LayoutPass(width, height);
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
    if ((style & WS_SYSMENU) && (style & WS_MAXIMIZEBOX)) {
        ShowElement(SC_MAXIMIZE, !zoomed);
        ShowElement(SC_RESTORE, zoomed);
    }
    for (const SizeHandle& h : kSizeHandles)
        ShowElement(h.id, !zoomed);
    PlaceLayeredBorder((pos->flags & SWP_NOMOVE) ? kBorderKeepPosition : 0);
    SetWindowRegion(true);
    // A new size is a new shape: the shadow is painted again, not only moved.
    if (m_options & kOptionShadow)
        PlaceShadowWindow(true);
}

void CSkinFrame::OnStyleChanged(WPARAM which, const STYLESTRUCT* change)
{
    if (which == static_cast<WPARAM>(GWL_EXSTYLE)) {
        m_windowExStyle = change->styleNew;
        return;
    }
    if (which != static_cast<WPARAM>(GWL_STYLE))
        return;
    DWORD before = change->styleOld, after = change->styleNew;
    m_windowStyle = after;
    bool zoomed = IsZoomed(m_window) != FALSE;
    if ((before ^ after) & WS_MINIMIZEBOX)
        ShowElement(SC_MINIMIZE, (after & WS_MINIMIZEBOX) != 0);
    if ((before ^ after) & WS_MAXIMIZEBOX) {
        bool box = (after & WS_MAXIMIZEBOX) != 0;
        ShowElement(SC_MAXIMIZE, box && !zoomed);
        ShowElement(SC_RESTORE, box && zoomed);
    }
    if ((before ^ after) & WS_THICKFRAME) {
        bool thick = (after & WS_THICKFRAME) != 0;
        if (thick)
            CreateSizeHandles();
        for (const SizeHandle& h : kSizeHandles)
            ShowElement(h.id, thick && !zoomed);
    }
}

LRESULT CSkinFrame::OnNcRButtonDown(WPARAM hit, LPARAM lParam)
{
    DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
    if (hit != HTCAPTION || !(style & WS_SYSMENU))
        return CallPrevious(WM_NCRBUTTONDOWN, hit, lParam);
    HWND window = m_window;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return 0;
    SetMenuDefaultItem(menu, static_cast<UINT>(-1), FALSE);
    auto set = [&](UINT id, bool enabled) {
        MENUITEMINFOW item = {sizeof(item)};
        item.fMask = MIIM_STATE;
        item.fState = enabled ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED);
        SetMenuItemInfoW(menu, id, FALSE, &item);
    };
    if (IsIconic(window) || IsZoomed(window)) {
        bool iconic = IsIconic(window) != FALSE;
        set(SC_RESTORE, true);
        set(SC_MAXIMIZE, iconic);
        set(SC_MINIMIZE, !iconic);
        set(SC_SIZE, false);
        set(SC_MOVE, false);
        SetMenuDefaultItem(menu, SC_RESTORE, FALSE);
    } else {
        set(SC_SIZE, (style & WS_THICKFRAME) != 0);
        set(SC_MOVE, true);
        set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) != 0);
        set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) != 0);
        set(SC_RESTORE, false);
        if (style & WS_MAXIMIZEBOX)
            SetMenuDefaultItem(menu, SC_MAXIMIZE, FALSE);
    }
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                    GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0, window, nullptr));
    if (command)
        SendMessageW(window, WM_SYSCOMMAND, command, lParam);
    return 0;
}

LRESULT CSkinFrame::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    auto* button = dynamic_cast<CSkinBtnBase*>(m_captured);
    if (!button) {
        RelayToToolTip(WM_LBUTTONUP, wParam, lParam);
        return CallPrevious(WM_LBUTTONUP, wParam, lParam);
    }
    POINT p = ClientToFrame(lParam);
    bool click = button->OnLButtonUp(p.x, p.y);
    int id = button->Id();
    HWND window = m_window;
    m_captured = nullptr;
    ReleaseCapture();
    if (!click || m_dying)
        return 0;
    // The commands may destroy the window: nothing of the frame is touched after them.
    if (IsSystemCommandButton(id)) {
        POINT cursor;
        GetCursorPos(&cursor);
        SendMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(id), MAKELPARAM(cursor.x, cursor.y));
    } else {
        SendMessageW(window, WM_COMMAND, LOWORD(id), 0);
    }
    return 0;
}

LRESULT CSkinFrame::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});

    case WM_NCCALCSIZE: {
        if (IsIconic(m_window))
            return CallPrevious(message, wParam, lParam);
        // The state the window is entering decides the layout (maximizing arrives here first).
        CSkinLayout* layout = Layout((IsZoomed(m_window) && Layout(2)) ? 2 : 1);
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        if (!layout || !r)
            return CallPrevious(message, wParam, lParam);
        int left = layout->BorderLeft(), right = layout->BorderRight();
        if (IsMirrored(m_window))
            std::swap(left, right);
        r->left += left;
        r->top += layout->BorderTop();
        r->right = std::max(r->left, r->right - right);
        r->bottom = std::max(r->top, r->bottom - layout->BorderBottom());
        return 0;
    }

    case WM_NCPAINT:
        OnNcPaint(reinterpret_cast<HRGN>(wParam));
        return 0;

    case WM_NCACTIVATE: {
        if (m_dialog) {
            CallPreviousWithoutCaption(message, wParam, lParam);
            if (m_dying)
                return TRUE;
        }
        m_active = wParam != FALSE;
        OnNcPaint(reinterpret_cast<HRGN>(1));
        return TRUE;
    }

    case WM_ACTIVATE:
        // Wine activates a window before its process is in the foreground and then says "inactive"
        // in WM_NCACTIVATE; the activation itself tells the truth.
        if (LOWORD(wParam) != WA_INACTIVE && !m_active) {
            m_active = true;
            OnNcPaint(reinterpret_cast<HRGN>(1));
        }
        return CallPrevious(message, wParam, lParam);

    case WM_SETTEXT: {
        LRESULT result = (m_windowStyle & WS_CAPTION) ? CallPreviousWithoutCaption(message, wParam, lParam)
                                                      : CallPrevious(message, wParam, lParam);
        if (m_dying)
            return result;
        if (auto* caption = dynamic_cast<CSkinTxt*>(FindElement(kCaptionId))) {
            wchar_t title[kMaxCaptionChars + 1] = {};
            if (lParam && m_unicode)
                lstrcpynW(title, reinterpret_cast<const wchar_t*>(lParam), kMaxCaptionChars + 1);
            else if (lParam)
                MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(lParam), -1, title, kMaxCaptionChars);
            title[kMaxCaptionChars] = 0;
            caption->SetText(title);
            RECT r = caption->WindowRect();
            Invalidate(&r);
        }
        return result;
    }

    case 0xAE:  // the system's themed caption repaints
    case 0xAF:
        return 0;

    case WM_ERASEBKGND: {
        CSkinLayout* layout = CurrentLayout();
        if (layout && layout->HasInnerPieces()) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            HRGN pieces = CreateRectRgn(0, 0, 0, 0);
            layout->DrawInnerPieces(dc, pieces);
            ExtSelectClipRgn(dc, pieces, RGN_DIFF);
            DeleteObject(pieces);
        }
        return CallPrevious(message, wParam, lParam);
    }

    case WM_SHOWWINDOW:
        if (BorderWindow())
            ShowWindow(BorderWindow(), wParam && BorderShouldShow() ? SW_SHOWNA : SW_HIDE);
        if (lParam == 0 && (m_options & kOptionShadow) && m_shadowWindow) {
            bool show = wParam && !IsZoomed(m_window) && !IsIconic(m_window);
            if (show) {
                PaintShadow();
                ShowWindow(m_shadowWindow, SW_SHOWNA);
            } else {
                ShowWindow(m_shadowWindow, SW_HIDE);
            }
        }
        return CallPrevious(message, wParam, lParam);

    case WM_SYSCOMMAND:
        if (BorderWindow() &&
            m_layeredBorder->RunMoveLoop(m_window, static_cast<UINT>(wParam), GET_X_LPARAM(lParam),
                                         GET_Y_LPARAM(lParam)))
            return 0;
        return CallPrevious(message, wParam, lParam);

    case WM_SETCURSOR:
        for (int i = 0; i < m_elements.GetCount(); ++i)
            if (auto* button = dynamic_cast<CSkinBtnBase*>(m_elements[i]))
                if (button->OnSetCursor())
                    return TRUE;
        return CallPreviousWithoutCaption(message, wParam, lParam);

    case WM_GETMINMAXINFO: {
        LRESULT result = CallPrevious(message, wParam, lParam);
        CSkinLayout* layout = Layout(1);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (layout && info) {
            auto size = [&](int i) { return layout->Part(i)->Source(); };
            LONG width = std::max(size(CSkinLayout::kTopLeft).right + size(CSkinLayout::kTopRight).right,
                                  size(CSkinLayout::kBottomLeft).right + size(CSkinLayout::kBottomRight).right);
            LONG height = std::max(size(CSkinLayout::kTopLeft).bottom + size(CSkinLayout::kBottomLeft).bottom,
                                   size(CSkinLayout::kTopRight).bottom + size(CSkinLayout::kBottomRight).bottom);
            // Never past the largest window the system tracks: a skin with huge corners would
            // otherwise force a window no display can hold.
            width = std::min<LONG>(width, GetSystemMetrics(SM_CXMAXTRACK));
            height = std::min<LONG>(height, GetSystemMetrics(SM_CYMAXTRACK));
            info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, width);
            info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, height);
        }
        return result;
    }

    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam));
        return CallPrevious(message, wParam, lParam);

    case WM_STYLECHANGING:
        return m_changingStyle ? 0 : CallPrevious(message, wParam, lParam);

    case WM_STYLECHANGED:
        OnStyleChanged(wParam, reinterpret_cast<const STYLESTRUCT*>(lParam));
        return m_changingStyle ? 0 : CallPrevious(message, wParam, lParam);

    case WM_NCMOUSEMOVE: {
        RelayToToolTip(message, wParam, lParam);
        RECT window;
        GetWindowRect(m_window, &window);
        int x = IsMirrored(m_window) ? window.right - GET_X_LPARAM(lParam) : GET_X_LPARAM(lParam) - window.left;
        int y = GET_Y_LPARAM(lParam) - window.top;
        bool fading = false;
        for (int i = 0; i < m_elements.GetCount(); ++i)
            if (auto* button = dynamic_cast<CSkinBtnBase*>(m_elements[i]))
                fading |= button->OnMouseMove(x, y);
        StartFadeTimerIf(fading);
        HWND self = m_window;
        LRESULT result = CallPrevious(message, wParam, lParam);
        if (m_dying)
            return result;
        if (!m_trackingNonClient) {
            // The border tracks for itself: when it dies under the pointer its own leave never
            // comes, and it sends ours from its WM_NCDESTROY.
            if (BorderWindow()) {
                m_trackingNonClient = m_layeredBorder->TrackLeave();
            } else {
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, self, 0};
                m_trackingNonClient = TrackMouseEvent(&track) != FALSE;
            }
        }
        return result;
    }

    case WM_NCMOUSELEAVE: {
        if (!m_trackingNonClient)
            return CallPrevious(message, wParam, lParam);
        bool fading = false;
        for (int i = 0; i < m_elements.GetCount(); ++i)
            if (auto* button = dynamic_cast<CSkinBtnBase*>(m_elements[i]))
                fading |= button->OnMouseLeave();
        StartFadeTimerIf(fading);
        m_trackingNonClient = false;
        return 0;
    }

    case WM_NCLBUTTONDOWN: {
        RelayToToolTip(message, wParam, lParam);
        if (wParam == HTCLOSE)
            RefreshCloseButton();
        RECT window;
        GetWindowRect(m_window, &window);
        int x = IsMirrored(m_window) ? window.right - GET_X_LPARAM(lParam) : GET_X_LPARAM(lParam) - window.left;
        int y = GET_Y_LPARAM(lParam) - window.top;
        for (int i = 0; i < m_elements.GetCount(); ++i) {
            auto* button = dynamic_cast<CSkinBtnBase*>(m_elements[i]);
            if (button && button->OnLButtonDown(x, y)) {
                m_captured = button;
                SetCapture(m_window);
                return 0;
            }
        }
        return CallPreviousWithoutCaption(message, wParam, lParam);
    }

    case WM_MOUSEMOVE:
        if (auto* button = dynamic_cast<CSkinBtnBase*>(m_captured)) {
            POINT p = ClientToFrame(lParam);
            button->OnMouseMove(p.x, p.y);
            return 0;
        }
        RelayToToolTip(message, wParam, lParam);
        return CallPrevious(message, wParam, lParam);

    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, lParam);

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        RelayToToolTip(message, wParam, lParam);
        return CallPrevious(message, wParam, lParam);

    case WM_NCRBUTTONDOWN:
        RelayToToolTip(message, wParam, lParam);
        return OnNcRButtonDown(wParam, lParam);

    case WM_CAPTURECHANGED:
        if (auto* button = dynamic_cast<CSkinBtnBase*>(m_captured)) {
            button->OnCancelMode();
            m_captured = nullptr;
        }
        return CallPrevious(message, wParam, lParam);

    case WM_TIMER:
        if (wParam == kFadeTimerId) {
            bool fading = false;
            for (int i = 0; i < m_elements.GetCount(); ++i)
                if (auto* button = dynamic_cast<CSkinBtnBase*>(m_elements[i]))
                    fading |= button->OnFadeTimer();
            if (!fading)
                KillTimer(m_window, kFadeTimerId);
            return 0;
        }
        return CallPrevious(message, wParam, lParam);

    case WM_PRINT:
        if ((lParam & PRF_NONCLIENT) && (!(lParam & PRF_CHECKVISIBLE) || IsWindowVisible(m_window))) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            int saved = SaveDC(dc);
            Paint(dc, 255);
            RestoreDC(dc, saved);
            lParam &= ~PRF_NONCLIENT;
        }
        return CallPrevious(message, wParam, lParam);

    case WM_THEMECHANGED:
        m_visualStyles = IsThemeActive() != FALSE;
        return CallPrevious(message, wParam, lParam);

    case WM_NCDESTROY: {
        HWND window = m_window;
        DestroyShadowWindow();
        LRESULT result = CallPrevious(message, wParam, lParam);
        if (m_previousProc) {
            if (m_unicode)
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
            else
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        }
        RemovePropA(window, kFramePropName);
        m_previousProc = nullptr;
        m_tooltip = nullptr;  // owned by the window, gone with it
        m_window = nullptr;
        m_dying = true;
        return result;
    }

    default:
        return CallPrevious(message, wParam, lParam);
    }
}

}  // namespace FWSkin
