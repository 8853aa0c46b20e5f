#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <string>

#include "app/ColorTheme.h"
#include "app/SndEftDlg.h"
#include "app/tests/MainDialogFixture.h"
#include "core/RegSettings.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestPaths.h"

namespace {

constexpr const wchar_t* kSpeakersB = L"Lyrant Speakers B";

class PitchPopup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearLyrantKey();
        for (const wchar_t* name : Settings::OutputChoice)
            GetSettings().SetString(name, kSpeakersB);
        ASSERT_TRUE(ui.Open());
    }
    void TearDown() override
    {
        ui.Close();
        ClearLyrantKey();
    }
    // Starts channel 1 and opens its popup with the pitch button.
    CSndEftDlg* OpenPopup()
    {
        ui.Press(IDC_START1);
        EXPECT_TRUE(ui.dialog->IsChannelRunning(0));
        ui.Press(IDC_PITCH1);
        PumpMessagesFor(100);
        return ui.dialog->PitchPopup(0);
    }
    MainDialogFixture ui;
};

RECT WindowRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

// The popup's own painting (background and frame) through WM_PRINTCLIENT into a 32-bit DIB.
PixelImage PrintClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    PixelImage image;
    image.width = client.right;
    image.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < image.width * image.height; ++i) {
        DWORD p = pixels[i];   // 0xAARRGGBB: back to COLORREF
        image.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

}  // namespace

TEST_F(PitchPopup, ButtonOfAStoppedChannelShowsNothing)
{
    ui.Press(IDC_PITCH2);
    CSndEftDlg* popup = ui.dialog->PitchPopup(1);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->m_hWnd, nullptr);
    // Each channel's popup drives that channel's engine.
    for (int channel = 0; channel < kChannelCount; ++channel)
        EXPECT_EQ(ui.dialog->PitchPopup(channel)->Engine(), &ui.dialog->Channel(channel)->engine);
}

TEST_F(PitchPopup, HangsBelowTheButtonAsARoundedLayeredPopup)
{
    RECT button = WindowRect(ui.Item(IDC_PITCH1));
    CSndEftDlg* popup = OpenPopup();
    ASSERT_NE(popup->m_hWnd, nullptr);
    ASSERT_TRUE(IsWindowVisible(popup->m_hWnd));
    EXPECT_EQ(GetWindow(popup->m_hWnd, GW_OWNER), ui.Window());

    const int buttonHeight = button.bottom - button.top;
    RECT rect = WindowRect(popup->m_hWnd);
    EXPECT_EQ(rect.left, button.left);
    EXPECT_EQ(rect.top, button.top);
    DWORD exStyle = GetWindowLongW(popup->m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup->m_hWnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 220);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    DWORD style = GetWindowLongW(popup->m_hWnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);

    // The panel's children sit below the tab that covers the button.
    RECT label = WindowRect(GetDlgItem(popup->m_hWnd, IDC_PITCH_SLIDER));
    EXPECT_GE(label.top, button.bottom);

    // The region: the tab over the button and the panel below it, not the corner beside the tab.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(popup->m_hWnd, region), ERROR);
    const int width = rect.right - rect.left;
    EXPECT_TRUE(PtInRegion(region, 10, buttonHeight / 2));
    EXPECT_FALSE(PtInRegion(region, width - 5, buttonHeight / 2));
    EXPECT_TRUE(PtInRegion(region, width - 10, buttonHeight + 10));
    DeleteObject(region);

    // Painted in the theme's background with a frame of the theme's frame colour along the outline.
    PixelImage image = PrintClient(popup->m_hWnd);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(image.width - 12, buttonHeight + 3), g_ColorTheme.GetColor(CColorTheme::kSolidBackground));
    EXPECT_EQ(image.At(image.width / 2, image.height - 1), g_ColorTheme.GetColor(CColorTheme::kFrame));
    EXPECT_EQ(image.At(0, buttonHeight + 15), g_ColorTheme.GetColor(CColorTheme::kFrame));
    EXPECT_EQ(image.At(image.width - 1, buttonHeight + 15), g_ColorTheme.GetColor(CColorTheme::kFrame));
    PumpMessagesFor(200);
    SavePixelsAsPng(CaptureScreenPixels(popup->m_hWnd), ScreenshotFolder() + L"\\pitch_popup.png");
}

