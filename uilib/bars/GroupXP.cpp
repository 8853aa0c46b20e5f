#include "uilib/bars/GroupXP.h"

#include <new>

#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"

namespace {

const wchar_t kGroupProp[] = L"GroupXP::Data";
constexpr int kCornerEllipse = 10;
constexpr int kRegionEllipse = 9;
constexpr int kLargeTextHeight = -24;
constexpr int kLargeTextLeft = 43;
constexpr int kIconLeft = 6;
constexpr int kIconTop = 2;
constexpr RECT kIconArea = {6, 1, 38, 33};
constexpr int kSmallHeaderPadding = 7;
constexpr int kMaxCaptionText = 256;

struct GroupRecord {
    WNDPROC previous;
    bool large;
    bool horizontal;
    COLORREF captionStart;
    COLORREF captionEnd;
    HICON loadedIcon;  // loaded from a resource here: ours to destroy (a caller's HICON is not)
};

GroupRecord* RecordOf(HWND window)
{
    return static_cast<GroupRecord*>(GetPropW(window, kGroupProp));
}

void ExcludeHeaderCorners(HDC dc, int right)
{
    ExcludeClipRect(dc, 1, 1, 4, 2);
    ExcludeClipRect(dc, 1, 1, 2, 4);
    ExcludeClipRect(dc, right - 4, 1, right - 1, 2);
    ExcludeClipRect(dc, right - 2, 1, right - 1, 4);
}

void Paint(HWND window, const GroupRecord* record, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    const int right = client.right;

    HPEN border = CreatePen(PS_SOLID, 1, g_Colors.GroupBorder);
    HGDIOBJ oldPen = SelectObject(dc, border);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    RoundRect(dc, 0, 0, client.right, client.bottom, kCornerEllipse, kCornerEllipse);
    ExcludeHeaderCorners(dc, right);

    wchar_t text[kMaxCaptionText + 1] = {};
    GetWindowTextW(window, text, kMaxCaptionText + 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, g_Colors.GroupCaptionText);
    RECT strip;
    HFONT largeFont = nullptr;
    if (!record->large) {
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        strip = {1, 1, right - 1, metrics.tmHeight + kSmallHeaderPadding};
        GRADIENT caption = {g_Colors.GroupCaptionStart, g_Colors.GroupCaptionEnd};
        FillGradient(dc, &caption, &strip, false);
        RECT textArea = strip;
        textArea.left = metrics.tmAveCharWidth;
        DrawTextW(dc, text, -1, &textArea, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
    } else {
        strip = {1, 1, right - 1, kGroupLargeHeaderBottom};
        GRADIENT caption = {record->captionStart, record->captionEnd};
        if (caption.start == kNoColor)
            caption = {g_Colors.GroupSmartCaptionStart, g_Colors.GroupSmartCaptionEnd};
        FillGradient(dc, &caption, &strip, record->horizontal);
        LOGFONTW font = {};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
        font.lfHeight = kLargeTextHeight;
        largeFont = CreateFontIndirectW(&font);
        SelectObject(dc, largeFont);
        RECT textArea = strip;
        textArea.left = kLargeTextLeft;
        DrawTextW(dc, text, -1, &textArea, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
        HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
        if (icon)
            DrawIconEx(dc, kIconLeft, kIconTop, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }

    ExcludeClipRect(dc, 0, 0, right, strip.bottom);
    HBRUSH background = CreateSolidBrush(g_Colors.GroupBackground);
    SelectObject(dc, background);
    RoundRect(dc, 0, 0, client.right, client.bottom, kCornerEllipse, kCornerEllipse);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectClipRgn(dc, nullptr);
    DeleteObject(background);
    DeleteObject(border);
    if (largeFont)
        DeleteObject(largeFont);
}

LRESULT CALLBACK GroupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GroupRecord* record = RecordOf(window);
    if (!record)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        Paint(window, record, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        SetWindowRgn(window,
                     CreateRoundRectRgn(0, 0, LOWORD(lParam) + 1, HIWORD(lParam) + 1, kRegionEllipse,
                                        kRegionEllipse),
                     TRUE);
        return 0;
    case WM_SETTEXT: {
        SendMessageW(window, WM_SETREDRAW, FALSE, 0);
        LRESULT result = CallPreviousProc(record->previous, window, message, wParam, lParam);
        SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, FALSE);
        return result;  // SetWindowText reports it
    }
    case WM_SETICON:
        InvalidateRect(window, &kIconArea, TRUE);
        return CallPreviousProc(record->previous, window, message, wParam, lParam);
    case WM_UPDATEUISTATE:
        return 0;
    case WM_DESTROY: {
        // The control's own procedure still sees its WM_DESTROY, so it can release what it holds.
        WNDPROC previous = record->previous;
        HICON loaded = record->loadedIcon;
        RemovePropW(window, kGroupProp);
        delete record;
        SwapWindowProc(window, previous);
        const LRESULT result = CallPreviousProc(previous, window, message, wParam, lParam);
        if (loaded)
            DestroyIcon(loaded);
        return result;
    }
    default:
        return CallPreviousProc(record->previous, window, message, wParam, lParam);
    }
}

void SetIcon(HWND window, GroupRecord* record, const _GROUPXPW* params)
{
    HICON icon = nullptr;
    HICON loaded = nullptr;
    if (params->flags & kGroupIconHandle)
        icon = params->icon;
    else if (params->flags & kGroupIconResource)
        icon = loaded = static_cast<HICON>(LoadImageW(params->instance ? params->instance : GetLibraryModule(),
                                                      params->iconName, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    else
        return;
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // The icon loaded for an earlier call is replaced now.
    if (record->loadedIcon && record->loadedIcon != icon)
        DestroyIcon(record->loadedIcon);
    record->loadedIcon = loaded;
}

}  // namespace

void WINAPI SetGroupXP(HWND window, const _GROUPXPW* params)
{
    if (!IsWindow(window) || !params)
        return;
    // A second call restyles the frame in place: subclassing again would make the frame's own
    // procedure its previous one, and every message would recurse without end.
    GroupRecord* record = RecordOf(window);
    const bool attached = record != nullptr;
    if (!record) {
        record = new (std::nothrow) GroupRecord{};
        if (!record)
            return;
    }
    record->large = (params->flags & kGroupLarge) != 0;
    SetIcon(window, record, params);
    record->horizontal = params->horizontal != FALSE;
    record->captionStart = (params->flags & kGroupCaptionColors) ? params->captionStart : kNoColor;
    record->captionEnd = (params->flags & kGroupCaptionColors) ? params->captionEnd : kNoColor;
    if (attached) {
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    SetPropW(window, kGroupProp, record);
    record->previous = SwapWindowProc(window, GroupWndProc);
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void WINAPI SetGroupXP(HWND window, const _GROUPXP* params)
{
    if (!params)
        return;
    _GROUPXPW wide = {params->size, params->flags, params->instance, {params->icon}, params->horizontal,
                      params->captionStart, params->captionEnd};
    wchar_t* name = nullptr;
    if ((params->flags & kGroupIconResource) && !IS_INTRESOURCE(params->iconName)) {
        int chars = MultiByteToWideChar(CP_ACP, 0, params->iconName, -1, nullptr, 0);
        name = chars > 0 ? new (std::nothrow) wchar_t[chars] : nullptr;
        if (!name)
            return;
        MultiByteToWideChar(CP_ACP, 0, params->iconName, -1, name, chars);
        wide.iconName = name;
    }
    SetGroupXP(window, &wide);
    delete[] name;
}

void WINAPI SetGroupXPColor(HWND window, GRADIENT* caption)
{
    GroupRecord* record = RecordOf(window);
    if (!record || !caption)
        return;
    record->captionStart = caption->start;
    record->captionEnd = caption->end;
    InvalidateRect(window, nullptr, FALSE);
}
