#include "uilib/skin/ButtonReplacements.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <new>
#include <string>

#include "uilib/skin/ClassReplacements.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DialogSkinning.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/OffscreenDC.h"
#include "uilib/skin/Skin.h"

namespace {

constexpr int kDefaultGlyph = 13;
constexpr int kShieldWidth = 16;
constexpr int kCheckBoxPart = 3;  // BP_CHECKBOX
constexpr int kRadioPart = 2;     // BP_RADIOBUTTON
constexpr int kTextGap = 4;
constexpr UINT kBcmGetIdealSize = 0x1601;  // BCM_GETIDEALSIZE
constexpr UINT kBcmSetShield = 0x160C;     // BCM_SETSHIELD
const wchar_t kStateProp[] = L"glzButtonState";

// Visual-styles functions of an already loaded UxTheme.dll; missing ones skip theme drawing.
struct ThemeApi {
    HTHEME(WINAPI* open)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* close)(HTHEME) = nullptr;
    HRESULT(WINAPI* partSize)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*) = nullptr;
    HRESULT(WINAPI* draw)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    bool Ok() const { return open && close && partSize && draw; }
};

ThemeApi& Theme()
{
    static ThemeApi api;
    static bool looked = false;
    if (!looked) {
        looked = true;
        if (HMODULE ux = GetModuleHandleW(L"UxTheme.dll")) {
            api.open = reinterpret_cast<decltype(api.open)>(reinterpret_cast<void*>(GetProcAddress(ux, "OpenThemeData")));
            api.close = reinterpret_cast<decltype(api.close)>(reinterpret_cast<void*>(GetProcAddress(ux, "CloseThemeData")));
            api.partSize = reinterpret_cast<decltype(api.partSize)>(reinterpret_cast<void*>(GetProcAddress(ux, "GetThemePartSize")));
            api.draw = reinterpret_cast<decltype(api.draw)>(reinterpret_cast<void*>(GetProcAddress(ux, "DrawThemeBackground")));
        }
    }
    return api;
}

SIZE g_glyph = {kDefaultGlyph, kDefaultGlyph};
Glazier::CSkin* g_pushSkin = nullptr;

// State of one replaced button, in a window property (the class's extra bytes are the system's).
struct ButtonState {
    DWORD bits = 0;      // kHot, kPushed, kFocused, kTracking
    int check = 0;       // check/radio: 0, 1 or 2 (indeterminate)
    HFONT font = nullptr;
    bool shield = false;
    HANDLE image = nullptr;
    bool leaveRequested = false;
};
constexpr DWORD kHot = 1, kPushed = 2, kFocused = 4, kTracking = 8;

ButtonState* StateOf(HWND button, bool create)
{
    auto* state = static_cast<ButtonState*>(GetPropW(button, kStateProp));
    if (!state && create) {
        state = new (std::nothrow) ButtonState;
        if (state)
            SetPropW(button, kStateProp, state);
    }
    return state;
}

void FreeState(HWND button)
{
    delete static_cast<ButtonState*>(RemovePropW(button, kStateProp));
}

LONG Style(HWND button)
{
    return GetWindowLongW(button, GWL_STYLE);
}

LONG Type(HWND button)
{
    return Style(button) & BS_TYPEMASK;
}

bool IsRadio(LONG type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool Is3State(LONG type)
{
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

void Notify(HWND button, WORD code)
{
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), code),
                 reinterpret_cast<LPARAM>(button));
}

void SetBit(HWND button, ButtonState* state, DWORD bit, bool on)
{
    DWORD bits = on ? (state->bits | bit) : (state->bits & ~bit);
    if (bits != state->bits) {
        state->bits = bits;
        InvalidateRect(button, nullptr, FALSE);
    }
}

bool InClient(HWND button, LPARAM point)
{
    RECT client;
    GetClientRect(button, &client);
    POINT p = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    return PtInRect(&client, p) != FALSE;
}

