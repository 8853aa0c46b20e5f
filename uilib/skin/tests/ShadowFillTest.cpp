#include <gtest/gtest.h>

#include <vector>

#include "uilib/skin/ShadowFill.h"

namespace {

using namespace FWSkin;

constexpr DWORD kGuard = 0xDEADBEEF;
constexpr int kGuardCount = 64;

// A bitmap with guard words before and after it: every fill must stay inside.
struct Bitmap {
    Bitmap(int w, int h) : width(w), height(h), words(kGuardCount * 2 + std::max(0, w * h), kGuard) {}
    DWORD* Bits() { return words.data() + kGuardCount; }
    DWORD At(int x, int y) const { return words[kGuardCount + y * width + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
    bool GuardsIntact() const
    {
        for (int i = 0; i < kGuardCount; ++i)
            if (words[i] != kGuard || words[words.size() - 1 - i] != kGuard)
                return false;
        return true;
    }
    int width, height;
    std::vector<DWORD> words;
};

std::vector<ShadowSpan> Rectangle(int width, int height)
{
    return std::vector<ShadowSpan>(height, ShadowSpan{0, width - 1});
}

ShadowParameters Look(int darkness, int sharpness, int size, int x, int y, COLORREF color = 0)
{
    ShadowParameters p;
    p.darkness = darkness, p.sharpness = sharpness, p.size = size, p.xOffset = x, p.yOffset = y, p.color = color;
    return p;
}

TEST(ShadowFill, SoftEdgeReachesFromTheShrunkOutlineBackToTheShape)
{
    // 40 x 30, size 0, sharpness 5, darkness 150: the bitmap is the window's size.
    Bitmap b(40, 30);
    ASSERT_TRUE(FillShadow(Rectangle(40, 30), 40, 30, Look(150, 5, 0, 5, 5), b.Bits(), 40, 30));
    EXPECT_TRUE(b.GuardsIntact());
    // The window covers x < 35, y < 25 of its shadow (offsets 5, 5): transparent there.
    EXPECT_EQ(b.At(10, 10), 0u);
    EXPECT_EQ(b.At(34, 24), 0u);
    // Shrunk by 5 (and all of it under the window); beyond, 150 (1 - t / 6).
    EXPECT_EQ(b.Alpha(34, 27), 75);    // t = 3 below the shrunk bottom edge
    EXPECT_EQ(b.Alpha(36, 15), 100);   // t = 2
    EXPECT_EQ(b.Alpha(39, 15), 25);    // t = 5, the shape's own outline
    EXPECT_EQ(b.Alpha(39, 29), 0);     // the corner lies beyond the radius
    for (int x = 0; x < 40; ++x)
        EXPECT_LE(b.Alpha(x, 29), 150);
}

TEST(ShadowFill, SharpnessZeroGivesAHardEdgeOfTheSize)
{
    // 20 x 20, size 10: a 40 x 40 bitmap, the shape moved by 10, full darkness 10 pixels out.
    Bitmap b(40, 40);
    ASSERT_TRUE(FillShadow(Rectangle(20, 20), 20, 20, Look(200, 0, 10, 20, 20, RGB(255, 0, 0)), b.Bits(), 40, 40));
    EXPECT_TRUE(b.GuardsIntact());
    EXPECT_EQ(b.Alpha(0, 20), 200);
    EXPECT_EQ(b.Alpha(20, 0), 200);
    EXPECT_EQ(b.Alpha(20, 20), 200);
    EXPECT_EQ(b.Alpha(0, 0), 0);  // 14 pixels from the corner
    // Premultiplied colour: red times alpha in the red byte.
    EXPECT_EQ(b.At(0, 20), (200u << 24) | (200u << 16));
    // Offsets 20, 20: the window sits at (-10, -10) of the bitmap and covers x, y < 10.
    EXPECT_EQ(b.At(5, 5), 0u);
}

TEST(ShadowFill, ZeroOffsetsHideTheShadowUnderTheWindow)
{
    Bitmap b(30, 30);
    ASSERT_TRUE(FillShadow(Rectangle(30, 30), 30, 30, Look(150, 5, 0, 0, 0), b.Bits(), 30, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(b.At(x, y), 0u) << x << "," << y;
}

TEST(ShadowFill, ExtremeSizesAndOffsetsStayInsideTheBitmap)
{
    struct Case {
        int width, height, size, x, y;
    } cases[] = {{50, 50, -20, -20, -20}, {50, 50, -20, 20, 20}, {10, 50, 20, 20, -20},
                 {60, 8, 20, -20, 20},    {25, 25, -5, 20, -20}};
    for (const Case& c : cases) {
        int bw = c.width + 2 * c.size, bh = c.height + 2 * c.size;
        Bitmap b(bw, bh);
        ASSERT_TRUE(FillShadow(Rectangle(c.width, c.height), c.width, c.height, Look(255, 20, c.size, c.x, c.y),
                               b.Bits(), bw, bh));
        EXPECT_TRUE(b.GuardsIntact()) << c.width << "x" << c.height << " size " << c.size;
    }
}

TEST(ShadowFill, AnEmptyShadowHasNoBitmap)
{
    Bitmap b(0, 0);
    EXPECT_FALSE(FillShadow(Rectangle(30, 30), 30, 30, Look(150, 5, -20, 5, 5), b.Bits(), -10, -10));
    EXPECT_FALSE(FillShadow(Rectangle(40, 30), 40, 30, Look(150, 5, -20, 5, 5), b.Bits(), 0, -10));
    EXPECT_TRUE(b.GuardsIntact());
}

TEST(ShadowFill, SpansFollowTheRegionRowByRow)
{
    HRGN region = CreateRectRgn(5, 0, 15, 4);
    HRGN second = CreateRectRgn(2, 2, 8, 6);
    CombineRgn(region, region, second, RGN_OR);
    std::vector<ShadowSpan> spans = SpansOfRegion(region, 20, 8);
    ASSERT_EQ(spans.size(), 8u);
    EXPECT_TRUE(spans[0].left == 5 && spans[0].right == 14);
    EXPECT_TRUE(spans[3].left == 2 && spans[3].right == 14);
    EXPECT_TRUE(spans[5].left == 2 && spans[5].right == 7);
    EXPECT_TRUE(spans[6].Empty());
    std::vector<ShadowSpan> whole = SpansOfRegion(nullptr, 20, 8);
    EXPECT_TRUE(whole[7].left == 0 && whole[7].right == 19);
    DeleteObject(region);
    DeleteObject(second);
}

}  // namespace
