#include <gtest/gtest.h>

#include "uilib/skin/SkinBtn.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinImgStrech.h"
#include "uilib/skin/SkinImgTile.h"
#include "uilib/skin/SkinTxtBtn.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"

namespace {

using namespace FWSkin;

constexpr DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;
constexpr DWORD kPurple = 0x800080;

class Elements : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str())); }
    CSkinBase* Add(const char* section, int id, const wchar_t* text = nullptr)
    {
        EXPECT_TRUE(frame.AddChild(section, id, true, text)) << section;
        return frame.FindElement(id);
    }
    CSkinFrame frame;
};

TEST_F(Elements, NineSliceKeepsCornersAndStretchesEdges)
{
    CSkinImgStrech picture(&frame, 1);
    picture.SetSource(RECT{150, 20, 12, 12});  // corners red, edges green, centre blue; margins 3
    picture.SetMargins(RECT{3, 3, 3, 3});
    picture.SetRect(RECT{2, 1, 24, 30});
    DibCanvas canvas(40, 40, 0x00FFFFFF);
    picture.Draw(canvas.Dc(), false);
    struct Probe {
        int x, y;
        DWORD rgb;
    } probes[] = {
        {2, 1, kRed},    {4, 3, kRed},     {5, 3, kGreen},  {4, 4, kGreen},   // top-left corner, 3 x 3
        {14, 1, kGreen}, {14, 3, kGreen},  {14, 4, kBlue},  {2, 16, kGreen},  // edges stretched
        {14, 16, kBlue}, {22, 28, kGreen}, {23, 28, kRed},  {25, 30, kRed},   // bottom-right corner
        {23, 27, kGreen}, {26, 30, kWhite}, {1, 1, kWhite}, {2, 31, kWhite},  // outside
    };
    for (const Probe& p : probes)
        EXPECT_EQ(canvas.Rgb(p.x, p.y), p.rgb) << p.x << "," << p.y;

    canvas.Fill(0x00FFFFFF);
    picture.SetMargins(RECT{});  // no margins: the whole source stretched
    picture.SetRect(RECT{0, 0, 24, 24});
    picture.Draw(canvas.Dc(), false);
    EXPECT_EQ(canvas.Rgb(5, 5), kRed);  // a 3-pixel corner became 6 pixels
    EXPECT_EQ(canvas.Rgb(6, 5), kGreen);
    EXPECT_EQ(canvas.Rgb(12, 12), kBlue);
}

TEST_F(Elements, TileCutsTheLastColumnAndPeriodTellsTilingFromStretching)
{
    CSkinBase* stripes = Add("Stripes Image", 1);  // 14 x 4 of a 6-wide tile: 3 dark, 3 light
    DibCanvas canvas(60, 60, 0x00FF00FF);
    frame.LayoutPass(120, 80);
    stripes->Draw(canvas.Dc(), false);
    const DWORD expected[] = {kBlack, kBlack, kBlack, kWhite, kWhite, kWhite, kBlack,
                              kBlack, kBlack, kWhite, kWhite, kWhite, kBlack, kBlack};
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(canvas.Rgb(30 + x, 51), expected[x]) << x;
    EXPECT_EQ(canvas.Rgb(44, 51), 0xFF00FFu);  // cut at the rectangle
    EXPECT_EQ(canvas.Rgb(30, 54), 0xFF00FFu);

    // TopMiddle is tiled in layout 1 (stripes of 2) and stretched in layout 2 (stripes widen).
    DibCanvas frameCanvas(200, 80);
    frame.Layout(1)->Place(200, 80);
    frame.Layout(1)->Draw(frameCanvas.Dc(), nullptr);
    for (int x = 20; x < 40; ++x)
        EXPECT_EQ(frameCanvas.Rgb(x, 10), ((x - 20) / 2) % 2 ? kWhite : kPurple) << x;
    EXPECT_EQ(frameCanvas.Rgb(0, 10), kRed);    // TopLeft
    EXPECT_EQ(frameCanvas.Rgb(190, 10), kGreen);  // TopRight moved to the right edge
    frame.Layout(2)->Place(200, 80);
    frame.Layout(2)->Draw(frameCanvas.Dc(), nullptr);
    int run = 0;
    while (frameCanvas.Rgb(20 + run, 10) == kPurple)
        ++run;
    EXPECT_EQ(run, 4);  // 2 source pixels times 160 / 80
}

