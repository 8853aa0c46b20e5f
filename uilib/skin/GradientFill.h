#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/TarnUIApi.h"

// Gradient fills and colour arithmetic shared by every owner-drawn part of the library.

// One GradientFill of a mesh of 1 to 3 rectangles (start, band 1, band 2, end); a solid fill when
// start equals end and there are no bands.
TARNUI_API void WINAPI FillGradientEx(HDC dc, const GRADIENTEX* gradient, const RECT* rect);
TARNUI_API void WINAPI FillGradient(HDC dc, const GRADIENT* gradient, const RECT* rect, bool horizontal);
// Row by row: each row of area takes the colour of its position within reference (band 1 only).
TARNUI_API void WINAPI FillGradientLines(HDC dc, const GRADIENTEX* gradient, const RECT* area,
                                         const RECT* reference);
TARNUI_API void WINAPI DrawRoundFrame(HDC dc, const RECT* rect, int radius, COLORREF frame,
                                      const GRADIENT* fill);

TARNUI_API COLORREF WINAPI LightenColor(COLORREF color, int percent);
TARNUI_API COLORREF WINAPI GreyColor(COLORREF color);
// The grey level 0.3 R + 0.6 G + 0.1 B, integer arithmetic.
inline int GreyLevel(int r, int g, int b)
{
    return (r * 3 + g * 6 + b) / 10;
}
