#include "tests/support/DialogWatcher.h"

#include <cwchar>

namespace {
thread_local CDialogWatcher* t_watcher = nullptr;

bool IsDialogWindow(HWND window)
{
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wcscmp(name, L"#32770") == 0;
}
}

CDialogWatcher::CDialogWatcher(std::function<void(HWND)> action, UINT periodMs) : m_action(std::move(action))
{
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectExisting, reinterpret_cast<LPARAM>(this));
    m_outer = t_watcher;
    t_watcher = this;
    m_timer = ::SetTimer(nullptr, 0, periodMs, &OnTimer);
}

CDialogWatcher::~CDialogWatcher()
{
    if (m_timer != 0)
        ::KillTimer(nullptr, m_timer);
    t_watcher = m_outer;
}

BOOL CALLBACK CDialogWatcher::CollectExisting(HWND window, LPARAM self)
{
    auto* watcher = reinterpret_cast<CDialogWatcher*>(self);
    if (watcher->m_existingCount < 64)
        watcher->m_existing[watcher->m_existingCount++] = window;
    return TRUE;
}

BOOL CALLBACK CDialogWatcher::FindNew(HWND window, LPARAM self)
{
    auto* watcher = reinterpret_cast<CDialogWatcher*>(self);
    for (int i = 0; i < watcher->m_existingCount; ++i)
        if (watcher->m_existing[i] == window)
            return TRUE;
    if (IsDialogWindow(window) && ::IsWindowVisible(window)) {
        watcher->m_caught = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CDialogWatcher::OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    CDialogWatcher* watcher = t_watcher;
    if (watcher == nullptr || watcher->m_timer != id || watcher->m_caught != nullptr)
        return;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindNew, reinterpret_cast<LPARAM>(watcher));
    if (watcher->m_caught == nullptr)
        return;
    ::KillTimer(nullptr, watcher->m_timer);
    watcher->m_timer = 0;
    watcher->m_action(watcher->m_caught);
}

void ClickDialogButton(HWND dialog, int buttonId)
{
    ::SendMessageW(::GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        PumpMessagesFor(10);
    }
    return true;
}

bool PlaceCursor(POINT screen)
{
    // Wine applies the move through the display server, and a late event of an earlier move can
    // still put the cursor back: set it until it reads back and stays there for a moment.
    auto there = [&] {
        POINT now;
        return ::GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    };
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 3000) {
        if (!::SetCursorPos(screen.x, screen.y))
            return false;
        if (PumpMessagesUntil(there, 1000)) {
            PumpMessagesFor(40);
            if (there())
                return true;
        }
    }
    return false;
}
