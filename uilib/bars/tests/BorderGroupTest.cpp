#include <gtest/gtest.h>

#include "uilib/bars/BorderXP.h"
#include "uilib/bars/GroupXP.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kOlive = RGB(128, 128, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kIconColour = RGB(0x20, 0xC0, 0x40);

// Solid colours, so every pixel of a fill can be compared exactly.
const char kScheme[] =
    "[Window]\nBorder = #FF0000\nCaptionText = #FFFFFF\nCaptionBackground = #0000FF\n"
    "[Group]\nBorder = #000000\nBackground = #FFFF00\nCaptionText = #000000\n"
    "Caption = #00FFFF\nSmartCaption = #FF00FF\n"
    "[Special]\nBorder = #00FF00\nCaptionBackground = #808000\n";

class BorderXPTest : public ::testing::Test {
protected:
    void SetUp() override { LoadSchemeText(folder, kScheme); }
    void TearDown() override { LoadColorScheme(L"no-such-scheme.thm", 0); }

    // Distance from the window's top to its client area's top.
    static int ClientTop(HWND window)
    {
        RECT w, c;
        GetWindowRect(window, &w);
        GetClientRect(window, &c);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        return origin.y - w.top;
    }

    TempFolder folder;
    HostWindow host;
};

TEST_F(BorderXPTest, WindowWithTextGetsFrameAndCaptionStrip)
{
    HWND child = host.AddChild(L"STATIC", L"Caption", 10, 10, 200, 100, 0, WS_EX_CLIENTEDGE);
    SetBorderXP(child);
    EXPECT_EQ(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_BORDER);
    const int strip = BorderXPCaptionHeight(child);
    EXPECT_GT(strip, 6);
    EXPECT_EQ(ClientTop(child), 1 + strip);
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(child);
    EXPECT_EQ(pixels.At(0, 0), kRed);
    EXPECT_EQ(pixels.At(199, 99), kRed);
    EXPECT_EQ(pixels.At(150, 2), kBlue);        // right of the text
    EXPECT_EQ(pixels.At(150, strip), kBlue);    // the strip's last row
    EXPECT_GT(pixels.Count(RGB(255, 255, 255), 5, 1, 100, 1 + strip), 0);  // the text
    EXPECT_EQ(pixels.Count(kBlue, 1, strip + 1, 199, 99), 0);
}

TEST_F(BorderXPTest, EditControlNeverGetsACaption)
{
    HWND edit = host.AddChild(L"EDIT", L"some text", 10, 10, 200, 60);
    SetBorderXP(edit, nullptr, kBorderAlwaysCaption);
    EXPECT_EQ(ClientTop(edit), 1);
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(edit);
    EXPECT_EQ(pixels.At(0, 0), kRed);
    EXPECT_EQ(pixels.Count(kBlue, 0, 0, pixels.width, pixels.height), 0);
}

TEST_F(BorderXPTest, CaptionFollowsTheTextUnlessAlwaysShown)
{
    struct Case {
        DWORD flags;
        bool stripWithoutText;
    } cases[] = {{0, false}, {kBorderAlwaysCaption, true}};
    for (const Case& c : cases) {
        HWND child = host.AddChild(L"STATIC", L"Caption", 10, 10, 200, 100);
        SetBorderXP(child, nullptr, c.flags);
        const int strip = BorderXPCaptionHeight(child);
        ASSERT_EQ(ClientTop(child), 1 + strip);
        EXPECT_TRUE(SetWindowTextW(child, L""));  // the text's own result comes back
        EXPECT_EQ(ClientTop(child), c.stripWithoutText ? 1 + strip : 1) << c.flags;
        EXPECT_TRUE(SetWindowTextW(child, L"Back"));
        EXPECT_EQ(ClientTop(child), 1 + strip);
        DestroyWindow(child);
    }
}

TEST_F(BorderXPTest, BorderOnlyNeverGetsACaption)
{
    HWND child = host.AddChild(L"STATIC", L"Caption", 10, 10, 200, 100);
    SetBorderXP(child, nullptr, kBorderOnly | kBorderAlwaysCaption);
    EXPECT_EQ(ClientTop(child), 1);
}

