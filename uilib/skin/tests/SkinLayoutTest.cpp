#include <gtest/gtest.h>

#include <string>

#include "uilib/skin/tests/PngPixels.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/PngLoader.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace FWSkin;

// The frame's protected steps that build the status bar, without a window.
class TestFrame : public CSkinFrame {
public:
    using CSkinFrame::CreateStatusBar;
    void SetSize(int w, int h) { m_cx = w, m_cy = h; }
};

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

class FrameLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLibraryAttached();
        ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str()));
        layout = frame.Layout(1);
        ASSERT_NE(layout, nullptr);
    }
    TestFrame frame;
    CSkinLayout* layout = nullptr;
};

struct PlaceCase {
    const char* what;
    int width, height;
    RECT parts[CSkinLayout::kPartCount];  // x, y, cx, cy of TopLeft ... MiddleLeft
};

class PlaceTable : public FrameLayout, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceTable, PartsSitAtTheirPlaces)
{
    const PlaceCase& c = GetParam();
    layout->Place(c.width, c.height);
    for (int i = 0; i < CSkinLayout::kPartCount; ++i) {
        RECT r = layout->Part(i)->Rect();
        const RECT& e = c.parts[i];
        EXPECT_TRUE(r.left == e.left && r.top == e.top && r.right == e.right && r.bottom == e.bottom)
            << c.what << ": " << CSkinLayout::PartName(i) << " at " << r.left << "," << r.top << " " << r.right
            << "x" << r.bottom;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PlaceTable,
    ::testing::Values(
        PlaceCase{"design size", 120, 80,
                  {{0, 0, 20, 24}, {20, 0, 80, 24}, {100, 0, 20, 24}, {112, 24, 8, 32},
                   {100, 56, 20, 24}, {20, 72, 80, 8}, {0, 56, 20, 24}, {0, 24, 8, 32}}},
        PlaceCase{"wider", 200, 80,
                  {{0, 0, 20, 24}, {20, 0, 160, 24}, {180, 0, 20, 24}, {192, 24, 8, 32},
                   {180, 56, 20, 24}, {20, 72, 160, 8}, {0, 56, 20, 24}, {0, 24, 8, 32}}},
        PlaceCase{"taller", 120, 150,
                  {{0, 0, 20, 24}, {20, 0, 80, 24}, {100, 0, 20, 24}, {112, 24, 8, 102},
                   {100, 126, 20, 24}, {20, 142, 80, 8}, {0, 126, 20, 24}, {0, 24, 8, 102}}},
        PlaceCase{"narrower than the two corners", 30, 80,
                  {{0, 0, 20, 24}, {20, 0, -10, 24}, {10, 0, 20, 24}, {22, 24, 8, 32},
                   {10, 56, 20, 24}, {20, 72, -10, 8}, {0, 56, 20, 24}, {0, 24, 8, 32}}}));

// Whether a pixel of a W x H window is in the skin's region, worked out from the PNG: inside the
// borders, or an opaque pixel of any part placed there (tiles repeat their source).
bool ExpectedInRegion(const PngPixels& png, CSkinLayout* layout, int x, int y, int W, int H)
{
    if (x >= layout->BorderLeft() && x < W - layout->BorderRight() && y >= layout->BorderTop() &&
        y < H - layout->BorderBottom())
        return true;
    for (int i = 0; i < CSkinLayout::kPartCount; ++i) {
        RECT r = layout->Part(i)->Rect(), s = layout->Part(i)->Source();
        if (x < r.left || y < r.top || x >= r.left + r.right || y >= r.top + r.bottom)
            continue;
        if (png.Alpha(s.left + (x - r.left) % s.right, s.top + (y - r.top) % s.bottom) == 255)
            return true;
    }
    return false;
}

TEST_F(FrameLayout, RegionIsTheOpaquePixelsOfThePartsAndTheRoomInside)
{
    PngPixels png(TestSkinPath(L"TestSkin.png"));
    ASSERT_TRUE(png.Ok());
    const SIZE sizes[] = {{120, 80}, {200, 80}, {120, 150}, {30, 80}, {12, 80}};
    for (SIZE size : sizes) {
        HRGN region = layout->GetRegion(size.cx, size.cy);
        ASSERT_NE(region, nullptr);
        int wrong = 0, partial = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                bool expected = ExpectedInRegion(png, layout, x, y, size.cx, size.cy);
                if ((PtInRegion(region, x, y) != FALSE) != expected)
                    ++wrong;
            }
        // Partially transparent corner pixels exist and are left out (not the bounding box).
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 20; ++x)
                partial += png.Alpha(x, y) > 0 && png.Alpha(x, y) < 255;
        EXPECT_EQ(wrong, 0) << size.cx << "x" << size.cy;
        EXPECT_GT(partial, 0);
        if (size.cx >= 40)  // narrower windows have corners reaching past their edge
            EXPECT_FALSE(PtInRegion(region, size.cx, 0)) << size.cx << "x" << size.cy;
        DeleteObject(region);
    }
}

