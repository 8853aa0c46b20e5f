#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/MainDlgSkin.h"
#include "app/tests/MainDialogFixture.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "core/SettingsTable.h"
#include "core/WideFormat.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "uilib/skin/tests/PngPixels.h"
#include "uilib/skin/SkinFrameApi.h"

namespace {

constexpr int kCaption = 34;     // the skin's caption band
constexpr int kFrameHeight = 125;  // caption and bottom band together

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

PixelImage WindowShot(HWND window)
{
    return CaptureScreenWindowPixels(window);
}

std::wstring SkinText(HWND window, UINT id)
{
    wchar_t text[128] = {};
    GetSkinText(window, id, text, 128);
    return text;
}

class MainDialogSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearLyrantKey();
        for (const wchar_t* name : Settings::OutputChoice)
            GetSettings().SetString(name, L"Lyrant Speakers B");
    }
    void TearDown() override
    {
        ui.Close();
        ClearLyrantKey();
    }
    MainDialogFixture ui;
};

TEST_F(MainDialogSkin, ShowsTheSkinWithTitleAndVersionTexts)
{
    ASSERT_TRUE(ui.Open());
    HWND window = ui.Window();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    PumpMessagesFor(300);
    ASSERT_NE(GetPropA(window, "SkinFrameData"), nullptr) << "the skin beside the program was not attached";

    EXPECT_EQ(SkinText(window, 11), LoadResString(123));
    EXPECT_EQ(SkinText(window, 11), L"Sonabridge (Lyrant)");
    EXPECT_EQ(SkinText(window, 14), LoadResString(124));
    DWORD ms = 0, ls = 0;
    GetProductVersion(&ms, &ls, nullptr);
    wchar_t version[32];
    FormatWide(version, 32, L"%d.%d", HIWORD(ms), LOWORD(ms));
    EXPECT_EQ(SkinText(window, 15), version) << "the placeholder is replaced";
    SetMainDialogVersionText(window, L"2.3");
    EXPECT_EQ(SkinText(window, 15), L"2.3");
    SetMainDialogVersionText(window, version);

    // The frame takes the 125 pixels the dialog plans for; the region is the skin's.
    RECT w, client;
    GetWindowRect(window, &w);
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, (w.bottom - w.top) - kFrameHeight);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "rounded corner";
    DeleteObject(region);

    // Caption above its text and the left border: the skin's own pixels.
    PngPixels png(GetAppPath(L"\\Skin\\Skin.png"));
    ASSERT_TRUE(png.Ok());
    int checked = 0;
    const int width = w.right - w.left, height = w.bottom - w.top;
    for (int y : {3, 5, kCaption - 2}) {
        int x = width / 2;
        int sx = 16 + (x - 16) % 274;  // TopMiddle tiles its 274 columns
        if (png.Alpha(sx, y) != 255)
            continue;
        EXPECT_EQ(ScreenPixel(w.left + x, w.top + y), png.Colour(sx, y)) << "caption row " << y;
        ++checked;
    }
    for (int y : {kCaption + 10, height / 2, height - kFrameHeight + kCaption - 5}) {
        int sy = 34 + (y - 34) % 115;  // MiddleLeft tiles its 115 rows
        EXPECT_EQ(ScreenPixel(w.left + 3, w.top + y), png.Colour(3, sy)) << "left border row " << y;
        ++checked;
    }
    EXPECT_GE(checked, 5);
    EXPECT_TRUE(SavePixelsAsPng(WindowShot(window), ScreenshotFolder() + L"\\main_dialog_skin.png"));
}

}  // namespace
