#include "MarkupTestSupport.h"
#include "render/MarkupLimits.h"
#include "core/WideFormat.h"
#include <gtest/gtest.h>

namespace {
DWORD Px(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A bitmap of cells across: cell i has colours[i].
HBITMAP MakeStrip(int cell, const std::vector<COLORREF>& colours, int rows = 1)
{
    CDibSection32 s;
    const int columns = static_cast<int>(colours.size()) / rows;
    s.Create(cell * columns, cell * rows);
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.At(x, y) = Px(colours[(y / cell) * columns + x / cell]);
    return s.Detach();
}

std::wstring Markup(const wchar_t* format, UINT_PTR handle)
{
    wchar_t text[256];
    FormatWide(text, 256, format, static_cast<unsigned>(handle));
    return text;
}

std::vector<MarkupDrawRecord> Images(const MarkupFixture& f)
{
    std::vector<MarkupDrawRecord> out;
    for (const auto& r : f.log)
        if (r.kind == MarkupDrawRecord::Image)
            out.push_back(r);
    return out;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}
}

TEST(HtmlImages, BitmapSizesInPercentAndPixels)
{
    MarkupFixture f;
    HBITMAP bmp = MakeStrip(20, {RGB(255, 0, 0), RGB(255, 0, 0)});   // 40 x 20
    f.Render(Markup(L"<bmp handle=0x%X width=50%%>X", reinterpret_cast<UINT_PTR>(bmp)).c_str());
    auto images = Images(f);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect.right - images[0].rect.left, 20);
    EXPECT_EQ(images[0].rect.bottom - images[0].rect.top, 20);
    ASSERT_EQ(f.Texts().size(), 1u);
    EXPECT_EQ(f.Texts()[0].rect.left, 20);
    EXPECT_EQ(f.Pixel(images[0].rect.left + 5, images[0].rect.top + 5), RGB(255, 0, 0));
    EXPECT_EQ(f.Pixel(images[0].rect.left + 25, images[0].rect.top + 5), RGB(255, 255, 255));

    f.Render(Markup(L"<bmp handle=0x%X width=30 height=10>X", reinterpret_cast<UINT_PTR>(bmp)).c_str());
    EXPECT_EQ(f.Texts()[0].rect.left, 30);
    EXPECT_NE(GetObjectType(bmp), 0u);   // a handle stays the caller's
    DeleteObject(bmp);

    // A picture that cannot be loaded takes no room.
    f.Render(L"<bmp file=\"Z:\\no\\such.bmp\">X<bmp>");
    EXPECT_EQ(f.Texts()[0].rect.left, 0);
}

TEST(HtmlImages, PercentSizesRoundHalfAwayFromZero)
{
    HBITMAP bmp = MakeStrip(15, {RGB(255, 0, 0)});   // 15 x 15
    struct Case { const wchar_t* size; int expected; } cases[] = {
        {L"50%%", 8},    // 7.5
        {L"10%%", 2},    // 1.5
        {L"33%%", 5},    // 4.95
        {L"3%%", 0},     // 0.45: nothing to draw
        {L"110%%", 17},  // 16.5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        MarkupFixture f;
        const std::wstring format = std::wstring(L"<bmp handle=0x%X width=") + c.size + L" height=" + c.size + L">X";
        f.Render(Markup(format.c_str(), reinterpret_cast<UINT_PTR>(bmp)).c_str());
        const auto images = Images(f);
        ASSERT_EQ(images.size(), c.expected == 0 ? 0u : 1u);
        if (c.expected != 0) {
            EXPECT_EQ(images[0].rect.right - images[0].rect.left, c.expected);
            EXPECT_EQ(images[0].rect.bottom - images[0].rect.top, c.expected);
        }
        ASSERT_EQ(f.Texts().size(), 1u);
        EXPECT_EQ(f.Texts()[0].rect.left, c.expected) << "the text follows the picture";
    }
    // Image-list images scale the list's size the same way.
    MarkupFixture f;
    f.drawer.SetImageList(bmp, 15, 15, 1, RGB(255, 0, 255));
    f.Render(L"<ilst index=0 width=50% height=50%>X");
    ASSERT_EQ(Images(f).size(), 1u);
    EXPECT_EQ(Images(f)[0].rect.right - Images(f)[0].rect.left, 8);
    DeleteObject(bmp);
}

