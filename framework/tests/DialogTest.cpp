// Dialogs from templates, the message loop with filters and idle handlers, and property sheets.
#include "core/ResourceModule.h"
#include "framework/DialogImpl.h"
#include "framework/DialogTemplate.h"
#include "framework/FrameworkModule.h"
#include "framework/MessageLoop.h"
#include "framework/PropertySheet.h"
#include "framework/tests/DialogTestIds.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring WindowText(HWND window)
{
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

class CTestDialog : public CDialogImpl<CTestDialog>
{
public:
    enum { IDD = IDD_TEST_DIALOG };
    LPARAM initParam = 0;
    std::wstring captionAtInit;

    BEGIN_MSG_MAP(CTestDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
        COMMAND_HANDLER(IDC_TEST_THIRD, BN_CLICKED, OnClose)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        initParam = lParam;
        captionAtInit = WindowText(m_hWnd);
        return TRUE;
    }
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&)
    {
        EndDialog(id);
        return 0;
    }
};

TEST(Dialog, ModalDialogEndsWithTheIdOfTheClickedButton)
{
    for (int id : {IDOK, IDCANCEL, IDC_TEST_THIRD}) {
        SCOPED_TRACE(id);
        CTestDialog dialog;
        CDialogWatcher watch([id](HWND dlg) { ClickDialogButton(dlg, id); });
        EXPECT_EQ(id, dialog.DoModal(nullptr, 77));
        EXPECT_NE(nullptr, watch.Caught());
        EXPECT_EQ(77, dialog.initParam);
        EXPECT_EQ(L"Program dialog", dialog.captionAtInit);
        EXPECT_EQ(nullptr, dialog.m_hWnd);
    }
}

