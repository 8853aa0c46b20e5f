#include <gtest/gtest.h>

#include <vector>

#include "uilib/skin/Skin.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

using Glazier::CSkin;

// 6 x 4: a transparent 1-pixel margin around an opaque 4 x 2 block whose second row has a
// transparent hole at x 2 and a faint pixel (alpha 1) at x 4.
std::vector<DWORD> MarginPicture()
{
    std::vector<DWORD> p(6 * 4, 0);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 4; ++x)
            p[y * 6 + x] = 0xFFFFFFFF;
    p[2 * 6 + 2] = 0;
    p[2 * 6 + 4] = 0x01FFFFFF;
    return p;
}

std::vector<RECT> RegionRects(HRGN region)
{
    std::vector<RECT> rects;
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (size && GetRegionData(region, size, rd))
        rects.assign(reinterpret_cast<RECT*>(rd->Buffer), reinterpret_cast<RECT*>(rd->Buffer) + rd->rdh.nCount);
    return rects;
}

class SkinImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        pngPath = folder.Write("a.png", EncodePng(6, 4, MarginPicture()));
        whitePath = folder.Write("white.png", EncodePng(2, 1, {0xFFFFFFFF, 0xFF000000}));
    }
    TempFolder folder;
    std::string pngPath, whitePath;
};

TEST_F(SkinImage, SameFileInOtherCaseSharesOneImageUntilTheLastUserGoes)
{
    int before = CSkin::CachedImageCount();
    CSkin first, second;
    ASSERT_TRUE(first.Load((folder.Path() + "\\a.png").c_str()));
    ASSERT_TRUE(second.Load((folder.Path() + "\\A.PNG").c_str()));
    EXPECT_EQ(first.Image(), second.Image());
    EXPECT_EQ(first.GetDC(), second.GetDC());
    EXPECT_EQ(CSkin::CachedImageCount(), before + 1);

    first.Free();
    EXPECT_EQ(first.GetDC(), nullptr);
    ASSERT_NE(second.Image(), nullptr);
    DibCanvas canvas(6, 4);
    RECT all = {0, 0, 6, 4};
    EXPECT_TRUE(second.Draw(canvas.Dc(), &all, &all, 255));
    EXPECT_EQ(canvas.Rgb(1, 1), 0xFFFFFFu);

    ASSERT_TRUE(second.Load(whitePath.c_str()));  // another image releases the previous record
    EXPECT_EQ(CSkin::CachedImageCount(), before + 1);
    second.Free();
    EXPECT_EQ(CSkin::CachedImageCount(), before);
    EXPECT_FALSE(second.Load(folder.File("missing.png").c_str()));
    EXPECT_FALSE(second.Load(nullptr));
}

// Keyed by the name's text, not its address: a buffer a caller reuses for another name gets the
// other image, and equal names behind different pointers share one.
TEST_F(SkinImage, ResourceNamesAreKeyedByTheirText)
{
    wchar_t one[] = L"PIXELS";
    wchar_t two[] = L"pixels";  // another pointer, the same resource name
    CSkin a, b, byId;
    ASSERT_TRUE(a.LoadFromResource(GetModuleHandleW(nullptr), one));
    ASSERT_TRUE(b.LoadFromResource(GetModuleHandleW(nullptr), two));
    EXPECT_EQ(a.Image(), b.Image());
    wchar_t reused[16] = L"PIXELS";
    CSkin first, second;
    ASSERT_TRUE(first.LoadFromResource(GetModuleHandleW(nullptr), reused));
    lstrcpyW(reused, L"PIXELS2");
    ASSERT_TRUE(second.LoadFromResource(GetModuleHandleW(nullptr), reused));
    EXPECT_NE(second.Image(), first.Image()) << "the buffer now names another resource";
    CSkin other;
    ASSERT_TRUE(other.LoadFromResource(GetModuleHandleW(nullptr), L"PIXELS2"));
    EXPECT_NE(other.Image(), a.Image());  // another name, another record
    EXPECT_FALSE(byId.LoadFromResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4711)));
    SIZE size;
    EXPECT_EQ(a.GetSize(&size)->cx, 3);
    EXPECT_EQ(size.cy, 2);
}

