#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "uilib/bars/TaskPane.h"
#include "uilib/bars/tests/BarsTestSupport.h"
#include "uilib/skin/HookEngine.h"
#include "uilib/skin/tests/PngWriter.h"

namespace {

constexpr UINT kOpen = 501, kSave = 502, kNote = 503, kPrint = 504;

// The pane's parent: records commands and header notifications; cancels when asked, and runs
// what a test gives it on each notification.
struct Parent {
    static std::vector<UINT> commands;
    static std::vector<NMEXPLORERBAR> notes;
    static std::vector<std::wstring> noteTexts;
    static bool cancel;
    static std::function<void(const NMEXPLORERBAR&)> onNote;
    static LRESULT Record(UINT message, WPARAM wParam, LPARAM lParam, bool wide)
    {
        if (message == WM_COMMAND)
            commands.push_back(LOWORD(wParam));
        if (message == WM_NOTIFY) {
            auto* note = reinterpret_cast<NMEXPLORERBAR*>(lParam);
            notes.push_back(*note);
            noteTexts.push_back(wide ? static_cast<const wchar_t*>(note->text)
                                     : (*static_cast<const char*>(note->text) ? L"?" : L""));
            if (note->header.code == EBN_GROUPCHANGING && cancel)
                note->cancel = TRUE;
            if (onNote)
                onNote(*note);
        }
        return 0;
    }
    static LRESULT CALLBACK WideProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COMMAND || m == WM_NOTIFY)
            return Record(m, wp, lp, true);
        if (m == WM_NOTIFYFORMAT)
            return NFR_UNICODE;
        return DefWindowProcW(w, m, wp, lp);
    }
    static LRESULT CALLBACK NarrowProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COMMAND || m == WM_NOTIFY)
            return Record(m, wp, lp, false);
        if (m == WM_NOTIFYFORMAT)
            return NFR_ANSI;
        return DefWindowProcA(w, m, wp, lp);
    }
};
std::vector<UINT> Parent::commands;
std::vector<NMEXPLORERBAR> Parent::notes;
std::vector<std::wstring> Parent::noteTexts;
bool Parent::cancel = false;
std::function<void(const NMEXPLORERBAR&)> Parent::onNote;

HWND MakeParent(bool wide)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW w = {};
        w.lpfnWndProc = Parent::WideProc;
        w.lpszClassName = L"TarnPaneParentW";
        w.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&w);
        WNDCLASSA a = {};
        a.lpfnWndProc = Parent::NarrowProc;
        a.lpszClassName = "TarnPaneParentA";
        RegisterClassA(&a);
        registered = true;
    }
    return wide ? CreateWindowExW(0, L"TarnPaneParentW", L"", WS_POPUP | WS_VISIBLE, 30, 30, 300, 400, nullptr,
                                  nullptr, nullptr, nullptr)
                : CreateWindowExA(0, "TarnPaneParentA", "", WS_POPUP | WS_VISIBLE, 30, 30, 300, 400, nullptr,
                                  nullptr, nullptr, nullptr);
}

