#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "uilib/skin/SkinBtn.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinImgStrech.h"
#include "uilib/skin/SkinImgTile.h"
#include "uilib/skin/SkinTxtBtn.h"
#include "uilib/skin/SkinTxtHtml.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"
#include "tests/support/TestPaths.h"

namespace {

using namespace FWSkin;

const char kFramework[] =
    "[Framework]\nTopLeft = 0 0 20 24\nTopMiddle = 20 0 80 24\nTopRight = 100 0 20 24\n"
    "MiddleRight = 112 24 8 32\nBottomRight = 100 56 20 24\nBottomMiddle = 20 72 80 8\n"
    "BottomLeft = 0 56 20 24\nMiddleLeft = 0 24 8 32\n";

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

// A folder holding the test skin's image and a description of our own.
class Description : public ::testing::Test {
protected:
    void SetUp() override
    {
        bool exists = false;
        png = ReadFileBytes(TestSkinPath(L"TestSkin.png"), &exists);
        ASSERT_TRUE(exists);
        folder.Write("TestSkin.png", png);
    }
    std::wstring Write(const std::string& text) { return Wide(folder.Write("skin.inf", text)); }

    TempFolder folder;
    std::string png;
    CSkinFrame frame;
};

struct LoadCase {
    const char* what;
    std::string text;
    bool loads;
};

class LoadSkinTable : public Description, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSkinTable, Result)
{
    const LoadCase& c = GetParam();
    folder.Write("junk.png", "not an image");
    EXPECT_EQ(frame.LoadSkin(Write(c.text).c_str()), c.loads) << c.what;
    if (c.loads) {
        EXPECT_NE(frame.Layout(1), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Description, LoadSkinTable,
    ::testing::Values(LoadCase{"complete", std::string("[General]\nImage = TestSkin.png\n") + kFramework, true},
                      LoadCase{"image in another case", std::string("[General]\nImage=testskin.PNG\n") + kFramework, true},
                      LoadCase{"no [General]", kFramework, false},
                      LoadCase{"no Image key", std::string("[General]\nPicture = TestSkin.png\n") + kFramework, false},
                      LoadCase{"missing image", std::string("[General]\nImage = none.png\n") + kFramework, false},
                      LoadCase{"image that does not decode", std::string("[General]\nImage = junk.png\n") + kFramework,
                               false},
                      LoadCase{"no [Framework]", "[General]\nImage = TestSkin.png\n[Framework.FullScreen]\n", false},
                      LoadCase{"empty [Framework] still builds", "[General]\nImage = TestSkin.png\n[Framework]\n",
                               true}));

TEST_F(Description, MissingFileChangesNothing)
{
    ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str()));
    ASSERT_TRUE(frame.AddChild("Caption Text", -28, true, L"Title"));
    EXPECT_FALSE(frame.LoadSkin(Wide(folder.File("none.inf")).c_str()));
    EXPECT_EQ(frame.ElementCount(), 1);
    EXPECT_NE(frame.Layout(1), nullptr);
    EXPECT_EQ(frame.Path(), TestSkinPath(L"TestSkin.inf"));
}

