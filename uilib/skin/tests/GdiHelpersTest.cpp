#include <gtest/gtest.h>

#include <vector>

#include "uilib/skin/BmpDC.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/FontSet.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/OffscreenDC.h"
#include "uilib/skin/PtrArray.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

constexpr COLORREF n = kNoColor;

TEST(GradientFill, SolidAndBandedMeshes)
{
    DibCanvas canvas(4, 40);
    GRADIENTEX solid = {RGB(10, 20, 30), RGB(10, 20, 30), false, n, 0, n, 0};
    RECT all = {0, 0, 4, 40};
    FillGradientEx(canvas.Dc(), &solid, &all);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x0A141Eu);
    EXPECT_EQ(canvas.Rgb(3, 39), 0x0A141Eu);

    // Band 2 only: start down to band 2 at bottom - 10, then band 2 to end.
    GRADIENTEX band2 = {RGB(0, 0, 0), RGB(0, 0, 200), false, n, 0, RGB(0, 200, 0), 10};
    FillGradientEx(canvas.Dc(), &band2, &all);
    EXPECT_EQ(canvas.Rgb(0, 0), 0u);
    DWORD atBand = canvas.Rgb(0, 30);
    EXPECT_NEAR(static_cast<int>((atBand >> 8) & 0xFF), 200, 8);
    EXPECT_LT(atBand & 0xFF, 24u);
    DWORD last = canvas.Rgb(0, 39);
    EXPECT_GT(last & 0xFF, 170u);

    GRADIENT across = {RGB(255, 0, 0), RGB(0, 0, 255)};
    DibCanvas wide(40, 2);
    RECT row = {0, 0, 40, 2};
    FillGradient(wide.Dc(), &across, &row, true);
    EXPECT_GT((wide.Rgb(0, 0) >> 16) & 0xFF, 240u);
    EXPECT_GT(wide.Rgb(39, 1) & 0xFF, 240u);
}

TEST(GradientFill, LinesFollowTheReferenceRectangle)
{
    DibCanvas canvas(2, 10, 0x00ABCDEF);
    GRADIENTEX g = {RGB(0, 0, 0), RGB(0, 0, 250), false, n, 0, n, 0};
    RECT reference = {0, 0, 2, 5};
    RECT area = {0, 0, 2, 10};  // taller than the reference
    FillGradientLines(canvas.Dc(), &g, &area, &reference);
    const DWORD blue[] = {0, 50, 100, 150, 200};
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(canvas.Rgb(0, y), blue[y]) << y;
    for (int y = 5; y < 10; ++y)  // past the reference: the end colour, nothing outside 0..255
        EXPECT_EQ(canvas.Rgb(1, y), 250u) << y;

    GRADIENTEX banded = {RGB(0, 0, 0), RGB(0, 0, 250), false, RGB(0, 100, 0), 2, n, 0};
    FillGradientLines(canvas.Dc(), &banded, &area, &reference);
    EXPECT_EQ(canvas.Rgb(0, 0), 0u);
    EXPECT_EQ(canvas.Rgb(0, 1), 50u << 8);      // halfway to band 1
    EXPECT_EQ(canvas.Rgb(0, 2), 100u << 8);     // band 1
    EXPECT_EQ(canvas.Rgb(0, 4), (34u << 8) | 166u);  // band 1 + (end - band 1) * 2 / 3

    GRADIENTEX whole = {RGB(0, 0, 0), RGB(0, 0, 250), false, RGB(0, 100, 0), 5, n, 0};
    FillGradientLines(canvas.Dc(), &whole, &area, &reference);  // band 1 covers the height
    EXPECT_EQ(canvas.Rgb(0, 7), 100u << 8);

    canvas.Fill(0x00ABCDEF);
    RECT flat = {0, 3, 2, 3};
    FillGradientLines(canvas.Dc(), &g, &area, &flat);  // reference of height 0 paints nothing
    EXPECT_EQ(canvas.Rgb(0, 0), 0xABCDEFu);
}

TEST(GradientFill, ColourArithmetic)
{
    EXPECT_EQ(LightenColor(0, 40), 0x666666u);
    EXPECT_EQ(LightenColor(RGB(255, 255, 255), 40), 0xFFFFFFu);
    EXPECT_EQ(GreyColor(RGB(100, 200, 50)), RGB(155, 155, 155));
}