bool FocusHidden(HWND button)
{
    return (SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

// Mouse and keyboard shared by both replacements; clicked() runs on a completed click.
template <class Clicked>
bool HandleInput(HWND button, ButtonState* state, UINT message, WPARAM wParam, LPARAM lParam, Clicked clicked,
                 LRESULT* result)
{
    *result = 0;
    auto release = [&](LPARAM point) {
        if (!(state->bits & kTracking))
            return;
        state->bits &= ~kTracking;
        bool pushed = (state->bits & kPushed) != 0;
        SetBit(button, state, kPushed, false);
        if (GetCapture() == button)
            ReleaseCapture();
        if (pushed && InClient(button, point))
            clicked();  // last: the parent may destroy the button
    };
    auto press = [&]() {
        SetCapture(button);
        SetFocus(button);
        state->bits |= kTracking;
        SetBit(button, state, kPushed, true);
    };
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_SPACE)
            return false;
        SetBit(button, state, kPushed, true);
        state->bits |= kTracking;
        return true;
    case WM_KEYUP:
        if (wParam != VK_SPACE)
            return false;
        release(0);
        return true;
    case WM_LBUTTONDOWN:
        press();
        return true;
    case WM_LBUTTONDBLCLK:
        if ((Style(button) & BS_NOTIFY) || Type(button) == BS_RADIOBUTTON)
            Notify(button, BN_DOUBLECLICKED);
        else
            press();
        return true;
    case WM_LBUTTONUP:
        release(lParam);
        return true;
    case WM_MOUSEMOVE:
        if (GetCapture() == button) {
            if (wParam & MK_LBUTTON)
                SetBit(button, state, kPushed, InClient(button, lParam));
        } else {
            SetBit(button, state, kHot, InClient(button, lParam));
            if (!state->leaveRequested) {
                TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, button, 0};
                state->leaveRequested = TrackMouseEvent(&track) != FALSE;
            }
        }
        return true;
    case WM_MOUSELEAVE:
        state->leaveRequested = false;
        if (GetCapture() != button)
            SetBit(button, state, kHot, false);
        return true;
    case WM_CAPTURECHANGED:
        if (state->bits & kTracking) {
            state->bits &= ~kTracking;
            SetBit(button, state, kPushed, false);
        }
        return true;
    case BM_CLICK:
        press();
        release(0);
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        SetBit(button, state, kFocused, message == WM_SETFOCUS);
        if (message == WM_KILLFOCUS && (state->bits & kTracking) && GetCapture() == button)
            ReleaseCapture();
        if (Style(button) & BS_NOTIFY)
            Notify(button, message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
        return true;
    }
    return false;
}

// Common window messages of both replacements; false when the message is not one of them.
using DrawFn = void (*)(HWND, ButtonState*, HDC);

bool HandleCommon(HWND button, ButtonState* state, UINT message, WPARAM wParam, LPARAM lParam, DrawFn draw,
                  LRESULT* result)
{
    *result = 0;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(button, &ps);
        draw(button, state, dc);
        EndPaint(button, &ps);
        return true;
    }
    case WM_PRINTCLIENT:
        draw(button, state, reinterpret_cast<HDC>(wParam));
        return true;
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(button, nullptr, FALSE);
        return true;
    case WM_GETFONT:
        *result = reinterpret_cast<LRESULT>(state->font);
        return true;
    case WM_ENABLE:
        InvalidateRect(button, nullptr, FALSE);
        return true;
    case WM_SETTEXT:
    case WM_UPDATEUISTATE:
        *result = DefWindowProcW(button, message, wParam, lParam);
        InvalidateRect(button, nullptr, FALSE);
        return true;
    case WM_ERASEBKGND:
        *result = 1;
        return true;
    case BM_SETSTATE:
        SetBit(button, state, kPushed, wParam != 0);
        return true;
    }
    return false;
}

// ---- check boxes and radio buttons ----