class TaskPaneTest : public ::testing::Test {
protected:
    void SetUp() override { Start(true); }
    void TearDown() override
    {
        Parent::onNote = nullptr;
        DestroyWindow(parent);
    }
    void Start(bool wide)
    {
        if (parent)
            DestroyWindow(parent);
        Parent::commands.clear();
        Parent::notes.clear();
        Parent::noteTexts.clear();
        Parent::cancel = false;
        Parent::onNote = nullptr;
        parent = MakeParent(wide);
        pane = CreateExplorerBarWindow(parent, 77, 0, 0, 250, 380);
        ASSERT_NE(pane, nullptr);
        AddGroup(L"Files", 10);
        AddGroup(L"Other", 20);
        AddItem(0, L"Open the document", kOpen, -1);
        AddItem(0, L"Save the document", kSave, -1);
        EBSTATIC note = {sizeof(note), -1, "A note", kNote};
        ASSERT_EQ(SendPtr(EBM_ADDSTATICA, 1, &note), 1);
        AddItem(1, L"Print", kPrint, -1);
    }
    LRESULT SendPtr(UINT message, WPARAM wParam, const void* lParam)
    {
        return SendMessageW(pane, message, wParam, reinterpret_cast<LPARAM>(lParam));
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(pane, message, wParam, lParam); }
    int AddGroup(const wchar_t* text, int id)
    {
        EBGROUP group = {sizeof(group), text, id};
        return static_cast<int>(SendPtr(EBM_ADDGROUPW, -1, &group));
    }
    void AddItem(int group, const wchar_t* text, UINT id, int image)
    {
        EBITEM item = {sizeof(item), -1, text, id, image};
        ASSERT_EQ(SendPtr(EBM_ADDITEMW, group, &item), 1);
    }
    // Header of group 0 and the first item below it, as the pane lays them out.
    static int HeaderHeight() { return GetSystemMetrics(SM_CYCAPTION) + 1; }
    static int ItemHeight() { return MulDiv(GetSystemMetrics(SM_CYMENU), 9, 8); }
    void Click(int x, int y)
    {
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessagesFor(30);
    }
    void ClickHeader(int group)
    {
        // Headers of expanded groups in order (each 10 apart); only group 0 is clicked at its top.
        (void)group;
        Click(40, 10 + HeaderHeight() / 2);
    }

    HWND parent = nullptr;
    HWND pane = nullptr;
};

TEST_F(TaskPaneTest, GroupsAndItemsAnswerTheirQueries)
{
    EXPECT_EQ(Send(EBM_GETGROUPCOUNT), 2);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 0), 2);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 1), 2);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 5), -1);
    EXPECT_EQ(Send(EBM_FINDGROUP, 20), 1);
    EXPECT_EQ(Send(EBM_FINDGROUP, 99), -1);
    EXPECT_EQ(Send(EBM_GETGROUPID, 0), 10);
    EXPECT_EQ(Send(EBM_GETGROUPID, 9), -1);
    EXPECT_EQ(Send(EBM_GETITEMGROUP, kNote), 1);
    EXPECT_EQ(Send(EBM_SETITEMDATA, kSave, 1234), 1);
    EXPECT_EQ(Send(EBM_GETITEMDATA, kSave), 1234);
    EXPECT_EQ(Send(EBM_GETITEMDATA, 999), -1);
    EXPECT_EQ(Send(EBM_SETGROUPDATA, 1, 55), 1);
    EXPECT_EQ(Send(EBM_GETGROUPDATA, 1), 55);
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(Send(EBM_GETITEMTEXTW, kSave)), L"Save the document");
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(Send(EBM_GETITEMTEXTW, kNote)), L"A note");  // converted
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(Send(EBM_GETITEMTEXTW, 999)), L"");
    Send(EBM_ENABLEITEM, kSave, FALSE);
    EXPECT_FALSE(Send(EBM_ISITEMENABLED, kSave));
    EXPECT_TRUE(Send(EBM_ISITEMENABLED, kOpen));
    EXPECT_EQ(Send(EBM_DELETEITEM, kOpen), 1);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 0), 1);
    EXPECT_EQ(Send(EBM_MOVEGROUP, 1, 0), 1);
    EXPECT_EQ(Send(EBM_GETGROUPID, 0), 20);
}

