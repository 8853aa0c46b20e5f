#include "render/DibBitmap.h"
#include "render/DibSection32.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

std::vector<BYTE> ReadAll(const std::wstring& path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

DWORD U32(const std::vector<BYTE>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<DWORD>(b[at + 3]) << 24);
}
}

TEST(DibBitmap, CreateLaysOutHeaderPaletteAndBottomUpRows)
{
    CDibBitmap dib;
    ASSERT_NE(dib.Create(3, 2, 8), nullptr);
    EXPECT_EQ(dib.GetLineWidth(), 4u);
    EXPECT_EQ(dib.GetNumColors(), 256);
    EXPECT_EQ(dib.GetPaletteSize(), 1024u);
    EXPECT_EQ(dib.GetSize(), 40u + 1024u + 8u);
    dib.Clear(0);
    dib.SetPixelIndex(0, 0, 7);   // top row of the picture is the second stored row
    dib.SetPixelIndex(2, 1, 9);
    dib.SetPixelIndex(3, 0, 1);   // outside: ignored
    dib.SetPixelIndex(-1, 0, 1);
    const BYTE* bits = dib.GetBits();
    EXPECT_EQ(bits[4], 7);
    EXPECT_EQ(bits[2], 9);
    EXPECT_EQ(bits[0] + bits[1] + bits[3] + bits[5] + bits[6] + bits[7], 0);
}

TEST(DibBitmap, PaletteSizesFollowBitCount)
{
    struct Case { WORD bits; WORD colors; DWORD lineWidth; } cases[] = {
        {1, 2, 4}, {4, 16, 8}, {8, 256, 12}, {24, 0, 28}, {32, 0, 36}};
    for (const Case& c : cases) {
        CDibBitmap dib;
        ASSERT_NE(dib.Create(9, 1, c.bits), nullptr);
        EXPECT_EQ(dib.GetNumColors(), c.colors) << c.bits;
        EXPECT_EQ(dib.GetLineWidth(), c.lineWidth) << c.bits;
    }
    CDibBitmap rgb;
    rgb.Create(2, 2, 24);
    rgb.Clear(0x11);
    rgb.SetPixelIndex(0, 0, 0x55);   // no palette: pixel indices mean nothing
    EXPECT_EQ(rgb.GetBits()[0], 0x11);
}

TEST(DibBitmap, BlendPaletteMixesTowardColourAndClampsPercent)
{
    CDibBitmap dib;
    dib.Create(1, 1, 8);
    dib.SetPaletteIndex(5, 100, 200, 50);
    dib.BlendPalette(RGB(255, 255, 255), 0);
    EXPECT_EQ(dib.GetPalette()[5].rgbRed, 100);
    EXPECT_EQ(dib.GetPalette()[5].rgbGreen, 200);
    dib.BlendPalette(RGB(0, 0, 0), 50);
    EXPECT_EQ(dib.GetPalette()[5].rgbRed, 50);
    EXPECT_EQ(dib.GetPalette()[5].rgbGreen, 100);
    EXPECT_EQ(dib.GetPalette()[5].rgbBlue, 25);
    dib.BlendPalette(RGB(10, 20, 30), 250);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(dib.GetPalette()[i].rgbRed, 10);
        EXPECT_EQ(dib.GetPalette()[i].rgbBlue, 30);
    }
}

TEST(DibBitmap, GrayPaletteRampEndsBlackAndWhite)
{
    CDibBitmap dib;
    dib.Create(1, 1, 4);
    dib.SetGrayPalette();
    EXPECT_EQ(dib.GetPalette()[0].rgbRed, 0);
    EXPECT_EQ(dib.GetPalette()[14].rgbGreen, 14);
    EXPECT_EQ(dib.GetPalette()[15].rgbBlue, 255);
}

TEST(DibBitmap, SaveWritesBmpFileAndReportsFailures)
{
    CDibBitmap dib;
    EXPECT_FALSE(dib.Save(TempFile(L"render_empty.bmp").c_str()));
    dib.Create(3, 2, 8);
    dib.Clear(3);
    dib.SetPaletteIndex(3, 1, 2, 3);
    EXPECT_FALSE(dib.Save(L""));
    EXPECT_FALSE(dib.Save(nullptr));
    EXPECT_FALSE(dib.Save(L"Z:\\no\\such\\folder\\x.bmp"));
    std::wstring path = TempFile(L"render_dib.bmp");
    ASSERT_TRUE(dib.Save(path.c_str()));
    std::vector<BYTE> file = ReadAll(path);
    DeleteFileW(path.c_str());
    ASSERT_EQ(file.size(), 1086u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), 1086u);
    EXPECT_EQ(U32(file, 10), 1078u);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(U32(file, 18), 3u);
    EXPECT_EQ(U32(file, 22), 2u);
    EXPECT_EQ(file[54 + 3 * 4 + 0], 3);   // blue, green, red, 0
    EXPECT_EQ(file[54 + 3 * 4 + 2], 1);
    EXPECT_EQ(file[1078], 3);
}

TEST(DibBitmap, DrawShowsPaletteColoursOnTheDC)
{
    CDibSection32 target;
    ASSERT_TRUE(target.Create(8, 8));
    CDibBitmap dib;
    dib.Create(2, 2, 8);
    dib.Clear(1);
    dib.SetPaletteIndex(1, 255, 0, 0);
    dib.SetPaletteIndex(2, 0, 0, 255);
    dib.SetPixelIndex(1, 0, 2);
    dib.Draw(target.DC(), 3, 4);
    GdiFlush();
    EXPECT_EQ(target.At(3, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(target.At(4, 4) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(target.At(3, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(target.At(2, 4) & 0xFFFFFF, 0u);

    CDibBitmap copy;
    copy.Clone(dib);
    EXPECT_EQ(copy.GetSize(), dib.GetSize());
    EXPECT_EQ(copy.GetBits()[1], 1);
    EXPECT_EQ(copy.GetBits()[5], 2);
    CDibBitmap empty;
    copy.Clone(empty);
    EXPECT_EQ(copy.GetBits(), nullptr);
    empty.Draw(target.DC(), 0, 0);   // nothing to draw, no fault
}

TEST(DibBitmap, SizesWhoseBytesWrapOrRunAwayAreRefused)
{
    // Each of these once made a block far smaller than its header (a 32-bit line width that
    // wraps) or asked for gigabytes; a fill then wrote past the block.
    const struct {
        DWORD width, height;
        WORD bits;
    } refused[] = {{0x20000000, 1, 8}, {0x80000000, 1, 1}, {0xFFFFFFFF, 0xFFFFFFFF, 32},
                   {70000, 70000, 8}, {1, 0x7FFFFFFF, 8}, {0x10000000, 16, 24}};
    for (const auto& r : refused) {
        SCOPED_TRACE(std::to_string(r.width) + " x " + std::to_string(r.height) + " x " + std::to_string(r.bits));
        CDibBitmap dib;
        EXPECT_EQ(dib.Create(r.width, r.height, r.bits), nullptr);
        EXPECT_EQ(dib.GetBits(), nullptr);
        EXPECT_EQ(dib.GetLineWidth(), 0u);
        dib.Clear(7);   // on an empty object: nothing
    }
    CDibBitmap large;
    ASSERT_NE(large.Create(4096, 4096, 8), nullptr);
    EXPECT_EQ(large.GetLineWidth(), 4096u);
    large.Clear(7);
    EXPECT_EQ(large.GetBits()[4096u * 4096u - 1], 7);
}
