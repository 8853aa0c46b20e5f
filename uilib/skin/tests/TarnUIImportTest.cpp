// Reaches TarnUI.dll through its import library, as the manager does.
#include <gtest/gtest.h>

#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/PngLoader.h"
#include "uilib/skin/Skin.h"

namespace {

TEST(TarnUIImport, ExportsResolveThroughTheImportTable)
{
    HMODULE dll = GetModuleHandleW(L"TarnUI.dll");
    ASSERT_NE(dll, nullptr);  // loaded with the program
    EXPECT_EQ(g_Colors.WindowBorder, 0x800000u);  // data through the import table
    EXPECT_NE(glzStartup(0), 0);
    EXPECT_EQ(LoadPNG(L"no-such-file.png", 0), nullptr);
    Glazier::CSkin skin;  // an exported class
    EXPECT_FALSE(skin.Load("no-such-file.png"));
    glzShutdown();
    EXPECT_TRUE(LoadColorScheme(L"no-such-scheme.thm", 0));
}

}  // namespace
