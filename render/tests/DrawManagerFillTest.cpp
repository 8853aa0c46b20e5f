#include "render/DibSection32.h"
#include "render/DrawManager.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <set>

namespace {
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

COLORREF PixelAt(const CDibSection32& s, int x, int y)
{
    DWORD p = s.At(x, y);
    return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
}

COLORREF StripColour(COLORREF from, COLORREF to, int i)
{
    return RGB((GetRValue(to) * i + GetRValue(from) * (64 - i)) >> 6,
               (GetGValue(to) * i + GetGValue(from) * (64 - i)) >> 6,
               (GetBValue(to) * i + GetBValue(from) * (64 - i)) >> 6);
}

// The colour of the first strip whose span starts at column c of a gradient of width w.
COLORREF GradientColumn(COLORREF from, COLORREF to, int c, int w)
{
    for (int i = 0; i < 64; ++i)
        if (((i * w) >> 6) <= c && c < (((i + 1) * w) >> 6))
            return StripColour(from, to, i);
    return CLR_INVALID;
}
}

TEST(DrawManagerFill, NumbersOutsideTheEffectsFillSolidBegin)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(20, 10));
    CDrawManager dm;
    for (int effect : {-1, 0, 16, 99, -7}) {
        PatBlt(s.DC(), 0, 0, 20, 10, BLACKNESS);
        RECT r = {2, 1, 18, 9};
        dm.FillEffect(s.DC(), effect, &r, kRed, kBlue, kBlue, 5, 0);
        GdiFlush();
        EXPECT_EQ(PixelAt(s, 2, 1), kRed) << effect;
        EXPECT_EQ(PixelAt(s, 17, 8), kRed) << effect;
        EXPECT_EQ(PixelAt(s, 18, 9), RGB(0, 0, 0)) << effect;
        EXPECT_EQ(PixelAt(s, 1, 1), RGB(0, 0, 0)) << effect;
    }
    dm.FillEffect(s.DC(), 0, nullptr, kRed, kRed, kRed, 0, 0);   // no rectangle, no fault
}

TEST(DrawManagerFill, HorizontalGradientUsesSixtyFourStrips)
{
    for (int width : {640, 10, 100}) {
        CDibSection32 s;
        ASSERT_TRUE(s.Create(width, 2));
        CDrawManager dm;
        RECT r = {0, 0, width, 2};
        dm.FillEffect(s.DC(), EffectHGradient, &r, kRed, 0, kBlue, 0, 0);
        GdiFlush();
        for (int c = 0; c < width; ++c)
            ASSERT_EQ(PixelAt(s, c, 1), GradientColumn(kRed, kBlue, c, width)) << width << " column " << c;
    }
    CDibSection32 s;
    s.Create(640, 1);
    CDrawManager dm;
    RECT r = {0, 0, 640, 1};
    dm.FillEffect(s.DC(), EffectHGradient, &r, kRed, 0, kBlue, 0, 0);
    GdiFlush();
    EXPECT_EQ(PixelAt(s, 0, 0), kRed);
    EXPECT_EQ(PixelAt(s, 9, 0), kRed);
    EXPECT_EQ(PixelAt(s, 10, 0), StripColour(kRed, kBlue, 1));
    EXPECT_EQ(PixelAt(s, 639, 0), StripColour(kRed, kBlue, 63));
}

TEST(DrawManagerFill, VerticalAndTwoPartGradientsSplitAtTheMiddle)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(11, 64));
    CDrawManager dm;
    RECT r = {0, 0, 11, 64};
    dm.FillEffect(s.DC(), EffectVGradient, &r, kRed, 0, kBlue, 0, 0);
    GdiFlush();
    EXPECT_EQ(PixelAt(s, 5, 0), kRed);
    EXPECT_EQ(PixelAt(s, 5, 63), StripColour(kRed, kBlue, 63));

    // Odd width: the left part (begin to end) is one pixel narrower than the right (end to begin).
    dm.FillEffect(s.DC(), EffectHCGradient, &r, kRed, 0, kBlue, 0, 0);
    GdiFlush();
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(PixelAt(s, c, 3), GradientColumn(kRed, kBlue, c, 5)) << c;
    for (int c = 5; c < 11; ++c)
        EXPECT_EQ(PixelAt(s, c, 3), GradientColumn(kBlue, kRed, c - 5, 6)) << c;

    const COLORREF green = RGB(0, 255, 0);
    dm.FillEffect(s.DC(), Effect3VGradient, &r, kRed, green, kBlue, 0, 0);
    GdiFlush();
    // A 32-row part has fewer strips than 64: its first row takes strip 1.
    EXPECT_EQ(PixelAt(s, 0, 0), StripColour(kRed, green, 1));
    EXPECT_EQ(PixelAt(s, 0, 31), GradientColumn(kRed, green, 31, 32));
    EXPECT_EQ(PixelAt(s, 0, 32), GradientColumn(green, kBlue, 0, 32));
    EXPECT_EQ(PixelAt(s, 0, 63), GradientColumn(green, kBlue, 31, 32));
}

