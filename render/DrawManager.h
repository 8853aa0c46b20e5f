#pragma once
#include <windows.h>
#include "render/DibBitmap.h"

// Background effects of FillEffect; markup names them by the strings of EffectNames.
enum DrawEffect
{
    EffectTransparent = -1, EffectSolid = 0, EffectHGradient, EffectVGradient, EffectHCGradient,
    EffectVCGradient, Effect3HGradient, Effect3VGradient, EffectNoise, EffectDiagShade, EffectHShade,
    EffectVShade, EffectHBump, EffectVBump, EffectSoftBump, EffectHardBump, EffectMetal
};

// Image effect flags of DrawBitmap and friends (the markup's image "style").
enum ImageEffectFlag : DWORD
{
    ImageGray = 0x0001, ImageDarken = 0x0002, ImageLighten = 0x0004, ImageColor = 0x0008,
    ImageShadow = 0x0100, ImageSoftShadow = 0x0200, ImageInvert = 0x8000
};

// The renderer's drawing toolbox: effect fills, images with colour effects and shadows, blends,
// tiling, styled lines and frames, colour arithmetic. Not shared between threads.
class CDrawManager
{
public:
    CDrawManager();
    virtual ~CDrawManager();

    // Names of effects 0..15 in number order ("transparent" is -1).
    static const wchar_t* const EffectNames[16];
    // Wider pens are cut to this: the system's line drawing gives up on absurd widths.
    static constexpr int MaxPenWidth = 64;

    void FillEffect(HDC dc, int effect, const RECT* rect, COLORREF begin, COLORREF mid, COLORREF end,
                    BYTE granularity, BYTE blendPercent);
    void FillGradientStrips(HDC dc, const RECT& rect, COLORREF from, COLORREF to, BOOL horizontal);
    const CDibBitmap& GetCanvas() const { return m_canvas; }

    // Image operations.
    HBITMAP CreateImageEffect(HBITMAP source, int cx, int cy, BOOL useMask, DWORD flags,
                              COLORREF transparentColor, COLORREF replaceColor);
    void DrawBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, BOOL useMask,
                    COLORREF transparentColor, DWORD flags, BOOL shadowOn, int offsetX, int offsetY,
                    int depthX, int depthY, COLORREF shadowColor);
    void DrawIcon(HDC dc, int x, int y, int cx, int cy, HICON icon, BOOL useMask, COLORREF transparentColor,
                  DWORD flags, BOOL shadowOn, int offsetX, int offsetY, int depthX, int depthY,
                  COLORREF shadowColor);
    void DrawImageFromStrip(HDC dc, int x, int y, int cx, int cy, HBITMAP strip, int index, int cellCx,
                            int cellCy, BOOL useMask, COLORREF transparentColor, DWORD flags, BOOL shadowOn,
                            int offsetX, int offsetY, int depthX, int depthY, COLORREF shadowColor);
    void DrawShadow(HDC dc, int x, int y, int cx, int cy, HBITMAP mask, BOOL soft, int depthX, int depthY);
    void AlphaBitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int percent);
    void AlphaBlendBitmap(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys);
    void TileBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int tileCx, int tileCy);
    void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int style, int width);
    void DrawRectangle(HDC dc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark,
                       int style, int width);
    void DrawRectangle(HDC dc, const RECT* rect, COLORREF light, COLORREF dark, int style, int width);
    HICON StretchIcon(HICON icon, int cx, int cy);
    static void GetBitmapSize(HBITMAP bitmap, SIZE* size);
    static void GetIconSize(HICON icon, SIZE* size);
    BOOL SourceHasAlpha() const { return m_sourceHasAlpha; }

    // Colour arithmetic.
    static COLORREF GrayColor(COLORREF colour);
    static DWORD GrayDibColor(DWORD pixel);
    static COLORREF InvertColor(COLORREF colour);
    static COLORREF DarkenColor(COLORREF colour, double factor);
    static COLORREF LightenColor(COLORREF colour, double factor);
    static COLORREF MixColors(COLORREF c1, double f1, COLORREF c2, double f2);

private:
    CDrawManager(const CDrawManager&) = delete;
    CDrawManager& operator=(const CDrawManager&) = delete;
    void FillPattern(HDC dc, int effect, const RECT& rect, COLORREF begin, COLORREF mid, COLORREF end,
                     BYTE granularity, BYTE blendPercent);

    CDibBitmap m_canvas;
    BOOL m_sourceHasAlpha = FALSE;
};
