#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

// Hands work from any thread to the UI thread: the work is stored, a registered message is sent to
// a message-only window that the UI thread created at static start-up, and the UI thread runs the
// work inside that message. The caller waits (the message is sent) until the work has run.
class CUIThreadDispatcher
{
public:
    using Work = std::function<void()>;

    // The one process-wide instance, created on first use.
    static CUIThreadDispatcher& Instance();

    // queued: append to the queue; else the work goes into the single synchronous slot, which only
    // one thread at a time may use (the program has one such caller).
    void Dispatch(Work fn, bool queued);
    void OnDispatchMessage(WPARAM queued);

    // Entries waiting in the queue (for diagnostics and tests).
    size_t PendingCount();

private:
    CUIThreadDispatcher() = default;

    std::deque<Work> queue;
    std::mutex queueLock;
    Work syncSlot;
};

// The window class and message names: fixed texts of our own, so no other program collides.
extern const wchar_t kDispatcherClassName[];
extern const wchar_t kDispatcherMessageName[];

LRESULT CALLBACK DispatcherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The dispatcher window that static start-up created on the UI thread (null if creation failed).
HWND GetDispatcherWindow();
UINT GetDispatcherMessage();