TEST(DrawManagerFill, PatternPaletteRunsFromEndThroughMidToBegin)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(8, 8));
    CDrawManager dm;
    RECT r = {0, 0, 8, 8};
    dm.FillEffect(s.DC(), EffectNoise, &r, RGB(200, 100, 0), RGB(0, 50, 100), RGB(10, 20, 30), 4, 0);
    const RGBQUAD* palette = dm.GetCanvas().GetPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette[0].rgbRed, 10);
    EXPECT_EQ(palette[0].rgbBlue, 30);
    EXPECT_EQ(palette[255].rgbRed, 200);
    EXPECT_EQ(palette[255].rgbGreen, 100);
    EXPECT_EQ(palette[64].rgbBlue, (30 * 64 + 100 * 64) / 128);
    EXPECT_EQ(palette[128].rgbRed, (0 * 127 + 200 * 1) / 128);   // the second formula stands
    EXPECT_EQ(dm.GetCanvas().GetWidth(), 8u);
}

TEST(DrawManagerFill, NoiseWithoutGranularityIsFlat)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(32, 16));
    CDrawManager dm;
    RECT r = {0, 0, 32, 16};
    dm.FillEffect(s.DC(), EffectNoise, &r, RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), 0, 0);
    GdiFlush();
    // Values 128 (rand() < 32767) or 129: palette entries (1,1,1) and (3,3,3).
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            COLORREF c = PixelAt(s, x, y);
            ASSERT_TRUE(c == RGB(1, 1, 1) || c == RGB(3, 3, 3)) << x << "," << y << " " << std::hex << c;
        }
}

TEST(DrawManagerFill, FullBlendMakesEveryPatternPlainBegin)
{
    for (int effect = EffectNoise; effect <= EffectMetal; ++effect) {
        CDibSection32 s;
        ASSERT_TRUE(s.Create(40, 30));
        CDrawManager dm;
        RECT r = {5, 5, 35, 25};
        dm.FillEffect(s.DC(), effect, &r, RGB(12, 34, 56), kRed, kBlue, 9, 100);
        GdiFlush();
        EXPECT_EQ(PixelAt(s, 5, 5), RGB(12, 34, 56)) << effect;
        EXPECT_EQ(PixelAt(s, 34, 24), RGB(12, 34, 56)) << effect;
        EXPECT_EQ(PixelAt(s, 35, 25), RGB(0, 0, 0)) << effect;
        EXPECT_EQ(PixelAt(s, 4, 4), RGB(0, 0, 0)) << effect;
    }
}

TEST(DrawManagerFill, PatternsShadeAcrossTheRectangle)
{
    // With the palette's grey ramp and no noise the shades read back as their pixel values.
    CDibSection32 s;
    ASSERT_TRUE(s.Create(64, 64));
    CDrawManager dm;
    RECT r = {0, 0, 64, 64};
    dm.FillEffect(s.DC(), EffectHShade, &r, RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 0, 0), 0, 0);
    const BYTE* bits = dm.GetCanvas().GetBits();
    const DWORD line = dm.GetCanvas().GetLineWidth();
    // hshade: value (r * 255) / H + noise, rows counted from the bottom.
    for (int row = 0; row < 64; ++row) {
        int expected = (row * 255) / 64;
        int got = bits[row * line + 10];
        EXPECT_TRUE(got == expected || got == expected + 1) << row << ": " << got;
    }
    dm.FillEffect(s.DC(), EffectVShade, &r, RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 0, 0), 0, 0);
    bits = dm.GetCanvas().GetBits();
    for (int c = 0; c < 64; ++c) {
        int expected = (255 * (64 - c)) / 64;
        int got = bits[5 * line + c];
        EXPECT_TRUE(got == (expected & 255) || got == ((expected + 1) & 255)) << c << ": " << got;
    }
}

