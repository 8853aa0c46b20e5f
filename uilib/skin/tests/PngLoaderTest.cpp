#include <gtest/gtest.h>

#include <vector>

#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/PngLoader.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

// The same 3 x 2 picture as the PIXELS resource (PngResource.rc).
const std::vector<DWORD> kPicture = {0xFFFF0000, 0x8000FF00, 0x00000000,
                                     0xFF0000FF, 0x40FFFFFF, 0xFF000000};

struct Expect {
    int x, y;
    DWORD straight, premultiplied;
};
const Expect kExpected[] = {
    {0, 0, 0xFFFF0000, 0xFFFF0000}, {1, 0, 0x8000FF00, 0x80008000}, {2, 0, 0, 0},
    {0, 1, 0xFF0000FF, 0xFF0000FF}, {1, 1, 0x40FFFFFF, 0x40404040}, {2, 1, 0xFF000000, 0xFF000000},
};

// Pixel (x, y) of the picture, reading the DIB in its own row order.
DWORD PictureAt(HBITMAP bitmap, int x, int y)
{
    DibPixels dib = DibOfBitmap(bitmap);
    return dib.Ok() ? dib.Row(y)[x] : 0xDEADBEEF;
}

void ExpectPixels(HBITMAP bitmap, bool premultiplied)
{
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION ds = {};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);  // positive: bottom-up rows
    const DWORD* memory = static_cast<const DWORD*>(ds.dsBm.bmBits);
    EXPECT_EQ(memory[0], premultiplied ? 0xFF0000FFu : 0xFF0000FFu);  // first memory row = bottom row
    for (const Expect& e : kExpected) {
        DWORD want = premultiplied ? e.premultiplied : e.straight;
        DWORD got = PictureAt(bitmap, e.x, e.y);
        // GDI+ rounds premultiplication: allow one step per channel.
        for (int shift = 0; shift < 32; shift += 8)
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), 1)
                << "pixel " << e.x << "," << e.y << std::hex << " got " << got << " want " << want;
    }
}

TEST(PngLoader, StraightAndPremultipliedFromFile)
{
    TempFolder folder;
    std::string path = folder.Write("p.png", EncodePng(3, 2, kPicture));
    std::wstring wide(path.begin(), path.end());

    HBITMAP straight = LoadPNG(wide.c_str(), 0);
    ExpectPixels(straight, false);
    HBITMAP premultiplied = LoadPNG(wide.c_str(), kPngPremultiplied);
    ExpectPixels(premultiplied, true);
    HBITMAP byDefault = LoadPNG(wide.c_str());
    ExpectPixels(byDefault, true);
    HBITMAP narrow = LoadPNG(path.c_str());
    ExpectPixels(narrow, true);
    for (HBITMAP b : {straight, premultiplied, byDefault, narrow})
        DeleteObject(b);
}

// A large skin picture loads: sides up to 16384 and some tens of millions of pixels are allowed,
// so a 4000 x 3000 image (here stored without compression, 48 MB) is no hostile file.
TEST(PngLoader, ALargePictureLoads)
{
    const int width = 4000, height = 3000;
    std::vector<DWORD> argb(static_cast<size_t>(width) * height, 0xFF204080);
    argb[0] = 0xFFFF0000;                                     // top left
    argb[static_cast<size_t>(height) * width - 1] = 0xFF00FF00;  // bottom right
    TempFolder folder;
    std::string path = folder.Write("large.png", EncodePng(width, height, argb));
    argb.clear();
    argb.shrink_to_fit();
    HBITMAP image = LoadPNG(path.c_str());
    ASSERT_NE(image, nullptr);
    BITMAP bm = {};
    GetObjectW(image, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, width);
    EXPECT_EQ(bm.bmHeight, height);
    EXPECT_EQ(PictureAt(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PictureAt(image, width - 1, height - 1), 0xFF00FF00u);
    EXPECT_EQ(PictureAt(image, 1234, 567), 0xFF204080u);
    DeleteObject(image);
}

TEST(PngLoader, FromResource)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    HBITMAP straight = LoadPNGFromResource(self, L"PIXELS", 0);
    ExpectPixels(straight, false);
    HBITMAP premultiplied = LoadPNGFromResource(self, L"PIXELS");
    ExpectPixels(premultiplied, true);
    DeleteObject(straight);
    DeleteObject(premultiplied);

    HICON icon = LoadIconFromPNGResource(self, L"PIXELS");
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_TRUE(IsMaskEmpty(info.hbmMask, nullptr));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(PngLoader, FailuresReturnNullAndLeakNothing)
{
    TempFolder folder;
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(LoadPNG(static_cast<const wchar_t*>(nullptr), 0), nullptr);
    EXPECT_EQ(LoadPNG(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(LoadPNG(folder.File("missing.png").c_str()), nullptr);
    EXPECT_EQ(LoadPNG(folder.Write("bad.png", "not a png at all").c_str()), nullptr);
    EXPECT_EQ(LoadPNGFromResource(GetModuleHandleW(nullptr), L"NO_SUCH_PNG"), nullptr);
    EXPECT_EQ(LoadIconFromPNGResource(GetModuleHandleW(nullptr), L"NO_SUCH_PNG"), nullptr);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    EXPECT_EQ(GetGdiplusHolder(false, false), nullptr);  // each load released its reference
}

TEST(LibraryEntry, StartupReferencesKeepGdiplusAcrossLoads)
{
    glzShutdown();  // no holder: nothing happens
    EXPECT_EQ(GetGdiplusHolder(false, false), nullptr);
    ASSERT_TRUE(glzStartup(0));
    ASSERT_TRUE(ISglzStartup(0));
    GdiplusHolder* holder = GetGdiplusHolder(false, false);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->refCount, 2);
    ULONG_PTR token = holder->token;

    TempFolder folder;
    HBITMAP image = LoadPNG(folder.Write("p.png", EncodePng(3, 2, kPicture)).c_str());
    EXPECT_NE(image, nullptr);
    DeleteObject(image);
    ASSERT_EQ(GetGdiplusHolder(false, false), holder);  // not restarted by the load
    EXPECT_EQ(holder->token, token);
    EXPECT_EQ(holder->refCount, 2);

    glzShutdown();
    ASSERT_NE(GetGdiplusHolder(false, false), nullptr);  // first release keeps it
    ISglzShutdown();
    EXPECT_EQ(GetGdiplusHolder(false, false), nullptr);
}

}  // namespace
