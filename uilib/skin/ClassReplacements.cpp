#include "uilib/skin/ClassReplacements.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "uilib/skin/AnimationControl.h"
#include "uilib/skin/ButtonReplacements.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DialogSkinning.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

WNDPROC g_saved[kReplacedClassCount] = {};
ATOM g_trackbarAtom = 0;

LPCWSTR PropName()
{
    return MAKEINTATOM(g_atomGlobalSubclassData);
}

bool ParentSkinned(HWND window)
{
    return IsSkinnedDialog(GetParent(window));
}

// Group box: the caption over a copy of the parent's background, then a rounded frame below it.
void DrawGroupBox(HWND box, HDC dc, bool withFrame)
{
    RECT client;
    GetClientRect(box, &client);
    auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    if (g_Colors.DialogGroupText != kNoColor)
        SetTextColor(dc, g_Colors.DialogGroupText);
    std::wstring text = WindowText(box);
    RECT caption = {client.left + 9, client.top, client.left + 9, client.top};
    DrawTextW(dc, text.empty() ? L"Ag" : text.c_str(), -1, &caption, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    if (text.empty())
        caption.right = caption.left;  // measured for its height only
    if (HBITMAP back = CopyParentBackground(box, dc)) {
        BlitBitmap(dc, caption.left, caption.top, caption.right - caption.left, caption.bottom - caption.top, back,
                   caption.left, caption.top);
        DeleteObject(back);
    }
    UINT flags = DT_NOCLIP | DT_SINGLELINE | (AcceleratorsHidden(box) ? DT_HIDEPREFIX : 0);
    if (!text.empty())
        DrawTextW(dc, text.c_str(), -1, &caption, flags);
    ExcludeClipRect(dc, caption.left - 1, caption.top, caption.right + 3, caption.bottom);
    if (withFrame) {
        HPEN pen = CreatePen(PS_SOLID, 1, g_Colors.DialogGroupFrame == kNoColor ? GetSysColor(COLOR_3DSHADOW)
                                                                                 : g_Colors.DialogGroupFrame);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        int top = client.top + (caption.bottom - caption.top) / 2;
        RoundRect(dc, client.left, top, client.right, client.bottom, 10, 10);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
}

LRESULT GroupBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT: {
        LRESULT result = CallSaved(kClassButton, box, message, wParam, lParam);
        InvalidateRect(box, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(box, &ps);
        DrawGroupBox(box, dc, true);
        if (!wParam)
            EndPaint(box, &ps);
        return 0;
    }
    case WM_UPDATEUISTATE: {
        LRESULT result = DefWindowProcW(box, message, wParam, lParam);
        HDC dc = GetDC(box);
        DrawGroupBox(box, dc, false);
        ReleaseDC(box, dc);
        return result;
    }
    case WM_CTLCOLORSTATIC:
        return SendMessageW(GetParent(box), message, wParam, lParam);
    }
    return CallSaved(kClassButton, box, message, wParam, lParam);
}

LRESULT CALLBACK ButtonClassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    switch (type) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        if (HasSchemePushButtonSkin())
            return SchemePushButtonProc(button, message, wParam, lParam);
        break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
        return CheckRadioProc(button, message, wParam, lParam);
    case BS_GROUPBOX:
        if (ParentSkinned(button))
            return GroupBoxProc(button, message, wParam, lParam);
        break;
    }
    return CallSaved(kClassButton, button, message, wParam, lParam);
}

// Static control: the five text types are drawn here; icons and bitmaps over the background.
constexpr LONG kStaticEndEllipsis = 0x4000;
constexpr LONG kStaticPathEllipsis = 0x8000;

bool IsTextStatic(LONG type)
{
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

UINT StaticTextFlags(HWND window, LONG style)
{
    LONG type = style & SS_TYPEMASK;
    UINT flags = 0;
    switch (type) {
    case SS_LEFT: flags = DT_WORDBREAK | DT_EXPANDTABS; break;
    case SS_CENTER: flags = DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER; break;
    case SS_RIGHT: flags = DT_WORDBREAK | DT_EXPANDTABS | DT_RIGHT; break;
    case SS_SIMPLE: flags = DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: flags = DT_EXPANDTABS; break;
    }
    if (style & SS_NOPREFIX)
        flags |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL)
        flags |= DT_EDITCONTROL;
    if (style & kStaticEndEllipsis)
        flags |= DT_END_ELLIPSIS;
    if (style & kStaticPathEllipsis)
        flags |= DT_PATH_ELLIPSIS;
    if (style & (kStaticEndEllipsis | kStaticPathEllipsis))
        flags |= DT_WORD_ELLIPSIS;
    if ((style & SS_CENTERIMAGE) && type != SS_SIMPLE)
        flags |= DT_VCENTER | DT_SINGLELINE;
    if (AcceleratorsHidden(window))
        flags |= DT_HIDEPREFIX;
    return flags;
}