TEST_F(Description, LayoutsAndShadow)
{
    ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str()));
    EXPECT_NE(frame.Layout(2), nullptr);  // [Framework.FullScreen]
    EXPECT_TRUE(frame.Options() & kOptionShadow);
    EXPECT_EQ(frame.Shadow().darkness, 255);  // 300 clamped
    EXPECT_EQ(frame.Shadow().size, -20);      // -30 clamped
    EXPECT_EQ(frame.Shadow().sharpness, 5);

    ASSERT_TRUE(frame.LoadSkin(Write("[General]\nImage = TestSkin.png\n[Shadow]\n" + std::string(kFramework)).c_str()));
    EXPECT_EQ(frame.Layout(2), nullptr);
    EXPECT_EQ(frame.ElementCount(), 0);  // the earlier skin's elements are gone
    const ShadowParameters& s = frame.Shadow();
    EXPECT_TRUE(frame.Options() & kOptionShadow);
    EXPECT_EQ(s.darkness, 150);
    EXPECT_EQ(s.sharpness, 5);
    EXPECT_EQ(s.size, 0);
    EXPECT_EQ(s.xOffset, 5);
    EXPECT_EQ(s.yOffset, 5);
    EXPECT_EQ(s.color, 0u);

    ASSERT_TRUE(frame.LoadSkin(
        Write("[General]\nImage = TestSkin.png\n[Shadow]\nDarkness=-5\nSharpness=99\nSize=21\nXOffset=-99\n"
              "YOffset=20\nColor=#FF0000\n" + std::string(kFramework)).c_str()));
    EXPECT_EQ(frame.Shadow().darkness, 0);
    EXPECT_EQ(frame.Shadow().sharpness, 20);
    EXPECT_EQ(frame.Shadow().size, 20);
    EXPECT_EQ(frame.Shadow().xOffset, -20);
    EXPECT_EQ(frame.Shadow().yOffset, 20);
    EXPECT_EQ(frame.Shadow().color, 0x0000FFu);

    ASSERT_TRUE(frame.LoadSkin(Write("[General]\nImage = TestSkin.png\n" + std::string(kFramework)).c_str()));
    EXPECT_FALSE(frame.Options() & kOptionShadow);
}

TEST_F(Description, RelativePathsResolveBesideTheProgramAndTheDescription)
{
    // A relative description path is taken beside the program, wherever the library lies.
    ASSERT_TRUE(frame.LoadSkin(L"skins\\TestSkin.inf"));
    EXPECT_EQ(frame.Path(), TestExeFolder() + L"\\skins\\TestSkin.inf");
    // A relative image path is taken beside the description.
    CreateDirectoryA(folder.File("sub").c_str(), nullptr);
    folder.Write("sub\\other.png", png);
    EXPECT_TRUE(frame.LoadSkin(Write("[General]\nImage = sub\\..\\sub\\other.png\n" + std::string(kFramework)).c_str()));
}

TEST_F(Description, PathsThatDoNotFitCountAsMissing)
{
    std::wstring longName(MAX_PATH + 40, L'a');
    EXPECT_FALSE(frame.LoadSkin(longName.c_str()));
    EXPECT_FALSE(frame.LoadSkin((L"C:\\" + longName).c_str()));
    EXPECT_FALSE(frame.LoadSkin(L""));
    EXPECT_FALSE(frame.LoadSkin(nullptr));
    std::string image(MAX_PATH, 'b');
    EXPECT_FALSE(frame.LoadSkin(Write("[General]\nImage = " + image + ".png\n" + std::string(kFramework)).c_str()));
}

// --- the element factory ---

class Factory : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.LoadSkin(TestSkinPath(L"TestSkin.inf").c_str())); }
    CSkinFrame frame;
};

TEST_F(Factory, ClassFollowsTheSectionName)
{
    struct Case {
        const char* section;
        const std::type_info* type;  // null: no element
    } cases[] = {
        {"Close Button", &typeid(CSkinBtn)},          {"Logo Image Button", &typeid(CSkinImg)},
        {"Stripes Image", &typeid(CSkinImgTile)},     {"Corner Image", &typeid(CSkinImg)},
        {"Wide TextButton", &typeid(CSkinTxtBtn)},    {"Caption Text", &typeid(CSkinTxt)},
        {"Note Html", &typeid(CSkinTxtHtml)},         {"wide textbutton", &typeid(CSkinTxtBtn)},
        {"Lonely", nullptr},                          {"No Such Image", nullptr},
    };
    for (const Case& c : cases) {
        CSkinBase* element = frame.CreateChild(c.section, 7, true);
        if (!c.type) {
            EXPECT_EQ(element, nullptr) << c.section;
            continue;
        }
        ASSERT_NE(element, nullptr) << c.section;
        EXPECT_TRUE(typeid(*element) == *c.type) << c.section << " made " << typeid(*element).name();
        EXPECT_EQ(element->Id(), 7);
        delete element;
    }
    EXPECT_FALSE(frame.AddChild("Lonely", 1, true, nullptr));
    EXPECT_FALSE(frame.AddChild("Missing Text", 1, true, L"x"));
    EXPECT_EQ(frame.ElementCount(), 0);
}

