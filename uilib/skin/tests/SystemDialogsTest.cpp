// The system's own dialogs under global dialog skinning, from a host that loads TarnUI.dll: each
// dialog is looked at once before the skinning is switched on and once after (the class
// replacements last for the process), and the two looks are compared.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "tests/support/DialogWatcher.h"
#include "tests/support/WindowPixels.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "uilib/skin/tests/SkinTestSupport.h"

namespace {

const COLORREF kCustom = RGB(10, 200, 30), kChosen = RGB(0, 128, 255);
// The colour chooser's own areas (its template's control ids).
constexpr int kBasicSwatches = 720, kCustomSwatches = 721, kSpectrum = 710, kLuminance = 702, kPreview = 709;

// What the colour chooser drew in its own areas, as the screen shows them.
struct ColourLook {
    PixelImage basic, custom, spectrum, luminance, preview;
    SIZE client = {};
};

struct FileLook {
    SIZE window = {};
    SIZE client = {};
};

SIZE ClientSize(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

SIZE WindowSize(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Pixels that differ between two captures of the same area (all of them when the sizes differ).
int Differences(const PixelImage& a, const PixelImage& b)
{
    if (a.width != b.width || a.height != b.height)
        return static_cast<int>(a.pixels.size() > b.pixels.size() ? a.pixels.size() : b.pixels.size());
    int n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        n += a.pixels[i] != b.pixels[i];
    return n;
}

ColourLook LookAtColourChooser()
{
    static COLORREF custom[16];
    for (COLORREF& c : custom)
        c = RGB(255, 255, 255);
    custom[0] = kCustom;
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.rgbResult = kChosen;
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    ColourLook look;
    CDialogWatcher watch([&](HWND dialog) {
        PumpMessagesFor(500);
        auto area = [&](int id) { return CaptureScreenPixels(GetDlgItem(dialog, id)); };
        look = ColourLook{area(kBasicSwatches), area(kCustomSwatches), area(kSpectrum), area(kLuminance),
                          area(kPreview), ClientSize(dialog)};
        ClickDialogButton(dialog, IDCANCEL);
    });
    ChooseColorW(&choose);
    EXPECT_NE(watch.Caught(), nullptr) << "the colour chooser did not show";
    return look;
}

FileLook LookAtFileDialog()
{
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.lpstrFilter = L"All\0*.*\0";
    open.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST;
    FileLook look;
    CDialogWatcher watch([&](HWND dialog) {
        PumpMessagesFor(300);
        look.window = WindowSize(dialog);
        look.client = ClientSize(dialog);
        ClickDialogButton(dialog, IDCANCEL);
    });
    GetOpenFileNameW(&open);
    EXPECT_NE(watch.Caught(), nullptr) << "the file dialog did not show";
    return look;
}

// A captioned, resizable dialog of the host's own, measured once it shows.
FileLook g_plainLook;

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SetTimer(dialog, 1, 200, nullptr);
        return TRUE;
    }
    if (message == WM_TIMER) {
        g_plainLook = FileLook{WindowSize(dialog), ClientSize(dialog)};
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

FileLook LookAtPlainDialog()
{
    struct {
        DLGTEMPLATE header;
        WORD menu, cls, title;
    } t = {};
    t.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;
    t.header.cx = 200;
    t.header.cy = 120;
    g_plainLook = FileLook{};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr, PlainDialogProc, 0);
    return g_plainLook;
}

struct Looks {
    ColourLook colour;
    FileLook file, plain;
};
Looks g_off, g_on;

class SystemDialogsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_off = Looks{LookAtColourChooser(), LookAtFileDialog(), LookAtPlainDialog()};

        static TempFolder folder;
        std::string scheme = folder.Write("scheme.thm",
            "[Dialog]\r\nFrameShape = " + TestSkinPathA("WideBandsSkin.inf") + "\r\n"
            "Background = #C80000; #0000C8\r\nText = #008000\r\nGrayText = #808000\r\n");
        HMODULE library = LoadLibraryW(L"TarnUI.dll");
        ASSERT_NE(library, nullptr);
        auto load = reinterpret_cast<bool(WINAPI*)(const char*, DWORD)>(
            reinterpret_cast<void*>(GetProcAddress(library, "ISLoadColorsScheme")));
        auto skinAll = reinterpret_cast<void(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(library, "ISGlobalSubclassDialog")));
        ASSERT_TRUE(load && skinAll);
        ASSERT_TRUE(load(scheme.c_str(), 0));
        skinAll();

        g_on = Looks{LookAtColourChooser(), LookAtFileDialog(), LookAtPlainDialog()};
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SystemDialogsEnvironment);

}  // namespace

TEST(SystemDialogs, TheColourChooserKeepsWhatItDrawsItself)
{
    const ColourLook &off = g_off.colour, &on = g_on.colour;
    ASSERT_FALSE(off.custom.Empty());
    ASSERT_GT(off.custom.Count(kCustom, 0, 0, off.custom.width, off.custom.height), 20)
        << "unskinned, the first custom swatch shows its colour";
    ASSERT_GT(off.preview.Count(kChosen, 0, 0, off.preview.width, off.preview.height), 100);
    // Every one of its areas as the dialog drew it, pixel for pixel.
    EXPECT_EQ(Differences(on.basic, off.basic), 0) << "basic colour swatches";
    EXPECT_EQ(Differences(on.custom, off.custom), 0) << "custom colour swatches";
    EXPECT_EQ(Differences(on.spectrum, off.spectrum), 0) << "spectrum";
    EXPECT_EQ(Differences(on.luminance, off.luminance), 0) << "luminance bar";
    EXPECT_EQ(Differences(on.preview, off.preview), 0) << "preview";
    EXPECT_EQ(on.client.cx, off.client.cx);
    EXPECT_EQ(on.client.cy, off.client.cy);
}

// The skin's bands (WideBandsSkin.inf): left and right 30, top 30, bottom 40.
constexpr int kBandsWide = 60, kBandsHigh = 70;
// The system's own frame change moves the file dialog's client by a pixel or two (Wine's dialog
// grows by the whole new border); counting the skin's bands again moves it by 30 or 40.
constexpr int kSystemSlack = 4;

TEST(SystemDialogs, TheResizableFileDialogGrowsByTheSkinsBandsOnce)
{
    const FileLook &off = g_off.file, &on = g_on.file;
    ASSERT_GT(off.client.cy, 0);
    EXPECT_EQ(g_on.plain.client.cx, g_off.plain.client.cx) << "a dialog of the host's own keeps its client size";
    EXPECT_EQ(g_on.plain.client.cy, g_off.plain.client.cy);
    EXPECT_EQ(g_on.plain.window.cx - g_on.plain.client.cx, kBandsWide);
    EXPECT_EQ(g_on.plain.window.cy - g_on.plain.client.cy, kBandsHigh);

    EXPECT_LE(abs(on.client.cx - off.client.cx), kSystemSlack) << on.client.cx << " against " << off.client.cx;
    EXPECT_LE(abs(on.client.cy - off.client.cy), kSystemSlack) << on.client.cy << " against " << off.client.cy;
    EXPECT_EQ(on.window.cx - on.client.cx, kBandsWide);
    EXPECT_EQ(on.window.cy - on.client.cy, kBandsHigh);
}
