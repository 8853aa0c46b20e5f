#include "render/DibSection32.h"
#include "render/DrawManager.h"
#include <gtest/gtest.h>

namespace {
const COLORREF kMagenta = RGB(255, 0, 255);
const DWORD kRgb = 0xFFFFFF;

DWORD Px(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A bitmap of w x h in one colour, with optional per-pixel alpha and one magenta pixel at (0, 0).
HBITMAP MakeBitmap(int w, int h, COLORREF colour, BYTE alpha = 0, bool magentaCorner = false)
{
    CDibSection32 s;
    s.Create(w, h);
    for (int i = 0; i < s.Count(); ++i)
        s.Bits()[i] = (static_cast<DWORD>(alpha) << 24) | Px(colour);
    if (magentaCorner)
        s.At(0, 0) = Px(kMagenta);
    return s.Detach();
}

struct Canvas
{
    CDibSection32 s;
    explicit Canvas(int w = 40, int h = 40, COLORREF fill = RGB(0, 200, 0))
    {
        s.Create(w, h);
        for (int i = 0; i < s.Count(); ++i)
            s.Bits()[i] = Px(fill);
    }
    DWORD At(int x, int y) { GdiFlush(); return s.At(x, y) & kRgb; }
};
}

TEST(DrawManagerImage, MaskKeepsTransparentPixelsOut)
{
    Canvas c;
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(4, 4, RGB(255, 0, 0), 0, true);
    dm.DrawBitmap(c.s.DC(), 10, 10, 4, 4, bmp, TRUE, kMagenta, 0, FALSE, 0, 0, 0, 0, RGB(128, 128, 128));
    EXPECT_EQ(c.At(10, 10), Px(RGB(0, 200, 0)));
    EXPECT_EQ(c.At(11, 10), Px(RGB(255, 0, 0)));
    EXPECT_EQ(c.At(13, 13), Px(RGB(255, 0, 0)));
    EXPECT_EQ(c.At(14, 13), Px(RGB(0, 200, 0)));
    // Without the mask flag the magenta pixel is drawn.
    dm.DrawBitmap(c.s.DC(), 20, 20, 4, 4, bmp, FALSE, kMagenta, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(c.At(20, 20), Px(kMagenta));
    DeleteObject(bmp);
}

TEST(DrawManagerImage, ColourEffectsApplyToVisiblePixels)
{
    struct Case { DWORD flags; COLORREF expected; } cases[] = {
        {0, RGB(200, 100, 40)},
        {ImageGray, RGB(123, 123, 123)},   // 0.299*200 + 0.587*100 + 0.114*40 = 123.02
        {ImageDarken, RGB(150, 75, 30)},
        {ImageLighten, RGB(250, 125, 50)},
        {ImageColor, RGB(128, 128, 128)},
        {ImageGray | ImageInvert, RGB(132, 132, 132)},
        {ImageInvert, RGB(55, 155, 215)},
    };
    for (const auto& t : cases) {
        Canvas c;
        CDrawManager dm;
        HBITMAP bmp = MakeBitmap(4, 4, RGB(200, 100, 40), 0, true);
        dm.DrawBitmap(c.s.DC(), 0, 0, 4, 4, bmp, TRUE, kMagenta, t.flags, FALSE, 0, 0, 0, 0, RGB(128, 128, 128));
        EXPECT_EQ(c.At(2, 2), Px(t.expected)) << std::hex << t.flags;
        // Transparent pixels are inverted to white before masking, but the mask still keeps them out.
        EXPECT_EQ(c.At(0, 0), Px(RGB(0, 200, 0))) << std::hex << t.flags;
        DeleteObject(bmp);
    }
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(2, 2, RGB(10, 20, 30), 0, true);
    HBITMAP effect = dm.CreateImageEffect(bmp, 2, 2, TRUE, ImageGray | ImageInvert, kMagenta, 0);
    ASSERT_NE(effect, nullptr);
    CDibSection32 read;
    read.Create(2, 2);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, effect);
    BitBlt(read.DC(), 0, 0, 2, 2, m, 0, 0, SRCCOPY);
    SelectObject(m, old);
    DeleteDC(m);
    GdiFlush();
    EXPECT_EQ(read.At(0, 0) & kRgb, 0xFFFFFFu);
    DeleteObject(effect);
    DeleteObject(bmp);
}

TEST(DrawManagerImage, ScalesToTheRequestedSize)
{
    Canvas c;
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(4, 4, RGB(255, 0, 0));
    dm.DrawBitmap(c.s.DC(), 5, 5, 12, 8, bmp, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(c.At(16, 12), Px(RGB(255, 0, 0)));
    EXPECT_EQ(c.At(17, 12), Px(RGB(0, 200, 0)));
    EXPECT_EQ(c.At(16, 13), Px(RGB(0, 200, 0)));
    DeleteObject(bmp);
}

TEST(DrawManagerImage, PerPixelAlphaBlendsAndIgnoresTheMask)
{
    Canvas c(10, 10, RGB(0, 0, 0));
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(4, 4, RGB(200, 100, 250), 128, true);
    dm.DrawBitmap(c.s.DC(), 0, 0, 4, 4, bmp, TRUE, kMagenta, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_TRUE(dm.SourceHasAlpha());
    const double a = 128 / 255.0;
    EXPECT_EQ(c.At(2, 2), Px(RGB(int(200 * a), int(100 * a), int(250 * a))));
    // The alpha-0 magenta pixel blends to nothing.
    EXPECT_EQ(c.At(0, 0), 0u);
    DeleteObject(bmp);
}

TEST(DrawManagerImage, FlatShadowHalvesTheDestinationUnderVisiblePixels)
{
    Canvas c(30, 30, RGB(200, 100, 50));
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(6, 6, RGB(0, 0, 255), 0, true);
    dm.DrawBitmap(c.s.DC(), 5, 5, 6, 6, bmp, TRUE, kMagenta, ImageShadow, TRUE, 4, 4, 7, 7, RGB(128, 128, 128));
    const double f = 128 / 255.0;
    EXPECT_EQ(c.At(14, 14), Px(RGB(int(200 * f), int(100 * f), int(50 * f))));   // shadow only
    EXPECT_EQ(c.At(9, 9), Px(RGB(0, 0, 255)));                                   // picture on top
    EXPECT_EQ(c.At(9, 4 + 5), Px(RGB(0, 0, 255)));
    EXPECT_EQ(c.At(15, 15), Px(RGB(200, 100, 50)));                               // beyond the shadow
    EXPECT_EQ(c.At(9, 9 + 6), Px(RGB(200, 100, 50)));
    DeleteObject(bmp);
}

TEST(DrawManagerImage, SoftShadowFadesAtItsEdges)
{
    Canvas c(60, 60, RGB(200, 200, 200));
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(20, 20, RGB(0, 0, 255));
    dm.DrawBitmap(c.s.DC(), 10, 10, 20, 20, bmp, FALSE, 0, ImageSoftShadow, TRUE, 4, 4, 7, 7, RGB(0, 0, 0));
    // Deep inside the shadow it is dark; near its outer edge lighter; outside untouched.
    DWORD inner = c.At(32, 25) & 255, edge = c.At(33, 25) & 255, outside = c.At(40, 25) & 255;
    EXPECT_LT(inner, edge);
    EXPECT_LE(edge, outside);
    EXPECT_EQ(outside, 200u);
    DeleteObject(bmp);
}

TEST(DrawManagerImage, ALargePictureDrawsInTheClipBoxAsItWouldWhole)
{
    // A 4 x 4 bitmap, half see-through, scaled up with a soft shadow: drawn into a DC that shows a
    // corner of it, the corner is what a DC that shows all of it holds there.
    CDibSection32 source;
    source.Create(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.At(x, y) = (x + y) % 2 ? Px(RGB(250, 40, 40)) : Px(kMagenta);
    HBITMAP bitmap = source.Detach();
    HBITMAP translucent = MakeBitmap(4, 4, RGB(0, 0, 250), 128);
    struct Case { HBITMAP bitmap; BOOL mask; DWORD flags; } cases[] = {
        {bitmap, TRUE, ImageSoftShadow}, {bitmap, FALSE, ImageShadow | ImageGray}, {translucent, FALSE, ImageSoftShadow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        Canvas whole(1100, 1100, RGB(0, 200, 0));
        Canvas corner(300, 200, RGB(0, 200, 0));
        CDrawManager dm;
        for (Canvas* canvas : {&whole, &corner})
            dm.DrawBitmap(canvas->s.DC(), 30, 20, 1000, 1000, c.bitmap, c.mask, Px(kMagenta), c.flags, TRUE, 6, 6, 7,
                          7, RGB(128, 128, 128));
        int differing = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                if (whole.At(x, y) != corner.At(x, y))
                    ++differing;
        EXPECT_EQ(0, differing);
        EXPECT_EQ(Px(RGB(0, 200, 0)), corner.At(10, 10)) << "left of the picture";
    }
    DeleteObject(bitmap);
    DeleteObject(translucent);
}

TEST(DrawManagerImage, ShadowOnWithoutShadowFlagsPressesTheImage)
{
    Canvas c;
    CDrawManager dm;
    HBITMAP bmp = MakeBitmap(4, 4, RGB(255, 0, 0));
    dm.DrawBitmap(c.s.DC(), 10, 10, 4, 4, bmp, FALSE, 0, 0, TRUE, 3, 2, 7, 7, 0);
    EXPECT_EQ(c.At(10, 10), Px(RGB(0, 200, 0)));
    EXPECT_EQ(c.At(13, 12), Px(RGB(255, 0, 0)));
    EXPECT_EQ(c.At(16, 15), Px(RGB(255, 0, 0)));
    DeleteObject(bmp);
}

TEST(DrawManagerImage, StripDrawsTheIndexedCellOnly)
{
    CDibSection32 strip;
    strip.Create(12, 8);   // 3 columns x 2 rows of 4 x 4
    const COLORREF cells[6] = {RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0), RGB(40, 0, 0), RGB(50, 0, 0),
                               RGB(60, 0, 0)};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            strip.At(x, y) = Px(cells[(y / 4) * 3 + x / 4]);
    HBITMAP bmp = strip.Detach();
    CDrawManager dm;
    for (int index = 0; index < 6; ++index) {
        Canvas c;
        dm.DrawImageFromStrip(c.s.DC(), 1, 1, 4, 4, bmp, index, 4, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
        EXPECT_EQ(c.At(2, 2), Px(cells[index])) << index;
    }
    for (int index : {6, -1}) {
        Canvas c;
        dm.DrawImageFromStrip(c.s.DC(), 1, 1, 4, 4, bmp, index, 4, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
        EXPECT_EQ(c.At(2, 2), Px(RGB(0, 200, 0))) << index;
    }
    Canvas c;
    dm.DrawImageFromStrip(c.s.DC(), 1, 1, 4, 4, bmp, 0, 0, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(c.At(2, 2), Px(RGB(0, 200, 0)));
    DeleteObject(bmp);
}

TEST(DrawManagerImage, IconDrawsThroughItsOwnMask)
{
    CDibSection32 colour;
    colour.Create(16, 16);
    for (int i = 0; i < colour.Count(); ++i)
        colour.Bits()[i] = Px(RGB(0, 0, 255));
    BYTE maskBits[16 * 2];
    for (int row = 0; row < 16; ++row) {
        maskBits[row * 2] = row < 8 ? 0xFF : 0x00;   // top half transparent
        maskBits[row * 2 + 1] = row < 8 ? 0xFF : 0x00;
    }
    ICONINFO info = {TRUE, 8, 8, CreateBitmap(16, 16, 1, 1, maskBits), colour.Detach()};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ASSERT_NE(icon, nullptr);
    SIZE size;
    CDrawManager::GetIconSize(icon, &size);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);

    Canvas c;
    CDrawManager dm;
    dm.DrawIcon(c.s.DC(), 2, 2, 16, 16, icon, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(c.At(5, 4), Px(RGB(0, 200, 0)));
    EXPECT_EQ(c.At(5, 14), Px(RGB(0, 0, 255)));
    // Scaled to 32 x 32 the transparent half scales with it.
    Canvas big;
    dm.DrawIcon(big.s.DC(), 0, 0, 32, 32, icon, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(big.At(20, 10), Px(RGB(0, 200, 0)));
    EXPECT_EQ(big.At(20, 25), Px(RGB(0, 0, 255)));
    EXPECT_EQ(big.At(33, 25), Px(RGB(0, 200, 0)));
    DestroyIcon(icon);
}

TEST(DrawManagerImage, BlendsAndTiles)
{
    Canvas back(8, 8, RGB(0, 0, 0));
    Canvas front(8, 8, RGB(200, 100, 50));
    CDrawManager dm;
    dm.AlphaBitBlt(back.s.DC(), 0, 0, 4, 4, front.s.DC(), 0, 0, 50);
    EXPECT_EQ(back.At(1, 1), Px(RGB(100, 50, 25)));
    EXPECT_EQ(back.At(5, 5), 0u);
    dm.AlphaBitBlt(back.s.DC(), 4, 4, 4, 4, front.s.DC(), 0, 0, 150);
    EXPECT_EQ(back.At(5, 5), Px(RGB(200, 100, 50)));

    Canvas tile(2, 2, RGB(9, 9, 9));
    tile.s.At(0, 0) = Px(RGB(255, 255, 255));
    Canvas target(7, 5, RGB(1, 1, 1));
    dm.TileBlt(target.s.DC(), 1, 0, 5, 5, tile.s.DC(), 0, 0, 2, 2);
    EXPECT_EQ(target.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(target.At(3, 2), 0xFFFFFFu);
    EXPECT_EQ(target.At(5, 4), 0xFFFFFFu);
    EXPECT_EQ(target.At(4, 4), Px(RGB(9, 9, 9)));
    EXPECT_EQ(target.At(6, 4), Px(RGB(1, 1, 1)));
    EXPECT_EQ(target.At(0, 0), Px(RGB(1, 1, 1)));
    dm.TileBlt(target.s.DC(), 0, 0, 5, 5, tile.s.DC(), 0, 0, 0, 2);   // empty tile: returns
}

TEST(DrawManagerImage, LinesAndFrames)
{
    Canvas c(30, 30, RGB(255, 255, 255));
    CDrawManager dm;
    dm.DrawLine(c.s.DC(), 2, 5, 20, 5, RGB(0, 0, 0), 0, 1);
    dm.DrawLine(c.s.DC(), 2, 6, 20, 6, RGB(0, 0, 0), 1, 0);
    EXPECT_EQ(c.At(10, 5), 0xFFFFFFu);
    EXPECT_EQ(c.At(10, 6), 0xFFFFFFu);
    dm.DrawLine(c.s.DC(), 2, 10, 20, 10, RGB(255, 0, 0), 6, 1);   // double: a second line 2 below
    EXPECT_EQ(c.At(10, 10), Px(RGB(255, 0, 0)));
    EXPECT_EQ(c.At(10, 11), 0xFFFFFFu);
    EXPECT_EQ(c.At(10, 12), Px(RGB(255, 0, 0)));

    Canvas f(30, 30, RGB(255, 255, 255));
    dm.DrawRectangle(f.s.DC(), 2, 2, 22, 12, RGB(0, 255, 0), RGB(0, 0, 255), 1, 1);
    EXPECT_EQ(f.At(2, 6), Px(RGB(0, 255, 0)));    // left: light
    EXPECT_EQ(f.At(10, 2), Px(RGB(0, 255, 0)));   // top: light
    EXPECT_EQ(f.At(21, 6), Px(RGB(0, 0, 255)));   // right: dark
    EXPECT_EQ(f.At(10, 11), Px(RGB(0, 0, 255)));  // bottom: dark
    EXPECT_EQ(f.At(10, 6), 0xFFFFFFu);
    EXPECT_EQ(f.At(22, 6), 0xFFFFFFu);
    Canvas d(30, 30, RGB(255, 255, 255));
    dm.DrawRectangle(d.s.DC(), 0, 0, 20, 20, 0, 0, 6, 1);   // double: second outline 2 inside
    EXPECT_EQ(d.At(0, 10), 0u);
    EXPECT_EQ(d.At(1, 10), 0xFFFFFFu);
    EXPECT_EQ(d.At(2, 10), 0u);
    EXPECT_EQ(d.At(17, 10), 0u);
    dm.DrawRectangle(d.s.DC(), 0, 0, 20, 20, RGB(9, 9, 9), 0, 0, 1);
    EXPECT_EQ(d.At(1, 10), 0xFFFFFFu);
}

TEST(DrawManagerImage, ColourArithmetic)
{
    EXPECT_EQ(CDrawManager::GrayColor(RGB(200, 100, 40)), RGB(123, 123, 123));
    EXPECT_EQ(CDrawManager::InvertColor(RGB(0, 100, 255)), RGB(255, 155, 0));
    EXPECT_EQ(CDrawManager::DarkenColor(RGB(200, 100, 40), 0.5), RGB(100, 50, 20));
    EXPECT_EQ(CDrawManager::DarkenColor(RGB(200, 100, 40), 1.0), RGB(200, 100, 40));
    EXPECT_EQ(CDrawManager::LightenColor(RGB(200, 100, 40), 0.5), RGB(255, 150, 60));
    EXPECT_EQ(CDrawManager::LightenColor(RGB(200, 100, 40), 0.0), RGB(200, 100, 40));
    EXPECT_EQ(CDrawManager::MixColors(RGB(200, 100, 0), 0.5, RGB(0, 100, 200), 0.5), RGB(100, 100, 100));
    SIZE s;
    CDrawManager::GetBitmapSize(nullptr, &s);
    EXPECT_EQ(s.cx, 0);
}