TEST_F(Factory, VisibilityAndCentring)
{
    ASSERT_TRUE(frame.AddChild("Centered Text", 1, true, L"c"));
    ASSERT_TRUE(frame.AddChild("Middle Text", 2, true, L"m"));
    ASSERT_TRUE(frame.AddChild("Caption Text", 3, false, L"t"));
    CSkinBase* both = frame.FindElement(1);
    CSkinBase* middle = frame.FindElement(2);
    EXPECT_TRUE(both->HasStyle(kStyleCenterX));
    EXPECT_FALSE(both->HasStyle(kStyleCenterY));  // xCenter wins over yCenter
    EXPECT_TRUE(middle->HasStyle(kStyleCenterY));
    EXPECT_TRUE(frame.FindElement(3)->HasStyle(kStyleHidden));
    frame.LayoutPass(200, 100);
    EXPECT_EQ(both->Rect().left, 80);   // (200 - 40) / 2
    EXPECT_EQ(both->Rect().top, 30);
    EXPECT_EQ(middle->Rect().left, 0);
    EXPECT_EQ(middle->Rect().top, 44);  // (100 - 12) / 2
}

TEST_F(Factory, AnchorsMoveAndWidenElementsWithTheFrame)
{
    for (const char* section : {"Corner Image", "Spanning Image", "Stripes Image", "Unplaced Image", "Caption Text"})
        ASSERT_TRUE(frame.AddChild(section, static_cast<int>(frame.ElementCount()) + 1, true, L"x")) << section;
    CSkinBase* corner = frame.FindElement(1);
    CSkinBase* spanning = frame.FindElement(2);
    CSkinBase* loose = frame.FindElement(3);
    CSkinBase* unplaced = frame.FindElement(4);
    CSkinBase* caption = frame.FindElement(5);
    CSkinLayout* layout = frame.Layout(1);
    EXPECT_EQ(corner->LeftAnchor(), layout->PartById(-4));   // TopRight
    EXPECT_EQ(corner->RightAnchor(), nullptr);                // the same part both ends
    EXPECT_EQ(spanning->LeftAnchor(), layout->PartById(-2));  // TopLeft ...
    EXPECT_EQ(spanning->RightAnchor(), layout->PartById(-4)); // ... to TopRight
    EXPECT_EQ(caption->LeftAnchor(), layout->PartById(-3));   // inside TopMiddle
    EXPECT_EQ(caption->RightAnchor(), nullptr);
    EXPECT_EQ(loose->LeftAnchor(), nullptr);                  // inside the client area
    EXPECT_EQ(unplaced->LeftAnchor(), nullptr);

    frame.LayoutPass(220, 80);  // 100 wider than the design
    EXPECT_EQ(corner->Rect().left, 204);
    EXPECT_EQ(corner->Rect().right, 8);
    EXPECT_EQ(spanning->Rect().left, 10);
    EXPECT_EQ(spanning->Rect().right, 200);
    EXPECT_EQ(caption->Rect().left, 22);
    EXPECT_EQ(caption->Rect().right, 60);  // TopMiddle's start does not move
    EXPECT_EQ(loose->Rect().left, 30);
    EXPECT_EQ(unplaced->Rect().left, 0);
    EXPECT_EQ(unplaced->Rect().top, 0);

    frame.LayoutPass(150, 80);  // passes go back and forth without drift
    EXPECT_EQ(corner->Rect().left, 134);
    EXPECT_EQ(spanning->Rect().right, 130);

    ASSERT_TRUE(frame.AddChild("Corner Image", 9, true, nullptr));  // made after a pass
    EXPECT_EQ(frame.FindElement(9)->Rect().left, 134);
    frame.LayoutPass(120, 80);
    EXPECT_EQ(frame.FindElement(9)->Rect().left, 104);
}