TEST_F(FrameLayout, BordersAndInnerPiecesOfTheTestSkin)
{
    EXPECT_EQ(layout->BorderLeft(), 8);
    EXPECT_EQ(layout->BorderTop(), 24);
    EXPECT_EQ(layout->BorderRight(), 8);
    EXPECT_EQ(layout->BorderBottom(), 8);
    // The top corners are no taller than the top border: no pieces there.
    EXPECT_EQ(layout->InnerPieceById(-10), nullptr);
    EXPECT_EQ(layout->InnerPieceById(-12), nullptr);
    CSkinImgStrech* bottomRight = layout->InnerPieceById(-14);
    CSkinImgStrech* bottomLeft = layout->InnerPieceById(-16);
    ASSERT_NE(bottomRight, nullptr);
    ASSERT_NE(bottomLeft, nullptr);
    const RECT brSource = {100, 56, 12, 16}, blSource = {8, 56, 12, 16};
    EXPECT_TRUE(EqualRect(&bottomRight->Source(), &brSource));
    EXPECT_TRUE(EqualRect(&bottomLeft->Source(), &blSource));
    layout->Place(200, 150);
    // Client coordinates: the window less the left and top borders.
    RECT br = bottomRight->Rect(), bl = bottomLeft->Rect();
    EXPECT_EQ(br.left, 180 - 8);
    EXPECT_EQ(br.top, 126 - 24);
    EXPECT_EQ(bl.left, 0);
    EXPECT_EQ(bl.top, 126 - 24);
}

class BorderRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLibraryAttached();
        bool exists = false;
        folder.Write("TestSkin.png", ReadFileBytes(TestSkinPath(L"TestSkin.png"), &exists));
        ASSERT_TRUE(exists);
    }
    CSkinLayout* Load(const std::string& framework)
    {
        std::string path = folder.Write("skin.inf", "[General]\nImage = TestSkin.png\n[Framework]\n" + framework);
        return frame.LoadSkin(Wide(path).c_str()) ? frame.Layout(1) : nullptr;
    }
    TempFolder folder;
    CSkinFrame frame;
};

TEST_F(BorderRules, ThicknessesAreTheThinnestOfEdgeAndCorners)
{
    struct Case {
        const char* what;
        std::string framework;
        int left, top, right, bottom;
    } cases[] = {
        {"an edge of height 0 does not count: the corners decide",
         "TopLeft = 0 0 20 30\nTopMiddle = 20 0 0 0\nTopRight = 100 0 20 28\nMiddleLeft = 0 24 6 32\n"
         "MiddleRight = 112 24 7 32\nBottomLeft = 0 56 20 24\nBottomMiddle = 20 72 80 9\nBottomRight = 100 56 20 24\n",
         6, 28, 7, 9},
        {"a corner thinner than the edge decides",
         "TopLeft = 0 0 5 10\nTopMiddle = 20 0 80 24\nTopRight = 100 0 20 24\nMiddleLeft = 0 24 8 32\n"
         "MiddleRight = 112 24 8 32\nBottomLeft = 0 56 20 4\nBottomMiddle = 20 72 80 8\nBottomRight = 100 56 20 24\n",
         5, 10, 8, 4},
        {"no side edges: the corners' widths",
         "TopLeft = 0 0 20 24\nTopMiddle = 20 0 80 24\nTopRight = 100 0 18 24\n"
         "BottomLeft = 0 56 16 24\nBottomMiddle = 20 72 80 8\nBottomRight = 100 56 20 24\n",
         16, 24, 18, 8},
    };
    for (const Case& c : cases) {
        CSkinLayout* layout = Load(c.framework);
        ASSERT_NE(layout, nullptr) << c.what;
        EXPECT_EQ(layout->BorderLeft(), c.left) << c.what;
        EXPECT_EQ(layout->BorderTop(), c.top) << c.what;
        EXPECT_EQ(layout->BorderRight(), c.right) << c.what;
        EXPECT_EQ(layout->BorderBottom(), c.bottom) << c.what;
    }
}

