// Loads TarnUI.dll at run time, registers its window classes, unloads and loads it again.
#include <gtest/gtest.h>
#include <windows.h>
#include <unknwn.h>

namespace {

using CreateInstanceFn = void*(WINAPI*)(REFIID);

// Makes (and releases) a shortcut bar object, whose constructor registers its class.
bool MakeShortcutBar(HMODULE dll)
{
    auto create = reinterpret_cast<CreateInstanceFn>(reinterpret_cast<void*>(GetProcAddress(dll, "glzCreateInstance")));
    auto* iid = reinterpret_cast<const IID*>(GetProcAddress(dll, "IID_IShortcutBar"));
    if (!create || !iid)
        return false;
    auto* object = static_cast<IUnknown*>(create(*iid));
    if (!object)
        return false;
    object->Release();
    return true;
}

TEST(LibraryClasses, UnloadingUnregistersTheLibrarysClasses)
{
    HMODULE dll = LoadLibraryW(L"TarnUI.dll");
    ASSERT_NE(dll, nullptr) << GetLastError();
    ASSERT_TRUE(MakeShortcutBar(dll));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExA(dll, "Glazier:OutlookBar", &info));
    ASSERT_TRUE(FreeLibrary(dll));
    ASSERT_EQ(GetModuleHandleW(L"TarnUI.dll"), nullptr);
    // No class is left whose procedure pointed into the unloaded image.
    EXPECT_FALSE(GetClassInfoExA(dll, "Glazier:OutlookBar", &info));

    HMODULE again = LoadLibraryW(L"TarnUI.dll");
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(MakeShortcutBar(again));
    ASSERT_TRUE(GetClassInfoExA(again, "Glazier:OutlookBar", &info));
    MEMORY_BASIC_INFORMATION memory = {};
    VirtualQuery(reinterpret_cast<void*>(info.lpfnWndProc), &memory, sizeof(memory));
    EXPECT_EQ(memory.AllocationBase, static_cast<void*>(again));  // the procedure of the loaded image
    EXPECT_TRUE(FreeLibrary(again));
}

}  // namespace
