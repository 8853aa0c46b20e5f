// The icon picture over its parent's static colour, read back from the screen.
#include "core/ResourceModule.h"
#include "framework/WindowImpl.h"
#include "tests/support/WindowPixels.h"
#include "widgets/IconPicture.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kParentMagenta = RGB(255, 0, 255);
constexpr COLORREF kStaticBlue = RGB(10, 120, 200);
constexpr COLORREF kIconRed = RGB(200, 30, 30);

// Paints magenta everywhere (also under its children) and answers a blue static brush.
class CPictureParent : public CWindowImpl<CPictureParent>
{
public:
    HBRUSH blue = ::CreateSolidBrush(kStaticBlue);
    ~CPictureParent() override { ::DeleteObject(blue); }

    BEGIN_MSG_MAP(CPictureParent)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    END_MSG_MAP()

    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        RECT client;
        GetClientRect(&client);
        HBRUSH magenta = ::CreateSolidBrush(kParentMagenta);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, magenta);
        ::DeleteObject(magenta);
        return 1;
    }
    LRESULT OnCtlColorStatic(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(blue); }
};

TEST(IconPicture, PaintsNothingWithoutAnIconAndTheIconOnTheParentBrushWithOne)
{
    CPictureParent parent;
    RECT rect = {30, 30, 230, 130};
    ASSERT_NE(nullptr, parent.Create(nullptr, rect, L"parent", WS_POPUP | WS_VISIBLE));
    HWND label = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 40, 30, parent, nullptr,
                                   nullptr, nullptr);
    CIconPicture picture;
    ASSERT_TRUE(picture.SubclassWindow(label));

    EXPECT_EQ(nullptr, picture.SetIcon(4321, 24, 24)) << "an id the resource module lacks";
    parent.Invalidate();
    parent.UpdateWindow();
    ::UpdateWindow(label);
    PixelImage empty = CaptureClientPixels(label);
    ASSERT_FALSE(empty.Empty());
    EXPECT_EQ(40 * 30, empty.Count(kParentMagenta, 0, 0, 40, 30)) << "not even a background";

    ASSERT_NE(nullptr, picture.SetIcon(218, 24, 24));
    picture.Invalidate();
    picture.UpdateWindow();
    PixelImage painted = CaptureClientPixels(label);
    EXPECT_EQ(24 * 24, painted.Count(kIconRed, 0, 0, 24, 24));
    EXPECT_EQ(40 * 30 - 24 * 24, painted.Count(kStaticBlue, 0, 0, 40, 30));
    EXPECT_EQ(0, painted.Count(kParentMagenta, 0, 0, 40, 30));
    EXPECT_EQ(1, ::SendMessageW(label, WM_ERASEBKGND, 0, 0));
    parent.DestroyWindow();
}

}  // namespace
