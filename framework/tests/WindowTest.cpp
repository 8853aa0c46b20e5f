// Message maps, subclassing, superclasses, reflection and the end of a window's life.
#include "framework/MemoryDC.h"
#include "framework/WindowImpl.h"
#include "tests/support/WindowPixels.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr int kButtonId = 101;
constexpr int kOwnerDrawId = 102;

// A top-level window for children; it reflects notifications unless told to keep them.
class CParentWindow : public CWindowImpl<CParentWindow>
{
public:
    bool reflect = true;
    int ownCommands = 0;
    int ownDrawItems = 0;
    WORD handledHereId = 0;   // a command id the parent handles itself

    BEGIN_MSG_MAP(CParentWindow)
        MESSAGE_HANDLER(WM_COMMAND, OnHandledHere)
        MESSAGE_HANDLER(WM_COMMAND, OnMaybeReflect)
        MESSAGE_HANDLER(WM_DRAWITEM, OnMaybeReflect)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnMaybeReflect)
    END_MSG_MAP()

    LRESULT OnHandledHere(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        if (handledHereId == 0 || LOWORD(wParam) != handledHereId) {
            bHandled = FALSE;
            return 0;
        }
        ++ownCommands;
        return 0;
    }
    LRESULT OnMaybeReflect(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        if (reflect)
            return ReflectNotifications(m_hWnd, msg, wParam, lParam, bHandled);
        if (msg == WM_COMMAND) ++ownCommands;
        else if (msg == WM_DRAWITEM) ++ownDrawItems;
        else bHandled = FALSE;
        return TRUE;
    }
};

// A subclassed child that takes reflected clicks and drawing.
class CReflectTarget : public CWindowImplRoot
{
public:
    int pings = 0;
    int reflectedClicks = 0;
    int reflectedDraws = 0;
    HWND drawnItem = nullptr;

    BEGIN_MSG_MAP(CReflectTarget)
        MESSAGE_HANDLER(kPing, OnPing)
        REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnReflectedClick)
        MESSAGE_HANDLER(OCM_DRAWITEM, OnReflectedDraw)
    END_MSG_MAP()

    LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return ++pings; }
    LRESULT OnReflectedClick(WORD, WORD, HWND, BOOL&) { ++reflectedClicks; return 0; }
    LRESULT OnReflectedDraw(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        ++reflectedDraws;
        drawnItem = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        return TRUE;
    }
};

class WindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RECT rect = {50, 50, 350, 250};
        ASSERT_NE(nullptr, parent.Create(nullptr, rect, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    }
    void TearDown() override
    {
        if (parent.IsWindow())
            parent.DestroyWindow();
    }
    HWND MakeButton(int id, DWORD style)
    {
        return ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | style, 10, 10 + id % 10 * 30,
                                 80, 24, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    CParentWindow parent;
};

TEST_F(WindowFixture, SubclassRoutesToTheObjectAndRefusesASecondOne)
{
    HWND button = MakeButton(kButtonId, BS_PUSHBUTTON);
    WNDPROC original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button, GWLP_WNDPROC));
    CReflectTarget first;
    CReflectTarget second;
    ASSERT_TRUE(first.SubclassWindow(button));
    EXPECT_FALSE(second.SubclassWindow(button)) << "a window already held by an object";
    EXPECT_FALSE(first.SubclassWindow(MakeButton(kButtonId + 1, BS_PUSHBUTTON))) << "an object already holding one";
    EXPECT_FALSE(second.SubclassWindow(nullptr));

    EXPECT_EQ(1, ::SendMessageW(button, kPing, 0, 0));
    EXPECT_EQ(1, first.pings);
    EXPECT_EQ(0, second.pings);
    // Messages the map leaves alone reach the button's own procedure.
    ::SetWindowTextW(button, L"caption");
    wchar_t text[32] = {};
    ::GetWindowTextW(button, text, 32);
    EXPECT_STREQ(L"caption", text);

    EXPECT_EQ(button, first.UnsubclassWindow());
    EXPECT_EQ(original, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, first.m_hWnd);
    EXPECT_TRUE(second.SubclassWindow(button)) << "free again after unsubclassing";
}

