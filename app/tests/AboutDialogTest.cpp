#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "app/AboutDlg.h"
#include "app/tests/MainDialogFixture.h"
#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "tests/support/DialogWatcher.h"

namespace {

// An about dialog over a page that the test describes: body attributes and scroll sizes.
class FakePageAbout : public CHtmlAboutDlg
{
public:
    bool body = true;
    std::map<std::wstring, int> attributes;
    int scrollWidth = 0;
    int scrollHeight = 0;
    int hostWidthAtHeightRead = -1;
    int sizeMessages = 0;

    BEGIN_MSG_MAP(FakePageAbout)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        CHAIN_MSG_MAP(CHtmlAboutDlg)
    END_MSG_MAP()

    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        ++sizeMessages;
        bHandled = FALSE;
        return 0;
    }
    // window.external as the page calls it.
    HRESULT CallExternal(const wchar_t* name, const VARIANT* argument)
    {
        DISPID id = GetExternalDispId(name);
        VARIANT copy = argument != nullptr ? *argument : VARIANT{};
        DISPPARAMS params = {&copy, nullptr, argument != nullptr ? 1u : 0u, 0};
        return id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : InvokeExternal(id, &params, nullptr);
    }
    bool Click(const wchar_t* id) { return OnElementClick(id); }
    void DocumentComplete() { OnDocumentComplete(L""); }

protected:
    bool HasBody() override { return body; }
    int BodyNumber(const wchar_t* name) override
    {
        auto it = attributes.find(name);
        return body && it != attributes.end() ? it->second : 0;
    }
    bool QueryBodyAttribute(const wchar_t* name) override { return body && attributes.count(name) != 0; }
    int BodyScrollWidth() override { return scrollWidth; }
    int BodyScrollHeight() override
    {
        RECT host;
        ::GetWindowRect(GetBrowserHost(), &host);
        hostWidthAtHeightRead = host.right - host.left;
        return scrollHeight;
    }
};