TEST_F(Elements, GradientTileDrawsUnderTheTilesAndCoversItsRectangle)
{
    CSkinImgTileGradient edge(&frame, 1);
    edge.SetSource(RECT{170, 20, 10, 10});  // transparent margin around a dark centre
    edge.SetColors(RGB(0, 0, 0), RGB(0, 0, 255));
    edge.SetRect(RECT{0, 0, 10, 20});
    DibCanvas canvas(20, 30, 0x00FFFFFF);
    edge.Draw(canvas.Dc(), false);
    EXPECT_EQ(canvas.Rgb(0, 0), kBlack);
    EXPECT_GT(canvas.Rgb(0, 19) & 0xFF, 0xE0u);
    EXPECT_EQ(canvas.Rgb(3, 3), 0x0A141Eu);   // the tile over the gradient
    EXPECT_EQ(canvas.Rgb(3, 13), 0x0A141Eu);  // repeated below
    EXPECT_EQ(canvas.Rgb(10, 5), kWhite);
    HRGN region = edge.GetRegion();
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 20);
    DeleteObject(region);
}

TEST_F(Elements, RegionsAtSourceSizeAndTwiceTheSize)
{
    // The close button's Normal picture: 16 x 16 with transparent 3-pixel corner triangles.
    RECT source = {130, 0, 16, 16};
    CSkinImgStrech picture(&frame, 1);
    picture.SetSource(source);
    picture.SetRegion(frame.Image().CreateRegion(&source, 255));
    picture.SetRect(RECT{10, 20, 16, 16});
    HRGN region = picture.GetRegion();
    EXPECT_FALSE(PtInRegion(region, 10, 20));
    EXPECT_FALSE(PtInRegion(region, 12, 20));
    EXPECT_TRUE(PtInRegion(region, 13, 20));
    EXPECT_TRUE(PtInRegion(region, 18, 28));
    EXPECT_FALSE(PtInRegion(region, 25, 35));
    DeleteObject(region);

    picture.SetRect(RECT{0, 0, 32, 32});  // no margins: scaled by 2
    region = picture.GetRegion();
    EXPECT_FALSE(PtInRegion(region, 5, 0));
    EXPECT_TRUE(PtInRegion(region, 6, 0));
    EXPECT_FALSE(PtInRegion(region, 31, 31));
    EXPECT_TRUE(PtInRegion(region, 16, 16));
    DeleteObject(region);

    picture.SetMargins(RECT{4, 4, 4, 4});  // corners kept, the middle stretched
    region = picture.GetRegion();
    EXPECT_FALSE(PtInRegion(region, 2, 0));
    EXPECT_TRUE(PtInRegion(region, 3, 0));
    EXPECT_FALSE(PtInRegion(region, 31, 31));
    EXPECT_FALSE(PtInRegion(region, 29, 31));
    EXPECT_TRUE(PtInRegion(region, 28, 31));
    EXPECT_TRUE(PtInRegion(region, 16, 0));
    EXPECT_FALSE(PtInRegion(region, 32, 16));
    DeleteObject(region);

    CSkinImgTile tile(&frame, 2);  // a tiled picture repeats its region
    tile.SetSource(source);
    tile.SetRegion(frame.Image().CreateRegion(&source, 255));
    tile.SetRect(RECT{0, 0, 40, 16});
    region = tile.GetRegion();
    EXPECT_FALSE(PtInRegion(region, 16, 0));
    EXPECT_TRUE(PtInRegion(region, 20, 0));
    EXPECT_FALSE(PtInRegion(region, 40, 8));
    DeleteObject(region);
}

TEST_F(Elements, ButtonFadesInFourStepsAndOutInEight)
{
    auto* close = static_cast<CSkinBtn*>(Add("Close Button", 0xF060));
    frame.LayoutPass(120, 80);
    EXPECT_EQ(close->GetCursorKind(), kCursorHand);
    EXPECT_FALSE(close->HitTest(102, 4));  // a transparent corner
    EXPECT_TRUE(close->HitTest(110, 12));
    EXPECT_TRUE(close->OnMouseMove(110, 12));
    EXPECT_TRUE(close->HasState(kStateHot));
    std::vector<int> alphas = {close->FadeAlpha()};
    while (close->OnFadeTimer())
        alphas.push_back(close->FadeAlpha());
    alphas.push_back(close->FadeAlpha());
    EXPECT_EQ(alphas, (std::vector<int>{0, 64, 128, 192, 255}));

    EXPECT_TRUE(close->OnMouseMove(0, 0));
    int ticks = 0;
    while (close->OnFadeTimer())
        ++ticks;
    EXPECT_EQ(ticks + 1, 8);
    EXPECT_FALSE(close->HasState(kStateHot));

    auto* plain = static_cast<CSkinBtn*>(Add("Plain Button", 7));  // no FxFading: no fade
    frame.LayoutPass(120, 80);
    EXPECT_FALSE(plain->OnMouseMove(110, 38));
    EXPECT_TRUE(plain->HasState(kStateHot));
    EXPECT_FALSE(plain->IsFading());
}