// A simple static without SS_NOPREFIX draws its text and leaves its background alone: what lies
// under it is its dialog's, which may draw there itself (the colour chooser's swatches, spectrum
// and preview are such statics). Not even the background is asked for: a skinned dialog answers
// that by painting its gradient into the static, over what the dialog drew.
bool FillsBackground(LONG style)
{
    return (style & SS_TYPEMASK) != SS_SIMPLE || (style & SS_NOPREFIX);
}

void PaintStaticBackground(HWND window, HDC dc, LONG style)
{
    if (!FillsBackground(style))
        return;
    if (HBRUSH brush = ParentBackgroundBrush(window, dc)) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
    }
}

void PaintStatic(HWND window, HDC dc)
{
    LONG style = GetWindowLongW(window, GWL_STYLE);
    LONG type = style & SS_TYPEMASK;
    RECT client;
    GetClientRect(window, &client);
    PaintStaticBackground(window, dc, style);
    if (IsTextStatic(type)) {
        auto font = reinterpret_cast<HFONT>(CallSaved(kClassStatic, window, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        COLORREF text = IsWindowEnabled(window) ? g_Colors.DialogText : g_Colors.DialogGrayText;
        if (text != kNoColor)
            SetTextColor(dc, text);
        std::wstring caption = WindowText(window);
        DrawTextW(dc, caption.c_str(), -1, &client, StaticTextFlags(window, style));
        if (oldFont)
            SelectObject(dc, oldFont);
    } else if (type == SS_ICON) {
        auto icon = reinterpret_cast<HICON>(CallSaved(kClassStatic, window, STM_GETICON, 0, 0));
        ICONINFO info = {};
        if (icon && GetIconInfo(icon, &info)) {
            BITMAP bm = {};
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
            int cx = bm.bmWidth, cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            int x = 0, y = 0;
            if (style & SS_CENTERIMAGE) {
                x = (client.right - cx) / 2;
                y = (client.bottom - cy) / 2;
            }
            DrawIconEx(dc, x, y, icon, cx, cy, 0, nullptr, DI_NORMAL);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
        }
    } else if (type == SS_BITMAP) {
        auto bitmap = reinterpret_cast<HBITMAP>(CallSaved(kClassStatic, window, STM_GETIMAGE, IMAGE_BITMAP, 0));
        DIBSECTION dib = {};
        int got = bitmap ? GetObjectW(bitmap, sizeof(dib), &dib) : 0;
        if (got) {
            int cx = dib.dsBm.bmWidth, cy = dib.dsBm.bmHeight;
            int x = 0, y = 0;
            if (style & SS_CENTERIMAGE) {
                x = (client.right - cx) / 2;
                y = (client.bottom - cy) / 2;
            }
            HDC src = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(src, bitmap);
            if (got == sizeof(DIBSECTION) && dib.dsBm.bmBitsPixel == 32) {
                BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                AlphaBlend(dc, x, y, cx, cy, src, 0, 0, cx, cy, blend);
            } else {
                BitBlt(dc, x, y, cx, cy, src, 0, 0, SRCCOPY);
            }
            SelectObject(src, old);
            DeleteDC(src);
        }
    }
}

LRESULT CALLBACK StaticClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!ParentSkinned(window))
        return CallSaved(kClassStatic, window, message, wParam, lParam);
    LONG style = GetWindowLongW(window, GWL_STYLE);
    LONG type = style & SS_TYPEMASK;
    bool drawn = IsTextStatic(type) || type == SS_ICON || type == SS_BITMAP;
    switch (message) {
    case WM_SETTEXT: {
        LRESULT result = CallSaved(kClassStatic, window, message, wParam, lParam);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
        if (!IsTextStatic(type))
            return 0;
        if (message == WM_UPDATEUISTATE)
            DefWindowProcW(window, message, wParam, lParam);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return 0;
    case WM_PAINT:
        if (drawn) {
            PAINTSTRUCT ps;
            HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(window, &ps);
            PaintStatic(window, dc);
            if (!wParam)
                EndPaint(window, &ps);
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (drawn) {
            PaintStatic(window, reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (drawn)
            return 1;  // the paint draws the background
        break;
    }
    return CallSaved(kClassStatic, window, message, wParam, lParam);
}

LRESULT CALLBACK TabClassProc(HWND tab, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT || !ParentSkinned(tab))
        return CallSaved(kClassTab, tab, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(tab, &ps);
    PaintDialogBackgroundInto(tab, dc);
    int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    RECT last;
    if (count > 0 && SendMessageW(tab, TCM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last))) {
        RECT client;
        GetClientRect(tab, &client);
        if (SendMessageW(tab, TCM_GETCURSEL, 0, 0) == count - 1)
            last.right += 2;
        ExcludeClipRect(dc, last.right, client.top, client.right, last.bottom);
    }
    CallSaved(kClassTab, tab, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    SelectClipRgn(dc, nullptr);
    if (!wParam)
        EndPaint(tab, &ps);
    return 0;
}

LRESULT CALLBACK TrackbarClassProc(HWND track, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* record = static_cast<TrackbarSkinRecord*>(GetPropW(track, PropName()));
    switch (message) {
    case WM_CREATE:
        if (!record) {
            record = static_cast<TrackbarSkinRecord*>(calloc(1, sizeof(TrackbarSkinRecord)));
            if (record)
                SetPropW(track, PropName(), record);
        }
        break;
    case WM_DESTROY:
        if (record) {
            RemovePropW(track, PropName());
            free(record);
        }
        break;
    case WM_ERASEBKGND:
        if (!record)
            break;
        record->skipBackground = 0;
        record->erasedDc = reinterpret_cast<HDC>(wParam);
        SendMessageW(GetParent(track), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(track));
        record->skipBackground = record->erasedBefore;
        record->erasedBefore = 1;
        return 1;
    case WM_PAINT: {
        LRESULT result = CallSaved(kClassTrackbar, track, message, wParam, lParam);
        if (record)
            record->skipBackground = 0;
        return result;
    }
    }
    return CallSaved(kClassTrackbar, track, message, wParam, lParam);
}

// The class procedure of a system class, replaced through a hidden window of it.
WNDPROC ReplaceClassProc(const wchar_t* className, WNDPROC replacement, ATOM* atom = nullptr)
{
    HWND sample = CreateWindowExW(0, className, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!sample)
        return nullptr;
    if (atom)
        *atom = static_cast<ATOM>(GetClassLongW(sample, GCW_ATOM));
    auto previous = reinterpret_cast<WNDPROC>(
        SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacement)));
    DestroyWindow(sample);
    return previous;
}

}  // namespace

WNDPROC SavedClassProc(ReplacedClass which)
{
    return g_saved[which];
}

LRESULT CallSaved(ReplacedClass which, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC saved = g_saved[which];
    if (!saved)
        return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(saved, window, message, wParam, lParam);
}

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

void BlitBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, int sx, int sy)
{
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, bitmap);
    BitBlt(dc, x, y, cx, cy, src, sx, sy, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
}

