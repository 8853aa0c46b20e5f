// Images with colour effects, masks and shadows; blends, tiling, styled lines and frames.
#include "render/DrawManager.h"
#include "render/DibSection32.h"
#include <algorithm>
#include <vector>

namespace {
const DWORD kAlphaMask = 0xFF000000;
const DWORD kRgbMask = 0x00FFFFFF;
const COLORREF kWhite = RGB(255, 255, 255);

DWORD ToPixel(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

BYTE Red(DWORD p) { return static_cast<BYTE>(p >> 16); }
BYTE Green(DWORD p) { return static_cast<BYTE>(p >> 8); }
BYTE Blue(DWORD p) { return static_cast<BYTE>(p); }
DWORD MakePixel(DWORD alpha, int r, int g, int b)
{
    return (alpha & kAlphaMask) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) |
           static_cast<DWORD>(b);
}

DWORD ScalePixel(DWORD p, double f, bool capped)
{
    auto scale = [&](BYTE c) {
        int v = static_cast<int>(c * f);
        return capped ? std::min(v, 255) : v;
    };
    return MakePixel(p, scale(Red(p)), scale(Green(p)), scale(Blue(p)));
}

// A working copy of an image: 32-bit pixels and which of them are visible.
struct ImagePixels
{
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    std::vector<bool> visible;
    bool hasAlpha = false;
};

// Pixel effects of the flags; invisible pixels become 0 and only take the inversion.
void ApplyEffects(const ImagePixels& in, DWORD flags, COLORREF replaceColor, DWORD* out)
{
    const DWORD replace = ToPixel(replaceColor);
    for (size_t i = 0; i < in.pixels.size(); ++i) {
        DWORD p = in.pixels[i];
        if (!in.visible[i]) {
            p = 0;
        } else {
            if (flags & ImageGray)
                p = CDrawManager::GrayDibColor(p);
            if (flags & ImageDarken)
                p = ScalePixel(p, 0.75, false);
            if (flags & ImageLighten)
                p = ScalePixel(p, 1.25, true);
            if (flags & ImageColor)
                p = (p & kAlphaMask) | replace;
        }
        if (flags & ImageInvert)
            p = (p & kAlphaMask) | (~p & kRgbMask);
        out[i] = p;
    }
}

// Whether any pixel of a bitmap, at its own size, has a non-zero alpha byte; read in bands.
bool HasAlphaBits(HBITMAP bitmap, SIZE size)
{
    const int band = 256;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> rows(static_cast<size_t>(size.cx) * band);
    HDC dc = CreateCompatibleDC(nullptr);
    bool alpha = false;
    for (int start = 0; dc && !alpha && start < size.cy; start += band) {
        const int lines = std::min(band, static_cast<int>(size.cy) - start);
        if (!GetDIBits(dc, bitmap, static_cast<UINT>(start), static_cast<UINT>(lines), rows.data(), &info,
                       DIB_RGB_COLORS))
            break;
        for (size_t i = 0; i < static_cast<size_t>(size.cx) * lines && !alpha; ++i)
            alpha = (rows[i] & kAlphaMask) != 0;
    }
    if (dc)
        DeleteDC(dc);
    return alpha;
}

// The bitmap at cx x cy, or of that only the window (in its coordinates) when one is given: the
// drawing needs the part that can be seen, and a picture of the size bound costs ten times that.
bool ReadBitmap(HBITMAP bitmap, int cx, int cy, ImagePixels& out, const RECT* window = nullptr)
{
    SIZE size;
    CDrawManager::GetBitmapSize(bitmap, &size);
    if (!bitmap || size.cx < 1 || size.cy < 1)
        return false;
    const RECT whole = {0, 0, cx, cy};
    const RECT& part = window ? *window : whole;
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    CDibSection32 target;
    if (!target.Create(width, height))
        return false;
    HDC source = CreateCompatibleDC(nullptr);   // GetDC of the screen costs a round trip each time
    if (!source)
        return false;
    HGDIOBJ previous = SelectObject(source, bitmap);
    if (size.cx == cx && size.cy == cy) {
        BitBlt(target.DC(), 0, 0, width, height, source, part.left, part.top, SRCCOPY);
    } else {
        SetStretchBltMode(target.DC(), COLORONCOLOR);
        StretchBlt(target.DC(), -part.left, -part.top, cx, cy, source, 0, 0, size.cx, size.cy, SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    GdiFlush();
    out.width = width;
    out.height = height;
    out.pixels.assign(target.Bits(), target.Bits() + target.Count());
    out.visible.assign(out.pixels.size(), true);
    out.hasAlpha = false;
    if (window) {
        out.hasAlpha = HasAlphaBits(bitmap, size);   // a property of the whole picture
    } else {
        for (DWORD p : out.pixels)
            if (p & kAlphaMask)
                out.hasAlpha = true;
    }
    return true;
}

// The part of a picture at (x, y) of cx x cy that can show in the DC's clip box, itself or by its
// shadow, with the blur's reach and room to spare (picture coordinates); false when it is all of
// it. Only large pictures are cut: for them the whole costs many times the part that shows.
bool PictureWindow(HDC dc, int x, int y, int cx, int cy, BOOL shadowOn, int offsetX, int offsetY, int depthX,
                   int depthY, RECT* window)
{
    const long long kSmall = 256 * 256;
    RECT clip;
    if (static_cast<long long>(cx) * cy <= kSmall || GetClipBox(dc, &clip) == ERROR)
        return false;
    RECT needed = clip;
    if (shadowOn) {
        const int reachX = std::max(0, depthX) + 2;
        const int reachY = std::max(0, depthY) + 2;
        RECT shadowSource = clip;
        OffsetRect(&shadowSource, -offsetX, -offsetY);
        UnionRect(&needed, &clip, &shadowSource);
        InflateRect(&needed, reachX, reachY);
    }
    OffsetRect(&needed, -x, -y);
    const RECT whole = {0, 0, cx, cy};
    if (!IntersectRect(window, &needed, &whole))
        *window = RECT{0, 0, 1, 1};   // nothing shows: the smallest part keeps the drawing's course
    return !EqualRect(window, &whole);
}

void MarkTransparent(ImagePixels& image, COLORREF transparentColor)
{
    // The whole word must match, alpha included: only alpha-0 pixels can be transparent.
    const DWORD key = ToPixel(transparentColor);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        if (image.pixels[i] == key)
            image.visible[i] = false;
}

HBITMAP MakeEffectBitmap(const ImagePixels& image, DWORD flags, COLORREF replaceColor)
{
    CDibSection32 section;
    if (!section.Create(image.width, image.height))
        return nullptr;
    ApplyEffects(image, flags, replaceColor, section.Bits());
    return section.Detach();
}

int PenStyleFor(int style)
{
    switch (style) {
    case 2: return PS_DASH;
    case 3: return PS_DOT;
    case 4: return PS_DASHDOT;
    case 5: return PS_DASHDOTDOT;
    default: return PS_SOLID;
    }
}

const int kDoubleLineStyle = 6;

void DrawImagePixels(CDrawManager& manager, HDC dc, int x, int y, const ImagePixels& image, DWORD flags,
                     BOOL shadowOn, int offsetX, int offsetY, int depthX, int depthY, COLORREF shadowColor)
{
    HBITMAP mask = MakeEffectBitmap(image, ImageInvert | ImageColor, kWhite);
    HBITMAP picture = nullptr;
    CDibSection32 pictureBits;
    if (pictureBits.Create(image.width, image.height)) {
        ApplyEffects(image, flags, shadowColor, pictureBits.Bits());
        // Inversion turns transparent pixels white; painted with SRCPAINT they would cover what the
        // mask kept, so they go back to black here.
        for (size_t i = 0; i < image.visible.size(); ++i)
            if (!image.visible[i])
                pictureBits.Bits()[i] = 0;
        picture = pictureBits.Detach();
    }
    if (!mask || !picture) {
        if (mask)
            DeleteObject(mask);
        if (picture)
            DeleteObject(picture);
        return;
    }
    if (shadowOn) {
        if (flags & (ImageShadow | ImageSoftShadow)) {
            HBITMAP shadowMask =
                MakeEffectBitmap(image, ImageInvert | ImageColor, CDrawManager::InvertColor(shadowColor));
            if (shadowMask) {
                manager.DrawShadow(dc, x + offsetX, y + offsetY, image.width, image.height, shadowMask,
                                   (flags & ImageSoftShadow) != 0, depthX, depthY);
                DeleteObject(shadowMask);
            }
        } else {
            x += offsetX;   // no shadow asked for: the pressed look
            y += offsetY;
        }
    }
    HDC memory = CreateCompatibleDC(dc);
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, picture);
        if (image.hasAlpha) {
            manager.AlphaBlendBitmap(dc, x, y, image.width, image.height, memory, 0, 0);
        } else {
            SelectObject(memory, mask);
            BitBlt(dc, x, y, image.width, image.height, memory, 0, 0, SRCAND);
            SelectObject(memory, picture);
            BitBlt(dc, x, y, image.width, image.height, memory, 0, 0, SRCPAINT);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    DeleteObject(mask);
    DeleteObject(picture);
}
}

HBITMAP CDrawManager::CreateImageEffect(HBITMAP source, int cx, int cy, BOOL useMask, DWORD flags,
                                        COLORREF transparentColor, COLORREF replaceColor)
{
    ImagePixels image;
    if (!ReadBitmap(source, cx, cy, image))
        return nullptr;
    if (image.hasAlpha)
        m_sourceHasAlpha = TRUE;
    if (useMask)
        MarkTransparent(image, transparentColor);
    return MakeEffectBitmap(image, flags, replaceColor);
}

void CDrawManager::DrawBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap, BOOL useMask,
                              COLORREF transparentColor, DWORD flags, BOOL shadowOn, int offsetX, int offsetY,
                              int depthX, int depthY, COLORREF shadowColor)
{
    m_sourceHasAlpha = FALSE;
    ImagePixels image;
    RECT window;
    const bool part = cx >= 1 && cy >= 1 &&
                      PictureWindow(dc, x, y, cx, cy, shadowOn, offsetX, offsetY, depthX, depthY, &window);
    if (cx < 1 || cy < 1 || !ReadBitmap(bitmap, cx, cy, image, part ? &window : nullptr))
        return;
    m_sourceHasAlpha = image.hasAlpha;
    if (useMask)
        MarkTransparent(image, transparentColor);
    if (part) {
        x += window.left;
        y += window.top;
    }
    DrawImagePixels(*this, dc, x, y, image, flags, shadowOn, offsetX, offsetY, depthX, depthY, shadowColor);
}

void CDrawManager::DrawIcon(HDC dc, int x, int y, int cx, int cy, HICON icon, BOOL /*useMask*/,
                            COLORREF /*transparentColor*/, DWORD flags, BOOL shadowOn, int offsetX, int offsetY,
                            int depthX, int depthY, COLORREF shadowColor)
{
    m_sourceHasAlpha = FALSE;
    if (!icon || cx < 1 || cy < 1)
        return;
    // The icon's information is read once: each reading copies its bitmaps.
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return;
    HICON scaled = nullptr;
    if (static_cast<int>(info.xHotspot) * 2 != cx || static_cast<int>(info.yHotspot) * 2 != cy) {
        for (HBITMAP b : {info.hbmColor, info.hbmMask})
            if (b)
                DeleteObject(b);
        info = ICONINFO();
        scaled = StretchIcon(icon, cx, cy);
        if (!scaled || !GetIconInfo(scaled, &info)) {
            if (scaled)
                DestroyIcon(scaled);
            return;
        }
    }
    {
        ImagePixels image;
        ImagePixels mask;
        bool ok;
        RECT window;
        const bool part = info.hbmColor &&
                          PictureWindow(dc, x, y, cx, cy, shadowOn, offsetX, offsetY, depthX, depthY, &window);
        if (info.hbmColor) {
            ok = ReadBitmap(info.hbmColor, cx, cy, image, part ? &window : nullptr) &&
                 ReadBitmap(info.hbmMask, cx, cy, mask, part ? &window : nullptr);
            if (part) {
                x += window.left;
                y += window.top;
            }
        } else {
            // A monochrome icon keeps AND and XOR masks one above the other.
            ImagePixels both;
            ok = ReadBitmap(info.hbmMask, cx, cy * 2, both);
            if (ok) {
                mask = both;
                mask.pixels.resize(static_cast<size_t>(cx) * cy);
                image = both;
                image.pixels.erase(image.pixels.begin(), image.pixels.begin() + static_cast<size_t>(cx) * cy);
                image.height = mask.height = cy;
                image.visible.assign(image.pixels.size(), true);
                image.hasAlpha = false;
            }
        }
        if (ok) {
            for (size_t i = 0; i < image.pixels.size(); ++i)
                image.visible[i] = (mask.pixels[i] & kRgbMask) == 0 || image.hasAlpha;
            m_sourceHasAlpha = image.hasAlpha;
            DrawImagePixels(*this, dc, x, y, image, flags, shadowOn, offsetX, offsetY, depthX, depthY,
                            shadowColor);
        }
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
    if (scaled)
        DestroyIcon(scaled);
}

void CDrawManager::DrawImageFromStrip(HDC dc, int x, int y, int cx, int cy, HBITMAP strip, int index,
                                      int cellCx, int cellCy, BOOL useMask, COLORREF transparentColor,
                                      DWORD flags, BOOL shadowOn, int offsetX, int offsetY, int depthX,
                                      int depthY, COLORREF shadowColor)
{
    SIZE size;
    GetBitmapSize(strip, &size);
    if (cellCx < 1 || cellCy < 1 || index < 0)
        return;
    const int columns = size.cx / cellCx;
    const int rows = size.cy / cellCy;
    if (columns < 1 || rows < 1 || index >= columns * rows)
        return;
    CDibSection32 cell;
    if (!cell.Create(cellCx, cellCy))
        return;
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ previous = SelectObject(source, strip);
    BitBlt(cell.DC(), 0, 0, cellCx, cellCy, source, (index % columns) * cellCx, (index / columns) * cellCy,
           SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    GdiFlush();
    HBITMAP cellBitmap = cell.Detach();
    DrawBitmap(dc, x, y, cx, cy, cellBitmap, useMask, transparentColor, flags, shadowOn, offsetX, offsetY,
               depthX, depthY, shadowColor);
    DeleteObject(cellBitmap);
}

void CDrawManager::DrawShadow(HDC dc, int x, int y, int cx, int cy, HBITMAP mask, BOOL soft, int depthX,
                              int depthY)
{
    if (!mask || cx < 1 || cy < 1)
        return;
    CDibSection32 target;
    CDibSection32 factors;
    if (!target.Create(cx, cy) || !factors.Create(cx, cy))
        return;
    target.ReadFrom(dc, x, y);
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ previous = SelectObject(source, mask);
    if (!soft) {
        BitBlt(factors.DC(), 0, 0, cx, cy, source, 0, 0, SRCCOPY);
    } else {
        depthX = std::max(1, depthX | 1);
        depthY = std::max(1, depthY | 1);
        PatBlt(factors.DC(), 0, 0, cx, cy, WHITENESS);
        const int shrinkX = std::min(depthX / 2, cx - 1);
        const int shrinkY = std::min(depthY / 2, cy - 1);
        SetStretchBltMode(factors.DC(), COLORONCOLOR);
        StretchBlt(factors.DC(), shrinkX / 2, shrinkY / 2, cx - shrinkX, cy - shrinkY, source, 0, 0, cx, cy,
                   SRCCOPY);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    GdiFlush();

    std::vector<double> factor(static_cast<size_t>(cx) * cy);
    if (!soft) {
        for (int i = 0; i < cx * cy; ++i)
            factor[i] = Blue(factors.Bits()[i]) / 255.0;
    } else {
        // Box mean over a depthX x depthY window; outside the canvas counts as white (no shadow).
        std::vector<long long> sums(static_cast<size_t>(cx + 1) * (cy + 1), 0);
        auto S = [&](int px, int py) -> long long& { return sums[static_cast<size_t>(py) * (cx + 1) + px]; };
        for (int py = 0; py < cy; ++py)
            for (int px = 0; px < cx; ++px)
                S(px + 1, py + 1) = Blue(factors.At(px, py)) + S(px, py + 1) + S(px + 1, py) - S(px, py);
        const int hx = depthX / 2;
        const int hy = depthY / 2;
        const double window = static_cast<double>(depthX) * depthY;
        for (int py = 0; py < cy; ++py)
            for (int px = 0; px < cx; ++px) {
                int x0 = std::max(0, px - hx), x1 = std::min(cx, px + hx + 1);
                int y0 = std::max(0, py - hy), y1 = std::min(cy, py + hy + 1);
                long long inside = S(x1, y1) - S(x0, y1) - S(x1, y0) + S(x0, y0);
                long long outside = static_cast<long long>(depthX * depthY - (x1 - x0) * (y1 - y0)) * 255;
                factor[static_cast<size_t>(py) * cx + px] = (inside + outside) / window / 255.0;
            }
    }
    for (int i = 0; i < cx * cy; ++i) {
        DWORD p = target.Bits()[i];
        COLORREF darkened = DarkenColor(RGB(Red(p), Green(p), Blue(p)), factor[i]);
        target.Bits()[i] = MakePixel(p, GetRValue(darkened), GetGValue(darkened), GetBValue(darkened));
    }
    target.WriteTo(dc, x, y);
}

void CDrawManager::AlphaBitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int percent)
{
    if (percent >= 100) {
        BitBlt(dst, x, y, cx, cy, src, xs, ys, SRCCOPY);
        return;
    }
    CDibSection32 back, front;
    if (!back.Create(cx, cy) || !front.Create(cx, cy))
        return;
    back.ReadFrom(dst, x, y);
    front.ReadFrom(src, xs, ys);
    const double p = std::max(0, percent) / 100.0;
    for (int i = 0; i < back.Count(); ++i) {
        DWORD s = front.Bits()[i], d = back.Bits()[i];
        back.Bits()[i] = MakePixel(d, static_cast<int>(Red(s) * p + Red(d) * (1 - p)),
                                   static_cast<int>(Green(s) * p + Green(d) * (1 - p)),
                                   static_cast<int>(Blue(s) * p + Blue(d) * (1 - p)));
    }
    back.WriteTo(dst, x, y);
}

void CDrawManager::AlphaBlendBitmap(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys)
{
    CDibSection32 back, front;
    if (!back.Create(cx, cy) || !front.Create(cx, cy))
        return;
    back.ReadFrom(dst, x, y);
    front.ReadFrom(src, xs, ys);
    for (int i = 0; i < back.Count(); ++i) {
        DWORD s = front.Bits()[i], d = back.Bits()[i];
        const double a = (s >> 24) / 255.0;
        back.Bits()[i] = MakePixel(d, static_cast<int>(Red(d) * (1 - a) + Red(s) * a),
                                   static_cast<int>(Green(d) * (1 - a) + Green(s) * a),
                                   static_cast<int>(Blue(d) * (1 - a) + Blue(s) * a));
    }
    back.WriteTo(dst, x, y);
}

namespace {
const int kMinTileSide = 64;
}

void CDrawManager::TileBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int tileCx,
                           int tileCy)
{
    if (tileCx < 1 || tileCy < 1 || cx < 1 || cy < 1)
        return;   // an empty tile would never advance
    // Only tiles that can be seen are drawn: the first one starts on the tile grid at or before the
    // clip box, so a huge area of tiny tiles costs no more than the visible part.
    long long left = x, top = y;
    long long right = static_cast<long long>(x) + cx, bottom = static_cast<long long>(y) + cy;
    const long long areaRight = right, areaBottom = bottom;
    RECT clip;
    if (GetClipBox(dst, &clip) != ERROR) {
        if (clip.left > left)
            left += (clip.left - left) / tileCx * tileCx;
        if (clip.top > top)
            top += (clip.top - top) / tileCy * tileCy;
        right = std::min<long long>(right, clip.right);
        bottom = std::min<long long>(bottom, clip.bottom);
    }
    if ((tileCx < kMinTileSide || tileCy < kMinTileSide) &&
        (right - left) * (bottom - top) > 64LL * tileCx * tileCy) {
        // Tiny tiles over a large area: tile a bigger tile first (whole tiles, so the grid stays).
        const int bigCx = tileCx * ((kMinTileSide + tileCx - 1) / tileCx);
        const int bigCy = tileCy * ((kMinTileSide + tileCy - 1) / tileCy);
        HDC memory = CreateCompatibleDC(dst);
        HBITMAP big = memory ? CreateCompatibleBitmap(dst, bigCx, bigCy) : nullptr;
        if (big) {
            HGDIOBJ previous = SelectObject(memory, big);
            for (int ty = 0; ty < bigCy; ty += tileCy)
                for (int tx = 0; tx < bigCx; tx += tileCx)
                    BitBlt(memory, tx, ty, tileCx, tileCy, src, xs, ys, SRCCOPY);
            TileBlt(dst, x, y, cx, cy, memory, 0, 0, bigCx, bigCy);
            SelectObject(memory, previous);
            DeleteObject(big);
            DeleteDC(memory);
            return;
        }
        if (memory)
            DeleteDC(memory);
    }
    for (long long ty = top; ty < bottom; ty += tileCy)
        for (long long tx = left; tx < right; tx += tileCx)
            BitBlt(dst, static_cast<int>(tx), static_cast<int>(ty),
                   static_cast<int>(std::min<long long>(tileCx, areaRight - tx)),
                   static_cast<int>(std::min<long long>(tileCy, areaBottom - ty)), src, xs, ys, SRCCOPY);
}

void CDrawManager::DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int style, int width)
{
    if (style == 0 || width < 1)
        return;
    width = std::min(width, MaxPenWidth);
    HPEN pen = CreatePen(PenStyleFor(style), width, colour);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    if (style == kDoubleLineStyle) {
        const int dx = y1 == y2 ? 0 : 2 * width;
        const int dy = y1 == y2 ? 2 * width : 0;
        MoveToEx(dc, x1 + dx, y1 + dy, nullptr);
        LineTo(dc, x2 + dx, y2 + dy);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void CDrawManager::DrawRectangle(HDC dc, int left, int top, int right, int bottom, COLORREF light,
                                 COLORREF dark, int style, int width)
{
    if (style == 0 || width < 1)
        return;
    width = std::min(width, MaxPenWidth);
    const int passes = style == kDoubleLineStyle ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int inset = width / 2 + pass * 2 * width;
        const int l = left + inset, t = top + inset;
        const int r = right - 1 - inset, b = bottom - 1 - inset;
        HPEN lightPen = CreatePen(PenStyleFor(style), width, light);
        HPEN darkPen = CreatePen(PenStyleFor(style), width, dark);
        HGDIOBJ previous = SelectObject(dc, lightPen);
        MoveToEx(dc, l, b, nullptr);
        LineTo(dc, l, t);
        LineTo(dc, r, t);
        SelectObject(dc, darkPen);
        MoveToEx(dc, r, t, nullptr);
        LineTo(dc, r, b);
        LineTo(dc, l, b);
        SelectObject(dc, previous);
        DeleteObject(lightPen);
        DeleteObject(darkPen);
    }
}

void CDrawManager::DrawRectangle(HDC dc, const RECT* rect, COLORREF light, COLORREF dark, int style, int width)
{
    if (rect)
        DrawRectangle(dc, rect->left, rect->top, rect->right, rect->bottom, light, dark, style, width);
}

HICON CDrawManager::StretchIcon(HICON icon, int cx, int cy)
{
    ICONINFO info = {};
    if (!icon || cx < 1 || cy < 1 || !GetIconInfo(icon, &info))
        return nullptr;
    SIZE colourSize = {0, 0}, maskSize = {0, 0};
    GetBitmapSize(info.hbmColor, &colourSize);
    GetBitmapSize(info.hbmMask, &maskSize);
    // A monochrome icon keeps its AND and XOR masks one above the other in a mask twice as tall.
    const long long maskCy = info.hbmColor ? cy : 2LL * cy;
    ICONINFO fresh = info;
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    fresh.hbmColor = info.hbmColor ? CreateCompatibleBitmap(screen, cx, cy) : nullptr;
    fresh.hbmMask = maskCy <= 0x7FFFFFFF ? CreateBitmap(cx, static_cast<int>(maskCy), 1, 1, nullptr) : nullptr;
    ReleaseDC(nullptr, screen);
    // Anything that could not be made gives no icon: without its colour bitmap the mask alone would
    // pass for a monochrome icon of half the height.
    HICON result = nullptr;
    if (source && target && fresh.hbmMask && (fresh.hbmColor || !info.hbmColor)) {
        HGDIOBJ oldSource = SelectObject(source, info.hbmMask);
        HGDIOBJ oldTarget = SelectObject(target, fresh.hbmMask);
        SetStretchBltMode(target, COLORONCOLOR);
        BOOL drawn = StretchBlt(target, 0, 0, cx, static_cast<int>(maskCy), source, 0, 0, maskSize.cx, maskSize.cy, SRCCOPY);
        if (info.hbmColor) {
            SelectObject(source, info.hbmColor);
            SelectObject(target, fresh.hbmColor);
            drawn = drawn && StretchBlt(target, 0, 0, cx, cy, source, 0, 0, colourSize.cx, colourSize.cy, SRCCOPY);
        }
        SelectObject(source, oldSource);
        SelectObject(target, oldTarget);
        fresh.fIcon = TRUE;
        fresh.xHotspot = cx / 2;
        fresh.yHotspot = cy / 2;
        if (drawn)
            result = CreateIconIndirect(&fresh);
    }
    if (source)
        DeleteDC(source);
    if (target)
        DeleteDC(target);
    for (HBITMAP b : {info.hbmColor, info.hbmMask, fresh.hbmColor, fresh.hbmMask})
        if (b)
            DeleteObject(b);
    return result;
}

void CDrawManager::GetBitmapSize(HBITMAP bitmap, SIZE* size)
{
    if (!size)
        return;
    size->cx = size->cy = 0;
    BITMAP info;
    if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) {
        size->cx = info.bmWidth;
        size->cy = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

void CDrawManager::GetIconSize(HICON icon, SIZE* size)
{
    if (!size)
        return;
    size->cx = size->cy = 0;
    ICONINFO info = {};
    if (icon && GetIconInfo(icon, &info)) {
        size->cx = static_cast<LONG>(info.xHotspot) * 2;
        size->cy = static_cast<LONG>(info.yHotspot) * 2;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
}

COLORREF CDrawManager::GrayColor(COLORREF colour)
{
    const int y = static_cast<int>(0.299 * GetRValue(colour) + 0.587 * GetGValue(colour) +
                                   0.114 * GetBValue(colour));
    return RGB(y, y, y);
}

DWORD CDrawManager::GrayDibColor(DWORD pixel)
{
    const int y = static_cast<int>(0.299 * Red(pixel) + 0.587 * Green(pixel) + 0.114 * Blue(pixel));
    return MakePixel(pixel, y, y, y);
}

COLORREF CDrawManager::InvertColor(COLORREF colour)
{
    return RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 255 - GetBValue(colour));
}

COLORREF CDrawManager::DarkenColor(COLORREF colour, double factor)
{
    if (factor < 0.0 || factor >= 1.0)
        return colour;
    return RGB(static_cast<int>(GetRValue(colour) * factor), static_cast<int>(GetGValue(colour) * factor),
               static_cast<int>(GetBValue(colour) * factor));
}

COLORREF CDrawManager::LightenColor(COLORREF colour, double factor)
{
    if (factor <= 0.0 || factor > 1.0)
        return colour;
    auto lift = [&](BYTE c) { return std::min(255, static_cast<int>(c * (1.0 + factor))); };
    return RGB(lift(GetRValue(colour)), lift(GetGValue(colour)), lift(GetBValue(colour)));
}

COLORREF CDrawManager::MixColors(COLORREF c1, double f1, COLORREF c2, double f2)
{
    auto mix = [&](BYTE a, BYTE b) { return std::min(255, std::max(0, static_cast<int>(a * f1 + b * f2))); };
    return RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
               mix(GetBValue(c1), GetBValue(c2)));
}
