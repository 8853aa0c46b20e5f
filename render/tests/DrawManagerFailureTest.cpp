// Image operations when the system cannot make what they ask for: the GDI calls of this executable
// go through hooks that can be told to fail.
#include "render/DrawManager.h"
#include "render/tests/MarkupTestSupport.h"
#include "tests/support/ImportSlot.h"
#include <gtest/gtest.h>

namespace {

enum class Refuse { kNothing, kColourBitmap, kMonochromeBitmap, kMemoryDC };
Refuse g_refuse = Refuse::kNothing;

template <typename Function>
Function Real(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), name)));
}

HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int cx, int cy)
{
    if (g_refuse == Refuse::kColourBitmap)
        return nullptr;
    return Real<decltype(&CreateCompatibleBitmap)>("CreateCompatibleBitmap")(dc, cx, cy);
}

HBITMAP WINAPI HookCreateBitmap(int cx, int cy, UINT planes, UINT bits, const void* data)
{
    if (g_refuse == Refuse::kMonochromeBitmap)
        return nullptr;
    return Real<decltype(&CreateBitmap)>("CreateBitmap")(cx, cy, planes, bits, data);
}

HDC WINAPI HookCreateCompatibleDC(HDC dc)
{
    if (g_refuse == Refuse::kMemoryDC)
        return nullptr;
    return Real<decltype(&CreateCompatibleDC)>("CreateCompatibleDC")(dc);
}

struct Refusing
{
    explicit Refusing(Refuse what) { g_refuse = what; }
    ~Refusing() { g_refuse = Refuse::kNothing; }
};


}  // namespace

extern "C" {
void* g_slotCreateCompatibleBitmap __asm__(IMPORT_SLOT(CreateCompatibleBitmap, 12)) =
    reinterpret_cast<void*>(&HookCreateCompatibleBitmap);
void* g_slotCreateBitmap __asm__(IMPORT_SLOT(CreateBitmap, 20)) = reinterpret_cast<void*>(&HookCreateBitmap);
void* g_slotCreateCompatibleDC __asm__(IMPORT_SLOT(CreateCompatibleDC, 4)) =
    reinterpret_cast<void*>(&HookCreateCompatibleDC);
}

TEST(DrawManagerFailure, StretchIconGivesNoIconWhenAPartCannotBeMade)
{
    HICON icon = MakeSolidIcon(16, 0x0000FF);
    ASSERT_NE(nullptr, icon);
    CDrawManager dm;
    HICON whole = dm.StretchIcon(icon, 48, 40);
    ASSERT_NE(nullptr, whole);
    SIZE size;
    CDrawManager::GetIconSize(whole, &size);
    EXPECT_EQ(48, size.cx);
    EXPECT_EQ(40, size.cy);
    DestroyIcon(whole);

    for (Refuse what : {Refuse::kColourBitmap, Refuse::kMonochromeBitmap, Refuse::kMemoryDC}) {
        SCOPED_TRACE(static_cast<int>(what));
        HICON stretched;
        {
            Refusing refusing(what);
            stretched = dm.StretchIcon(icon, 48, 40);
        }
        EXPECT_EQ(nullptr, stretched) << "not an icon of another shape";
        if (stretched)
            DestroyIcon(stretched);
        // Drawing at that size then draws nothing rather than a wrong picture.
        CDibSection32 canvas;
        canvas.Create(60, 60);
        {
            Refusing refusing(what);
            dm.DrawIcon(canvas.DC(), 0, 0, 48, 40, icon, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
        }
        GdiFlush();
        EXPECT_EQ(0u, canvas.At(20, 20) & 0xFFFFFF);
    }
    DestroyIcon(icon);
}