TEST(PtrArray, InsertRemoveGrowAndShrink)
{
    CVoidPtrArray a;
    int items[8];
    EXPECT_EQ(a.InsertAt(0, &items[0]), 0);
    EXPECT_EQ(a.InsertAt(-5, &items[2]), 1);
    EXPECT_EQ(a.InsertAt(1, &items[1]), 1);
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_EQ(a.InsertAt(7, &items[3]), 3);  // beyond the count: appended
    EXPECT_EQ(a.GetAt(1), &items[1]);
    EXPECT_EQ(a.GetAt(2), &items[2]);
    EXPECT_EQ(a.GetCapacity(), 4);
    a.Add(&items[4]);
    EXPECT_EQ(a.GetCapacity(), 8);
    EXPECT_EQ(a.RemoveAt(5), nullptr);
    EXPECT_EQ(a.RemoveAt(-1), nullptr);
    EXPECT_EQ(a.RemoveAt(0), &items[0]);
    EXPECT_EQ(a.GetCapacity(), 4);  // 4 items, 4 spare: shrinks to the count
    EXPECT_EQ(a.RemoveAt(3), &items[4]);
    EXPECT_EQ(a.GetCapacity(), 4);  // one spare entry is kept
    EXPECT_EQ(a.RemoveAt(3), nullptr);
}

// The first installed face that is not a vertical one.
int CALLBACK FirstFace(const LOGFONTA* found, const TEXTMETRICA*, DWORD, LPARAM out)
{
    lstrcpynA(reinterpret_cast<char*>(out), found->lfFaceName, LF_FACESIZE);
    return found->lfFaceName[0] == '@';
}

TEST(FontSet, VariantsAreMadeOnceWithTheirStyle)
{
    CFontSet fonts(nullptr, false);
    EXPECT_EQ(fonts.GetFont(0), GetStockObject(DEFAULT_GUI_FONT));
    HFONT boldUnderline = fonts.GetFont(5);
    ASSERT_NE(boldUnderline, nullptr);
    EXPECT_EQ(fonts.GetFont(5), boldUnderline);
    LOGFONTW lf = {};
    GetObjectW(boldUnderline, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);
    GetObjectW(fonts.GetFont(10), sizeof(lf), &lf);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(lf.lfQuality, 5);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);

    HFONT base = fonts.GetFont(0);
    EXPECT_FALSE(fonts.SetFace("No Such Face Anywhere", 12));
    EXPECT_EQ(fonts.GetFont(0), base);
    LOGFONTA any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    char face[LF_FACESIZE] = {};
    HDC faces = GetDC(nullptr);
    EnumFontFamiliesExA(faces, &any, FirstFace, reinterpret_cast<LPARAM>(face), 0);
    ReleaseDC(nullptr, faces);
    ASSERT_TRUE(face[0]);
    EXPECT_TRUE(fonts.SetFace(face, 20)) << face;
    GetObjectW(fonts.GetFont(0), sizeof(lf), &lf);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(GetDeviceCaps(screen, LOGPIXELSY), 20, 72));
    ReleaseDC(nullptr, screen);
    LOGFONTA made = {};
    GetObjectA(fonts.GetFont(0), sizeof(made), &made);
    EXPECT_STREQ(made.lfFaceName, face);
}

TEST(BmpDCTest, DrawsLimitedToItsBitmapAndDetaches)
{
    DibCanvas source(4, 4, 0x00FF0000);
    BmpDC dc(6, 6);
    BitBlt(dc.Dc(), 0, 0, 6, 6, nullptr, 0, 0, WHITENESS);
    DibCanvas target(10, 10, 0);
    dc.Draw(target.Dc(), 1, 1, 20, 20);
    EXPECT_EQ(target.Rgb(1, 1), 0xFFFFFFu);
    EXPECT_EQ(target.Rgb(6, 6), 0xFFFFFFu);
    EXPECT_EQ(target.Rgb(7, 7), 0u);  // limited to the 6 x 6 bitmap
    HBITMAP kept = dc.Detach(false);
    EXPECT_NE(kept, nullptr);
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(kept);
}