TEST_F(Elements, PressDragOffAndReleaseIsNoClick)
{
    auto* button = static_cast<CSkinBtn*>(Add("Plain Button", 7));
    frame.LayoutPass(120, 80);
    EXPECT_FALSE(button->OnLButtonDown(0, 0));  // outside
    EXPECT_TRUE(button->OnLButtonDown(110, 38));
    EXPECT_TRUE(button->HasState(kStatePushed | kStateTracking));
    button->OnMouseMove(50, 50);
    EXPECT_FALSE(button->HasState(kStatePushed));
    button->OnMouseMove(110, 38);
    EXPECT_TRUE(button->HasState(kStatePushed));
    button->OnMouseMove(50, 50);
    EXPECT_FALSE(button->OnLButtonUp(50, 50));
    EXPECT_FALSE(button->HasState(kStateTracking));

    EXPECT_TRUE(button->OnLButtonDown(110, 38));
    EXPECT_TRUE(button->OnLButtonUp(110, 38));  // a click
    EXPECT_FALSE(button->OnLButtonUp(110, 38));

    button->OnLButtonDown(110, 38);
    button->OnCancelMode();
    EXPECT_FALSE(button->HasState(kStatePushed | kStateTracking));

    button->AddState(kStateDisabled);
    EXPECT_FALSE(button->OnLButtonDown(110, 38));
    EXPECT_FALSE(button->HasState(kStatePushed));
}

TEST_F(Elements, ButtonShowsThePictureOfItsState)
{
    auto* button = static_cast<CSkinBtn*>(Add("Plain Button", 7));
    frame.LayoutPass(120, 80);
    DibCanvas canvas(120, 80, 0x00FFFFFF);
    auto centre = [&]() {
        canvas.Fill(0x00FFFFFF);
        button->Draw(canvas.Dc(), false);
        return canvas.Rgb(110, 38);
    };
    EXPECT_EQ(centre(), 0xC80000u);
    EXPECT_EQ(canvas.Rgb(102, 30), kWhite);  // transparent corner
    button->OnMouseMove(110, 38);
    EXPECT_EQ(centre(), 0x00C800u);
    button->OnLButtonDown(110, 38);
    EXPECT_EQ(centre(), 0x0000C8u);
    button->OnCancelMode();
    button->AddState(kStateDisabled);
    EXPECT_EQ(centre(), 0x808080u);
    button->RemoveState(kStateDisabled);
    button->AddStyle(kStyleHidden);
    EXPECT_EQ(centre(), kWhite);
    EXPECT_FALSE(button->HitTest(110, 38));

    auto* fading = static_cast<CSkinBtn*>(Add("Close Button", 0xF060));
    frame.LayoutPass(120, 80);
    fading->OnMouseMove(110, 12);
    fading->OnFadeTimer();
    fading->OnFadeTimer();  // alpha 128: half Normal, half Hot
    canvas.Fill(0);
    fading->Draw(canvas.Dc(), false);
    DWORD mixed = canvas.Rgb(110, 12);  // Normal at 127 on black, then Hot at 128 over it
    EXPECT_NEAR(static_cast<int>(mixed >> 16), 50, 4);
    EXPECT_NEAR(static_cast<int>((mixed >> 8) & 0xFF), 100, 4);
}

