// TarnUI.dll loaded at run time: global dialog skinning patches this program's imports and keeps
// the library loaded, since the dialog class procedure it installed lives in it.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

__attribute__((noinline)) FARPROC LookUp(const char* module, const char* name)
{
    return GetProcAddress(GetModuleHandleA(module), name);
}

__attribute__((noinline)) BOOL Adjust(RECT* rect)
{
    return AdjustWindowRectEx(rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
}

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// SetWindowLongA itself in a 32-bit process.
__attribute__((noinline)) LONG_PTR SetLongPtrA(HWND window, int index, LONG_PTR value)
{
    return SetWindowLongPtrA(window, index, value);
}

LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HMODULE ModuleOf(FARPROC address)
{
    MEMORY_BASIC_INFORMATION info = {};
    VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof(info));
    return static_cast<HMODULE>(info.AllocationBase);
}

TEST(GlobalSubclassDialogDll, RedirectsThisProgramsImportsAndStaysLoaded)
{
    FARPROC realAdjust = LookUp("user32.dll", "AdjustWindowRectEx");
    FARPROC realLoad = LookUp("kernel32.dll", "LoadLibraryW");
    RECT expected = {0, 0, 100, 100};
    ASSERT_TRUE(Adjust(&expected));

    HMODULE dll = LoadLibraryW(L"TarnUI.dll");
    ASSERT_NE(dll, nullptr);
    auto subclass = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "ISGlobalSubclassDialog")));
    ASSERT_NE(subclass, nullptr);
    subclass();

    FARPROC adjust = LookUp("user32.dll", "AdjustWindowRectEx");
    EXPECT_NE(adjust, realAdjust);
    EXPECT_EQ(ModuleOf(adjust), dll) << "answered by the library";
    EXPECT_EQ(ModuleOf(LookUp("kernel32.dll", "LoadLibraryW")), dll);
    EXPECT_NE(LookUp("kernel32.dll", "LoadLibraryW"), realLoad);
    RECT rect = {0, 0, 100, 100};
    EXPECT_TRUE(Adjust(&rect)) << "no skinned frame: the real function answers";
    EXPECT_TRUE(EqualRect(&rect, &expected));

    // A narrow SetWindowLongA on a Unicode window keeps it Unicode (the wide call is made).
    HWND wide = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindowUnicode(wide));
    SetLongPtrA(wide, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherProc));
    EXPECT_EQ(GetWindowLongPtrW(wide, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OtherProc));
    EXPECT_TRUE(IsWindowUnicode(wide));
    DestroyWindow(wide);

    // Dialogs now run the library's class procedure: unloading it would leave them without code.
    FreeLibrary(dll);
    EXPECT_EQ(GetModuleHandleW(L"TarnUI.dll"), dll);
    struct {
        DLGTEMPLATE header;
        WORD menu, cls, title;
    } t = {};
    t.header.style = WS_POPUP;
    t.header.cx = 20;
    t.header.cy = 20;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr,
                                             EmptyDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(DestroyWindow(dialog));
}

}  // namespace