TEST_F(PitchPopup, SliderEndsAndResetDriveTheEngine)
{
    CSndEftDlg* popup = OpenPopup();
    ASSERT_NE(popup->m_hWnd, nullptr);
    CAudioTransfer& engine = ui.dialog->Channel(0)->engine;
    HWND slider = GetDlgItem(popup->m_hWnd, IDC_PITCH_SLIDER);
    EXPECT_EQ(popup->SliderPos(), 0);
    EXPECT_FALSE(engine.pitchOn);

    // The keyboard moves the slider the way a user does; its scroll notification sets the pitch.
    SendMessageW(slider, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(popup->SliderPos(), 500);
    EXPECT_TRUE(engine.pitchOn);
    EXPECT_EQ(engine.pitchSemitones, 20);   // engine position 1000
    SendMessageW(slider, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(popup->SliderPos(), -500);
    EXPECT_EQ(engine.pitchSemitones, -20);  // engine position 0

    ClickDialogButton(popup->m_hWnd, IDC_PITCH_RESET);
    EXPECT_EQ(popup->SliderPos(), 0);
    EXPECT_FALSE(engine.pitchOn);
}

TEST_F(PitchPopup, LosingActivationHidesItAndReopeningKeepsThePitch)
{
    CSndEftDlg* popup = OpenPopup();
    ASSERT_NE(popup->m_hWnd, nullptr);
    HWND window = popup->m_hWnd;
    SendMessageW(GetDlgItem(window, IDC_PITCH_SLIDER), WM_KEYDOWN, VK_END, 0);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    PumpMessagesFor(50);

    SetActiveWindow(ui.Window());
    PumpMessagesFor(100);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));

    // Closing it hides it too; the button shows the same window again, at the button.
    ui.Press(IDC_PITCH1);
    PumpMessagesFor(50);
    EXPECT_EQ(popup->m_hWnd, window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(popup->SliderPos(), 500);
    RECT button = WindowRect(ui.Item(IDC_PITCH1));
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.top, button.top);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));

    // A stopped channel keeps its pitch; closing the main dialog destroys the popup window.
    ui.Press(IDC_START1);
    EXPECT_EQ(popup->SliderPos(), 500);
    ui.Close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ui.dialog->PitchPopup(0), nullptr);
}

TEST(ColorTheme, ColoursAndVariants)
{
    CColorTheme theme;
    EXPECT_EQ(theme.GetColor(9), 0xF0F0F0u);
    EXPECT_EQ(theme.GetColor(15), 0xFFFFFFu);
    EXPECT_EQ(theme.GetGdiplusColor(14, 0x80), 0x80333388u);
    EXPECT_EQ(theme.GetGdiplusColor(15, 0x10), 0x10FFFFFFu);
    theme.SetTheme(L"my blue and DARK theme");   // "Dark" is tried first
    EXPECT_EQ(theme.GetColor(0), 0x333333u);
    EXPECT_EQ(theme.GetColor(3), 0xAAAAAAu);
    theme.SetTheme(L"Blue");
    EXPECT_EQ(theme.GetColor(0), 0xF8F5E9u);
    EXPECT_EQ(theme.GetColor(3), 0x666666u);      // reset before the variant
    theme.ResetColors();
    EXPECT_EQ(theme.GetColor(0), 0xF8F5EDu);
}