void DrawCheckRadio(HWND button, ButtonState* state, HDC dc)
{
    RECT client;
    GetClientRect(button, &client);
    LONG style = Style(button);
    LONG type = style & BS_TYPEMASK;
    if (HBRUSH brush = ParentBackgroundBrush(button, dc))
        FillRect(dc, &client, brush);
    else if (!IsSkinnedDialog(GetParent(button)))
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);

    bool leftText = (style & BS_LEFTTEXT) != 0;
    RECT glyph;
    glyph.left = leftText ? client.right - g_glyph.cx : client.left;
    glyph.right = glyph.left + g_glyph.cx;
    LONG vertical = style & (BS_TOP | BS_BOTTOM);
    glyph.top = vertical == BS_TOP ? client.top
                : vertical == BS_BOTTOM ? client.bottom - g_glyph.cy
                                        : client.top + (client.bottom - client.top - g_glyph.cy) / 2;
    glyph.bottom = glyph.top + g_glyph.cy;

    bool disabled = !IsWindowEnabled(button);
    bool pushed = (state->bits & kPushed) != 0, hot = (state->bits & kHot) != 0;
    bool drawn = false;
    ThemeApi& theme = Theme();
    if (theme.Ok()) {
        if (HTHEME data = theme.open(button, L"Button")) {
            int base = state->check == 0 ? 1 : (state->check == 2 && !IsRadio(type)) ? 9 : 5;
            int offset = disabled ? 3 : pushed ? 2 : hot ? 1 : 0;
            drawn = SUCCEEDED(theme.draw(data, dc, IsRadio(type) ? kRadioPart : kCheckBoxPart, base + offset,
                                         &glyph, nullptr));
            theme.close(data);
        }
    }
    if (!drawn) {
        UINT flags = IsRadio(type) ? DFCS_BUTTONRADIO
                     : state->check == 2 ? DFCS_BUTTON3STATE
                                         : DFCS_BUTTONCHECK;
        if (state->check)
            flags |= DFCS_CHECKED;
        if (pushed)
            flags |= DFCS_PUSHED;
        else if (hot)
            flags |= DFCS_HOT;
        if (disabled)
            flags |= DFCS_INACTIVE;
        DrawFrameControl(dc, &glyph, DFC_BUTTON, flags);
    }

    RECT text = client;
    if (leftText)
        text.right = glyph.left - kTextGap;
    else
        text.left = glyph.right + kTextGap;
    LONG align = style & (BS_LEFT | BS_RIGHT | BS_CENTER);
    UINT flags = align == BS_CENTER ? DT_CENTER : align == BS_RIGHT ? DT_RIGHT : DT_LEFT;
    if (AcceleratorsHidden(button))
        flags |= DT_HIDEPREFIX;
    HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
    std::wstring caption = WindowText(button);
    RECT measured = text;
    if (style & BS_MULTILINE) {
        flags |= DT_WORDBREAK;
        DrawTextW(dc, caption.c_str(), -1, &measured, flags | DT_CALCRECT);
        int height = measured.bottom - measured.top;
        LONG v = style & BS_VCENTER;
        int top = v == BS_TOP ? text.top : v == BS_BOTTOM ? text.bottom - height
                                                           : text.top + (text.bottom - text.top - height) / 2;
        text.top = top;
        text.bottom = top + height;
    } else {
        LONG v = style & BS_VCENTER;
        flags |= DT_SINGLELINE | (v == BS_TOP ? DT_TOP : v == BS_BOTTOM ? DT_BOTTOM : DT_VCENTER);
    }
    DrawTextW(dc, caption.c_str(), -1, &text, flags);
    if ((state->bits & kFocused) && !FocusHidden(button) && !caption.empty()) {
        RECT focus = text;
        DrawTextW(dc, caption.c_str(), -1, &focus, flags | DT_CALCRECT);
        // DT_CALCRECT keeps the left edge: place the box where the text went.
        int w = focus.right - focus.left, h = focus.bottom - focus.top;
        if (flags & DT_CENTER)
            focus.left = text.left + (text.right - text.left - w) / 2;
        else if (flags & DT_RIGHT)
            focus.left = text.right - w;
        if (!(style & BS_MULTILINE))
            focus.top = (flags & DT_BOTTOM) ? text.bottom - h : (flags & DT_VCENTER) ? text.top + (text.bottom - text.top - h) / 2 : text.top;
        focus.right = focus.left + w;
        focus.bottom = focus.top + h;
        InflateRect(&focus, 1, 1);
        DrawFocusRect(dc, &focus);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
}