TEST_F(BorderXPTest, SectionColoursAndExplicitColoursOverrideTheScheme)
{
    HWND child = host.AddChild(L"STATIC", L"Caption", 10, 10, 200, 100);
    SetBorderXP(child, L"Special", 0);
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(child);
    EXPECT_EQ(pixels.At(0, 0), kGreen);
    EXPECT_EQ(pixels.At(150, 2), kOlive);

    GRADIENT magenta = {kMagenta, kMagenta};
    SetBorderXPColors(child, &magenta, kBlue, kNoColor);
    RepaintNow(host.Get());
    pixels = CaptureWindowPixels(child);
    EXPECT_EQ(pixels.At(0, 0), kBlue);
    EXPECT_EQ(pixels.At(150, 2), kMagenta);

    SetBorderXPColors(child, nullptr, kNoColor, kNoColor);  // back to the scheme
    RepaintNow(host.Get());
    pixels = CaptureWindowPixels(child);
    EXPECT_EQ(pixels.At(0, 0), kRed);
    EXPECT_EQ(pixels.At(150, 2), kBlue);
}

TEST_F(BorderXPTest, MissingSectionKeepsTheSchemeAndSecondCallIsIgnored)
{
    HWND child = host.AddChild(L"STATIC", L"Caption", 10, 10, 200, 100);
    SetBorderXP(child, L"NoSuchSection", 0);
    SetBorderXP(child, L"Special", 0);  // already decorated: left alone
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(child);
    EXPECT_EQ(pixels.At(0, 0), kRed);
    EXPECT_EQ(pixels.At(150, 2), kBlue);
    EXPECT_TRUE(DestroyWindow(child));  // unsubclasses and frees without trouble
}

_GROUPXPW WideParams(DWORD flags, HINSTANCE instance = nullptr)
{
    _GROUPXPW params = {};
    params.size = sizeof(params);
    params.flags = flags;
    params.instance = instance;
    return params;
}

class GroupXPTest : public BorderXPTest {
protected:
    HWND MakeGroup(const wchar_t* text = L"Group")
    {
        HWND group = host.AddChild(L"BUTTON", text, 20, 20, 150, 80, BS_GROUPBOX);
        return group;
    }
};

TEST_F(GroupXPTest, ResizedFrameGetsRoundedRegion)
{
    HWND group = MakeGroup();
    _GROUPXPW params = WideParams(0);
    SetGroupXP(group, &params);
    SetWindowPos(group, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(group, region), ERROR);
    HRGN expected = CreateRoundRectRgn(0, 0, 201, 101, 9, 9);
    RECT got, want;
    GetRgnBox(region, &got);
    GetRgnBox(expected, &want);
    EXPECT_TRUE(EqualRect(&got, &want)) << got.left << "," << got.top << "," << got.right << "," << got.bottom
                                        << " vs " << want.right << "," << want.bottom;
    // Wine stores window regions in its own form: compare by box and corners, not EqualRgn.
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 200, 100));
    EXPECT_TRUE(PtInRegion(region, 0, 50));
    EXPECT_TRUE(PtInRegion(region, 199, 50));
    EXPECT_TRUE(PtInRegion(region, 100, 99));
    DeleteObject(expected);
    DeleteObject(region);
}

