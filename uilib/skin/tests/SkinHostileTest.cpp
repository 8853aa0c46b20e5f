// Hostile skins: SetWindowSkin, a paint and resizes return promptly, and the window carries the
// skin exactly when SetWindowSkin says so; the pieces that once froze or ran away are bounded.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <map>
#include <string>
#include <vector>

#include "uilib/skin/PngLoader.h"
#include "uilib/skin/RegionTools.h"
#include "uilib/skin/Skin.h"
#include "uilib/skin/SkinFrameApi.h"
#include "uilib/skin/tests/LibraryFixture.h"
#include "tests/fuzz/HostileSkins.h"
#include "tests/support/TimeBounds.h"

namespace {

// Generous: the hostile skins froze for a minute or for good. Processor time is bounded tightly,
// wall time (a machine shared with many builds) only against a freeze.
const double kCpuSeconds = 5.0;
const double kWallSeconds = 60.0;

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

SIZE_T Committed()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

const SkinCase& Case(const std::vector<SkinCase>& cases, const std::string& name)
{
    for (const SkinCase& c : cases)
        if (c.name == name)
            return c;
    ADD_FAILURE() << "no case " << name;
    return cases.front();
}

DWORD RectCount(HRGN region)
{
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    return size && GetRegionData(region, size, rd) ? rd->rdh.nCount : 0;
}

}  // namespace

TEST(SkinHostile, EveryHostileSkinAttachesPaintsAndResizesPromptly)
{
    EnsureLibraryAttached();
    TempFolder folder;
    // Skins that cannot be honoured are refused; the others are carried, clamped where they must be.
    const std::map<std::string, int> expected = {
        {"ordinary", 1},       {"png_lying_chunk", 0}, {"png_20000_square", 0}, {"png_empty", 0},
        {"png_not_png", 0},    {"no_framework", 0},    {"line_noise", 0},       {"region_bomb_corner", 1},
        {"edge_arithmetic", 1}, {"corner_65535", 1},   {"branding_tiles_30000", 1}};
    std::vector<SkinCase> cases = HostileSkinCases();
    for (SkinCase& c : MutatedSkinCases(23, 40))
        cases.push_back(c);
    for (const SkinCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SkinTrial trial = TrySkin(WriteSkinCase(c, Wide(folder.Path())));
        if (TimeBoundsHold("processor and wall seconds per hostile skin")) {
            EXPECT_LT(trial.cpuSeconds, kCpuSeconds);
            EXPECT_LT(trial.attachSeconds, kWallSeconds);
            EXPECT_LT(trial.paintSeconds, kWallSeconds);
            EXPECT_LT(trial.resizeSeconds, kWallSeconds);
        }
        EXPECT_EQ(trial.skinned, trial.attached == 1);
        auto found = expected.find(c.name);
        if (found != expected.end()) {
            EXPECT_EQ(trial.attached, found->second);
        }
    }
}

TEST(SkinHostile, AWindowOutlineOfThousandsOfRectanglesBecomesTheWholeWindow)
{
    EnsureLibraryAttached();
    TempFolder folder;
    const std::vector<SkinCase> cases = HostileSkinCases();
    HWND window = CreateWindowExW(0, L"STATIC", L"checkered", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(SetWindowSkin(window, WriteSkinCase(Case(cases, "checkered_parts"), Wide(folder.Path())).c_str()), 1);
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, shape);
    RECT box = {};
    GetRgnBox(shape, &box);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(box.right, 900);
    EXPECT_EQ(box.bottom, 700);
    DeleteObject(shape);

    DestroyWindow(window);

    // An ordinary skin keeps its outline (its picture's corners are cut).
    window = CreateWindowExW(0, L"STATIC", L"ordinary", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_EQ(SetWindowSkin(window, WriteSkinCase(Case(cases, "ordinary"), Wide(folder.Path())).c_str()), 1);
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, shape), COMPLEXREGION);
    DeleteObject(shape);
    DestroyWindow(window);
}

TEST(SkinHostile, PngsThatLieAboutTheirSizeAreRefusedBeforeDecoding)
{
    EnsureLibraryAttached();
    TempFolder folder;
    const std::vector<SkinCase> cases = HostileSkinCases();
    const SIZE_T before = Committed();
    for (const char* name : {"png_lying_chunk", "png_20000_square", "png_empty", "png_not_png"}) {
        SCOPED_TRACE(name);
        const auto& image = Case(cases, name).images.front();
        const std::string path = folder.Write(image.first, image.second);
        EXPECT_EQ(LoadPNG(path.c_str()), nullptr);
    }
    EXPECT_LT(Committed() - before, 64u * 1024 * 1024);
    const auto& ordinary = Case(cases, "ordinary").images.front();
    HBITMAP bitmap = LoadPNG(folder.Write(ordinary.first, ordinary.second).c_str());
    ASSERT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
}

TEST(SkinHostile, RegionsOfFragmentedPicturesAndCountlessTilesAreBounded)
{
    EnsureLibraryAttached();
    TempFolder folder;
    const std::vector<SkinCase> cases = HostileSkinCases();
    const auto& checker = Case(cases, "region_bomb_corner").images.front();
    Glazier::CSkin skin;
    ASSERT_TRUE(skin.Load(folder.Write(checker.first, checker.second).c_str()));
    // A few rows: one rectangle per opaque pixel, as before.
    RECT rows = {0, 0, 300, 4};
    HRGN region = skin.CreateRegion(&rows, 255);
    EXPECT_EQ(RectCount(region), 600u);
    DeleteObject(region);
    // The whole board: past the bound, its whole rectangle.
    RECT whole = {0, 0, 300, 300};
    region = skin.CreateRegion(&whole, 255);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 300);
    EXPECT_EQ(box.bottom, 300);

    // A holed tile repeated past any count: the whole area, at once.
    HRGN holed = CreateRectRgn(0, 0, 1, 1);
    HRGN tiled = FWSkin::TileRegion(holed, 2, 2, 100000, 100000);
    EXPECT_EQ(GetRgnBox(tiled, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 100000);
    DeleteObject(tiled);
    // A few tiles of it keep their holes.
    tiled = FWSkin::TileRegion(holed, 2, 2, 8, 2);
    EXPECT_EQ(RectCount(tiled), 4u);
    DeleteObject(tiled);
    DeleteObject(holed);
    DeleteObject(region);
}