void SetCheck(HWND button, ButtonState* state, WPARAM value)
{
    LONG type = Type(button);
    int check = Is3State(type) ? static_cast<int>(value > 2 ? 1 : value) : (value ? 1 : 0);
    if (IsRadio(type)) {
        LONG style = Style(button);
        LONG wanted = check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (wanted != style)
            SetWindowLongW(button, GWL_STYLE, wanted);
    }
    if (check != state->check) {
        state->check = check;
        InvalidateRect(button, nullptr, FALSE);
    }
    if (check && type == BS_AUTORADIOBUTTON) {
        HWND parent = GetParent(button);
        for (HWND other = GetNextDlgGroupItem(parent, button, FALSE); other && other != button;
             other = GetNextDlgGroupItem(parent, other, FALSE)) {
            if ((GetWindowLongW(other, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

// ---- push buttons from the scheme's image ----

RECT CellOf(int index)
{
    const RECT& area = g_Scheme.pushButtonImageArea;  // x, y, width, height of five cells
    if (g_Scheme.pushButtonVertical) {
        int h = area.bottom / 5;
        return RECT{area.left, area.top + index * h, area.right, h};
    }
    int w = area.right / 5;
    return RECT{area.left + index * w, area.top, w, area.bottom};
}

// The cell as a nine-grid over dst (x, y, cx, cy): corners kept, edges and centre stretched.
void DrawNineGrid(HDC dc, const RECT& cell, const RECT& dst)
{
    const RECT& m = g_Scheme.pushButtonSizingMargins;
    int sx[4] = {cell.left, cell.left + m.left, cell.left + cell.right - m.right, cell.left + cell.right};
    int sy[4] = {cell.top, cell.top + m.top, cell.top + cell.bottom - m.bottom, cell.top + cell.bottom};
    int dx[4] = {dst.left, dst.left + m.left, dst.left + dst.right - m.right, dst.left + dst.right};
    int dy[4] = {dst.top, dst.top + m.top, dst.top + dst.bottom - m.bottom, dst.top + dst.bottom};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            RECT s = {sx[col], sy[row], sx[col + 1] - sx[col], sy[row + 1] - sy[row]};
            RECT d = {dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]};
            if (s.right > 0 && s.bottom > 0 && d.right > 0 && d.bottom > 0)
                g_pushSkin->Draw(dc, &d, &s, 255);
        }
}

HICON ShieldIcon()
{
    using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    static HICON icon = nullptr;
    static bool looked = false;
    if (!looked) {
        looked = true;
        HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
        auto load = comctl ? reinterpret_cast<LoadIconMetricFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "LoadIconMetric")))
                           : nullptr;
        if (load)
            load(nullptr, MAKEINTRESOURCEW(32518), 0 /* LIM_SMALL */, &icon);  // IDI_SHIELD
    }
    return icon;
}

void DrawPushButton(HWND button, ButtonState* state, HDC target)
{
    RECT client;
    GetClientRect(button, &client);
    COffscreenDC buffer;
    HDC dc = buffer.Begin(target, &client, 0, nullptr, false, 255);
    if (!dc)
        return;
    if (HBITMAP back = CopyParentBackground(button, target)) {
        BlitBitmap(dc, 0, 0, client.right, client.bottom, back);
        DeleteObject(back);
    }
    LONG style = Style(button);
    bool disabled = !IsWindowEnabled(button);
    bool hot = (state->bits & kHot) != 0;
    bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    int cell = disabled ? 3 : (state->bits & kPushed) ? 2 : hot ? 1 : isDefault ? 4 : 0;
    DrawNineGrid(dc, CellOf(cell), RECT{0, 0, client.right, client.bottom});

    const RECT& cm = g_Scheme.pushButtonContentMargins;
    RECT content = {client.left + cm.left, client.top + cm.top, client.right - cm.right, client.bottom - cm.bottom};
    if (state->shield) {
        if (HICON shield = ShieldIcon())
            DrawIconEx(dc, content.left, content.top, shield, 16, 16, 0, nullptr, DI_NORMAL);
        content.left += kShieldWidth;
    }
    if ((style & BS_ICON) && state->image) {
        ICONINFO info = {};
        if (GetIconInfo(static_cast<HICON>(state->image), &info)) {
            BITMAP bm = {};
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
            int cx = bm.bmWidth, cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(state->image), 0,
                       content.left + (content.right - content.left - cx) / 2,
                       content.top + (content.bottom - content.top - cy) / 2, cx, cy,
                       DST_ICON | (disabled ? DSS_DISABLED : 0));
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
    } else if ((style & BS_BITMAP) && state->image) {
        BITMAP bm = {};
        GetObjectW(state->image, sizeof(bm), &bm);
        DrawAlphaBitmap(dc, content.left + (content.right - content.left - bm.bmWidth) / 2,
                        content.top + (content.bottom - content.top - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight,
                        static_cast<HBITMAP>(state->image), disabled ? kDrawGrey : 0, nullptr);
    } else {
        HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, disabled ? g_Scheme.pushButtonGrayText : hot ? g_Scheme.pushButtonHotText
                                                                       : g_Scheme.pushButtonText);
        std::wstring caption = WindowText(button);
        UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (AcceleratorsHidden(button) ? DT_HIDEPREFIX : 0);
        DrawTextW(dc, caption.c_str(), -1, &content, flags);
        if (oldFont)
            SelectObject(dc, oldFont);
    }
    if ((state->bits & kFocused) && !FocusHidden(button))
        DrawFocusRect(dc, &content);
    buffer.End();
}

}  // namespace