TEST_F(Factory, TextReaderKeys)
{
    ASSERT_TRUE(frame.AddChild("Note Text", 1, true, L"Hello"));
    ASSERT_TRUE(frame.AddChild("Caption Text", 2, true, L"Title"));
    auto* note = static_cast<CSkinTxt*>(frame.FindElement(1));
    auto* caption = static_cast<CSkinTxt*>(frame.FindElement(2));
    EXPECT_EQ(note->color, 0x0000FFu);
    EXPECT_EQ(note->shadow, kNoColor);
    EXPECT_TRUE(note->HasStyle(kStyleMultiLine));
    EXPECT_TRUE(note->HasStyle(kStyleCenterText));
    EXPECT_EQ(note->TextSize(), 14);
    LOGFONTW lf = {};
    GetObjectW(note->Font(), sizeof(lf), &lf);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(14, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    LOGFONTW base = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);
    EXPECT_STREQ(lf.lfFaceName, base.lfFaceName);  // the missing face keeps the base font
    EXPECT_STREQ(note->Text(), L"Hello");
    EXPECT_EQ(caption->color, 0xFFFFFFu);
    EXPECT_EQ(caption->shadow, 0u);
    EXPECT_EQ(caption->attributes, 5);
    EXPECT_EQ(caption->TextSize(), 0);
}

TEST_F(Factory, TextButtonStateSectionsAndOverlongNames)
{
    ASSERT_TRUE(frame.AddChild("Wide TextButton", 1, true, L"OK"));
    auto* button = static_cast<CSkinTxtBtn*>(frame.FindElement(1));
    EXPECT_TRUE(button->looks[CSkinTxtBtn::kNormal].present);
    EXPECT_TRUE(button->looks[CSkinTxtBtn::kHot].present);
    EXPECT_FALSE(button->looks[CSkinTxtBtn::kPushed].present);  // a missing state stays empty
    EXPECT_EQ(button->looks[CSkinTxtBtn::kHot].color, 0u);
    EXPECT_EQ(button->looks[CSkinTxtBtn::kNormal].middle.right, 4);
    EXPECT_EQ(button->GetCursorKind(), kCursorHand);

    // A section name whose state names would not fit reads as having no state sections.
    TempFolder folder;
    bool exists = false;
    folder.Write("TestSkin.png", ReadFileBytes(TestSkinPath(L"TestSkin.png"), &exists));
    std::string name = std::string(CSkinFrame::kMaxSectionName - 10, 'n') + " TextButton";
    std::string inf = std::string("[General]\nImage = TestSkin.png\n") + kFramework + "[" + name +
                      "]\nWindow = 0 0 10 10\n[" + name + ".Normal]\nLeft = 130 20 6 20\n";
    CSkinFrame other;
    ASSERT_TRUE(other.LoadSkin(Wide(folder.Write("long.inf", inf)).c_str()));
    ASSERT_TRUE(other.AddChild(name.c_str(), 1, true, L"x"));
    EXPECT_FALSE(static_cast<CSkinTxtBtn*>(other.FindElement(1))->looks[CSkinTxtBtn::kNormal].present);
}

}  // namespace

