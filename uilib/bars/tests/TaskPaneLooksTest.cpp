// The task pane's description-file looks (styles 2 and 3) and the messages around them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Screenshot.h"
#include "uilib/bars/TaskPane.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

constexpr UINT kOpen = 501, kSave = 502, kPrint = 503;
constexpr int kHeaderExpandedState = 2;  // collapsed, collapsed hot, expanded, expanded hot

// Colours of the skin image's parts, as the PNG holds them (0xAARRGGBB) and as the screen shows them.
struct Part {
    DWORD argb;
    COLORREF Screen() const { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }
};
constexpr Part kCollapsed[3] = {{0xFF800000}, {0xFF808000}, {0xFF008080}};
constexpr Part kExpanded[3] = {{0xFFC00000}, {0xFF00C000}, {0xFF0000C0}};
constexpr Part kItemParts[3] = {{0xFFE0E0A0}, {0xFFF0F0F0}, {0xFFA0E0E0}};
constexpr Part kIcon = {0xFFFF0000};
constexpr Part kPictogram = {0xFFFF00FF};

// Rows: collapsed header (24), expanded header (24), item (20), a 16-pixel icon strip, a 20-pixel
// pictogram strip; the three parts of each are ten pixels wide.
std::string PaneSkin()
{
    const int width = 40, height = 104;
    std::vector<DWORD> pixels(width * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            DWORD& p = pixels[y * width + x];
            if (y < 24 && x < 30)
                p = kCollapsed[x / 10].argb;
            else if (y < 48 && x < 30)
                p = kExpanded[x / 10].argb;
            else if (y >= 48 && y < 68 && x < 30)
                p = kItemParts[x / 10].argb;
            else if (y >= 68 && y < 84 && x < 16)
                p = kIcon.argb;
            else if (y >= 84)
                p = kPictogram.argb;
        }
    return EncodePng(width, height, pixels);
}

const char kImageLook[] =
    "[General]\nStyle=Image\nImage=pane.png\nBackground Color=#203040\n"
    "[Collapsed Group]\nLeft=0,0,10,24\nMiddle=10,0,10,24\nRight=20,0,10,24\nText Color=#FFFFFF\n"
    "[Expanded Group]\nLeft=0,24,10,24\nMiddle=10,24,10,24\nRight=20,24,10,24\nText Color=#FFFFFF\n"
    "[Item]\nLeft=0,48,10,20\nMiddle=10,48,10,20\nRight=20,48,10,20\nText Color=#000000\n"
    "[Item Images]\nNormal=0,68,16,16\nPictograms=0,84,20,20\n";

const char kSchemeLook[] =
    "[General]\nStyle=ColorScheme\n"
    "{Blue}\n"
    "[Header.Expanded]\nBorder=#000080\nBackground=#3050A0\nText Color=#FFFFFF\n"
    "[Header.Collapsed]\nBackground=#304080\n"
    "[Item.Normal]\nBorder=#D0E0F0\nBackground=#D0E0F0\nText Color=#102030\n"
    "[Item.Disabled]\nBackground=#A0A0A0;#A0A0A1\nText Color=#606060\n"
    "{Green}\n"
    "[Header.Expanded]\nBorder=#20A040\nBackground=#20A040\n"
    "[Item.Normal]\nBorder=#C0F0C0\nBackground=#C0F0C0\n";

class TaskPaneLooksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pane = CreateExplorerBarWindow(host.Get(), 77, 0, 0, 250, 340);
        ASSERT_NE(pane, nullptr);
        AddGroup(L"Files", 10);
        AddGroup(L"Other", 20);
        AddItem(0, L"Open", kOpen, 0);
        AddItem(0, L"Save", kSave, -1);
        AddItem(1, L"Print", kPrint, -1);
        folder.Write("pane.png", PaneSkin());
    }
    void TearDown() override { LoadColorScheme(static_cast<const wchar_t*>(nullptr), 0); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(pane, message, wParam, lParam); }
    LRESULT SendPtr(UINT message, WPARAM wParam, const void* lParam)
    {
        return SendMessageW(pane, message, wParam, reinterpret_cast<LPARAM>(lParam));
    }
    void AddGroup(const wchar_t* text, int id)
    {
        EBGROUP group = {sizeof(group), text, id};
        SendPtr(EBM_ADDGROUPW, static_cast<WPARAM>(-1), &group);
    }
    void AddItem(int group, const wchar_t* text, UINT id, int image)
    {
        EBITEM item = {sizeof(item), -1, text, id, image};
        ASSERT_EQ(SendPtr(EBM_ADDITEMW, group, &item), 1);
    }
    LRESULT Load(const std::string& name, const std::string& text)
    {
        const std::string path = folder.Write(name, text);
        const std::wstring wide(path.begin(), path.end());
        return SendPtr(EBM_LOADDESCRIPTIONW, 0, wide.c_str());
    }
    PixelImage Shot()
    {
        RepaintNow(host.Get());
        return CaptureClientPixels(pane);
    }
    // The first row at or below from where column x shows colour; -1 when none does.
    static int FindRow(const PixelImage& p, int x, int from, COLORREF colour)
    {
        for (int y = from; y < p.height; ++y)
            if (p.At(x, y) == colour)
                return y;
        return -1;
    }

    HostWindow host{260, 360};
    HWND pane = nullptr;
    TempFolder folder;
};

