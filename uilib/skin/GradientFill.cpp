#include "uilib/skin/GradientFill.h"

#include <algorithm>

namespace {

void SolidFill(HDC dc, const RECT* rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF color)
{
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    v.Alpha = 0;
    return v;
}

int Channel(COLORREF c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

// from + (to - from) * num / den per channel, num clamped to 0..den so no channel leaves 0..255.
COLORREF Mix(COLORREF from, COLORREF to, int num, int den)
{
    if (den <= 0)
        return to;
    num = std::clamp(num, 0, den);
    int out[3];
    for (int i = 0; i < 3; ++i) {
        int a = Channel(from, i * 8);
        int b = Channel(to, i * 8);
        out[i] = a + (b - a) * num / den;
    }
    return RGB(out[0], out[1], out[2]);
}

}  // namespace

void WINAPI FillGradientEx(HDC dc, const GRADIENTEX* g, const RECT* r)
{
    if (!dc || !g || !r)
        return;
    if (g->start == g->end && g->band1 == kNoColor && g->band2 == kNoColor) {
        SolidFill(dc, r, g->start);
        return;
    }
    TRIVERTEX v[6];
    int n = 0;
    v[n++] = Vertex(r->left, r->top, g->start);
    if (g->band1Size >= 1) {
        v[n++] = Vertex(r->right, r->top + g->band1Size, g->band1);
        v[n++] = Vertex(r->left, r->top + g->band1Size, g->band1);
    }
    if (g->band2Size >= 1) {
        v[n++] = Vertex(r->right, r->bottom - g->band2Size, g->band2);
        v[n++] = Vertex(r->left, r->bottom - g->band2Size, g->band2);
    }
    v[n++] = Vertex(r->right, r->bottom, g->end);
    GRADIENT_RECT mesh[3];
    int rects = n / 2;
    for (int i = 0; i < rects; ++i) {
        mesh[i].UpperLeft = 2 * i;
        mesh[i].LowerRight = 2 * i + 1;
    }
    GradientFill(dc, v, n, mesh, rects, g->horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void WINAPI FillGradient(HDC dc, const GRADIENT* g, const RECT* r, bool horizontal)
{
    if (!g)
        return;
    GRADIENTEX ex = {g->start, g->end, horizontal, kNoColor, 0, kNoColor, 0};
    FillGradientEx(dc, &ex, r);
}

void WINAPI FillGradientLines(HDC dc, const GRADIENTEX* g, const RECT* area, const RECT* reference)
{
    if (!dc || !g || !area || !reference)
        return;
    if (g->start == g->end && g->band1 == kNoColor && g->band2 == kNoColor) {
        SolidFill(dc, area, g->start);
        return;
    }
    int height = reference->bottom - reference->top;
    if (height <= 0)
        return;
    int band = g->band1Size;
    for (int row = area->top; row < area->bottom; ++row) {
        int y = row - reference->top;
        COLORREF color;
        if (band <= 0)
            color = Mix(g->start, g->end, y, height);
        else if (y < band)
            color = Mix(g->start, g->band1, y, band);
        else  // a band covering the whole height leaves nothing to divide: the band colour holds
            color = height > band ? Mix(g->band1, g->end, y - band, height - band) : g->band1;
        RECT line = {area->left, row, area->right, row + 1};
        SolidFill(dc, &line, color);
    }
}

void WINAPI DrawRoundFrame(HDC dc, const RECT* r, int radius, COLORREF frame, const GRADIENT* fill)
{
    if (!dc || !r)
        return;
    if (fill && fill->start != kNoColor) {
        HRGN clip = CreateRoundRectRgn(r->left, r->top, r->right + 1, r->bottom + 1, 2 * radius, 2 * radius);
        SelectClipRgn(dc, clip);
        RECT inner = {r->left, r->top + 1, r->right, r->bottom - 1};
        FillGradient(dc, fill, &inner, false);
        SelectClipRgn(dc, nullptr);
        DeleteObject(clip);
    }
    HPEN pen = frame == kNoColor ? static_cast<HPEN>(GetStockObject(NULL_PEN)) : CreatePen(PS_SOLID, 1, frame);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r->left, r->top, r->right, r->bottom, 2 * radius, 2 * radius);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (frame != kNoColor)
        DeleteObject(pen);
}

COLORREF WINAPI LightenColor(COLORREF color, int percent)
{
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = (255 * percent + Channel(color, i * 8) * (100 - percent)) / 100;
    return RGB(out[0], out[1], out[2]);
}

COLORREF WINAPI GreyColor(COLORREF color)
{
    int grey = GreyLevel(GetRValue(color), GetGValue(color), GetBValue(color));
    return RGB(grey, grey, grey);
}