namespace {

TEST_F(Factory, LayoutPartsGetRegionsOfTheirOpaquePixelsUnlessTranslucent)
{
    CSkinImg* topLeft = frame.Layout(1)->PartById(-2);
    ASSERT_NE(topLeft->Region(), nullptr);
    EXPECT_FALSE(PtInRegion(topLeft->Region(), 0, 0));  // the rounded corner's partial alpha
    EXPECT_FALSE(PtInRegion(topLeft->Region(), 2, 1));
    EXPECT_TRUE(PtInRegion(topLeft->Region(), 10, 10));
    EXPECT_TRUE(typeid(*frame.Layout(2)->PartById(-3)) == typeid(CSkinImgStrech));  // StretchMiddle
    EXPECT_TRUE(typeid(*frame.Layout(1)->PartById(-3)) == typeid(CSkinImgTile));

    CSkinFrame translucent;
    ASSERT_TRUE(translucent.LoadSkin(TestSkinPath(L"TestSkinTranslucent.inf").c_str()));
    CSkinLayout* layout = translucent.Layout(1);
    EXPECT_TRUE(layout->IsTranslucent());
    for (int i = 0; i < CSkinLayout::kPartCount; ++i)
        EXPECT_EQ(layout->Part(i)->Region(), nullptr) << CSkinLayout::PartName(i);
    EXPECT_TRUE(typeid(*layout->PartById(-9)) == typeid(CSkinImgTileGradient));  // VGradientMiddleLeft
    EXPECT_EQ(layout->BorderLeft(), 10);
    EXPECT_EQ(layout->BorderTop(), 24);
    EXPECT_EQ(layout->BorderRight(), 8);
    EXPECT_EQ(layout->BorderBottom(), 8);
}

TEST(ShippedSkin, ManagerSkinHasEverySectionTheProgramUses)
{
    CSkinFrame frame;
    ASSERT_TRUE(frame.LoadSkin((TestExeFolder() + L"\\..\\dist\\Skin\\Skin.inf").c_str()));
    struct Section {
        const char* name;
        int id;
        int anchor;  // the layout part it moves with
    } sections[] = {
        {"Caption Text", -28, -2},          {"Minimize Button", 0xF020, -4}, {"Close Button", 0xF060, -4},
        {"AppTitle Text", 11, -8},          {"AppVersion.Label Text", 14, -6}, {"AppVersion Text", 15, -6},
    };
    CSkinLayout* layout = frame.Layout(1);
    for (const Section& s : sections) {
        ASSERT_TRUE(frame.AddChild(s.name, s.id, true, L"Sonabridge (Lyrant)")) << s.name;
        EXPECT_EQ(frame.FindElement(s.id)->LeftAnchor(), layout->PartById(s.anchor)) << s.name;
    }
    for (int id : {0xF020, 0xF060}) {
        auto* button = dynamic_cast<CSkinBtn*>(frame.FindElement(id));
        ASSERT_NE(button, nullptr);
        for (const RECT& state : {button->normal, button->hot, button->pushed, button->disabled})
            EXPECT_TRUE(state.right == 18 && state.bottom == 18) << id;
        EXPECT_TRUE(button->HasStyle(kStyleFxFading));
    }

    frame.LayoutPass(500, 320);  // 140 wider, 80 taller than the design
    EXPECT_EQ(frame.FindElement(0xF060)->Rect().left, 332 + 140);
    EXPECT_EQ(frame.FindElement(15)->Rect().top, 161 + 80);
    EXPECT_EQ(frame.FindElement(11)->Rect().left, 12);

    DibCanvas canvas(500, 320, 0);
    layout->Draw(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(0, 0) >> 24, 0u);      // rounded outer corners
    EXPECT_EQ(canvas.Pixel(499, 319) >> 24, 0u);
    EXPECT_EQ(canvas.Pixel(250, 10) >> 24, 255u);  // the caption band across the width
    EXPECT_EQ(canvas.Pixel(499, 160) >> 24, 255u);
    EXPECT_EQ(canvas.Pixel(250, 160) >> 24, 0u);   // the client area is left to the dialog
    EXPECT_FALSE(PtInRegion(layout->PartById(-2)->Region(), 0, 0));
    EXPECT_TRUE(PtInRegion(layout->PartById(-2)->Region(), 8, 8));
}

}  // namespace