TEST_F(GroupXPTest, SmallStylePaintsHeaderBodyAndOutline)
{
    HWND group = MakeGroup();
    _GROUPXPW params = WideParams(0);
    SetGroupXP(group, &params);
    SetWindowPos(group, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(group);
    EXPECT_EQ(pixels.At(190, 3), kCyan);      // header, right of the text
    EXPECT_EQ(pixels.At(100, 70), kYellow);   // body
    EXPECT_EQ(pixels.At(100, 0), RGB(0, 0, 0));
    EXPECT_EQ(pixels.At(100, 99), RGB(0, 0, 0));
    EXPECT_EQ(pixels.At(0, 0), RGB(255, 255, 255));  // outside the rounded corner: the host
    EXPECT_TRUE(SetWindowTextW(group, L"Renamed"));
}

TEST_F(GroupXPTest, LargeStyleDrawsIconAndColourChanges)
{
    HWND group = MakeGroup();
    _GROUPXPW params = WideParams(kGroupLarge | kGroupIconResource, GetModuleHandleW(nullptr));
    params.iconName = L"GREEN";
    SetGroupXP(group, &params);
    SetWindowPos(group, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(group);
    EXPECT_EQ(pixels.At(20, 18), kIconColour);
    EXPECT_EQ(pixels.At(195, 30), kMagenta);  // the scheme's smart caption
    EXPECT_EQ(pixels.At(100, 70), kYellow);

    GRADIENT olive = {kOlive, kOlive};
    SetGroupXPColor(group, &olive);
    RepaintNow(host.Get());
    pixels = CaptureWindowPixels(group);
    EXPECT_EQ(pixels.At(195, 30), kOlive);
}

TEST_F(GroupXPTest, NarrowFormLoadsTheSameIconAsTheWideForm)
{
    HWND wideGroup = MakeGroup();
    HWND narrowGroup = host.AddChild(L"BUTTON", L"Group", 240, 20, 200, 100, BS_GROUPBOX);
    _GROUPXPW wide = WideParams(kGroupLarge | kGroupIconResource, GetModuleHandleW(nullptr));
    wide.iconName = L"GREEN";
    _GROUPXP narrow = {};
    narrow.flags = kGroupLarge | kGroupIconResource | kGroupCaptionColors;
    narrow.instance = GetModuleHandleW(nullptr);
    narrow.iconName = "GREEN";
    narrow.captionStart = narrow.captionEnd = kOlive;
    SetGroupXP(wideGroup, &wide);
    SetGroupXP(narrowGroup, &narrow);
    SetWindowPos(wideGroup, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(narrowGroup, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    HICON wideIcon = reinterpret_cast<HICON>(SendMessageW(wideGroup, WM_GETICON, ICON_BIG, 0));
    HICON narrowIcon = reinterpret_cast<HICON>(SendMessageW(narrowGroup, WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(wideIcon, nullptr);
    ASSERT_NE(narrowIcon, nullptr);
    RepaintNow(host.Get());
    PixelImage a = CaptureWindowPixels(wideGroup);
    PixelImage b = CaptureWindowPixels(narrowGroup);
    for (int y = 2; y < 34; ++y)
        for (int x = 6; x < 38; ++x)
            ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
    EXPECT_EQ(b.At(195, 30), kOlive);  // the narrow record's caption colours came along
}

TEST_F(GroupXPTest, SecondSetUpRestylesInsteadOfRecursing)
{
    HWND group = MakeGroup();
    _GROUPXPW small = WideParams(0);
    _GROUPXPW large = WideParams(kGroupLarge);
    SetGroupXP(group, &small);
    SetGroupXP(group, &large);
    SetWindowPos(group, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(SetWindowTextW(group, L"Still alive"));
    RepaintNow(host.Get());
    PixelImage pixels = CaptureWindowPixels(group);
    EXPECT_EQ(pixels.At(195, 30), kMagenta);  // large header now
    EXPECT_TRUE(DestroyWindow(group));
}

// Whether an icon handle still names an icon.
bool IconAlive(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

TEST_F(GroupXPTest, IconsItLoadsGoWhenReplacedAndTheCallersStay)
{
    HWND group = MakeGroup();
    _GROUPXPW fromResource = WideParams(kGroupLarge | kGroupIconResource, GetModuleHandleW(nullptr));
    fromResource.iconName = L"GREEN";
    auto bigIcon = [&] { return reinterpret_cast<HICON>(SendMessageW(group, WM_GETICON, ICON_BIG, 0)); };
    SetGroupXP(group, &fromResource);
    HICON first = bigIcon();
    SetGroupXP(group, &fromResource);
    HICON second = bigIcon();
    ASSERT_TRUE(IconAlive(second));
    EXPECT_NE(second, first);
    EXPECT_FALSE(IconAlive(first));  // loaded for the first call, replaced by the second
    SetWindowPos(group, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RepaintNow(host.Get());
    EXPECT_EQ(CaptureWindowPixels(group).At(20, 18), kIconColour);

    HICON callers = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"GREEN", IMAGE_ICON, 0, 0, 0));
    _GROUPXPW fromHandle = WideParams(kGroupLarge | kGroupIconHandle);
    fromHandle.icon = callers;
    SetGroupXP(group, &fromHandle);
    EXPECT_FALSE(IconAlive(second));
    SetGroupXP(group, &fromHandle);
    DestroyWindow(group);
    EXPECT_TRUE(IconAlive(callers));  // the caller's icon is the caller's to destroy
    DestroyIcon(callers);

    HWND other = MakeGroup();
    SetGroupXP(other, &fromResource);
    HICON last = reinterpret_cast<HICON>(SendMessageW(other, WM_GETICON, ICON_BIG, 0));
    ASSERT_TRUE(IconAlive(last));
    DestroyWindow(other);
    EXPECT_FALSE(IconAlive(last));  // goes with the frame
}

}  // namespace