// A superclass of the system static control that records what its object saw while being created.
class CStaticSuper : public CWindowImpl<CStaticSuper>
{
public:
    DECLARE_WND_SUPERCLASS(L"Lyrant_TestStaticSuper", L"STATIC")
    bool sawNcCreate = false;
    bool sawCreate = false;
    bool handleBoundAtCreate = false;

    BEGIN_MSG_MAP(CStaticSuper)
        MESSAGE_HANDLER(WM_NCCREATE, OnNcCreate)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
    END_MSG_MAP()

    LRESULT OnNcCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) { sawNcCreate = true; bHandled = FALSE; return 0; }
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        sawCreate = true;
        handleBoundAtCreate = m_hWnd != nullptr && FromHandle(m_hWnd) == this;
        bHandled = FALSE;   // the static control sets itself up too
        return 0;
    }
};

TEST_F(WindowFixture, SuperclassSeesCreationInItsObjectAndKeepsTheSystemBehaviour)
{
    CStaticSuper control;
    RECT rect = {10, 10, 110, 30};
    HWND hWnd = control.Create(parent, rect, L"label", WS_CHILD | WS_VISIBLE, 0, 7);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_TRUE(control.sawNcCreate);
    EXPECT_TRUE(control.sawCreate);
    EXPECT_TRUE(control.handleBoundAtCreate);
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    EXPECT_STREQ(L"Lyrant_TestStaticSuper", name);
    wchar_t text[32] = {};
    ::GetWindowTextW(hWnd, text, 32);
    EXPECT_STREQ(L"label", text);
    // The static procedure behind it answers as a static control: transparent to the mouse
    // without SS_NOTIFY (DefWindowProc would answer HTCLIENT).
    RECT client;
    ::GetClientRect(hWnd, &client);
    POINT inside = {client.right / 2, client.bottom / 2};
    ::ClientToScreen(hWnd, &inside);
    EXPECT_EQ(HTTRANSPARENT, ::SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)));
}

struct ReflectCase
{
    const char* name;
    bool reflect;
    WORD handledHere;
    int childClicks;
    int parentCommands;
};

TEST_F(WindowFixture, ClicksAreReflectedToTheButtonUnlessTheParentHandlesThem)
{
    const ReflectCase cases[] = {
        {"reflected", true, 0, 1, 0},
        {"not reflected", false, 0, 0, 1},
        {"handled by the parent", true, kButtonId, 0, 1},
    };
    for (const ReflectCase& c : cases) {
        SCOPED_TRACE(c.name);
        parent.reflect = c.reflect;
        parent.handledHereId = c.handledHere;
        parent.ownCommands = 0;
        HWND button = MakeButton(kButtonId, BS_PUSHBUTTON);
        CReflectTarget child;
        ASSERT_TRUE(child.SubclassWindow(button));
        ::SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_EQ(c.childClicks, child.reflectedClicks);
        EXPECT_EQ(c.parentCommands, parent.ownCommands);
        ::DestroyWindow(button);
    }
}

TEST_F(WindowFixture, OwnerDrawingIsReflectedToTheButtonThatIsDrawn)
{
    for (bool reflect : {true, false}) {
        SCOPED_TRACE(reflect ? "reflected" : "not reflected");
        parent.reflect = reflect;
        parent.ownDrawItems = 0;
        HWND button = MakeButton(kOwnerDrawId, BS_OWNERDRAW);
        CReflectTarget child;
        ASSERT_TRUE(child.SubclassWindow(button));
        ::InvalidateRect(button, nullptr, TRUE);
        ::UpdateWindow(button);
        if (reflect) {
            EXPECT_GE(child.reflectedDraws, 1);
            EXPECT_EQ(button, child.drawnItem);
            EXPECT_EQ(0, parent.ownDrawItems);
        } else {
            EXPECT_EQ(0, child.reflectedDraws);
            EXPECT_GE(parent.ownDrawItems, 1);
        }
        ::DestroyWindow(button);
    }
}

