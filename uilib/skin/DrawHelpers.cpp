#include "uilib/skin/DrawHelpers.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "uilib/skin/GradientFill.h"

namespace {

int g_comCtlVersion = 0;

BLENDFUNCTION PerPixelBlend(BYTE alpha)
{
    return BLENDFUNCTION{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
}

// The area clipped to the DIB; false when nothing remains.
bool ClipToDib(const DibPixels& dib, const RECT* area, RECT* out)
{
    if (!area || !dib.Ok())
        return false;
    RECT bounds = {0, 0, dib.width, dib.height};
    return IntersectRect(out, area, &bounds) != FALSE;
}

}  // namespace

HBITMAP CreateDib32(int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bits)
        *bits = static_cast<DWORD*>(memory);
    return bitmap;
}

DibPixels DibOfBitmap(HBITMAP bitmap)
{
    DibPixels dib;
    DIBSECTION ds = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(ds), &ds) != sizeof(ds) || ds.dsBm.bmBitsPixel != 32 ||
        !ds.dsBm.bmBits)
        return dib;
    dib.bits = static_cast<DWORD*>(ds.dsBm.bmBits);
    dib.width = ds.dsBm.bmWidth;
    dib.height = ds.dsBm.bmHeight;
    dib.bottomUp = ds.dsBmih.biHeight > 0;
    return dib;
}

DibPixels DibOfDc(HDC dc)
{
    GdiFlush();
    return DibOfBitmap(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)));
}

BOOL WINAPI AlphaBlendRTL(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx, int scy,
                          BLENDFUNCTION blend)
{
    DWORD layout = GetLayout(dst);
    if (layout == GDI_ERROR || !(layout & LAYOUT_RTL) || (layout & LAYOUT_BITMAPORIENTATIONPRESERVED) || scx <= 0 ||
        scy <= 0)
        return AlphaBlend(dst, x, y, cx, cy, src, sx, sy, scx, scy, blend);
    // The right-to-left DC mirrors what it draws: hand it the part mirrored once already, so the
    // picture lands where a mirrored one would but reads the right way round.
    DWORD* bits = nullptr;
    HBITMAP copy = CreateDib32(scx, scy, &bits);
    if (!copy)
        return FALSE;
    HDC memory = CreateCompatibleDC(dst);
    SetLayout(memory, 0);
    HGDIOBJ old = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, scx, scy, src, sx, sy, SRCCOPY);
    GdiFlush();
    for (int row = 0; row < scy; ++row)
        std::reverse(bits + static_cast<size_t>(row) * scx, bits + static_cast<size_t>(row + 1) * scx);
    BOOL done = AlphaBlend(dst, x, y, cx, cy, memory, 0, 0, scx, scy, blend);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
    return done;
}

void WINAPI DrawAlphaBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, UINT flags, const RECT* part)
{
    DibPixels source = DibOfBitmap(bitmap);
    if (!source.Ok()) {
        UINT state = DST_BITMAP | ((flags & kDrawGrey) ? DSS_DISABLED : 0);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, cx, cy, state);
        return;
    }
    RECT whole = {0, 0, source.width, source.height};
    RECT area;
    if (!IntersectRect(&area, part ? part : &whole, &whole))
        return;
    int w = area.right - area.left;
    int h = area.bottom - area.top;
    DWORD* bits = nullptr;
    HBITMAP copy = CreateDib32(w, h, &bits);
    if (!copy)
        return;
    DibPixels target = DibOfBitmap(copy);
    for (int row = 0; row < h; ++row) {
        const DWORD* in = source.Row(area.top + row) + area.left;
        DWORD* out = target.Row(row);
        for (int col = 0; col < w; ++col) {
            DWORD p = in[col];
            int a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (flags & kDrawGrey) {
                int a2 = a * 4 / 10;
                int grey = GreyLevel(r, g, b) * a2 / 255;
                out[col] = (a2 << 24) | (grey << 16) | (grey << 8) | grey;
            } else {
                out[col] = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
            }
        }
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, copy);
    int dw = cx ? cx : w;
    int dh = cy ? cy : h;
    if (flags & kDrawMirrored)
        AlphaBlend(dc, x, y, dw, dh, memory, 0, 0, w, h, PerPixelBlend(255));
    else
        AlphaBlendRTL(dc, x, y, dw, dh, memory, 0, 0, w, h, PerPixelBlend(255));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
}

