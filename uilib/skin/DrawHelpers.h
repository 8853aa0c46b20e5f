#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/skin/TarnUIApi.h"

// Alpha-aware drawing on 32-bit DIB sections, image lists, disabled images, shadow text.

// Flags of DrawAlphaBitmap.
constexpr UINT kDrawMirrored = 1;
constexpr UINT kDrawGrey = 2;

// AlphaBlend that keeps images upright on right-to-left DCs.
TARNUI_API BOOL WINAPI AlphaBlendRTL(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx,
                                     int scy, BLENDFUNCTION blend);
TARNUI_API void WINAPI DrawAlphaBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, UINT flags,
                                       const RECT* part);
TARNUI_API void WINAPI DrawImageListImage(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
TARNUI_API void WINAPI DrawImageListDisabled(HIMAGELIST list, int index, HDC dc, int x, int y);
TARNUI_API HICON WINAPI CreateDisabledIcon(HICON icon);
TARNUI_API bool WINAPI IsMaskEmpty(HBITMAP mask, const RECT* part);
TARNUI_API int WINAPI DrawShadowTextEx(HDC dc, const wchar_t* text, int length, RECT* rect, UINT format,
                                       COLORREF textColor, COLORREF shadow, int dx, int dy);
// comctl32's version as (major << 16) + minor, cached; 0 when unknown.
TARNUI_API int WINAPI GetComCtlVersion();
// Replaces the cached version (tests: Wine always reports 5.81); 0 asks comctl32 again.
void OverrideComCtlVersion(int version);
TARNUI_API SIZE WINAPI GetTextExtent(HWND window, const wchar_t* text, HFONT font);
TARNUI_API RECT WINAPI GetClientRectOf(HWND window);

// Alpha bytes of a DC's 32-bit DIB section, kept aside around GDI text output (which clears them).
struct SavedAlpha;
TARNUI_API SavedAlpha* WINAPI SaveAlpha(HDC dc, const RECT* area);
TARNUI_API void WINAPI RestoreAlpha(SavedAlpha* saved);
TARNUI_API bool WINAPI SetAlphaInRect(HDC dc, const RECT* area, BYTE alpha);
TARNUI_API void WINAPI AlphaFillRect(HDC dc, const RECT* area, DWORD argb);

// Pixel rows of a 32-bit DIB section in picture order, whatever its memory order.
struct DibPixels {
    DWORD* bits = nullptr;
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    DWORD* Row(int y) const { return bits + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width; }
    bool Ok() const { return bits != nullptr; }
};
// The DIB behind a bitmap or behind the bitmap selected into a DC; !Ok() when not a 32-bit DIB.
DibPixels DibOfBitmap(HBITMAP bitmap);
DibPixels DibOfDc(HDC dc);
// A fresh 32-bit bottom-up DIB section; bits receives its memory.
HBITMAP CreateDib32(int width, int height, DWORD** bits);