bool IsTrackbar(HWND window)
{
    return g_trackbarAtom && static_cast<ATOM>(GetClassLongW(window, GCW_ATOM)) == g_trackbarAtom;
}

HBRUSH ParentBackgroundBrush(HWND control, HDC dc)
{
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control)));
    if (!brush || brush == GetStockObject(NULL_BRUSH) || brush == GetSysColorBrush(COLOR_BTNFACE))
        return nullptr;
    return brush;
}

bool AcceleratorsHidden(HWND window)
{
    return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
}

HBITMAP CopyParentBackground(HWND child, HDC like)
{
    HWND parent = GetParent(child);
    RECT client;
    GetClientRect(child, &client);
    if (!parent || client.right <= 0 || client.bottom <= 0)
        return nullptr;
    POINT origin = {0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    HBITMAP copy = CreateCompatibleBitmap(like, client.right, client.bottom);
    HDC dc = CreateCompatibleDC(like);
    if (!copy || !dc) {
        if (copy)
            DeleteObject(copy);
        if (dc)
            DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, copy);
    SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    SendMessageW(parent, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(dc, old);
    DeleteDC(dc);
    return copy;
}

void InstallControlReplacements()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);
    g_saved[kClassTrackbar] = ReplaceClassProc(TRACKBAR_CLASSW, TrackbarClassProc, &g_trackbarAtom);
    g_saved[kClassStatic] = ReplaceClassProc(L"Static", StaticClassProc);
    PrepareButtonReplacements();
    g_saved[kClassButton] = ReplaceClassProc(L"Button", ButtonClassProc);
    if (WNDPROC animate = AnimationReplacementProc())
        g_saved[kClassAnimate] = ReplaceClassProc(ANIMATE_CLASSW, animate);
    g_saved[kClassTab] = ReplaceClassProc(WC_TABCONTROLW, TabClassProc);
}