TEST(HtmlImages, BitmapFromFileAndTableBackground)
{
    CDibBitmap dib;
    dib.Create(4, 4, 8);
    dib.Clear(1);
    dib.SetPaletteIndex(1, 0, 0, 255);
    const std::wstring path = TempPath(L"render_markup_tile.bmp");
    ASSERT_TRUE(dib.Save(path.c_str()));
    MarkupFixture f;
    f.Render((L"<bmp file=\"" + path + L"\">").c_str());
    ASSERT_EQ(Images(f).size(), 1u);
    EXPECT_EQ(f.Pixel(2, Images(f)[0].rect.top + 2), RGB(0, 0, 255));

    MarkupFixture t;
    t.Render((L"<table background=\"file:" + path + L"\"><tr><td width=40 height=30>&nbsp;</td></tr></table>").c_str());
    EXPECT_EQ(t.Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(t.Pixel(37, 27), RGB(0, 0, 255));
    DeleteFileW(path.c_str());
}

TEST(HtmlImages, IconsDrawAtTheirOwnSize)
{
    HICON icon = MakeSolidIcon(16, Px(RGB(0, 128, 0)));
    MarkupFixture f;
    f.Render(Markup(L"<icon handle=0x%X>X", reinterpret_cast<UINT_PTR>(icon)).c_str());
    ASSERT_EQ(f.Texts().size(), 1u);
    EXPECT_EQ(f.Texts()[0].rect.left, 16);
    auto images = Images(f);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(f.Pixel(images[0].rect.left + 8, images[0].rect.top + 8), RGB(0, 128, 0));
    DestroyIcon(icon);
}

TEST(HtmlImages, ImageListImagesByIndex)
{
    MarkupFixture f;
    HBITMAP bmp = MakeStrip(16, {RGB(255, 0, 0), RGB(0, 0, 255)});
    f.drawer.SetImageList(bmp, 16, 16, 2, RGB(255, 0, 255));
    DeleteObject(bmp);
    ASSERT_NE(f.drawer.GetImageList(), nullptr);
    f.Render(L"<ilst index=1>X<ilst index=2>Y");
    auto images = Images(f);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(f.Pixel(images[0].rect.left + 8, images[0].rect.top + 8), RGB(0, 0, 255));
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.left, 16);
    EXPECT_EQ(texts[1].rect.left, texts[0].rect.right);   // index 2 is outside the list
    f.drawer.SetImageList(nullptr, 0, 0, 0, 0);
    EXPECT_EQ(f.drawer.GetImageList(), nullptr);
}

TEST(HtmlImages, AnimatedStripCyclesWithTheTimer)
{
    MarkupFixture f;
    const std::vector<COLORREF> colours = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    HBITMAP strip = MakeStrip(16, colours);   // 64 x 16: four square frames
    f.Render(Markup(L"<ilst handle=0x%X speed=2>", reinterpret_cast<UINT_PTR>(strip)).c_str());
    ASSERT_EQ(f.drawer.GetAnimations().size(), 1u);
    EXPECT_EQ(f.drawer.GetAnimations()[0].count, 4);
    const RECT r = Images(f)[0].rect;
    EXPECT_EQ(r.right - r.left, 16);
    std::vector<COLORREF> seen;
    std::vector<BOOL> changed;
    for (int tick = 0; tick < 8; ++tick) {
        f.Draw(0, 0, f.size.cx, f.size.cy);
        seen.push_back(f.Pixel(r.left + 8, r.top + 8));
        changed.push_back(f.drawer.OnTimer());
    }
    EXPECT_EQ(seen, (std::vector<COLORREF>{colours[0], colours[0], colours[1], colours[1], colours[2], colours[2],
                                           colours[3], colours[3]}));
    EXPECT_EQ(changed, (std::vector<BOOL>{0, 1, 0, 1, 0, 1, 0, 1}));
    // Measuring the same text again keeps the animation where it is.
    f.drawer.OnTimer();
    f.drawer.OnTimer();
    f.Prepare(Markup(L"<ilst handle=0x%X speed=2>", reinterpret_cast<UINT_PTR>(strip)).c_str());
    EXPECT_EQ(f.drawer.GetAnimations().size(), 1u);
    EXPECT_EQ(f.drawer.GetAnimations()[0].frame, 1);
    f.Render(Markup(L"<ilst handle=0x%X index=2 cx=16 cy=16>", reinterpret_cast<UINT_PTR>(strip)).c_str());
    EXPECT_EQ(f.Pixel(Images(f)[0].rect.left + 8, Images(f)[0].rect.top + 8), colours[2]);
    DeleteObject(strip);
}

TEST(HtmlImages, HotStyleShadowAndDisabledLook)
{
    MarkupFixture f;
    HBITMAP bmp = MakeStrip(20, {RGB(200, 0, 0)});
    const std::wstring markup = Markup(L"<a msg=m><bmp handle=0x%X hotstyle=g></a>X", reinterpret_cast<UINT_PTR>(bmp));
    f.Render(markup.c_str());
    ASSERT_EQ(Images(f).size(), 1u);
    EXPECT_EQ(Images(f)[0].value, 0);
    ASSERT_EQ(f.drawer.GetHotAreas().size(), 1u);
    POINT p = {10, Images(f)[0].rect.top + 10};
    f.drawer.OnSetCursor(&p);
    f.Render(markup.c_str());
    EXPECT_EQ(Images(f)[0].value, ImageGray);
    const RECT r = Images(f)[0].rect;
    const BYTE grey = static_cast<BYTE>(0.299 * 200);
    EXPECT_EQ(f.Pixel(r.left + 10, r.top + 10), RGB(grey, grey, grey));

    // A shadow makes the picture take its offsets more room.
    MarkupFixture s;
    s.Render(Markup(L"<bmp handle=0x%X style=s>X", reinterpret_cast<UINT_PTR>(bmp)).c_str());
    EXPECT_EQ(Images(s)[0].value, ImageSoftShadow);
    EXPECT_EQ(s.Texts()[0].rect.left, 20 + 4);

    MarkupFixture d;
    d.drawer.EnableOutput(FALSE);
    d.drawer.SetDisabledColor(RGB(100, 110, 120));
    d.Render(Markup(L"<bmp handle=0x%X style=g>", reinterpret_cast<UINT_PTR>(bmp)).c_str());
    EXPECT_EQ(Images(d)[0].value, ImageColor);
    EXPECT_EQ(d.Pixel(Images(d)[0].rect.left + 10, Images(d)[0].rect.top + 10), RGB(100, 110, 120));
    DeleteObject(bmp);
}