TEST_F(TaskPaneTest, NextItemWalksGroupsByItsFlags)
{
    struct Case {
        UINT from;
        LPARAM flags;
        LRESULT next;
    } cases[] = {
        {kOpen, 0, kSave},                    // within the group
        {kSave, 0, 0},                        // at the end, no flags
        {kSave, MAKELONG(1, 0), kNote},       // on into the next group
        {kPrint, MAKELONG(1, 0), 0},          // after the last group
        {kPrint, MAKELONG(1, 1), kOpen},      // ... wrapping to the first
        {kSave, MAKELONG(0, 1), kOpen},       // back to the start of the same group
        {999, MAKELONG(1, 1), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Send(EBM_GETNEXTITEM, c.from, c.flags), c.next) << c.from << " " << c.flags;
}

TEST_F(TaskPaneTest, InfoRecordsCopyAtMostTheWholeRecord)
{
    Send(EBM_SETGROUPDATA, 1, 55);
    struct Padded {
        EBGROUPINFO info;
        DWORD guard[4];
    } group = {};
    group.info.size = sizeof(EBGROUPINFO) + 16;
    for (DWORD& g : group.guard)
        g = 0xA5A5A5A5;
    ASSERT_EQ(SendPtr(EBM_GETGROUPINFOW, 1, &group), 1);
    EXPECT_EQ(group.info.size, sizeof(EBGROUPINFO));  // 24 bytes in the 32-bit build
    EXPECT_EQ(group.info.data, 55);
    EXPECT_EQ(group.info.groupId, 20);
    EXPECT_TRUE(group.info.expanded);
    EXPECT_STREQ(static_cast<const wchar_t*>(group.info.text), L"Other");
    for (DWORD g : group.guard)
        EXPECT_EQ(g, 0xA5A5A5A5u);

    EBITEMINFO shortRecord = {};
    shortRecord.size = 12;  // size, position and text only
    shortRecord.id = 0xDEAD;
    ASSERT_EQ(SendPtr(EBM_GETITEMBYIDW, kSave, &shortRecord), 1);
    EXPECT_EQ(shortRecord.position, 1);
    EXPECT_EQ(shortRecord.id, 0xDEADu);
    EBITEMINFO narrow = {};
    narrow.size = sizeof(narrow);
    ASSERT_EQ(SendPtr(EBM_GETITEMBYPOSA, 0, &narrow), 1);
    EXPECT_EQ(narrow.id, kOpen);
    EXPECT_STREQ(static_cast<const char*>(narrow.text), "");  // the narrow form answers no text
}

TEST_F(TaskPaneTest, ClickingALinkPostsItsCommandAndSelectsIt)
{
    UpdateWindow(pane);
    const int y = 10 + HeaderHeight() + 4 + ItemHeight() / 2;
    Click(25, y);
    ASSERT_EQ(Parent::commands.size(), 1u);
    EXPECT_EQ(Parent::commands[0], kOpen);
    EXPECT_EQ(Send(EBM_GETSELECTED), static_cast<LRESULT>(kOpen));
    Send(EBM_SELECTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Send(EBM_GETSELECTED), 0);
    Send(EBM_ENABLEITEM, kOpen, FALSE);
    UpdateWindow(pane);
    Click(25, y);
    EXPECT_TRUE(Parent::commands.size() == 1u);  // a disabled link is not clicked
}

TEST_F(TaskPaneTest, HeaderClickTogglesWithNotificationsAndSingleExpand)
{
    EXPECT_EQ(Send(EBM_SETSINGLEEXPAND, 0, 1), 1);
    EXPECT_EQ(Send(EBM_SETSINGLEEXPAND, 0, 1), 0);
    ClickHeader(0);
    EXPECT_FALSE(Send(EBM_ISEXPANDED, 0));
    ASSERT_EQ(Parent::notes.size(), 2u);
    EXPECT_EQ(Parent::notes[0].header.code, EBN_GROUPCHANGING);
    EXPECT_EQ(Parent::notes[0].header.idFrom, 77u);
    EXPECT_TRUE(Parent::notes[0].expanded);   // before the change
    EXPECT_FALSE(Parent::notes[1].expanded);  // after it
    EXPECT_EQ(Parent::notes[1].groupId, 10);
    EXPECT_EQ(Parent::noteTexts[0], L"Files");
    ClickHeader(0);  // opening it again closes the other group
    EXPECT_TRUE(Send(EBM_ISEXPANDED, 0));
    EXPECT_FALSE(Send(EBM_ISEXPANDED, 1));
}

TEST_F(TaskPaneTest, CancelledChangeKeepsTheGroupAndSendsNoSecondNotification)
{
    Parent::cancel = true;
    ClickHeader(0);
    EXPECT_TRUE(Send(EBM_ISEXPANDED, 0));
    ASSERT_EQ(Parent::notes.size(), 1u);
    EXPECT_EQ(Parent::notes[0].header.code, EBN_GROUPCHANGING);
}

TEST_F(TaskPaneTest, AnsiParentGetsAnEmptyHeaderText)
{
    Start(false);
    ClickHeader(0);
    ASSERT_EQ(Parent::notes.size(), 2u);
    EXPECT_EQ(Parent::noteTexts[0], L"");
}

TEST_F(TaskPaneTest, SystemLookPaintsHeadersAndBodies)
{
    RepaintNow(parent);
    PixelImage p = CaptureClientPixels(pane);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
    EXPECT_EQ(p.At(20, 10 + HeaderHeight() / 2), highlight);
    EXPECT_EQ(p.At(10, 10), p.At(3, 3));  // the rounded corner leaves the background
    const int bodyY = 10 + HeaderHeight() + 2;
    EXPECT_NE(p.At(200, bodyY), p.At(3, 3));  // the group's body
    EXPECT_EQ(p.At(10, bodyY), highlight);    // its outline
}

TEST_F(TaskPaneTest, ScrollBarAppearsWhenContentOutgrowsThePane)
{
    RepaintNow(parent);
    EXPECT_FALSE(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL);
    for (int i = 0; i < 30; ++i)
        AddItem(1, L"More", 600 + i, -1);
    RepaintNow(parent);
    EXPECT_TRUE(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(GetScrollPos(pane, SB_VERT), 3);
    EXPECT_GT(Send(EBM_GETIDEALWIDTH, 0), 22 + GetSystemMetrics(SM_CXVSCROLL));
}

int g_paints = 0;
WNDPROC g_paneProc = nullptr;
LRESULT CALLBACK CountingPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_paints;
    return CallWindowProcW(g_paneProc, window, message, wParam, lParam);
}

TEST_F(TaskPaneTest, OpeningSlidesInStepsAndClosingDoesNot)
{
    for (int i = 0; i < 6; ++i)
        AddItem(0, L"More", 700 + i, -1);
    RepaintNow(parent);
    g_paneProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingPaneProc)));
    g_paints = 0;
    ClickHeader(0);  // closes: one repaint
    EXPECT_FALSE(Send(EBM_ISEXPANDED, 0));
    EXPECT_LE(g_paints, 2);
    g_paints = 0;
    ClickHeader(0);  // opens: eight items slide out 3 pixels a step
    EXPECT_TRUE(Send(EBM_ISEXPANDED, 0));
    const int distance = 8 * ItemHeight() + 8 - 3;
    EXPECT_GE(g_paints, distance / 3);
    SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_paneProc));
    RepaintNow(parent);
    PixelImage p = CaptureClientPixels(pane);
    EXPECT_EQ(p.At(20, 10 + HeaderHeight() / 2), GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF);  // header in place
}