bool WINAPI IsMaskEmpty(HBITMAP mask, const RECT* part)
{
    if (!mask)
        return true;
    BITMAP bm = {};
    if (!GetObjectW(mask, sizeof(bm), &bm))
        return true;
    RECT whole = {0, 0, bm.bmWidth, bm.bmHeight};
    RECT area;
    if (!IntersectRect(&area, part ? part : &whole, &whole))
        return true;
    // Read the mask as 32-bit rows: a set bit comes back white.
    int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    DWORD* rows = static_cast<DWORD*>(malloc(static_cast<size_t>(w) * h * 4));
    if (!rows)
        return true;
    HDC screen = GetDC(nullptr);
    bool empty = true;
    if (GetDIBits(screen, mask, 0, h, rows, &info, DIB_RGB_COLORS)) {
        for (int y = area.top; y < area.bottom && empty; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (rows[y * w + x] & 0xFFFFFF) {
                    empty = false;
                    break;
                }
    }
    ReleaseDC(nullptr, screen);
    free(rows);
    return empty;
}

namespace {

bool IsImageListMirrored(HIMAGELIST list)
{
    int version = GetComCtlVersion();
    if (version != 0x60000 && version != 0x60010)
        return false;
    using GetFlagsFn = DWORD(WINAPI*)(HIMAGELIST);
    auto getFlags = reinterpret_cast<GetFlagsFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "ImageList_GetFlags")));
    return getFlags && (getFlags(list) & ILC_MIRROR);
}

// The image's bitmap when it carries its own alpha (32 bits, an empty mask in its cell).
bool AlphaImage(HIMAGELIST list, int index, IMAGEINFO* info)
{
    if (!ImageList_GetImageInfo(list, index, info))
        return false;
    BITMAP bm = {};
    return GetObjectW(info->hbmImage, sizeof(bm), &bm) && bm.bmBitsPixel >= 32 && bm.bmBits &&
           IsMaskEmpty(info->hbmMask, &info->rcImage);
}

UINT MirrorFlag(HIMAGELIST list, HDC dc)
{
    DWORD layout = GetLayout(dc);
    return (layout != GDI_ERROR && (layout & LAYOUT_RTL) && IsImageListMirrored(list)) ? kDrawMirrored : 0;
}

}  // namespace

void WINAPI DrawImageListImage(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style)
{
    IMAGEINFO info = {};
    if (AlphaImage(list, index, &info))
        DrawAlphaBitmap(dc, x, y, 0, 0, info.hbmImage, MirrorFlag(list, dc), &info.rcImage);
    else
        ImageList_Draw(list, index, dc, x, y, style);
}

void WINAPI DrawImageListDisabled(HIMAGELIST list, int index, HDC dc, int x, int y)
{
    IMAGEINFO info = {};
    if (AlphaImage(list, index, &info)) {
        DrawAlphaBitmap(dc, x, y, 0, 0, info.hbmImage, kDrawGrey | MirrorFlag(list, dc), &info.rcImage);
        return;
    }
    HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
    if (!icon)
        return;
    HICON grey = CreateDisabledIcon(icon);
    if (grey) {
        DrawIconEx(dc, x, y, grey, 0, 0, 0, nullptr, DI_NORMAL);
        DestroyIcon(grey);
    }
    DestroyIcon(icon);
}

HICON WINAPI CreateDisabledIcon(HICON icon)
{
    ICONINFO ii = {};
    if (!icon || !GetIconInfo(icon, &ii))
        return nullptr;
    HICON result = nullptr;
    BITMAP bm = {};
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof(bm), &bm)) {
        int w = bm.bmWidth, h = bm.bmHeight;
        DWORD* bits = nullptr;
        HBITMAP colour = CreateDib32(w, h, &bits);
        DWORD* mask = static_cast<DWORD*>(malloc(static_cast<size_t>(w) * h * 4));
        if (colour && mask) {
            BITMAPINFO info = {};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = h;  // same row order as the fresh DIB
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            HDC screen = GetDC(nullptr);
            GetDIBits(screen, ii.hbmColor, 0, h, bits, &info, DIB_RGB_COLORS);
            GetDIBits(screen, ii.hbmMask, 0, h, mask, &info, DIB_RGB_COLORS);
            ReleaseDC(nullptr, screen);
            bool maskEmpty = IsMaskEmpty(ii.hbmMask, nullptr);
            for (int i = 0; i < w * h; ++i) {
                DWORD p = bits[i];
                int grey = GreyLevel((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                DWORD rgb = (grey << 16) | (grey << 8) | grey;
                if (maskEmpty)
                    bits[i] = (((p >> 24) * 4 / 10) << 24) | rgb;
                else if (!(mask[i] & 0xFFFFFF))
                    bits[i] = (102u << 24) | rgb;
            }
            ICONINFO grey = {TRUE, 0, 0, ii.hbmMask, colour};
            result = CreateIconIndirect(&grey);
        }
        free(mask);
        if (colour)
            DeleteObject(colour);
    }
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    if (ii.hbmMask)
        DeleteObject(ii.hbmMask);
    return result;
}

int WINAPI DrawShadowTextEx(HDC dc, const wchar_t* text, int length, RECT* rect, UINT format, COLORREF textColor,
                            COLORREF shadow, int dx, int dy)
{
    using ShadowFn = int(WINAPI*)(HDC, LPCWSTR, UINT, RECT*, DWORD, COLORREF, COLORREF, int, int);
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    auto drawShadow = comctl ? reinterpret_cast<ShadowFn>(
                                   reinterpret_cast<void*>(GetProcAddress(comctl, "DrawShadowText")))
                             : nullptr;
    if (drawShadow)
        return drawShadow(dc, text, static_cast<UINT>(length), rect, format, textColor, shadow, dx, dy);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, textColor);
    int result = DrawTextW(dc, text, length, rect, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return result;
}

int WINAPI GetComCtlVersion()
{
    if (g_comCtlVersion)
        return g_comCtlVersion;
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (!comctl)
        comctl = LoadLibraryW(L"comctl32.dll");
    typedef HRESULT(CALLBACK* VersionFn)(DLLVERSIONINFO*);
    auto getVersion = comctl ? reinterpret_cast<VersionFn>(
                                   reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))
                             : nullptr;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof(info);
    if (getVersion && SUCCEEDED(getVersion(&info)))
        g_comCtlVersion = static_cast<int>((info.dwMajorVersion << 16) + info.dwMinorVersion);
    return g_comCtlVersion;
}