TEST(AlphaHelpers, DrawAlphaBitmapPremultipliesGreysAndFallsBack)
{
    DWORD* bits = nullptr;
    HBITMAP image = CreateDib32(2, 1, &bits);
    bits[0] = 0x80FF0000;  // straight red, alpha 128
    bits[1] = 0xFF00FF00;
    DibCanvas canvas(4, 2, 0);
    DrawAlphaBitmap(canvas.Dc(), 0, 0, 0, 0, image, 0, nullptr);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x800000u);  // 255 * 128 / 255 over black
    EXPECT_EQ(canvas.Rgb(1, 0), 0x00FF00u);

    canvas.Fill(0);
    DrawAlphaBitmap(canvas.Dc(), 0, 1, 0, 0, image, kDrawGrey, nullptr);
    // Green, alpha 255: alpha' 102, grey 0.6 * 255 = 153, premultiplied 153 * 102 / 255 = 61.
    EXPECT_EQ(canvas.Rgb(1, 1), 0x3D3D3Du);

    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 2, 2);  // not a 32-bit DIB: DrawState draws it
    ReleaseDC(nullptr, screen);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, ddb);
    PatBlt(memory, 0, 0, 2, 2, WHITENESS);
    SelectObject(memory, old);
    DeleteDC(memory);
    canvas.Fill(0);
    DrawAlphaBitmap(canvas.Dc(), 2, 0, 2, 2, ddb, 0, nullptr);
    EXPECT_EQ(canvas.Rgb(3, 1), 0xFFFFFFu);
    DeleteObject(ddb);
    DeleteObject(image);
}

TEST(AlphaHelpers, SaveRestoreSetAndFill)
{
    DibCanvas canvas(8, 8, 0xC0102030);
    RECT area = {1, 1, 5, 5};
    SavedAlpha* saved = SaveAlpha(canvas.Dc(), &area);
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(SetAlphaInRect(canvas.Dc(), &area, 0));
    EXPECT_EQ(canvas.Pixel(2, 2) >> 24, 0u);
    EXPECT_EQ(canvas.Pixel(6, 6) >> 24, 0xC0u);
    RestoreAlpha(saved);
    EXPECT_EQ(canvas.Pixel(2, 2), 0xC0102030u);

    RECT empty = {2, 2, 2, 5};
    EXPECT_EQ(SaveAlpha(canvas.Dc(), &empty), nullptr);
    RECT outside = {9, 0, 12, 3};
    EXPECT_EQ(SaveAlpha(canvas.Dc(), &outside), nullptr);
    HDC plain = CreateCompatibleDC(nullptr);  // holds a 1x1 monochrome bitmap, not a DIB
    EXPECT_EQ(SaveAlpha(plain, &area), nullptr);
    EXPECT_FALSE(SetAlphaInRect(plain, &area, 1));
    DeleteDC(plain);

    canvas.Fill(0x7F000000);
    RECT one = {0, 0, 1, 1};
    AlphaFillRect(canvas.Dc(), &one, 0x800000FF);  // half red over black
    EXPECT_EQ(canvas.Pixel(0, 0), 0x7F800000u);     // 0.502 * 255 truncated, alpha kept
    EXPECT_EQ(canvas.Pixel(1, 0), 0x7F000000u);
}

TEST(AlphaHelpers, RightToLeftDcMovesThePictureButKeepsItUpright)
{
    DWORD* bits = nullptr;
    HBITMAP image = CreateDib32(2, 1, &bits);
    bits[0] = 0xFFFF0000;  // red, then blue
    bits[1] = 0xFF0000FF;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, image);
    DibCanvas canvas(4, 1, 0);
    SetLayout(canvas.Dc(), LAYOUT_RTL);
    AlphaBlendRTL(canvas.Dc(), 0, 0, 2, 1, source, 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    EXPECT_EQ(canvas.Rgb(2, 0), 0xFF0000u);  // logical x 0 is the right end; red still left of blue
    EXPECT_EQ(canvas.Rgb(3, 0), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(0, 0), 0u);
    EXPECT_EQ(GetLayout(canvas.Dc()), static_cast<DWORD>(LAYOUT_RTL));  // layout restored
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(image);
}