TEST_F(WindowFixture, UnhandledReflectedColourMessageGetsTheDefaultAnswer)
{
    parent.reflect = true;
    HWND button = MakeButton(kButtonId, BS_PUSHBUTTON);
    CReflectTarget child;   // handles no OCM_CTLCOLORBTN
    ASSERT_TRUE(child.SubclassWindow(button));
    HDC dc = ::GetDC(button);
    LRESULT expected = ::DefWindowProcW(button, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(button));
    LRESULT answer = ::SendMessageW(parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(button));
    ::ReleaseDC(button, dc);
    EXPECT_NE(0, expected);
    EXPECT_EQ(expected, answer);
    // A message that names no child is not reflected at all.
    BOOL handled = TRUE;
    EXPECT_EQ(1, ReflectNotifications(parent, WM_COMMAND, MAKEWPARAM(5, 0), 0, handled));
    EXPECT_FALSE(handled);
}

// Records the end of its window's life and deletes itself, as heap-held windows do.
class CSelfDeleting : public CWindowImplRoot
{
public:
    struct Record { bool sawNcDestroy = false; HWND finalHandle = nullptr; HWND handleAtFinal = reinterpret_cast<HWND>(1); bool deleted = false; };
    explicit CSelfDeleting(Record& record) : m_record(record) {}
    ~CSelfDeleting() override { m_record.deleted = true; }

    BEGIN_MSG_MAP(CSelfDeleting)
        MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
    END_MSG_MAP()

    LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) { m_record.sawNcDestroy = true; bHandled = FALSE; return 0; }
    void OnFinalMessage(HWND hWnd) override
    {
        m_record.finalHandle = hWnd;
        m_record.handleAtFinal = m_hWnd;
        delete this;
    }

private:
    Record& m_record;
};

TEST_F(WindowFixture, FinalMessageComesAfterDestructionWithTheObjectUnbound)
{
    HWND button = MakeButton(kButtonId, BS_PUSHBUTTON);
    CSelfDeleting::Record record;
    auto* object = new CSelfDeleting(record);
    ASSERT_TRUE(object->SubclassWindow(button));
    EXPECT_EQ(object, CWindowImplRoot::FromHandle(button));
    ::DestroyWindow(button);
    EXPECT_TRUE(record.sawNcDestroy);
    EXPECT_EQ(button, record.finalHandle);
    EXPECT_EQ(nullptr, record.handleAtFinal);
    EXPECT_TRUE(record.deleted);
}

// The map's entry kinds, tried in order, with chaining and the handled flag.
class CMixin
{
public:
    std::wstring* log = nullptr;
    BEGIN_MSG_MAP(CMixin)
        MESSAGE_HANDLER(WM_APP + 20, OnMixin)
    END_MSG_MAP()
    LRESULT OnMixin(UINT, WPARAM, LPARAM, BOOL&) { *log += L"mixin;"; return 20; }
};

class CMapWindow : public CWindowImpl<CMapWindow>, public CMixin
{
public:
    std::wstring calls;
    CMapWindow() { log = &calls; }

    BEGIN_MSG_MAP(CMapWindow)
        MESSAGE_HANDLER(WM_APP + 1, OnPassOn)
        MESSAGE_HANDLER(WM_APP + 1, OnMessage)
        MESSAGE_RANGE_HANDLER(WM_APP + 5, WM_APP + 9, OnRange)
        COMMAND_HANDLER(40, 7, OnCommandIdCode)
        COMMAND_RANGE_CODE_HANDLER(41, 43, 0, OnCommandRange)
        COMMAND_ID_HANDLER(40, OnCommandId)
        NOTIFY_HANDLER(50, 8, OnNotify)
        NOTIFY_CODE_HANDLER(9, OnNotifyCode)
        CHAIN_MSG_MAP(CMixin)
    END_MSG_MAP()

    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) { calls += L"passon;"; bHandled = FALSE; return 99; }
    LRESULT OnMessage(UINT, WPARAM, LPARAM, BOOL&) { calls += L"message;"; return 1; }
    LRESULT OnRange(UINT msg, WPARAM, LPARAM, BOOL&) { calls += L"range;"; return msg - WM_APP; }
    LRESULT OnCommandIdCode(WORD, WORD, HWND, BOOL&) { calls += L"idcode;"; return 2; }
    LRESULT OnCommandRange(WORD, WORD id, HWND, BOOL&) { calls += L"cmdrange;"; return id; }
    LRESULT OnCommandId(WORD code, WORD, HWND, BOOL&) { calls += L"id;"; return code; }
    LRESULT OnNotify(int, NMHDR*, BOOL&) { calls += L"notify;"; return 3; }
    LRESULT OnNotifyCode(int id, NMHDR*, BOOL&) { calls += L"notifycode;"; return id; }
};