SIZE ClientSize(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

POINT Centre(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT WorkArea()
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Runs the dialog modally without owner; the action runs inside, then the dialog is cancelled.
INT_PTR RunWith(CHtmlAboutDlg& dialog, std::function<void(HWND)> action)
{
    CDialogWatcher watch([&](HWND window) {
        action(window);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    INT_PTR result = dialog.Run(nullptr);
    EXPECT_NE(watch.Caught(), nullptr);
    return result;
}

struct SizeCase
{
    const char* name;
    std::map<std::wstring, int> attributes;
    int scrollWidth, scrollHeight;
    int requestedWidth;
    SIZE client;
};

class AboutSizing : public ::testing::TestWithParam<SizeCase> {};

}  // namespace

TEST_P(AboutSizing, ClientSizeFollowsTheBodyAttributes)
{
    const SizeCase& c = GetParam();
    FakePageAbout dialog;
    dialog.attributes = c.attributes;
    dialog.scrollWidth = c.scrollWidth;
    dialog.scrollHeight = c.scrollHeight;
    SIZE client = {};
    POINT before = {}, after = {};
    RunWith(dialog, [&](HWND window) {
        before = Centre(window);
        dialog.AutoSize(c.requestedWidth);
        client = ClientSize(window);
        after = Centre(window);
    });
    EXPECT_EQ(client.cx, c.client.cx);
    EXPECT_EQ(client.cy, c.client.cy);
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, AboutSizing,
    ::testing::Values(
        SizeCase{"WidthCappedByMaxWidth", {{L"dlg_width", 400}, {L"max_width", 350}, {L"dlg_height", 120}}, 0, 0, 0, {350, 120}},
        SizeCase{"ScrollSizesWithoutAttributes", {}, 420, 260, 0, {420, 260}},
        SizeCase{"RequestedWidthWins", {{L"dlg_width", 400}}, 0, 150, 333, {333, 150}},
        SizeCase{"HeightCappedByMaxHeight", {{L"dlg_width", 300}, {L"max_height", 180}}, 0, 600, 0, {300, 180}}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST(AboutDialog, PageWithoutBodyKeepsTheStartSize)
{
    FakePageAbout dialog;
    dialog.body = false;
    SIZE client = {};
    RunWith(dialog, [&](HWND window) {
        dialog.CallExternal(L"resizeWindow", nullptr);
        client = ClientSize(window);
    });
    EXPECT_EQ(client.cx, CHtmlAboutDlg::kStartWidth);
    EXPECT_EQ(client.cy, CHtmlAboutDlg::kStartHeight);
}

TEST(AboutDialog, TallPageIsAsTallAsTheWorkArea)
{
    FakePageAbout dialog;
    dialog.attributes = {{L"dlg_width", 300}};
    dialog.scrollHeight = 5000;
    RECT window = {};
    RunWith(dialog, [&](HWND hwnd) {
        dialog.AutoSize(0);
        GetWindowRect(hwnd, &window);
    });
    RECT work = WorkArea();
    EXPECT_EQ(window.bottom - window.top, work.bottom - work.top);
}

TEST(AboutDialog, PageReflowsAtTheNewWidthBeforeItsHeightIsRead)
{
    FakePageAbout dialog;
    dialog.attributes = {{L"dlg_width", 345}};
    dialog.scrollHeight = 100;
    RunWith(dialog, [&](HWND) { dialog.AutoSize(0); });
    EXPECT_EQ(dialog.hostWidthAtHeightRead, 345);
}

TEST(AboutDialog, ResizeWindowTwiceWithTheSameWidthLaysOutAgain)
{
    FakePageAbout dialog;
    dialog.scrollHeight = 140;
    int afterFirst = 0, afterSecond = 0;
    SIZE client = {};
    RunWith(dialog, [&](HWND window) {
        VARIANT width;
        width.vt = VT_BSTR;   // script numbers may come as text
        width.bstrVal = SysAllocString(L"410");
        dialog.CallExternal(L"resizeWindow", &width);
        afterFirst = dialog.sizeMessages;
        dialog.CallExternal(L"resizeWindow", &width);
        afterSecond = dialog.sizeMessages;
        client = ClientSize(window);
        SysFreeString(width.bstrVal);
    });
    EXPECT_EQ(client.cx, 410);
    EXPECT_GT(afterSecond, afterFirst) << "the second call with an unchanged size sends WM_SIZE";
}

TEST(AboutDialog, DocumentCompleteSizesOnlyWithTheAutosizeAttribute)
{
    for (bool autosize : {false, true}) {
        FakePageAbout dialog;
        if (autosize)
            dialog.attributes[L"dlg_autosize"] = 1;
        dialog.attributes[L"dlg_width"] = 260;
        dialog.attributes[L"dlg_height"] = 90;
        SIZE client = {};
        RunWith(dialog, [&](HWND window) {
            dialog.DocumentComplete();
            client = ClientSize(window);
        });
        EXPECT_EQ(client.cx == 260 && client.cy == 90, autosize) << "autosize " << autosize;
    }
}

TEST(AboutDialog, TemplateStyleTitleAndClosing)
{
    CHtmlAboutDlg dialog;
    DWORD style = 0;
    wchar_t title[64] = {};
    HWND host = nullptr;
    EXPECT_EQ(RunWith(dialog, [&](HWND window) {
                  style = GetWindowLongW(window, GWL_STYLE);
                  GetWindowTextW(window, title, 64);
                  host = dialog.GetBrowserHost();
              }),
              2);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_STREQ(title, L"About");   // no page title without an HTML engine
    EXPECT_NE(host, nullptr);

    // OK and the page's "ButtonOK" end it with 1.
    CHtmlAboutDlg ok;
    CDialogWatcher pressOk([](HWND window) { PostMessageW(window, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(ok.Run(nullptr), 1);
    FakePageAbout page;
    bool other = true, button = false;
    CDialogWatcher click([&](HWND) {
        other = page.Click(L"version_info");
        button = page.Click(L"ButtonOK");
    });
    EXPECT_EQ(page.Run(nullptr), 1);
    EXPECT_FALSE(other);
    EXPECT_TRUE(button);
}

TEST(AboutDialog, PageFollowsTheStoredLanguage)
{
    struct { const wchar_t* lanName; const wchar_t* page; } cases[] = {
        {nullptr, L"\\html\\about.html"},
        {L"Eng", L"\\html\\about.html"},
        {L"Chs", L"\\html\\about_chs.html"},
        {L"De", L"\\html\\about_de.html"},
    };
    for (const auto& c : cases) {
        ClearLyrantKey();
        if (c.lanName)
            GetSettings().SetString(L"lanName", c.lanName);
        CHtmlAboutDlg dialog;
        EXPECT_EQ(dialog.PagePath(), std::wstring(GetAppPath(c.page)));
    }
    ClearLyrantKey();
}

TEST(AboutDialog, VersionTextNamesTheProductAndAllFourWords)
{
    EXPECT_EQ(CHtmlAboutDlg::VersionHtml(), L"Tarnwick <b>Sonabridge</b> v1.0.0.1");
}

TEST(AboutDialog, AboutButtonShowsItModallyOverTheMainDialog)
{
    ClearLyrantKey();
    MainDialogFixture ui;
    ASSERT_TRUE(ui.Open());
    bool mainDisabled = false;
    HWND owner = nullptr;
    CDialogWatcher watch([&](HWND window) {
        mainDisabled = !IsWindowEnabled(ui.Window());
        owner = GetWindow(window, GW_OWNER);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    SetActiveWindow(ui.Window());
    ui.Press(ID_APP_ABOUT);
    ASSERT_NE(watch.Caught(), nullptr);
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(owner, ui.Window());
    EXPECT_TRUE(IsWindowEnabled(ui.Window()));
    ui.Close();
    ClearLyrantKey();
}