TEST_F(TaskPaneTest, BackgroundPictureSitsByItsPercentages)
{
    Send(EBM_DELETEALL);
    TempFolder folder;
    std::string png = folder.Write("picture.png", EncodePng(20, 20, std::vector<DWORD>(400, 0xFFFF0000)));
    std::wstring file(png.begin(), png.end());
    EBBACKGROUND picture = {sizeof(picture), kBackgroundShown, 0, file.c_str(), 0, 100, 100};
    ASSERT_EQ(SendPtr(EBM_SETBACKGROUNDW, 0, &picture), 1);
    RepaintNow(parent);
    RECT client;
    GetClientRect(pane, &client);
    PixelImage p = CaptureClientPixels(pane);
    const COLORREF ground = p.At(5, 5);
    EXPECT_EQ(p.At(client.right - 5, client.bottom - 5), RGB(255, 0, 0));
    EXPECT_EQ(p.At(client.right - 25, client.bottom - 5), ground);

    EBBACKGROUND refused = picture;
    refused.flags = 1;
    EXPECT_EQ(SendPtr(EBM_SETBACKGROUNDW, 0, &refused), 0);
    EBBACKGROUND missing = picture;
    missing.file = L"no-such-picture.png";
    EXPECT_EQ(SendPtr(EBM_SETBACKGROUNDW, 0, &missing), 0);
    EBBACKGROUND narrow = {sizeof(narrow), kBackgroundShown, 0, png.c_str(), 0, 0, 0};
    ASSERT_EQ(SendPtr(EBM_SETBACKGROUNDA, 0, &narrow), 1);
    RepaintNow(parent);
    p = CaptureClientPixels(pane);
    EXPECT_EQ(p.At(5, 5), RGB(255, 0, 0));  // now at the top left
    EXPECT_EQ(p.At(client.right - 5, client.bottom - 5), ground);

    EBBACKGROUND removed = {sizeof(removed), 0, 0, nullptr, 0, 0, 0};
    EXPECT_EQ(SendPtr(EBM_SETBACKGROUNDW, 0, &removed), 1);
    RepaintNow(parent);
    p = CaptureClientPixels(pane);
    EXPECT_EQ(p.At(5, 5), ground);
}