TEST(AlphaHelpers, MaskAndDisabledIcon)
{
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 4, 4, BLACKNESS);
    SetPixel(dc, 3, 3, RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    RECT topLeft = {0, 0, 3, 3};
    EXPECT_TRUE(IsMaskEmpty(mask, &topLeft));
    EXPECT_FALSE(IsMaskEmpty(mask, nullptr));
    EXPECT_TRUE(IsMaskEmpty(nullptr, nullptr));

    DWORD* bits = nullptr;
    HBITMAP colour = CreateDib32(4, 4, &bits);
    for (int i = 0; i < 16; ++i)
        bits[i] = 0xFF0000FF;  // opaque blue
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    HICON grey = CreateDisabledIcon(icon);
    ASSERT_NE(grey, nullptr);
    ICONINFO gi = {};
    ASSERT_TRUE(GetIconInfo(grey, &gi));
    DibCanvas canvas(4, 4);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ oldColour = SelectObject(memory, gi.hbmColor);
    BitBlt(canvas.Dc(), 0, 0, 4, 4, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldColour);
    DeleteDC(memory);
    EXPECT_EQ(canvas.Pixel(0, 0), (102u << 24) | 0x191919u);  // grey 0.1 * 255, alpha 102
    DeleteObject(gi.hbmColor);
    DeleteObject(gi.hbmMask);
    DestroyIcon(grey);
    DestroyIcon(icon);
    DeleteObject(colour);
    DeleteObject(mask);
}

TEST(AlphaHelpers, ImageListAlphaImageDrawsThroughAlpha)
{
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32, 1, 1);
    ASSERT_NE(list, nullptr);
    DWORD* bits = nullptr;
    HBITMAP image = CreateDib32(2, 2, &bits);
    for (int i = 0; i < 4; ++i)
        bits[i] = 0x80FFFFFF;
    ImageList_Add(list, image, nullptr);
    DibCanvas canvas(4, 4, 0);
    DrawImageListImage(list, 0, canvas.Dc(), 1, 1, ILD_NORMAL);
    EXPECT_EQ(canvas.Rgb(1, 1), 0x808080u);
    EXPECT_EQ(canvas.Rgb(0, 0), 0u);
    DeleteObject(image);
    ImageList_Destroy(list);
}

TEST(AlphaHelpers, ShadowTextDrawsTheTextColour)
{
    DibCanvas canvas(80, 30, 0);
    RECT r = {0, 0, 80, 30};
    SelectObject(canvas.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    DrawShadowTextEx(canvas.Dc(), L"WWW", -1, &r, DT_SINGLELINE, RGB(255, 0, 0), RGB(0, 0, 255), 2, 2);
    bool red = false;
    for (int y = 0; y < 30 && !red; ++y)
        for (int x = 0; x < 80; ++x)
            if (canvas.Rgb(x, y) == 0xFF0000u)
                red = true;
    EXPECT_TRUE(red);
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
}

TEST(AlphaHelpers, ComCtlVersionIsCachedAndOverridable)
{
    OverrideComCtlVersion(0);
    int real = GetComCtlVersion();
    EXPECT_GE(real, 0x50000);
    OverrideComCtlVersion(0x60010);
    EXPECT_EQ(GetComCtlVersion(), 0x60010);
    OverrideComCtlVersion(0);
    EXPECT_EQ(GetComCtlVersion(), real);
}

TEST(OffscreenBuffer, FillsDrawsAndCopiesBackAtTheArea)
{
    DibCanvas target(20, 20, 0);
    COffscreenDC buffer;
    RECT area = {5, 5, 15, 15};
    GRADIENT fill = {RGB(0, 0, 255), RGB(0, 0, 255)};
    HDC dc = buffer.Begin(target.Dc(), &area, 0, &fill, false, 255);
    ASSERT_NE(dc, nullptr);
    RECT spot = {6, 6, 8, 8};  // target coordinates
    FillRect(dc, &spot, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(target.Rgb(5, 5), 0u);  // nothing reaches the target before End
    buffer.End();
    EXPECT_EQ(target.Rgb(5, 5), 0x0000FFu);
    EXPECT_EQ(target.Rgb(14, 14), 0x0000FFu);
    EXPECT_EQ(target.Rgb(6, 6), 0xFFFFFFu);
    EXPECT_EQ(target.Rgb(15, 15), 0u);
    EXPECT_EQ(target.Rgb(4, 4), 0u);

    target.Fill(0);
    buffer.Begin(target.Dc(), &area, 0, &fill, false, 128);
    buffer.End();
    EXPECT_EQ(target.Rgb(10, 10), 0x000080u);  // constant alpha blend
}

}  // namespace