TEST(DrawManagerFill, SoftBumpStaysWithinGranularityBounds)
{
    std::srand(1);
    CDibSection32 s;
    ASSERT_TRUE(s.Create(50, 40));
    CDrawManager dm;
    RECT r = {0, 0, 50, 40};
    const int g = 20;
    dm.FillEffect(s.DC(), EffectSoftBump, &r, RGB(255, 255, 255), RGB(128, 128, 128), 0, g, 0);
    const BYTE* bits = dm.GetCanvas().GetBits();
    // Clamped to [g, 255 - g], then noise() - g in [-g, g + 1] added (q = 32767/40, noise <= 40).
    std::set<int> seen;
    for (int i = 0; i < 50 * 40; ++i)
        seen.insert(bits[i]);
    EXPECT_GE(*seen.begin(), 0);
    EXPECT_LE(*seen.rbegin(), 255);
    EXPECT_GT(seen.size(), 20u);   // a real shading, not a flat area
}

TEST(DrawManagerFill, DegenerateRectanglesNeverFault)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(4, 4));
    CDrawManager dm;
    const RECT rects[] = {{0, 0, 0, 4}, {0, 0, 4, 0}, {3, 3, 1, 1}, {0, 0, 5, 1}, {0, 0, 1, 1},
                          {0, 0, 40000, 2}, {0, 0, 2, 40000}};
    for (const RECT& r : rects)
        for (int effect = EffectNoise; effect <= EffectMetal; ++effect)
            dm.FillEffect(s.DC(), effect, &r, kRed, kBlue, kBlue, 3, 0);
    SUCCEED();
}

TEST(DrawManagerFill, HardBumpOnNarrowRectangleHasNoBevels)
{
    CDibSection32 s;
    ASSERT_TRUE(s.Create(5, 40));
    CDrawManager dm;
    RECT r = {0, 0, 5, 40};
    dm.FillEffect(s.DC(), EffectHardBump, &r, RGB(255, 255, 255), RGB(128, 128, 128), 0, 0, 0);
    const BYTE* bits = dm.GetCanvas().GetBits();
    const DWORD line = dm.GetCanvas().GetLineWidth();
    // Each row is the phase-1 value plus two noise draws of 0 or 1, the same across the row.
    for (int row = 0; row < 40; ++row) {
        int t = (255 * row) / 40 - 127;
        int base = ((t * t * t) / 16384 * 128) / 128 + 128;
        for (int c = 0; c < 5; ++c) {
            int diff = (bits[row * line + c] - base) & 255;
            ASSERT_LE(diff, 2) << row << "," << c;
        }
    }
}

TEST(DrawManagerFill, PatternsOfHugeRectanglesKeepTheirShapeInThePartThatIsSeen)
{
    // A grey ramp: a pattern value v draws grey v (give or take the palette's rounding).
    const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    CDrawManager dm;
    CDibSection32 s;
    ASSERT_TRUE(s.Create(400, 300));
    auto value = [&](int x, int y) { GdiFlush(); return static_cast<int>(GetRValue(PixelAt(s, x, y))); };
    // A hard bump 50 000 rows tall, seen at its top, its middle and its bottom: its bevels open at
    // the middle and close toward both ends, as on a short one.
    struct Place { int top; int row; bool bevelled; } places[] = {{0, 0, false}, {150 - 25000, 150, true},
                                                                   {300 - 50000, 299, false}};
    for (const Place& place : places) {
        SCOPED_TRACE(place.top);
        RECT r = {0, place.top, 20, place.top + 50000};
        dm.FillEffect(s.DC(), EffectHardBump, &r, white, grey, black, 0, 0);
        if (place.bevelled) {
            EXPECT_GT(std::abs(value(0, place.row) - value(10, place.row)), 100);
        } else {
            for (int c = 2; c < 20; ++c)
                EXPECT_LE(std::abs(value(c, place.row) - value(10, place.row)), 3) << c;
        }
    }
    // A vertical shade nine million pixels wide runs from the begin colour down to the end one.
    struct Seen { int left; int expected; } seen[] = {{0, 255}, {-4500000, 128}, {-8999999, 0}};
    for (const Seen& at : seen) {
        RECT wide = {at.left, 0, at.left + 9000000, 1};
        dm.FillEffect(s.DC(), EffectVShade, &wide, white, grey, black, 0, 0);
        EXPECT_NEAR(value(0, 0), at.expected, 3) << at.left;
    }
}