TEST_F(SkinImage, RegionHasOneRectanglePerOpaqueRun)
{
    CSkin skin;
    ASSERT_TRUE(skin.Load(pngPath.c_str()));
    HRGN region = skin.CreateRegion(nullptr, 255);
    ASSERT_NE(region, nullptr);
    std::vector<RECT> rects = RegionRects(region);
    // Row 1: x 1..4; row 2: x 1..1 and x 3..3 (the faint pixel is below 255).
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_TRUE(PtInRegion(region, 1, 1));
    EXPECT_TRUE(PtInRegion(region, 4, 1));
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_FALSE(PtInRegion(region, 4, 2));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    DeleteObject(region);

    region = skin.CreateRegion(nullptr, 1);  // any opacity counts
    EXPECT_TRUE(PtInRegion(region, 4, 2));
    DeleteObject(region);

    RECT part = {1, 1, 5, 3};  // x, y, cx, cy: relative to the part's corner
    region = skin.CreateRegion(&part, 255);
    EXPECT_TRUE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 1, 1));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 2);
    DeleteObject(region);

    RECT margin = {0, 0, 6, 1};
    region = skin.CreateRegion(&margin, 1);
    EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
    DeleteObject(region);

    RECT regionBox;
    skin.GetRegionBox(&regionBox, &part);
    EXPECT_EQ(regionBox.left, 1);
    EXPECT_EQ(regionBox.top, 1);
    EXPECT_EQ(regionBox.right, 5);
    EXPECT_EQ(regionBox.bottom, 3);
    RECT bottomRow = {1, 3, 4, 1};  // nothing opaque: an empty box at the part's corner
    skin.GetRegionBox(&regionBox, &bottomRow);
    EXPECT_TRUE(IsRectEmpty(&regionBox));
    EXPECT_EQ(regionBox.left, 1);
    EXPECT_EQ(regionBox.top, 3);
}

TEST_F(SkinImage, EffectsAndDrawingLimits)
{
    CSkin skin;
    ASSERT_TRUE(skin.Load(whitePath.c_str()));
    DibCanvas canvas(4, 2, 0x00102030);
    RECT dst = {0, 0, 2, 1}, src = {0, 0, 2, 1};
    EXPECT_TRUE(skin.DrawEffect(canvas.Dc(), &dst, &src, 2, 255));
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFEEu);  // sepia of white: 255, 255, 238
    EXPECT_EQ(canvas.Rgb(1, 0), 0u);         // black stays black
    canvas.Fill(0x00102030);
    skin.DrawEffect(canvas.Dc(), &dst, &src, 1, 255);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFEFEFEu);  // 76 + 153 + 25: each product truncated
    for (int plain : {0, 3}) {
        canvas.Fill(0x00102030);
        skin.DrawEffect(canvas.Dc(), &dst, &src, plain, 255);
        EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu) << plain;
    }

    canvas.Fill(0x00102030);
    RECT noWidth = {0, 0, 0, 1};
    EXPECT_EQ(skin.Draw(canvas.Dc(), &noWidth, &src, 255), 0);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x102030u);
    RECT stretched = {0, 0, 4, 2};
    RECT whiteOnly = {0, 0, 1, 1};
    skin.Draw(canvas.Dc(), &stretched, &whiteOnly, 255);
    EXPECT_EQ(canvas.Rgb(3, 1), 0xFFFFFFu);
    canvas.Fill(0);
    POINT at = {2, 1};
    skin.DrawPart(canvas.Dc(), &at, &whiteOnly, 128);
    EXPECT_EQ(canvas.Rgb(2, 1), 0x808080u);
    EXPECT_EQ(canvas.Rgb(3, 1), 0u);

    HBITMAP copy = skin.CreateBitmap(1, 0, 1, 1);
    ASSERT_NE(copy, nullptr);
    BITMAP bm = {};
    GetObjectW(copy, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(*static_cast<DWORD*>(bm.bmBits), 0xFF000000u);
    DeleteObject(copy);

    CSkin empty;
    EXPECT_EQ(empty.Draw(canvas.Dc(), &dst, &src, 255), 0);
    EXPECT_EQ(empty.CreateRegion(nullptr, 1), nullptr);
    EXPECT_EQ(empty.CreateBitmap(0, 0, 1, 1), nullptr);
    SIZE size;
    EXPECT_EQ(empty.GetSize(&size)->cx, 0);
}

TEST_F(SkinImage, InterfaceCountsAndQueries)
{
    auto* skin = new CSkin;
    Glazier::ISkin* face = nullptr;
    ASSERT_EQ(skin->QueryInterface(Glazier::IID_ISkin, reinterpret_cast<void**>(&face)), S_OK);
    EXPECT_EQ(face, static_cast<Glazier::ISkin*>(skin));
    IUnknown* unknown = nullptr;
    EXPECT_EQ(skin->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(skin->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    ASSERT_TRUE(face->Load(pngPath.c_str()));
    int cached = CSkin::CachedImageCount();
    EXPECT_EQ(face->Release(), 1u);
    EXPECT_EQ(face->Release(), 0u);  // deleted, its image released
    EXPECT_EQ(CSkin::CachedImageCount(), cached - 1);
}

}  // namespace
