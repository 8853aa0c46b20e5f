// The manager's message box: the markup message box with the program's colours and captions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppMessageBox.h"
#include "core/ResourceModule.h"
#include "render/DibSection32.h"
#include "render/DrawManager.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WindowPixels.h"
#include "widgets/MarkupMessageBoxTemplate.h"
#include "widgets/tests/MarkupMessageBoxFixture.h"

namespace {

constexpr COLORREF kButtonBand = RGB(0xF0, 0xF0, 0xF0);

std::vector<std::wstring> Captions(const BoxView& view)
{
    std::vector<std::wstring> captions;
    for (const BoxButton& button : view.buttons)
        captions.push_back(button.caption);
    return captions;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace

TEST(AppMessageBox, ShowsTheProgramsBoxAndReturnsTheAnswer)
{
    CTestOwner owner(150, 120, 500, 400, true);
    BoxView view;
    bool ours = false;
    std::wstring text;
    PixelImage pixels;
    HWND boxOwner = nullptr;
    CDialogWatcher watch([&](HWND box) {
        boxOwner = GetWindow(box, GW_OWNER);
        CMarkupMessageBoxTemplate* shown = CMarkupMessageBoxTemplate::FromWindow(box);
        ours = shown != nullptr;
        text = shown ? shown->MessageText() : L"";
        view = ViewBox(box);
        UpdateWindow(box);
        PumpMessagesFor(50);
        pixels = CaptureClientPixels(box);
        ClickDialogButton(box, IDNO);
    });
    const int answer = AppMessageBox(owner.Window(), L"Restart the device now?", L"Question",
                                     MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    ASSERT_NE(watch.Caught(), nullptr);
    EXPECT_EQ(answer, IDNO);
    EXPECT_TRUE(ours);
    EXPECT_EQ(text, L"Restart the device now?");
    EXPECT_EQ(view.title, L"Question");
    EXPECT_EQ(boxOwner, owner.Window());
    EXPECT_EQ(Captions(view), (std::vector<std::wstring>{L"Yes", L"No", L"Cancel"}));
    ASSERT_NE(FindButton(view, IDNO), nullptr);
    EXPECT_TRUE(FindButton(view, IDNO)->isDefault);

    // Behind the text a horizontal shade from 0xF0F0F0 at the top towards 0xEEEEAF; a solid band
    // of 0xF0F0F0 behind the buttons.
    ASSERT_FALSE(pixels.Empty());
    const int bandTop = view.buttons[0].rect.top - 11;
    EXPECT_EQ(pixels.At(2, bandTop + 2), kButtonBand);
    EXPECT_EQ(pixels.At(2, pixels.height - 2), kButtonBand);
    CDibSection32 reference;
    ASSERT_TRUE(reference.Create(pixels.width, pixels.height));
    CDrawManager manager;
    RECT canvas = {0, 0, pixels.width, pixels.height};
    manager.FillEffect(reference.DC(), EffectHShade, &canvas, 0xEEEEAF, 0xFAFAFA, 0xF0F0F0, 0, 0);
    GdiFlush();
    for (int y = 0; y < bandTop; y += 4) {
        const DWORD p = reference.At(2, y);
        const COLORREF expected = RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
        EXPECT_TRUE(Near(pixels.At(2, y), expected, 3)) << "row " << y << std::hex << " got " << pixels.At(2, y)
                                                         << " expected " << expected;
    }
    EXPECT_NE(pixels.At(2, 1), pixels.At(2, bandTop - 1)) << "a shade, not a flat colour";
}

TEST(AppMessageBox, CaptionsComeFromTheLanguageLibraryOrTheProgram)
{
    const std::wstring german = TestExeFolder() + L"\\..\\dist\\ResDe.dll";
    struct Case
    {
        bool useGerman;
        UINT style;
        std::vector<std::wstring> captions;
    } cases[] = {
        {false, MB_YESNOCANCEL | MB_HELP, {L"Yes", L"No", L"Cancel", L"Help"}},
        {false, MB_ABORTRETRYIGNORE, {L"Abort", L"Retry", L"Ignore"}},
        {true, MB_YESNOCANCEL | MB_HELP, {L"Ja", L"Nein", L"Abbrechen", L"Hilfe"}},
        {true, MB_ABORTRETRYIGNORE, {L"Abbrechen", L"Wiederholen", L"Ignorieren"}},
        {true, 6, {L"Abbrechen", L"Erneut versuchen", L"Weiter"}},
    };
    for (const Case& c : cases) {
        HMODULE library = nullptr;
        if (c.useGerman) {
            library = LoadLibraryW(german.c_str());
            ASSERT_NE(library, nullptr);
            SetResourceModule(library);
        }
        BoxView view;
        CDialogWatcher watch([&](HWND box) {
            view = ViewBox(box);
            ClickDialogButton(box, static_cast<int>(view.buttons.back().id));
        });
        const int answer = AppMessageBox(nullptr, L"Which?", L"Captions", c.style);
        SetResourceModule(nullptr);
        if (library != nullptr)
            FreeLibrary(library);
        EXPECT_EQ(Captions(view), c.captions);
        EXPECT_EQ(answer, static_cast<int>(view.buttons.empty() ? 0 : view.buttons.back().id));
    }
}

TEST(AppMessageBox, ScreenshotWithIconMarkupThreeButtonsAndACountdown)
{
    CTestOwner owner(100, 80, 640, 480, true);
    MarkupMessageBoxParams params = AppMessageBoxParams();
    params.timeout = 30;
    bool saved = false;
    std::wstring counting;
    CDialogWatcher watch([&](HWND box) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessagesFor(100);
        wchar_t caption[64] = {};
        GetDlgItemTextW(box, IDYES, caption, 64);
        counting = caption;
        saved = SavePixelsAsPng(CaptureScreenWindowPixels(box), ScreenshotFolder() + L"\\app_message_box.png");
        ClickDialogButton(box, IDCANCEL);
    });
    const int answer = MarkupMessageBox(
        owner.Window(),
        L"The driver must be restarted to apply your changes.<br><b>Some applications are using the device.</b>"
        L"<br>Stop them and <font color=\"#C03020\">try again</font>?",
        L"Driver is in use", MB_YESNOCANCEL | MB_ICONEXCLAMATION, &params);
    ASSERT_NE(watch.Caught(), nullptr);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(counting, L"Yes = 30");
    EXPECT_TRUE(saved);
}