TEST(Dialog, TemplatesComeFromTheResourceModule)
{
    HMODULE library = ::LoadLibraryW((TestExeFolder() + L"\\FrameworkTestLanguage.dll").c_str());
    ASSERT_NE(nullptr, library);
    SetResourceModule(library);
    CTestDialog dialog;
    CDialogWatcher watch([](HWND dlg) { ClickDialogButton(dlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    SetResourceModule(nullptr);
    ::FreeLibrary(library);
    EXPECT_EQ(L"Language dialog", dialog.captionAtInit);
}

TEST(Dialog, ModalDialogFromATemplateInMemory)
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    CDialogTemplate memoryTemplate(style, 0, 0, 0, 120, 60, L"In memory");
    CTestDialog dialog;
    DWORD styleSeen = 0;
    CDialogWatcher watch([&](HWND dlg) {
        styleSeen = static_cast<DWORD>(::GetWindowLongW(dlg, GWL_STYLE));
        ::SendMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModalIndirect(memoryTemplate.Get(), nullptr, 5));
    EXPECT_EQ(L"In memory", dialog.captionAtInit);
    EXPECT_EQ(5, dialog.initParam);
    EXPECT_EQ(WS_CAPTION | WS_SYSMENU, styleSeen & (WS_CAPTION | WS_SYSMENU));
}

// A modeless dialog that registers with the thread's loop as the main dialog does.
class CModelessDialog : public CDialogImpl<CModelessDialog>, public CMessageFilter, public CIdleHandler
{
public:
    enum { IDD = IDD_TEST_DIALOG };
    int filtered = 0;
    int keyDownsFiltered = 0;
    int idleCalls = 0;
    bool destroyed = false;

    BEGIN_MSG_MAP(CModelessDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

    BOOL PreTranslateMessage(MSG* msg) override
    {
        ++filtered;
        if (msg->message == WM_KEYDOWN)
            ++keyDownsFiltered;
        return ::IsDialogMessageW(m_hWnd, msg);
    }
    BOOL OnIdle() override
    {
        // The first idle moment presses Enter in the edit box: the filter's IsDialogMessage turns
        // it into IDOK.
        if (idleCalls++ == 0)
            ::PostMessageW(GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0);
        return FALSE;
    }
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        CMessageLoop* loop = g_Module.GetMessageLoop();
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
        return TRUE;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
    {
        CMessageLoop* loop = g_Module.GetMessageLoop();
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
        destroyed = true;
        return 0;
    }
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&)
    {
        DestroyWindow();
        ::PostQuitMessage(id);
        return 0;
    }
};

TEST(MessageLoop, ModelessDialogRunsWithItsFilterAndIdleHandler)
{
    CMessageLoop loop;
    ASSERT_TRUE(g_Module.AddMessageLoop(&loop));
    EXPECT_FALSE(g_Module.AddMessageLoop(&loop)) << "one loop per thread";
    CModelessDialog dialog;
    ASSERT_NE(nullptr, dialog.Create(nullptr));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(IDOK, loop.Run());
    EXPECT_TRUE(dialog.destroyed);
    EXPECT_GE(dialog.idleCalls, 1);
    EXPECT_EQ(1, dialog.keyDownsFiltered);
    // Removed while the loop ran: a further message reaches no filter.
    int filteredBefore = dialog.filtered;
    MSG msg = {};
    EXPECT_FALSE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(filteredBefore, dialog.filtered);
    EXPECT_TRUE(g_Module.RemoveMessageLoop());
    EXPECT_EQ(nullptr, g_Module.GetMessageLoop());
}

TEST(MessageLoop, IdleProcessingIsDueAfterActivityButNotAfterMovesPaintsAndTheCaretTimer)
{
    struct Case { UINT message; bool idle; };
    const Case cases[] = {{WM_KEYDOWN, true}, {WM_TIMER, true}, {WM_APP, true}, {WM_MOUSEMOVE, false},
                          {WM_NCMOUSEMOVE, false}, {WM_PAINT, false}, {0x0118, false}};
    for (const Case& c : cases) {
        MSG msg = {};
        msg.message = c.message;
        EXPECT_EQ(c.idle, CMessageLoop::IsIdleMessage(msg)) << c.message;
    }
}

class CTestPage : public CPropertyPage
{
public:
    CTestPage(UINT templateId, UINT titleId) : CPropertyPage(templateId, titleId) {}
    int initialised = 0;
    int applied = 0;
    int killActive = 0;
    int released = 0;
    bool windowGoneAtRelease = false;

    BEGIN_MSG_MAP(CTestPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(CPropertyPage)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) { ++initialised; return TRUE; }
    int OnApply() override { ++applied; return PSNRET_NOERROR; }
    BOOL OnKillActive() override { ++killActive; return FALSE; }
    void OnPageRelease() override
    {
        ++released;
        windowGoneAtRelease = m_hWnd == nullptr;
    }
};

TEST(PropertySheet, TwoPagesApplyOnOkAndEveryPageIsReleased)
{
    RECT ownerRect = {100, 100, 700, 500};
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, ownerRect.left, ownerRect.top,
                                   600, 400, nullptr, nullptr, nullptr, nullptr);
    CTestPage one(IDD_TEST_PAGE_ONE, IDS_TEST_PAGE_ONE);
    CTestPage two(IDD_TEST_PAGE_TWO, IDS_TEST_PAGE_TWO);
    CTestPage never(IDD_TEST_PAGE_TWO, IDS_TEST_PAGE_THREE);   // added, never shown
    CPropertySheet sheet(IDS_TEST_SHEET);
    ASSERT_TRUE(sheet.AddPage(one));
    ASSERT_TRUE(sheet.AddPage(two));
    ASSERT_TRUE(sheet.AddPage(never));

    std::wstring caption;
    std::wstring secondTab;
    RECT sheetRect = {};
    CDialogWatcher watch([&](HWND dlg) {
        caption = WindowText(dlg);
        ::GetWindowRect(dlg, &sheetRect);
        HWND tabs = PropSheet_GetTabControl(dlg);
        wchar_t text[32] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 32;
        TabCtrl_GetItem(tabs, 1, &item);
        secondTab = text;
        PropSheet_SetCurSel(dlg, nullptr, 1);   // show the second page
        PropSheet_Changed(dlg, two.m_hWnd);
        ClickDialogButton(dlg, IDOK);
    });
    INT_PTR result = sheet.DoModal(owner);
    EXPECT_GT(result, 0);

    EXPECT_EQ(L"Test sheet", caption.substr(0, 10));
    EXPECT_EQ(L"Second", secondTab);
    const int ownerCentreX = (ownerRect.left + 700) / 2;
    const int ownerCentreY = (ownerRect.top + 500) / 2;
    EXPECT_NEAR(ownerCentreX, (sheetRect.left + sheetRect.right) / 2, 2);
    EXPECT_NEAR(ownerCentreY, (sheetRect.top + sheetRect.bottom) / 2, 2);

    EXPECT_EQ(1, one.initialised);
    EXPECT_EQ(1, two.initialised);
    EXPECT_EQ(0, never.initialised);
    EXPECT_EQ(1, one.applied);
    EXPECT_EQ(1, two.applied);
    EXPECT_EQ(0, never.applied);
    EXPECT_GE(two.killActive, 1);
    for (CTestPage* page : {&one, &two, &never}) {
        EXPECT_EQ(1, page->released);
        EXPECT_TRUE(page->windowGoneAtRelease);
    }
    ::DestroyWindow(owner);
}

}  // namespace