TEST_F(BorderRules, InnerPieceMarginsLoseTheCutAndSizingValuesReadLeftRightTopBottom)
{
    CSkinLayout* layout = Load(
        "TopLeft = 0 0 20 24\nTopMiddle = 20 0 80 8\nTopRight = 100 0 20 24\nMiddleLeft = 0 24 8 32\n"
        "MiddleRight = 112 24 8 32\nBottomLeft = 0 56 20 24\nBottomMiddle = 20 72 80 8\nBottomRight = 100 56 20 24\n"
        "TopLeft.SizingMargins = 10 3 12 2\nThickFrame.SizingThickness = 1 2 3 4\n");
    ASSERT_NE(layout, nullptr);
    CSkinImgStrech* piece = layout->InnerPieceById(-10);
    ASSERT_NE(piece, nullptr);
    RECT source = piece->Source();
    EXPECT_TRUE(source.left == 8 && source.top == 8 && source.right == 12 && source.bottom == 16);
    // left 10 - 8 cut, right 3 kept, top 12 - 8 cut, bottom 2 kept.
    RECT m = piece->Margins();
    EXPECT_TRUE(m.left == 2 && m.right == 3 && m.top == 4 && m.bottom == 2)
        << m.left << " " << m.right << " " << m.top << " " << m.bottom;
    RECT band = layout->SizingThickness();
    EXPECT_TRUE(band.left == 1 && band.right == 2 && band.top == 3 && band.bottom == 4);
}

// --- status bar ---

class StatusBar : public ::testing::Test {
protected:
    void SetUp() override { EnsureLibraryAttached(); }
    CSkinSb* Make(const wchar_t* skin, int width, int height)
    {
        if (!frame.LoadSkin(TestSkinPath(skin).c_str()))
            return nullptr;
        frame.SetSize(width, height);
        frame.LayoutPass(width, height);
        frame.CreateStatusBar();
        frame.LayoutPass(width, height);
        return frame.StatusBar();
    }
    TestFrame frame;
};

TEST_F(StatusBar, PartsAndSeparatorsShareTheRoom)
{
    CSkinSb* bar = Make(L"FrameSkin.inf", 200, 100);
    ASSERT_NE(bar, nullptr);
    // Bar from the left image to the right one: 200 wide at the bottom corners' offset.
    RECT r = bar->Rect();
    EXPECT_TRUE(r.left == 0 && r.top == 100 - 24 + 4 && r.right == 200 && r.bottom == 12)
        << r.left << "," << r.top << " " << r.right << "x" << r.bottom;
    EXPECT_EQ(bar->End(CSkinSb::kMiddle)->Rect().right, 200 - 6 - 6);

    CProfileReader& reader = frame.Reader();
    EXPECT_EQ(bar->AddPart(reader, 10, 90, L"fixed", nullptr, nullptr), 0);
    EXPECT_EQ(bar->AddPart(reader, 11, kPartFill, L"fill one", nullptr, nullptr), 1);
    EXPECT_EQ(bar->AddPart(reader, 12, kPartFill, L"fill two", nullptr, nullptr), 2);
    EXPECT_EQ(bar->AddPart(reader, 13, kPartAutoSize, L"", nullptr, nullptr), 3);
    // part, separator, part, separator, part, separator, part: never a separator first.
    ASSERT_EQ(bar->ItemCount(), 7);
    EXPECT_NE(dynamic_cast<CSkinSbPart*>(bar->Item(0)), nullptr);
    EXPECT_EQ(bar->Item(1)->Id(), kSeparatorId);
    // Room 200 - 2 - 3 = 195; the fixed part and three separators of 2 leave 99: 49 each.
    int x[7], w[7];
    for (int i = 0; i < 7; ++i)
        x[i] = bar->Item(i)->Rect().left, w[i] = bar->Item(i)->Rect().right;
    EXPECT_EQ(x[0], 2);
    EXPECT_EQ(w[0], 90);
    EXPECT_EQ(x[1], 92);
    EXPECT_EQ(w[2], 49);
    EXPECT_EQ(w[4], 49);
    EXPECT_EQ(x[4], 92 + 2 + 49 + 2);
    EXPECT_EQ(w[6], 0) << "an empty auto-size part without an image";
    // Separators are centred in the bar's height; parts take all of it.
    EXPECT_EQ(bar->Item(1)->Rect().top, r.top + 4);
    EXPECT_EQ(bar->Item(2)->Rect().bottom, 12);
    EXPECT_EQ(bar->FindPart(12), 2);
    EXPECT_EQ(bar->FindPart(99), -1);
}