TEST(HtmlImages, OnlyAPictureWithAShadowFlagIsOffsetAndOnlyIntoTheRoomItTakes)
{
    HBITMAP bmp = MakeStrip(20, {RGB(200, 0, 0)});
    const COLORREF red = RGB(200, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    // No shadow flag: drawn where the layout put it, although the drawer's shadow is on.
    MarkupFixture plain;
    plain.Render(Markup(L"<bmp handle=0x%X>X", reinterpret_cast<UINT_PTR>(bmp)).c_str());
    RECT r = Images(plain)[0].rect;
    EXPECT_EQ(plain.Pixel(r.left + 1, r.top + 1), red);
    EXPECT_EQ(plain.Pixel(r.left + 22, r.top + 22), white) << "not moved by the shadow offsets";
    EXPECT_EQ(plain.Texts()[0].rect.left, 20);

    // A shadow in the normal style and none in the hot one: hovered, the picture moves into the
    // room its shadow took (the pressed look).
    MarkupFixture link;
    const std::wstring markup = Markup(L"<a msg=m><bmp handle=0x%X style=s hotstyle=d></a>X",
                                       reinterpret_cast<UINT_PTR>(bmp));
    link.Render(markup.c_str());
    r = Images(link)[0].rect;
    EXPECT_EQ(link.Texts()[0].rect.left, 24) << "the picture and its shadow's offset";
    EXPECT_EQ(link.Pixel(r.left + 1, r.top + 1), red);
    POINT p = {r.left + 5, r.top + 5};
    link.drawer.OnSetCursor(&p);
    link.Clear();
    link.Render(markup.c_str());
    r = Images(link)[0].rect;
    EXPECT_EQ(link.Pixel(r.left + 1, r.top + 1), white) << "moved away";
    EXPECT_EQ(link.Pixel(r.left + 4 + 1, r.top + 4 + 1), RGB(150, 0, 0)) << "darkened, 4 right and down";
    EXPECT_EQ(link.Pixel(r.left + 4 + 19, r.top + 4 + 19), RGB(150, 0, 0));
    DeleteObject(bmp);
}

TEST(HtmlImages, APassDrawsABoundedNumberOfPicturesAndLaysOutAll)
{
    HBITMAP bmp = MakeStrip(2, {RGB(200, 0, 0)});
    std::wstring text;
    for (int i = 0; i < kMaxMarkupPicturesDrawn + 72; ++i)
        text += Markup(L"<bmp handle=0x%X>", reinterpret_cast<UINT_PTR>(bmp));
    MarkupFixture f(1200, 100);
    f.Render((text + L"X").c_str());
    EXPECT_EQ(static_cast<size_t>(kMaxMarkupPicturesDrawn), Images(f).size());
    ASSERT_EQ(1u, f.Texts().size());
    EXPECT_EQ(2 * (kMaxMarkupPicturesDrawn + 72), f.Texts()[0].rect.left) << "every picture keeps its room";
    DeleteObject(bmp);
}

TEST(HtmlImages, MessageBoxIconTablePutsTheTextBesideTheIcon)
{
    CDibSection32 colour;
    colour.Create(32, 32);
    for (int i = 0; i < colour.Count(); ++i)
        colour.Bits()[i] = Px(RGB(0, 0, 200));
    BYTE mask[32 * 4] = {};
    ICONINFO info = {TRUE, 16, 16, CreateBitmap(32, 32, 1, 1, mask), colour.Detach()};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    MarkupFixture f;
    wchar_t markup[512];
    FormatWide(markup, 512, L"<table cellpadding=%d><tr><td width=%d><icon handle=0x%X></td><td>%s</td></tr></table>",
               5, 32, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(icon)), L"Restart the device?");
    f.Render(markup);
    auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.left, (32 + 2 * 5) + 1 + 5);
    EXPECT_EQ(f.Pixel(5 + 16, 5 + 16), RGB(0, 0, 200));
    EXPECT_EQ(f.size.cx - 1, -1 + (32 + 10 + 1) + (f.TextWidth(L"Restart the device?", f.BodyHeight()) + 10 + 1));
    EXPECT_EQ(f.size.cy - 1, -1 + 32 + 10 + 1);
    DestroyIcon(icon);
}
