#include <gtest/gtest.h>
#include <windows.h>

#include "uilib/skin/HookEngine.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/tests/HookTargetDll.h"
#include "uilib/skin/tests/LibraryFixture.h"

namespace {

int ReplacedTargetValue()
{
    return 2;
}

// GCC may keep an import address in a register: call through a function of its own.
__attribute__((noinline)) int OwnTargetValue()
{
    return HookTargetValue();
}

__attribute__((noinline)) FARPROC OwnGetProcAddress(HMODULE module, const char* name)
{
    return GetProcAddress(module, name);
}

void* RealTarget()
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("hook_target.dll"), "HookTargetValue"));
}

int LateValue(HMODULE late)
{
    auto fn = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(late, "LateTargetValue")));
    return fn ? fn() : -1;
}

class HookEngine : public ::testing::Test {
protected:
    void TearDown() override { RemoveAllHooks(); }
    void HookTarget(bool skipOwnModule)
    {
        ASSERT_NE(InstallHook("hook_target.dll", "HookTargetValue",
                              reinterpret_cast<void*>(&ReplacedTargetValue), skipOwnModule),
                  nullptr);
    }
};

TEST_F(HookEngine, OtherModulesCallTheReplacementUntilTheHooksAreRemoved)
{
    ASSERT_EQ(CallerTargetValue(), 1);
    HookTarget(true);
    EXPECT_EQ(FirstHook()->real, RealTarget());
    EXPECT_EQ(CallerTargetValue(), 2);
    EXPECT_EQ(OwnTargetValue(), 1) << "the library's own module is left alone";
    RemoveAllHooks();
    EXPECT_EQ(FirstHook(), nullptr);
    EXPECT_EQ(CallerTargetValue(), 1);
}

TEST_F(HookEngine, WithoutSkippingTheOwnModuleItIsPatchedToo)
{
    HookTarget(false);
    EXPECT_EQ(OwnTargetValue(), 2);
    EXPECT_EQ(CallerTargetValue(), 2);
    RemoveAllHooks();
    EXPECT_EQ(OwnTargetValue(), 1);
    EXPECT_EQ(CallerTargetValue(), 1);
}

TEST_F(HookEngine, UnloadingTheLibraryPutsTheEntriesBack)
{
    HookTarget(true);
    InstallLoaderHooks();
    ASSERT_EQ(CallerTargetValue(), 2);
    LibraryProcessDetach();
    LibraryProcessAttach(GetModuleHandleW(nullptr));
    EXPECT_EQ(FirstHook(), nullptr);
    EXPECT_EQ(CallerTargetValue(), 1);
    EXPECT_EQ(CallerGetProcAddress(GetModuleHandleA("hook_target.dll"), "HookTargetValue"),
              reinterpret_cast<FARPROC>(RealTarget()));
}

TEST_F(HookEngine, AFunctionThatDoesNotExistMatchesNothing)
{
    CImportHook* hook = InstallHook("hook_target.dll", "NoSuchFunction",
                                    reinterpret_cast<void*>(&ReplacedTargetValue), true);
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(hook->real, nullptr);
    EXPECT_EQ(CallerTargetValue(), 1);
    // GetProcAddress's misses stay misses, not the replacement of the unknown function.
    InstallLoaderHooks();
    EXPECT_EQ(CallerGetProcAddress(GetModuleHandleA("hook_target.dll"), "NoSuchFunction"), nullptr);
}

TEST_F(HookEngine, ModulesLoadedThroughEveryHookedLoaderArePatched)
{
    HookTarget(true);
    InstallLoaderHooks();
    // Loaded by the library's own module: its loader calls are not redirected.
    HMODULE own = LoadLibraryA("hook_late.dll");
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(LateValue(own), 1);
    ASSERT_TRUE(FreeLibrary(own));
    ASSERT_EQ(GetModuleHandleA("hook_late.dll"), nullptr);

    for (int loader : {kLoadA, kLoadW, kLoadExA, kLoadExW}) {
        SetLastError(0);
        HMODULE late = CallerLoad(loader, "hook_late.dll", 0);
        ASSERT_NE(late, nullptr) << loader;
        EXPECT_EQ(LateValue(late), 2) << loader;
        ASSERT_TRUE(FreeLibrary(late));
        ASSERT_EQ(GetModuleHandleA("hook_late.dll"), nullptr) << "a fresh copy for the next loader";
    }
    // A failed load is handed back as it is, with the loader's error.
    EXPECT_EQ(CallerLoad(kLoadW, "no_such_module.dll", 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(HookEngine, ALibraryLoadedAsDataIsNotPatched)
{
    HookTarget(true);
    InstallLoaderHooks();
    HMODULE late = LoadLibraryA("hook_late.dll");  // loaded, not patched (the own module's load)
    ASSERT_NE(late, nullptr);
    for (int loader : {kLoadExA, kLoadExW}) {
        HMODULE data = CallerLoad(loader, "hook_late.dll", LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(LateValue(late), 1) << loader;
        FreeLibrary(data);
    }
    HMODULE again = CallerLoad(kLoadW, "hook_late.dll", 0);  // a real load patches it now
    EXPECT_EQ(LateValue(late), 2);
    FreeLibrary(again);
    FreeLibrary(late);

    // A file mapped only as data or as a resource image (never loaded as code) is left alone.
    ASSERT_EQ(GetModuleHandleA("hook_late.dll"), nullptr);
    for (DWORD flags : {DWORD(LOAD_LIBRARY_AS_DATAFILE), DWORD(0x20 | LOAD_LIBRARY_AS_DATAFILE), DWORD(0x40)}) {
        HMODULE data = CallerLoad(kLoadExW, "hook_late.dll", flags);
        if (data)
            FreeLibrary(data);
    }
}

TEST_F(HookEngine, GetProcAddressAnswersWithTheReplacement)
{
    HookTarget(true);
    InstallLoaderHooks();
    HMODULE target = GetModuleHandleA("hook_target.dll");
    EXPECT_EQ(reinterpret_cast<void*>(CallerGetProcAddress(target, "HookTargetValue")),
              reinterpret_cast<void*>(&ReplacedTargetValue));
    EXPECT_EQ(reinterpret_cast<void*>(OwnGetProcAddress(target, "HookTargetValue")), RealTarget())
        << "the library's own look-ups reach the real function";
    // The loader hooks answer for themselves too.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    EXPECT_NE(CallerGetProcAddress(kernel, "LoadLibraryW"), OwnGetProcAddress(kernel, "LoadLibraryW"));
    EXPECT_EQ(CallerGetProcAddress(kernel, "Sleep"), OwnGetProcAddress(kernel, "Sleep"));
    RemoveAllHooks();
    EXPECT_EQ(reinterpret_cast<void*>(CallerGetProcAddress(target, "HookTargetValue")), RealTarget());
    EXPECT_EQ(CallerGetProcAddress(kernel, "LoadLibraryW"), OwnGetProcAddress(kernel, "LoadLibraryW"));
}

}  // namespace