void PrepareButtonReplacements()
{
    ThemeApi& theme = Theme();
    if (theme.Ok()) {
        if (HTHEME data = theme.open(nullptr, L"Button")) {
            SIZE size = {};
            if (SUCCEEDED(theme.partSize(data, nullptr, kCheckBoxPart, 1, nullptr, TS_DRAW, &size)) && size.cx > 0 &&
                size.cy > 0)
                g_glyph = size;
            theme.close(data);
        }
    }
    if (g_Scheme.pushButtonImageFile) {
        auto* skin = new (std::nothrow) Glazier::CSkin;
        if (skin && skin->Load(g_Scheme.pushButtonImageFile))
            g_pushSkin = skin;
        else
            delete skin;
    }
}

bool HasSchemePushButtonSkin()
{
    return g_pushSkin != nullptr;
}

SIZE CheckGlyphSize()
{
    return g_glyph;
}

LRESULT CheckRadioProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    ButtonState* state = StateOf(button, true);
    if (!state)
        return DefWindowProcW(button, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        FreeState(button);
        return DefWindowProcW(button, message, wParam, lParam);
    }
    LRESULT result = 0;
    auto clicked = [&]() {
        LONG type = Type(button);
        if (type == BS_AUTOCHECKBOX)
            SetCheck(button, state, state->check ? 0 : 1);
        else if (type == BS_AUTO3STATE)
            SetCheck(button, state, (state->check + 1) % 3);
        else if (type == BS_AUTORADIOBUTTON)
            SetCheck(button, state, 1);
        Notify(button, BN_CLICKED);
    };
    if (HandleInput(button, state, message, wParam, lParam, clicked, &result) ||
        HandleCommon(button, state, message, wParam, lParam, DrawCheckRadio, &result))
        return result;
    switch (message) {
    case BM_GETCHECK:
        return state->check;
    case BM_SETCHECK:
        SetCheck(button, state, wParam);
        return 0;
    case BM_GETSTATE:
        return state->check | ((state->bits & kPushed) ? BST_PUSHED : 0) | ((state->bits & kFocused) ? BST_FOCUS : 0);
    case BM_SETSTYLE: {
        LONG style = (Style(button) & ~0xFFFF) | (static_cast<LONG>(wParam) & 0xFFFF);
        SetWindowLongW(button, GWL_STYLE, style);
        if (lParam)
            InvalidateRect(button, nullptr, FALSE);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON | (IsRadio(Type(button)) ? DLGC_RADIOBUTTON : 0);
    }
    return DefWindowProcW(button, message, wParam, lParam);
}

LRESULT SchemePushButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    ButtonState* state = StateOf(button, true);
    if (!state)
        return DefWindowProcW(button, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        FreeState(button);
        return DefWindowProcW(button, message, wParam, lParam);
    }
    LRESULT result = 0;
    auto clicked = [&]() { Notify(button, BN_CLICKED); };
    if (HandleInput(button, state, message, wParam, lParam, clicked, &result) ||
        HandleCommon(button, state, message, wParam, lParam, DrawPushButton, &result))
        return result;
    switch (message) {
    case BM_GETSTATE:
        return ((state->bits & kPushed) ? BST_PUSHED : 0) | ((state->bits & kFocused) ? BST_FOCUS : 0);
    case BM_SETSTYLE: {
        LONG type = static_cast<LONG>(wParam) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            LONG style = (Style(button) & ~BS_TYPEMASK) | type;
            SetWindowLongW(button, GWL_STYLE, style);
        }
        if (lParam)
            InvalidateRect(button, nullptr, FALSE);
        return 0;
    }
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(state->image);
    case BM_SETIMAGE: {
        HANDLE old = state->image;
        if (wParam == IMAGE_ICON || wParam == IMAGE_BITMAP)
            state->image = reinterpret_cast<HANDLE>(lParam);
        InvalidateRect(button, nullptr, FALSE);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON | ((Type(button) == BS_DEFPUSHBUTTON) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case kBcmGetIdealSize: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        if (!size)
            return FALSE;
        HDC dc = GetDC(button);
        HGDIOBJ oldFont = state->font ? SelectObject(dc, state->font) : nullptr;
        std::wstring caption = WindowText(button);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        if (oldFont)
            SelectObject(dc, oldFont);
        ReleaseDC(button, dc);
        const RECT& cm = g_Scheme.pushButtonContentMargins;
        size->cx = extent.cx + cm.left + cm.right + (state->shield ? kShieldWidth : 0);
        size->cy = metrics.tmHeight + cm.top + cm.bottom;
        return TRUE;
    }
    case kBcmSetShield:
        state->shield = lParam != 0;
        InvalidateRect(button, nullptr, FALSE);
        return 1;
    }
    return DefWindowProcW(button, message, wParam, lParam);
}
