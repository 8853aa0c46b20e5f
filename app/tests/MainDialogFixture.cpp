#include "app/tests/MainDialogFixture.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "core/AppPaths.h"
#include "core/RegSettings.h"
#include "framework/AxHost.h"
#include "framework/FrameworkModule.h"
#include "tests/support/DialogWatcher.h"
#include "widgets/MarkupMessageBoxTemplate.h"

void ClearLyrantKey()
{
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tarnwick");
}

MainDialogFixture::MainDialogFixture()
{
    static bool once = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        CoInitialize(nullptr);
        RegisterAxHostClass();
        return true;
    }();
    (void)once;
    g_Module.AddMessageLoop(&loop);
}

MainDialogFixture::~MainDialogFixture()
{
    Close();
    if (g_MainDlg == dialog.get())
        g_MainDlg = nullptr;
    g_Module.RemoveMessageLoop();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageW(&msg);
    }
}

bool MainDialogFixture::Open()
{
    dialog = std::make_unique<CMainDlg>();
    g_MainDlg = dialog.get();
    if (!dialog->Create(nullptr))
        return false;
    ShowWindow(Window(), SW_SHOWNORMAL);
    UpdateWindow(Window());
    return true;
}

void MainDialogFixture::Close()
{
    if (dialog && IsWindow(Window()))
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

std::wstring MainDialogFixture::ComboText(int comboId, int index) const
{
    wchar_t text[256] = {};
    if (SendMessageW(Item(comboId), CB_GETLBTEXTLEN, index, 0) >= 255)
        return L"";
    SendMessageW(Item(comboId), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring MainDialogFixture::SelectedText(int comboId) const
{
    int selection = Selection(comboId);
    return selection < 0 ? L"" : ComboText(comboId, selection);
}

int MainDialogFixture::Selection(int comboId) const
{
    return static_cast<int>(SendMessageW(Item(comboId), CB_GETCURSEL, 0, 0));
}

int MainDialogFixture::ComboCount(int comboId) const
{
    return static_cast<int>(SendMessageW(Item(comboId), CB_GETCOUNT, 0, 0));
}

bool MainDialogFixture::SelectContaining(int comboId, const wchar_t* text)
{
    for (int i = 0; i < ComboCount(comboId); ++i) {
        if (ComboText(comboId, i).find(text) != std::wstring::npos) {
            SendMessageW(Item(comboId), CB_SETCURSEL, i, 0);
            return true;
        }
    }
    return false;
}

void MainDialogFixture::Press(int buttonId)
{
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(Item(buttonId)));
}

int MainDialogFixture::MeterPos(int meterId) const
{
    return static_cast<int>(SendMessageW(Item(meterId), PBM_GETPOS, 0, 0));
}

std::wstring MainDialogFixture::Text(int id) const
{
    wchar_t text[256] = {};
    GetWindowTextW(Item(id), text, 256);
    return text;
}

namespace {
thread_local BoxAnswerer* t_answerer = nullptr;
}

BoxAnswerer::BoxAnswerer(std::wstring caption, int buttonId) : m_caption(std::move(caption)), m_buttonId(buttonId)
{
    EnumThreadWindows(GetCurrentThreadId(), &Existing, reinterpret_cast<LPARAM>(this));
    t_answerer = this;
    m_timer = SetTimer(nullptr, 0, 20, &OnTimer);
}

BoxAnswerer::~BoxAnswerer()
{
    KillTimer(nullptr, m_timer);
    t_answerer = nullptr;
}

BOOL CALLBACK BoxAnswerer::Existing(HWND window, LPARAM self)
{
    reinterpret_cast<BoxAnswerer*>(self)->m_existing.push_back(window);
    return TRUE;
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (t_answerer && t_answerer->m_timer == id)
        EnumThreadWindows(GetCurrentThreadId(), &Answer, reinterpret_cast<LPARAM>(t_answerer));
}

BOOL CALLBACK BoxAnswerer::Answer(HWND window, LPARAM self)
{
    auto* answerer = reinterpret_cast<BoxAnswerer*>(self);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    // Only top-level windows are enumerated; a box already answered may still show while it closes.
    if (!IsWindowVisible(window) || window == answerer->m_last || answerer->m_caption != caption)
        return TRUE;
    for (HWND existing : answerer->m_existing)
        if (existing == window)
            return TRUE;
    answerer->m_last = window;
    // Pressed as a click presses it; a box without such a child still takes the command.
    if (HWND button = GetDlgItem(window, answerer->m_buttonId))
        SendMessageW(button, BM_CLICK, 0, 0);
    else
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(answerer->m_buttonId, BN_CLICKED), 0);
    ++answerer->m_answered;
    return FALSE;
}

std::wstring ChannelNotStartedCaption(int channel)
{
    return FormatResString(IDS_CHANNEL_NOT_STARTED, "d", channel + 1);
}

std::function<void(HWND)> ReadAndCloseBox(ShownBox& shown)
{
    return [&shown](HWND box) {
        shown.owner = GetWindow(box, GW_OWNER);
        wchar_t caption[256] = {};
        GetWindowTextW(box, caption, 256);
        shown.caption = caption;
        if (CMarkupMessageBoxTemplate* template_ = CMarkupMessageBoxTemplate::FromWindow(box))
            shown.text = template_->MessageText();
        ClickDialogButton(box, IDOK);
    };
}