TEST_F(TaskPaneLooksTest, ImageLookPaintsHeadersAndItemsFromTheSkin)
{
    Send(EBM_EXPANDGROUP, 1, FALSE);
    ASSERT_EQ(Load("pane.inf", kImageLook), 1);
    EXPECT_EQ(Send(EBM_GETSTYLE), 2);
    PixelImage p = Shot();
    const int right = p.width - 10;  // groups end 10 pixels from the pane's edge
    // Group 0 (expanded): header 24 high at y 10; its items 20 high from y 38.
    // Group 1 (collapsed): header at 10 + 24 + 4 + 2 * 20 + 4 + 10 = 92.
    struct Probe {
        int x, y;
        COLORREF colour;
    } probes[] = {
        {3, 3, RGB(0x20, 0x30, 0x40)},           // the description's background
        {12, 11, kExpanded[0].Screen()},
        {120, 11, kExpanded[1].Screen()},
        {right - 3, 11, kExpanded[2].Screen()},
        {12, 39, kItemParts[0].Screen()},
        {right - 25, 39, kItemParts[1].Screen()},
        {right - 3, 39, kItemParts[2].Screen()},
        {20, 48, kIcon.Screen()},                // item 0's image at left + 5, centred
        {12, 93, kCollapsed[0].Screen()},
        {120, 93, kCollapsed[1].Screen()},
    };
    for (const Probe& probe : probes)
        EXPECT_EQ(p.At(probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;

    // A grey image effect, and the selected item's pictogram at the bottom.
    EXPECT_EQ(Send(EBM_SETITEMEFFECT, kOpen, MAKELONG(1, 255)), 1);
    EXPECT_EQ(Send(EBM_SETITEMEFFECT, 999, MAKELONG(1, 255)), 0);
    EXPECT_EQ(Send(EBM_SELECTITEM, kOpen, TRUE), 1);
    p = Shot();
    const COLORREF grey = p.At(20, 48);
    EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey)) << std::hex << grey;
    EXPECT_EQ(p.At(p.width / 2, p.height - 10), kPictogram.Screen());
    SavePixelsAsPng(CaptureScreenPixels(pane), ScreenshotFolder() + L"\\task_pane_style2.png");
}

TEST_F(TaskPaneLooksTest, FailedLoadsKeepTheCurrentLook)
{
    std::string noImage = kImageLook;
    noImage.replace(noImage.find("pane.png"), 8, "gone.png");
    EXPECT_EQ(Load("broken.inf", noImage), 0);
    EXPECT_EQ(Send(EBM_GETSTYLE), 0);
    EXPECT_EQ(SendPtr(EBM_LOADDESCRIPTIONA, 0, folder.File("absent.inf").c_str()), 0);
    EXPECT_EQ(Send(EBM_LOADDESCRIPTIONW, 0, 0), 0);  // the scheme names no file
    EXPECT_EQ(ApplyColorScheme(pane, 0, 0), 0);
    EXPECT_EQ(Send(EBM_GETSTYLE), 0);
}

TEST_F(TaskPaneLooksTest, ApplyColorSchemeLoadsTheSchemesDescription)
{
    const std::string file = folder.Write("scheme-pane.inf", kImageLook);
    LoadSchemeText(folder, "[ExplorerBar]\nCustom=" + file + "\n");
    EXPECT_NE(ApplyColorScheme(pane, 0, 0), 0);
    EXPECT_EQ(Send(EBM_GETSTYLE), 2);
    PixelImage p = Shot();
    EXPECT_EQ(p.At(12, 11), kExpanded[0].Screen());
}

TEST_F(TaskPaneLooksTest, ItemIconIsCutFromTheSkin)
{
    EXPECT_EQ(Send(EBM_GETITEMICON, kOpen), 0);  // no skin yet
    ASSERT_EQ(Load("pane.inf", kImageLook), 1);
    EXPECT_EQ(Send(EBM_GETITEMICON, kSave), 0);  // an item without an image
    EXPECT_EQ(Send(EBM_GETITEMICON, 999), 0);
    auto icon = reinterpret_cast<HICON>(Send(EBM_GETITEMICON, kOpen));
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DibCanvas canvas(16, 16, 0xFFFFFFFF);
    DrawIconEx(canvas.Dc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.Rgb(8, 8), 0xFF0000u);
    DestroyIcon(icon);
}