TEST_F(TaskPaneTest, GroupsFromAMenuResourceOrHandle)
{
    Send(EBM_DELETEALL);
    EBMENU fromResource = {sizeof(fromResource), GetModuleHandleW(nullptr), reinterpret_cast<HMENU>(300), FALSE};
    ASSERT_EQ(SendPtr(EBM_GROUPSFROMMENU, 0, &fromResource), 1);
    ASSERT_EQ(Send(EBM_GETGROUPCOUNT), 1);  // only the submenu with entries
    EXPECT_EQ(Send(EBM_GETGROUPID, 0), 0);  // its position
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 0), 2);  // the separator left out
    EXPECT_EQ(Send(EBM_GETITEMGROUP, 602), 0);
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(Send(EBM_GETITEMTEXTW, 601)), L"First task");

    Send(EBM_DELETEALL);
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(300));
    EBMENU all = {sizeof(all), nullptr, menu, TRUE};
    ASSERT_EQ(SendPtr(EBM_GROUPSFROMMENU, 0, &all), 1);
    EXPECT_EQ(Send(EBM_GETGROUPCOUNT), 3);  // the empty submenu and the plain item too
    EXPECT_EQ(Send(EBM_GETGROUPID, 2), 2);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, 1), 0);
    EXPECT_FALSE(IsMenu(menu));  // the pane destroys the menu it was given
    EBMENU missing = {sizeof(missing), GetModuleHandleW(nullptr), reinterpret_cast<HMENU>(999), FALSE};
    EXPECT_EQ(SendPtr(EBM_GROUPSFROMMENU, 0, &missing), 0);
}

TEST_F(TaskPaneTest, StaticItemIsNeitherHotNorClickable)
{
    ASSERT_EQ(Send(EBM_SELECTITEM, kOpen, TRUE), 1);
    UpdateWindow(pane);
    const int secondGroupTop = 10 + HeaderHeight() + 4 + 2 * ItemHeight() + 4 + 10;
    const int noteY = secondGroupTop + HeaderHeight() + 4 + ItemHeight() / 2;
    Click(25, noteY);
    EXPECT_TRUE(Parent::commands.empty());
    EXPECT_EQ(Send(EBM_GETSELECTED), static_cast<LRESULT>(kOpen));  // the selection stays
    Click(25, noteY + ItemHeight());  // the link below it still answers
    ASSERT_EQ(Parent::commands.size(), 1u);
    EXPECT_EQ(Parent::commands[0], kPrint);
    EXPECT_EQ(Send(EBM_GETSELECTED), static_cast<LRESULT>(kPrint));
}