TEST_F(Elements, TextButtonWidthFollowsItsCaptionWhichIsCentred)
{
    auto* button = static_cast<CSkinTxtBtn*>(Add("Wide TextButton", 1, L"OK"));
    frame.LayoutPass(120, 80);
    SIZE ok = button->MeasureCaption();  // caption size plus 2
    EXPECT_EQ(button->Rect().right, 60);  // the Window width is larger
    EXPECT_EQ(button->Rect().bottom, std::max<LONG>(ok.cy, 20));
    EXPECT_EQ(button->CaptionRect().left, 6 + (60 - (6 + ok.cx + 6)) / 2);
    EXPECT_EQ(button->CaptionRect().right, ok.cx);

    auto* wide = static_cast<CSkinTxtBtn*>(Add("Wide TextButton", 2, L"A caption far wider than sixty pixels"));
    SIZE caption = wide->MeasureCaption();
    EXPECT_GT(caption.cx, 60);
    EXPECT_EQ(wide->Rect().right, 6 + caption.cx + 6);
    EXPECT_EQ(wide->CaptionRect().left, 6);

    DibCanvas canvas(120, 80, 0x00FFFFFF);
    button->Draw(canvas.Dc(), false);
    EXPECT_EQ(canvas.Rgb(30, 56), kWhite);  // Left's transparent corner
    EXPECT_EQ(canvas.Rgb(31, 57), 0x400000u);
    EXPECT_EQ(canvas.Rgb(40, 57), 0x606060u);  // the middle stretched between the ends
    EXPECT_EQ(canvas.Rgb(88, 57), 0x400000u);
    EXPECT_EQ(canvas.Rgb(89, 56), kWhite);
    bool captionPixel = false;
    for (int y = 56; y < 76; ++y)
        for (int x = 36; x < 84; ++x)
            captionPixel |= (canvas.Rgb(x, y) & 0xC0C0C0) == 0xC0C0C0;  // antialiased glyphs
    EXPECT_TRUE(captionPixel);  // the Normal caption is white over the grey middle
    EXPECT_FALSE(button->HitTest(30, 56));
    EXPECT_TRUE(button->HitTest(50, 60));
}

TEST_F(Elements, TextDrawsInsideItsRectangleOnly)
{
    auto* caption = static_cast<CSkinTxt*>(Add("Caption Text", -28, L"WWWWWWWWWWWWWWWWWWWWW"));
    frame.LayoutPass(120, 80);
    caption->shadow = kNoColor;
    DibCanvas canvas(120, 80, 0);
    caption->Draw(canvas.Dc(), false);
    int inside = 0, outside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if (canvas.Rgb(x, y) == kWhite)
                (x >= 22 && x < 82 && y >= 4 && y < 20 ? inside : outside) += 1;
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    canvas.Fill(0);
    caption->AddStyle(kStyleHidden);
    caption->Draw(canvas.Dc(), false);
    caption->RemoveStyle(kStyleHidden);
    caption->SetText(nullptr);
    caption->Draw(canvas.Dc(), false);
    for (int x = 22; x < 82; ++x)
        ASSERT_EQ(canvas.Rgb(x, 12), 0u);
}

TEST(ElementToolTips, HiddenAndDisabledEmptyTheRectangleAndShowingRestoresIt)
{
    FakeFrame fake;
    {
        CSkinBtn button(&fake, 5);
        button.SetRect(RECT{10, 20, 16, 16});
        EXPECT_TRUE(button.SetToolTip(L"Close"));
        ASSERT_NE(fake.Find(5), nullptr);
        EXPECT_EQ(fake.Find(5)->rect.right, 26);
        EXPECT_TRUE(button.SetToolTip(L"Shut"));
        EXPECT_EQ(fake.Find(5)->text, L"Shut");

        button.AddState(kStateDisabled);
        EXPECT_TRUE(IsRectEmpty(&fake.Find(5)->rect));  // the tool stays, with no area
        button.RemoveState(kStateDisabled);
        EXPECT_EQ(fake.Find(5)->rect.bottom, 36);

        button.AddStyle(kStyleHidden);
        EXPECT_TRUE(IsRectEmpty(&fake.Find(5)->rect));
        button.AddState(kStateDisabled);
        button.RemoveState(kStateDisabled);  // still hidden: no area
        EXPECT_TRUE(IsRectEmpty(&fake.Find(5)->rect));
        button.RemoveStyle(kStyleHidden);
        EXPECT_EQ(fake.Find(5)->rect.left, 10);

        button.SetRect(RECT{40, 20, 16, 16});
        button.Layout(100, 100);  // the tooltip follows a layout pass
        EXPECT_EQ(fake.Find(5)->rect.left, 40);
    }
    EXPECT_EQ(fake.Find(5), nullptr);  // removed with the element
    EXPECT_EQ(fake.refs, 0u);
}

}  // namespace