TEST_F(TaskPaneLooksTest, SchemeLookGivesGroupsTheirNamedColours)
{
    ASSERT_EQ(Load("scheme.inf", kSchemeLook), 1);
    EXPECT_EQ(Send(EBM_GETSTYLE), 3);
    Send(EBM_ENABLEITEM, kSave, FALSE);
    PixelImage p = Shot();
    const COLORREF blue = RGB(0x30, 0x50, 0xA0), green = RGB(0x20, 0xA0, 0x40);
    EXPECT_EQ(p.At(14, 13), blue);                         // group 0: the first named group
    EXPECT_GT(FindRow(p, 14, 14, RGB(0xD0, 0xE0, 0xF0)), 13);  // its normal item
    EXPECT_GT(FindRow(p, 14, 14, RGB(0xA0, 0xA0, 0xA0)), 13);  // the disabled one
    EXPECT_GT(FindRow(p, 14, 14, green), 13);               // group 1: the second

    // Assigning by name, in any case; unknown names and other styles are refused.
    EXPECT_EQ(SendPtr(EBM_SETCOLORGROUP, 0, "GREEN"), 1);
    EXPECT_EQ(SendPtr(EBM_SETCOLORGROUP, 0, "Purple"), 0);
    EXPECT_EQ(SendPtr(EBM_SETCOLORGROUP, 9, "Blue"), 0);
    p = Shot();
    EXPECT_EQ(p.At(14, 13), green);
    Send(EBM_SETSTYLE, 0, 2);
    EXPECT_EQ(SendPtr(EBM_SETCOLORGROUP, 0, "Blue"), 0);
    EXPECT_EQ(Send(EBM_SETSTYLE, 0, 3), 1);
    EXPECT_EQ(SendPtr(EBM_SETCOLORGROUP, 0, "blue"), 1);
}

TEST_F(TaskPaneLooksTest, ColourRecordsAnswerByStateAndClampToTheCallersSize)
{
    EBCOLORS early = {sizeof(early), 2, 0, 0, 0, 0};
    EXPECT_EQ(SendPtr(EBM_GETHEADERCOLORS, 0, &early), 0);  // not in style 3
    ASSERT_EQ(Load("scheme.inf", kSchemeLook), 1);

    struct Guarded {
        EBCOLORS colours;
        DWORD guard[4];
    };
    struct Case {
        UINT message;
        int group;
        DWORD size;
        int state;
        LRESULT result;
        DWORD copied;  // bytes the pane may write
    } cases[] = {
        {EBM_GETHEADERCOLORS, 0, 40, kHeaderExpandedState, 1, 24},  // larger than the record: 24
        {EBM_GETHEADERCOLORS, 0, 12, kHeaderExpandedState, 1, 12},  // short: up to the start colour
        {EBM_GETITEMCOLORS, 1, 24, 0, 1, 24},
        {EBM_GETITEMCOLORS, 0, 24, 5, 0, 0},                      // no sixth item state
        {EBM_GETHEADERCOLORS, 0, 24, 4, 0, 0},                    // no fifth header state
        {EBM_GETHEADERCOLORS, 0, 24, -1, 0, 0},
        {EBM_GETHEADERCOLORS, 7, 24, 0, 0, 0},                    // no such group
        {EBM_GETHEADERCOLORS, 0, 0xFFFFFFF0u, 2, 1, 24},          // a huge size is clamped, not trusted
    };
    for (const Case& c : cases) {
        Guarded record;
        memset(&record, 0xA5, sizeof(record));
        record.colours.size = c.size;
        record.colours.state = c.state;
        EXPECT_EQ(SendPtr(c.message, c.group, &record), c.result) << c.message << " " << c.state << " " << c.size;
        const auto* bytes = reinterpret_cast<const BYTE*>(&record);
        for (size_t i = c.copied > 8 ? c.copied : 8; i < sizeof(record); ++i) {
            ASSERT_EQ(bytes[i], 0xA5) << "byte " << i << " written for size " << c.size;
        }
        if (c.result && c.copied >= 24) {
            EXPECT_EQ(record.colours.size, 24u);
        }
    }
    Guarded header;
    memset(&header, 0, sizeof(header));
    header.colours.size = sizeof(EBCOLORS);
    header.colours.state = kHeaderExpandedState;
    ASSERT_EQ(SendPtr(EBM_GETHEADERCOLORS, 0, &header), 1);
    EXPECT_EQ(header.colours.backgroundStart, RGB(0x30, 0x50, 0xA0));
    EXPECT_EQ(header.colours.backgroundEnd, RGB(0x30, 0x50, 0xA0));
    EXPECT_EQ(header.colours.border, RGB(0, 0, 0x80));
    EXPECT_EQ(header.colours.text, RGB(0xFF, 0xFF, 0xFF));
    Guarded disabled = {};
    disabled.colours.size = sizeof(EBCOLORS);
    disabled.colours.state = 4;
    ASSERT_EQ(SendPtr(EBM_GETITEMCOLORS, 0, &disabled), 1);
    EXPECT_EQ(disabled.colours.backgroundStart, RGB(0xA0, 0xA0, 0xA0));
    EXPECT_EQ(disabled.colours.backgroundEnd, RGB(0xA0, 0xA0, 0xA1));
}

}  // namespace