namespace {

// A 24-bit bitmap file of the given size, for GDI+ to load.
bool WriteBitmapFile(const std::wstring& path, int width, int height)
{
    const DWORD stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    std::string pixels(stride * height, '\x80');
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(handle, &file, sizeof(file), &written, nullptr) &&
              WriteFile(handle, &info, sizeof(info), &written, nullptr) &&
              WriteFile(handle, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(handle);
    return ok;
}

// Skin image folders beside the test program: the theme's own and the shared one.
class ThemeImages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
        skin = TestExeFolder() + L"\\Skin";
        CreateDirectoryW(skin.c_str(), nullptr);
        for (const wchar_t* folder : {L"\\Images", L"\\Probe Dark"})
            CreateDirectoryW((skin + folder).c_str(), nullptr);
        ASSERT_TRUE(WriteBitmapFile(skin + L"\\Images\\probe.bmp", 3, 2));
        ASSERT_TRUE(WriteBitmapFile(skin + L"\\Probe Dark\\probe.bmp", 5, 4));
    }
    void TearDown() override
    {
        Gdiplus::GdiplusShutdown(token);
        DeleteFileW((skin + L"\\Images\\probe.bmp").c_str());
        DeleteFileW((skin + L"\\Probe Dark\\probe.bmp").c_str());
        // Only what this test made; folders that hold other files stay.
        for (const wchar_t* folder : {L"\\Images", L"\\Probe Dark", L""})
            RemoveDirectoryW((skin + folder).c_str());
    }
    ULONG_PTR token = 0;
    std::wstring skin;
};

}  // namespace

TEST_F(ThemeImages, PathIsTheThemesOwnFileElseTheSharedImagesFolder)
{
    CColorTheme theme;
    EXPECT_EQ(std::wstring(theme.ResolveImagePath(L"probe.bmp")), skin + L"\\Images\\probe.bmp");
    theme.SetTheme(L"Probe Dark");
    EXPECT_EQ(std::wstring(theme.ResolveImagePath(L"probe.bmp")), skin + L"\\Probe Dark\\probe.bmp");
    // Not in the theme's folder: the shared one, whether the file is there or not.
    EXPECT_EQ(std::wstring(theme.ResolveImagePath(L"absent.bmp")), skin + L"\\Images\\absent.bmp");

    const wchar_t* results[6];
    for (auto& result : results)
        result = theme.ResolveImagePath(L"probe.bmp");
    for (int i = 1; i < 5; ++i)
        EXPECT_NE(results[i], results[0]);
    EXPECT_EQ(results[5], results[0]);   // the sixth call reuses the first buffer
}

TEST_F(ThemeImages, ImagesAreLoadedOnceAndKeyedByTheNamesAddress)
{
    CColorTheme theme;
    theme.SetTheme(L"Probe Dark");
    static const wchar_t kName[] = L"probe.bmp";
    Gdiplus::Bitmap* image = theme.GetCachedImage(kName);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 5u);    // the theme's own file
    EXPECT_EQ(image->GetHeight(), 4u);
    EXPECT_EQ(theme.GetCachedImage(kName), image);
    // The same text at another address is another entry, loaded afresh.
    std::wstring copy = kName;
    Gdiplus::Bitmap* other = theme.GetCachedImage(copy.c_str());
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, image);
    EXPECT_EQ(theme.GetCachedImage(L"absent.bmp"), nullptr);
}

// The German library replaces the program's resources as a whole: it carries the dialogs' templates
// and icons too, and its texts arrive as written.
TEST(GermanLibrary, CarriesTheDialogsWithTheirTexts)
{
    std::wstring path = TestExeFolder() + L"\\..\\dist\\ResDe.dll";
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    for (int id : {IDD_SNDEFT, IDD_OPTION_GENERAL, IDD_OPTION_DRIVER})
        EXPECT_NE(FindResourceW(library, MAKEINTRESOURCEW(id), RT_DIALOG), nullptr) << "dialog " << id;
    for (int id : {IDI_PITCH_HIGHER, IDI_PITCH_LOWER})
        EXPECT_NE(FindResourceW(library, MAKEINTRESOURCEW(id), RT_GROUP_ICON), nullptr) << "icon " << id;
    wchar_t text[64] = {};
    LoadStringW(library, IDS_THREE_CHANNELS, text, 64);
    EXPECT_STREQ(text, L"drei Kan\u00E4le");
    FreeLibrary(library);

    // The popup made from the library shows the German texts.
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    CSndEftDlg popup;
    ASSERT_NE(static_cast<CDialogImplRoot&>(popup).Create(IDD_SNDEFT, nullptr, 0, module), nullptr);
    GetDlgItemTextW(popup.m_hWnd, IDC_PITCH_RESET, text, 64);
    EXPECT_STREQ(text, L"Zur\u00FCcksetzen");
    popup.DestroyWindow();
    FreeLibrary(module);
}
