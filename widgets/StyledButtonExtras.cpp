// The owner-drawn button's extras: tooltip, URL, cursor, drop-down menu and sounds.
#include "widgets/StyledButton.h"
#include "core/ResourceModule.h"

#include <mmsystem.h>
#include <cwchar>

namespace {

const wchar_t* TextOrResource(const wchar_t* text)
{
    if (text != nullptr && HIWORD(reinterpret_cast<UINT_PTR>(text)) == 0) {
        static wchar_t loaded[512];
        loaded[0] = 0;
        ::LoadStringW(GetResourceModule(), LOWORD(reinterpret_cast<UINT_PTR>(text)), loaded, 512);
        return loaded;
    }
    return text;
}

void CopyBounded(wchar_t* target, const wchar_t* source, size_t count)
{
    if (source == nullptr) {
        target[0] = 0;
        return;
    }
    std::wcsncpy(target, source, count - 1);
    target[count - 1] = 0;
}

}  // namespace

DWORD CStyledButton::SetURL(const wchar_t* url)
{
    CopyBounded(m_url, url, kTextChars);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetCursorFromResource(int id, HMODULE module)
{
    HCURSOR cursor = static_cast<HCURSOR>(::LoadImageW(module != nullptr ? module : GetResourceModule(),
                                                       MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, 0));
    if (cursor == nullptr)
        return kStyledButtonLoadFailed;
    if (m_ownCursor && m_cursor != nullptr)
        ::DestroyCursor(m_cursor);
    m_cursor = cursor;
    m_ownCursor = true;
    return kStyledButtonOk;
}

DWORD CStyledButton::EnableBalloonTooltip()
{
    m_tooltipStyle |= TTS_BALLOON;
    return kStyledButtonOk;
}

DWORD CStyledButton::SetTooltipText(const wchar_t* text, bool activate)
{
    if (m_hWnd == nullptr)
        return kStyledButtonOk;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = 1;
    if (m_tooltip == nullptr) {
        m_tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | m_tooltipStyle, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
        if (m_tooltip == nullptr)
            return kStyledButtonLoadFailed;
        ::SendMessageW(m_tooltip, TTM_ACTIVATE, FALSE, 0);
        ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
        GetClientRect(&tool.rect);
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tool.lpszText = const_cast<wchar_t*>(TextOrResource(text) != nullptr ? TextOrResource(text) : L"");
    ::SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tooltip, TTM_ACTIVATE, activate, 0);
    return kStyledButtonOk;
}

LRESULT CStyledButton::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    // The tip's tool is the whole button, at its new size.
    if (m_tooltip != nullptr) {
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = m_hWnd;
        tool.uId = 1;
        GetClientRect(&tool.rect);
        ::SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    bHandled = FALSE;   // the background copy goes too
    return 0;
}

DWORD CStyledButton::ActivateTooltip(bool activate)
{
    if (m_tooltip != nullptr)
        ::SendMessageW(m_tooltip, TTM_ACTIVATE, activate, 0);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetMenu(HMENU menu, bool repaint)
{
    m_menu = menu;
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetMenuCallback(HWND window, UINT message, LPARAM param)
{
    m_menuCallbackWindow = window;
    m_menuCallbackMessage = message;
    m_menuCallbackParam = param;
    return kStyledButtonOk;
}

DWORD CStyledButton::SetSound(const wchar_t* name, HMODULE module, bool click)
{
    Sound& sound = click ? m_clickSound : m_hoverSound;
    sound = Sound();
    if (name != nullptr && HIWORD(reinterpret_cast<UINT_PTR>(name)) == 0) {
        sound.id = LOWORD(reinterpret_cast<UINT_PTR>(name));
        sound.module = module != nullptr ? module : GetResourceModule();
    } else {
        CopyBounded(sound.name, name, kTextChars);
    }
    return kStyledButtonOk;
}

void CStyledButton::PlaySoundOf(const Sound& sound)
{
    if (sound.id != 0)
        ::PlaySoundW(MAKEINTRESOURCEW(sound.id), sound.module, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    else if (sound.name[0] != 0)
        ::PlaySoundW(sound.name, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void CStyledButton::TrackMenu()
{
    HMENU submenu = ::GetSubMenu(m_menu, 0);
    if (submenu == nullptr)
        return;
    m_menuShowing = true;
    Invalidate();
    UpdateWindow();
    if (m_menuCallbackWindow != nullptr)
        ::SendMessageW(m_menuCallbackWindow, m_menuCallbackMessage, reinterpret_cast<WPARAM>(submenu),
                       m_menuCallbackParam);
    RECT window;
    GetWindowRect(&window);
    HWND parent = GetParent();
    const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(submenu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                                             window.left, window.bottom, parent, nullptr));
    m_menuShowing = false;
    Invalidate();
    UpdateWindow();
    if (chosen != 0)
        ::PostMessageW(parent, WM_COMMAND, chosen, 0);
}