TEST_F(TaskPaneTest, MirroredPaneKeepsThePicturesOrientationWhenAsked)
{
    TempFolder folder;
    std::vector<DWORD> pixels(20 * 10);
    for (int i = 0; i < 200; ++i)
        pixels[i] = i % 20 < 10 ? 0xFFFF0000 : 0xFF0000FF;  // red left, blue right
    std::string png = folder.Write("picture.png", EncodePng(20, 10, pixels));
    std::wstring file(png.begin(), png.end());
    HWND rtlParent = CreateWindowExW(WS_EX_LAYOUTRTL, L"TarnPaneParentW", L"", WS_POPUP | WS_VISIBLE, 30, 30, 300,
                                     400, nullptr, nullptr, nullptr, nullptr);
    HWND mirrored = CreateExplorerBarWindow(rtlParent, 78, 0, 0, 250, 380);
    ASSERT_NE(mirrored, nullptr);
    EBBACKGROUND picture = {sizeof(picture), kBackgroundShown | kBackgroundKeepsOrientation, 0, file.c_str(), 0, 0, 0};
    ASSERT_EQ(SendMessageW(mirrored, EBM_SETBACKGROUNDW, 0, reinterpret_cast<LPARAM>(&picture)), 1);
    // At the pane's leading edge, the right one, and still red left of blue.
    RepaintNow(rtlParent);
    PixelImage screen = CaptureScreenWindowPixels(mirrored);
    EXPECT_EQ(screen.At(250 - 16, 5), RGB(255, 0, 0));
    EXPECT_EQ(screen.At(250 - 6, 5), RGB(0, 0, 255));
    DibCanvas canvas(250, 380);
    SetLayout(canvas.Dc(), LAYOUT_RTL);
    SendMessageW(mirrored, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Rgb(250 - 16, 5), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(250 - 6, 5), 0x0000FFu);
    DestroyWindow(rtlParent);
}

// The parent goes on working after it destroyed the pane: it takes memory of every small size
// and writes over it, as a use of the freed pane would then find it.
std::vector<void*> g_scribbles;
void DestroyAndScribble(HWND pane)
{
    DestroyWindow(pane);
    for (size_t size = 8; size <= 4096; size += 8) {
        void* block = malloc(size);
        memset(block, 0xCD, size);
        g_scribbles.push_back(block);
    }
}

