// Loads TarnUI.dll at run time, as a program without an import of it would.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(TarnUIDll, LoadsExportsItsNamesAndUnloads)
{
    HMODULE dll = LoadLibraryW(L"TarnUI.dll");
    ASSERT_NE(dll, nullptr) << GetLastError();
    for (const char* name : {"glzStartup", "glzShutdown", "ISglzStartup", "ISglzShutdown", "ISLoadColorsScheme",
                             "ISApplyColorScheme", "ISFillBackground", "g_Colors", "IID_ISkin"})
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;

    // The colour table was filled at load: no scheme beside this program, so the defaults.
    auto* colors = reinterpret_cast<const COLORREF*>(GetProcAddress(dll, "g_Colors"));
    ASSERT_NE(colors, nullptr);
    EXPECT_EQ(colors[0], 0x800000u);
    EXPECT_EQ(colors[2], 0xD68759u);
    EXPECT_EQ(colors[65], 0xFFFFFFFFu);  // Dialog FrameColor

    using StartupFn = int(WINAPI*)(DWORD);
    using ShutdownFn = void(WINAPI*)();
    auto startup = reinterpret_cast<StartupFn>(reinterpret_cast<void*>(GetProcAddress(dll, "glzStartup")));
    auto shutdown = reinterpret_cast<ShutdownFn>(reinterpret_cast<void*>(GetProcAddress(dll, "ISglzShutdown")));
    ASSERT_TRUE(startup && shutdown);
    EXPECT_NE(startup(0), 0);
    shutdown();

    EXPECT_TRUE(FreeLibrary(dll));
    EXPECT_EQ(GetModuleHandleW(L"TarnUI.dll"), nullptr);
    HMODULE again = LoadLibraryW(L"TarnUI.dll");  // a second load after a clean unload
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(FreeLibrary(again));
}

}  // namespace