TEST_F(StatusBar, TwoFillPartsSplitTheRestEvenly)
{
    CSkinSb* bar = Make(L"FrameSkin.inf", 200, 100);
    ASSERT_NE(bar, nullptr);
    CProfileReader& reader = frame.Reader();
    // 195 of room, a part of 90 and two separators: 101 left, 50 each.
    bar->AddPart(reader, 1, kPartFill, L"a", nullptr, nullptr);
    bar->AddPart(reader, 2, 90, L"b", nullptr, nullptr);
    bar->AddPart(reader, 3, kPartFill, L"c", nullptr, nullptr);
    EXPECT_EQ(bar->GetPart(0)->Rect().right, 50);
    EXPECT_EQ(bar->GetPart(2)->Rect().right, 50);
}

TEST_F(StatusBar, RemovingAnEndPartTakesItsSeparatorAlong)
{
    CSkinSb* bar = Make(L"FrameSkin.inf", 200, 100);
    ASSERT_NE(bar, nullptr);
    CProfileReader& reader = frame.Reader();
    for (int id = 1; id <= 3; ++id)
        bar->AddPart(reader, id, 20, L"x", nullptr, nullptr);
    ASSERT_EQ(bar->ItemCount(), 5);
    EXPECT_TRUE(bar->RemovePart(2));  // the last: the separator before it goes too
    EXPECT_EQ(bar->ItemCount(), 3);
    EXPECT_TRUE(bar->RemovePart(0));  // the first: the separator after it goes too
    ASSERT_EQ(bar->ItemCount(), 1);
    EXPECT_EQ(bar->GetPart(0)->Id(), 2);
    EXPECT_EQ(bar->GetPart(0)->Rect().left, 2);
    EXPECT_FALSE(bar->RemovePart(1));
    EXPECT_EQ(bar->PartCount(), 1);
}

TEST_F(StatusBar, TextAndImageOfAPart)
{
    CSkinSb* bar = Make(L"FrameSkin.inf", 200, 100);
    ASSERT_NE(bar, nullptr);
    CProfileReader& reader = frame.Reader();
    int index = bar->AddPart(reader, 5, kPartAutoSize, L"status", nullptr, "Statusbar.Separator Image");
    CSkinSbPart* part = bar->GetPart(index);
    ASSERT_NE(part, nullptr);
    // Auto-size: the text's width plus the picture and the gap.
    int textWidth = part->text.Rect().right;
    EXPECT_GT(textWidth, 0);
    EXPECT_EQ(part->Rect().right, textWidth + 2 + kPartGap);
    EXPECT_EQ(part->text.Rect().left, part->Rect().left + 2 + kPartGap);
    char name[64];
    EXPECT_EQ(CSkinSb::GetPartImage(part, name, 64), lstrlenA("Statusbar.Separator Image"));
    EXPECT_STREQ(name, "Statusbar.Separator Image");
    wchar_t text[4];
    EXPECT_EQ(CSkinSb::GetPartText(part, text, 4), 3);
    EXPECT_STREQ(text, L"sta");
    EXPECT_EQ(CSkinSb::GetPartText(part, nullptr, 0), 6);
    EXPECT_TRUE(bar->SetPartImage(part, reader, "No Such Image"));
    EXPECT_EQ(CSkinSb::GetPartImage(part, nullptr, 0), 0);
    EXPECT_EQ(part->text.Rect().left, part->Rect().left);
}

TEST_F(StatusBar, ABarWithoutItsRightImageIsNeverLaidOut)
{
    bool exists = false;
    TempFolder folder;
    folder.Write("TestSkin.png", ReadFileBytes(TestSkinPath(L"TestSkin.png"), &exists));
    std::string text = ReadFileBytes(TestSkinPath(L"FrameSkin.inf"), &exists);
    size_t cut = text.find("[Statusbar.Right Image]");
    ASSERT_NE(cut, std::string::npos);
    text.replace(cut, 1, "[Gone");  // the section's name no longer matches
    std::string path = folder.Write("partial.inf", text);
    ASSERT_TRUE(frame.LoadSkin(Wide(path).c_str()));
    frame.SetSize(200, 100);
    frame.LayoutPass(200, 100);
    frame.CreateStatusBar();
    CSkinSb* bar = frame.StatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->End(CSkinSb::kRight), nullptr);
    EXPECT_EQ(bar->AddPart(frame.Reader(), 1, 20, L"x", nullptr, nullptr), 0);
    frame.LayoutPass(300, 100);
    EXPECT_EQ(bar->Rect().right, 0);
    DibCanvas canvas(300, 100);
    frame.Paint(canvas.Dc(), 255);  // draws what it has, never crashes
}

}  // namespace
