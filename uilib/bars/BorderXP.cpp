#include "uilib/bars/BorderXP.h"

#include <new>

#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/TextConvert.h"

namespace {

const wchar_t kBorderProp[] = L"BorderXP::WndProc";
constexpr int kCaptionTextInset = 4;
constexpr int kCaptionPadding = 6;
constexpr int kCaptionPoints = 10;
constexpr int kMaxCaptionText = 256;

using CallProcFn = LRESULT(WINAPI*)(WNDPROC, HWND, UINT, WPARAM, LPARAM);

struct BorderRecord {
    HWND window;
    WNDPROC previous;
    CallProcFn callProc;
    COLORREF captionStart;
    COLORREF captionEnd;
    COLORREF border;
    COLORREF captionText;
    DWORD flags;
};

BorderRecord* RecordOf(HWND window)
{
    return static_cast<BorderRecord*>(GetPropW(window, kBorderProp));
}

COLORREF OrScheme(COLORREF own, COLORREF scheme)
{
    return own == kNoColor ? scheme : own;
}

// Bold 10-point Tahoma for this window's DC; the caller deletes it.
HFONT CreateCaptionFont(HDC dc)
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    lstrcpynW(font.lfFaceName, L"tahoma", LF_FACESIZE);
    font.lfWeight = FW_BOLD;
    font.lfHeight = -MulDiv(kCaptionPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
    return CreateFontIndirectW(&font);
}

int CaptionHeight(HWND window)
{
    HDC dc = GetWindowDC(window);
    HFONT font = CreateCaptionFont(dc);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
    return metrics.tmHeight + kCaptionPadding;
}

bool HasCaption(const BorderRecord* record)
{
    if (record->flags & kBorderOnly)
        return false;
    // Edit controls keep their whole area for text.
    if (SendMessageW(record->window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        return false;
    return (record->flags & kBorderAlwaysCaption) || GetWindowTextLengthW(record->window) > 0;
}

void Reframe(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

void PaintFrame(BorderRecord* record)
{
    HWND window = record->window;
    RECT bounds;
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    HDC dc = GetWindowDC(window);
    HBRUSH frame = CreateSolidBrush(OrScheme(record->border, g_Colors.WindowBorder));
    FrameRect(dc, &bounds, frame);
    DeleteObject(frame);
    if (HasCaption(record)) {
        HFONT font = CreateCaptionFont(dc);
        HGDIOBJ oldFont = SelectObject(dc, font);
        TEXTMETRICW metrics = {};
        GetTextMetricsW(dc, &metrics);
        RECT strip = {1, 1, bounds.right - 1, 1 + metrics.tmHeight + kCaptionPadding};
        GRADIENT caption = {OrScheme(record->captionStart, g_Colors.WindowCaptionStart),
                            OrScheme(record->captionEnd, g_Colors.WindowCaptionEnd)};
        FillGradient(dc, &caption, &strip, false);
        wchar_t text[kMaxCaptionText + 1] = {};
        GetWindowTextW(window, text, kMaxCaptionText + 1);
        strip.left += kCaptionTextInset;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, OrScheme(record->captionText, g_Colors.WindowCaptionText));
        DrawTextW(dc, text, -1, &strip, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    ReleaseDC(window, dc);
}

LRESULT CALLBACK BorderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BorderRecord* record = RecordOf(window);
    if (!record)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = record->callProc(record->previous, window, message, wParam, lParam);
    switch (message) {
    case WM_NCCALCSIZE:
        if (HasCaption(record)) {
            RECT* proposed = reinterpret_cast<RECT*>(lParam);  // rgrc[0] leads NCCALCSIZE_PARAMS too
            proposed->top += CaptionHeight(window);
            if (proposed->top > proposed->bottom)
                proposed->top = proposed->bottom;
        }
        return result;
    case WM_NCPAINT:
        PaintFrame(record);
        return result;
    case WM_SETTEXT:
        // The caption may appear or vanish. The text's own result goes back: SetWindowText
        // reports it.
        Reframe(window);
        return result;
    case WM_DESTROY: {
        WNDPROC previous = record->previous;
        RemovePropW(window, kBorderProp);
        SwapWindowProc(window, previous);
        delete record;
        return 0;
    }
    default:
        return result;
    }
}

void ReadSectionColours(BorderRecord* record, const wchar_t* section)
{
    char file[MAX_PATH];
    char name[256];
    if (!WideToNarrow(file, g_Scheme.path, MAX_PATH, CP_ACP) || !file[0])
        return;
    if (!WideToNarrow(name, section, sizeof(name), CP_ACP))
        return;
    CProfileReader reader;
    if (!reader.Load(file, false) || !reader.SelectSection(name))
        return;
    record->border = reader.GetColor("Border", kNoColor);
    record->captionText = reader.GetColor("CaptionText", kNoColor);
    COLORREF pair[2] = {kNoColor, kNoColor};
    if (reader.GetColorPair("CaptionBackground", pair)) {
        record->captionStart = pair[0];
        record->captionEnd = pair[1];
    }
}

}  // namespace

int BorderXPCaptionHeight(HWND window)
{
    return CaptionHeight(window);
}

void WINAPI SetBorderXP(HWND window, const wchar_t* section, DWORD flags)
{
    if (!IsWindow(window) || RecordOf(window))
        return;
    BorderRecord* record = new (std::nothrow) BorderRecord{window, nullptr, nullptr, kNoColor, kNoColor,
                                                           kNoColor, kNoColor, flags};
    if (!record)
        return;
    if (section)
        ReadSectionColours(record, section);
    // The property is in place before the first message reaches the new procedure.
    SetPropW(window, kBorderProp, record);
    if (IsWindowUnicode(window)) {
        record->callProc = CallWindowProcW;
        record->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BorderWndProc)));
    } else {
        record->callProc = CallWindowProcA;
        record->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BorderWndProc)));
    }
    LONG style = GetWindowLongW(window, GWL_STYLE);
    SetWindowLongW(window, GWL_STYLE, (style & ~(WS_THICKFRAME | WS_DLGFRAME)) | WS_BORDER);
    LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    SetWindowLongW(window, GWL_EXSTYLE,
                   exStyle & ~(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
    Reframe(window);
}

void WINAPI SetBorderXP(HWND window)
{
    SetBorderXP(window, nullptr, 0);
}

void WINAPI SetBorderXPColors(HWND window, GRADIENT* caption, COLORREF border, COLORREF captionText)
{
    BorderRecord* record = RecordOf(window);
    if (!record)
        return;
    record->captionStart = caption ? caption->start : kNoColor;
    record->captionEnd = caption ? caption->end : kNoColor;
    record->border = border;
    record->captionText = captionText;
    Reframe(window);
}