void OverrideComCtlVersion(int version)
{
    g_comCtlVersion = version;
}

SIZE WINAPI GetTextExtent(HWND window, const wchar_t* text, HFONT font)
{
    SIZE size = {};
    if (!text)
        return size;
    if (!font && window)
        font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

RECT WINAPI GetClientRectOf(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

struct SavedAlpha {
    RECT area;
    DibPixels dib;
    BYTE* alpha;
};

SavedAlpha* WINAPI SaveAlpha(HDC dc, const RECT* area)
{
    DibPixels dib = DibOfDc(dc);
    if (!area || IsRectEmpty(area) || !dib.Ok() || area->left < 0 || area->top < 0 || area->left >= dib.width ||
        area->top >= dib.height)
        return nullptr;
    RECT clipped;
    if (!ClipToDib(dib, area, &clipped))
        return nullptr;
    int w = clipped.right - clipped.left, h = clipped.bottom - clipped.top;
    auto* saved = static_cast<SavedAlpha*>(malloc(sizeof(SavedAlpha)));
    BYTE* alpha = static_cast<BYTE*>(malloc(static_cast<size_t>(w) * h));
    if (!saved || !alpha) {
        free(saved);
        free(alpha);
        return nullptr;
    }
    *saved = SavedAlpha{clipped, dib, alpha};
    for (int y = 0; y < h; ++y) {
        const DWORD* row = dib.Row(clipped.top + y) + clipped.left;
        for (int x = 0; x < w; ++x)
            *alpha++ = static_cast<BYTE>(row[x] >> 24);
    }
    return saved;
}

void WINAPI RestoreAlpha(SavedAlpha* saved)
{
    if (!saved)
        return;
    GdiFlush();
    const RECT& a = saved->area;
    const BYTE* alpha = saved->alpha;
    for (int y = a.top; y < a.bottom; ++y) {
        DWORD* row = saved->dib.Row(y);
        for (int x = a.left; x < a.right; ++x)
            row[x] = (row[x] & 0xFFFFFF) | (static_cast<DWORD>(*alpha++) << 24);
    }
    free(saved->alpha);
    free(saved);
}

bool WINAPI SetAlphaInRect(HDC dc, const RECT* area, BYTE alpha)
{
    DibPixels dib = DibOfDc(dc);
    RECT clipped;
    if (!ClipToDib(dib, area, &clipped))
        return false;
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        DWORD* row = dib.Row(y);
        for (int x = clipped.left; x < clipped.right; ++x)
            row[x] = (row[x] & 0xFFFFFF) | (static_cast<DWORD>(alpha) << 24);
    }
    return true;
}

void WINAPI AlphaFillRect(HDC dc, const RECT* area, DWORD argb)
{
    DibPixels dib = DibOfDc(dc);
    RECT clipped;
    if (!ClipToDib(dib, area, &clipped))
        return;
    double a = (argb >> 24) / 255.0;
    // argb holds a COLORREF in its low bytes (0x00BBGGRR).
    double r = argb & 0xFF, g = (argb >> 8) & 0xFF, b = (argb >> 16) & 0xFF;
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        DWORD* row = dib.Row(y);
        for (int x = clipped.left; x < clipped.right; ++x) {
            DWORD p = row[x];
            auto mix = [a](double colour, DWORD old) { return static_cast<DWORD>(a * colour + (1 - a) * old); };
            row[x] = (p & 0xFF000000) | (mix(r, (p >> 16) & 0xFF) << 16) | (mix(g, (p >> 8) & 0xFF) << 8) |
                     mix(b, p & 0xFF);
        }
    }
}