TEST(MessageMap, EntriesAreTriedInOrderAndTheFirstHandlerThatKeepsItWins)
{
    CMapWindow window;
    ASSERT_NE(nullptr, window.Create(nullptr, kDefaultWindowRect, L"map", WS_OVERLAPPED));
    NMHDR header50 = {window, 50, 8};
    NMHDR header51 = {window, 51, 9};
    struct Case { UINT msg; WPARAM wParam; LPARAM lParam; LRESULT result; const wchar_t* calls; };
    const Case cases[] = {
        {WM_APP + 1, 0, 0, 1, L"passon;message;"},
        {WM_APP + 7, 0, 0, 7, L"range;"},
        {WM_COMMAND, MAKEWPARAM(40, 7), 0, 2, L"idcode;"},
        {WM_COMMAND, MAKEWPARAM(40, 3), 0, 3, L"id;"},
        {WM_COMMAND, MAKEWPARAM(42, 0), 0, 42, L"cmdrange;"},
        {WM_COMMAND, MAKEWPARAM(42, 1), 0, 0, L""},
        {WM_NOTIFY, 50, reinterpret_cast<LPARAM>(&header50), 3, L"notify;"},
        {WM_NOTIFY, 51, reinterpret_cast<LPARAM>(&header51), 51, L"notifycode;"},
        {WM_APP + 20, 0, 0, 20, L"mixin;"},
    };
    for (const Case& c : cases) {
        window.calls.clear();
        LRESULT result = window.SendMessage(c.msg, c.wParam, c.lParam);
        EXPECT_EQ(c.result, result) << c.msg;
        EXPECT_EQ(std::wstring(c.calls), window.calls) << c.msg;
    }
    window.DestroyWindow();
}

// Paints red with a blue square at (10,10)-(30,30), through the double buffer.
class CBufferedWindow : public CWindowImpl<CBufferedWindow>, public CDoubleBufferImpl<CBufferedWindow>
{
public:
    int paints = 0;
    BEGIN_MSG_MAP(CBufferedWindow)
        CHAIN_MSG_MAP(CDoubleBufferImpl<CBufferedWindow>)
    END_MSG_MAP()
    void DoPaint(HDC dc)
    {
        ++paints;
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
        ::FillRect(dc, &client, red);
        RECT square = {10, 10, 30, 30};
        ::FillRect(dc, &square, blue);
        ::DeleteObject(red);
        ::DeleteObject(blue);
    }
};

TEST(DoubleBuffer, PaintsThroughTheMemoryDcAndIntoAGivenDc)
{
    CBufferedWindow window;
    RECT rect = {40, 40, 200, 140};
    ASSERT_NE(nullptr, window.Create(nullptr, rect, L"buffered", WS_POPUP | WS_VISIBLE));
    window.Invalidate();
    window.UpdateWindow();
    PixelImage screen = CaptureClientPixels(window);
    ASSERT_FALSE(screen.Empty());
    EXPECT_EQ(400, screen.Count(RGB(0, 0, 255), 0, 0, screen.width, screen.height));
    EXPECT_EQ(RGB(255, 0, 0), screen.At(5, 5));
    EXPECT_EQ(RGB(255, 0, 0), screen.At(screen.width - 1, screen.height - 1));

    // Only the invalid part is redrawn, at its own place.
    window.paints = 0;
    RECT part = {20, 20, 60, 60};
    window.InvalidateRect(&part);
    window.UpdateWindow();
    EXPECT_EQ(1, window.paints);
    screen = CaptureClientPixels(window);
    EXPECT_EQ(400, screen.Count(RGB(0, 0, 255), 0, 0, screen.width, screen.height));

    // A DC in wParam is painted straight into (no buffer, no BeginPaint).
    HDC screenDc = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screenDc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screenDc, 160, 100);
    ::ReleaseDC(nullptr, screenDc);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    window.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    EXPECT_EQ(RGB(0, 0, 255), ::GetPixel(memory, 15, 15));
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(memory, 40, 40));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    EXPECT_EQ(1, window.SendMessage(WM_ERASEBKGND, 0, 0));
    window.DestroyWindow();
}

}  // namespace