TEST_F(TaskPaneTest, ParentMayDeleteGroupsOrThePaneWhileAHeaderClickNotifiesIt)
{
    auto addInFront = [](HWND p) {
        EBGROUP group = {sizeof(group), L"New", 30};
        SendMessageW(p, EBM_ADDGROUPW, 0, reinterpret_cast<LPARAM>(&group));
    };
    struct Case {
        const char* name;
        UINT code;  // the notification whose handler acts
        std::function<void(HWND)> act;
        int groups;    // groups left; -1: the pane is gone
        size_t notes;  // notifications the parent received
        bool moved = false;  // the clicked group moved to index 1
    } cases[] = {
        {"deletes the clicked group", EBN_GROUPCHANGING, [](HWND p) { SendMessageW(p, EBM_DELETEGROUP, 0, 0); }, 1, 1},
        {"deletes every group", EBN_GROUPCHANGING, [](HWND p) { SendMessageW(p, EBM_DELETEALL, 0, 0); }, 0, 1},
        {"adds a group in front", EBN_GROUPCHANGING, addInFront, 3, 2, true},
        {"destroys the pane", EBN_GROUPCHANGING, DestroyAndScribble, -1, 1},
        {"destroys the pane after the change", EBN_GROUPCHANGED, DestroyAndScribble, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(true);
        bool acted = false;
        Parent::onNote = [&](const NMEXPLORERBAR& note) {
            if (note.header.code == c.code && !acted) {
                acted = true;
                c.act(pane);
            }
        };
        ClickHeader(0);
        for (void* block : g_scribbles)
            free(block);
        g_scribbles.clear();
        EXPECT_TRUE(acted);
        EXPECT_EQ(Parent::notes.size(), c.notes);
        if (c.groups < 0) {
            EXPECT_FALSE(IsWindow(pane));
            continue;
        }
        EXPECT_EQ(Send(EBM_GETGROUPCOUNT), c.groups);
        RepaintNow(parent);
        if (c.moved) {
            // The click changed the group it was made on, wherever the parent moved it.
            EXPECT_TRUE(Send(EBM_ISEXPANDED, 0));
            EXPECT_FALSE(Send(EBM_ISEXPANDED, 1));
            EXPECT_EQ(Parent::notes[1].groupIndex, 1);
            EXPECT_EQ(Parent::notes[1].groupId, 10);
        }
    }
}

// realloc that cannot grow a block while armed (shrinking still works), as when memory runs out.
bool g_noGrowth = false;
using ReallocFn = void*(__cdecl*)(void*, size_t);
using MsizeFn = size_t(__cdecl*)(void*);
ReallocFn g_realloc = nullptr;
MsizeFn g_msize = nullptr;
void* __cdecl ReallocWithoutGrowth(void* block, size_t size)
{
    if (g_noGrowth && (!block || size > g_msize(block)))
        return nullptr;
    return g_realloc(block, size);
}

TEST_F(TaskPaneTest, MovesThatCannotGrowAListKeepTheirEntry)
{
    HMODULE crt = GetModuleHandleW(L"msvcrt.dll");
    g_realloc = reinterpret_cast<ReallocFn>(reinterpret_cast<void*>(GetProcAddress(crt, "realloc")));
    g_msize = reinterpret_cast<MsizeFn>(reinterpret_cast<void*>(GetProcAddress(crt, "_msize")));
    ASSERT_TRUE(g_realloc && g_msize);
    ASSERT_NE(InstallHook("msvcrt.dll", "realloc", reinterpret_cast<void*>(&ReallocWithoutGrowth), false), nullptr);
    auto sendWithoutGrowth = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        g_noGrowth = true;
        LRESULT result = Send(message, wParam, lParam);
        g_noGrowth = false;
        return result;
    };
    auto itemAt = [&](int group, int position) {
        EBITEMINFO info = {};
        info.size = sizeof(info);
        info.position = position;
        return SendPtr(EBM_GETITEMBYPOSW, group, &info) ? info.id : 0u;
    };
    // Lists grow four entries at a time: five groups leave room, a group of four items has none.
    AddGroup(L"Third", 30);
    AddGroup(L"Fourth", 40);
    AddGroup(L"Fifth", 50);
    AddItem(1, L"Scan", 505, -1);
    AddItem(1, L"Fax", 506, -1);

    EXPECT_EQ(sendWithoutGrowth(EBM_MOVEGROUP, 0, 4), 1);  // the move itself needs no more room
    std::vector<LRESULT> ids;
    for (int g = 0; g < Send(EBM_GETGROUPCOUNT); ++g)
        ids.push_back(Send(EBM_GETGROUPID, g));
    EXPECT_EQ(ids, (std::vector<LRESULT>{20, 30, 40, 50, 10}));

    const int files = static_cast<int>(Send(EBM_FINDGROUP, 10)), other = static_cast<int>(Send(EBM_FINDGROUP, 20));
    EXPECT_EQ(sendWithoutGrowth(EBM_MOVEITEMTOGROUP, kOpen, MAKELONG(other, 0)), 0);
    EXPECT_EQ(sendWithoutGrowth(EBM_MOVEITEMBEFORE, kSave, kPrint), 0);
    EXPECT_EQ(Send(EBM_GETITEMGROUP, kOpen), files);
    EXPECT_EQ(Send(EBM_GETITEMGROUP, kSave), files);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, files), 2);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, other), 4);

    for (UINT id : {507u, 508u, 509u})
        AddItem(files, L"More", id, -1);
    EXPECT_EQ(sendWithoutGrowth(EBM_MOVEITEMTOGROUP, kOpen, MAKELONG(files, 4)), 1);
    EXPECT_EQ(Send(EBM_GETITEMCOUNT, files), 5);
    EXPECT_EQ(itemAt(files, 0), kSave);
    EXPECT_EQ(itemAt(files, 4), kOpen);
    RemoveAllHooks();
}

}  // namespace
