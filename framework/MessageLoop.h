#pragma once
#include <windows.h>
#include <vector>

// A window that wants to see messages before they are dispatched (keyboard navigation of a
// modeless dialog: IsDialogMessage). TRUE means the message was taken.
class CMessageFilter
{
public:
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
};

// Work done when the thread's queue runs empty. The result is ignored by the loop.
class CIdleHandler
{
public:
    virtual BOOL OnIdle() = 0;
};

// A thread's message loop: message filters (newest first) see every message before
// TranslateMessage/DispatchMessage; idle handlers run once each time the queue runs empty after a
// message that counts as activity. Filters and handlers may be added or removed from inside them.
class CMessageLoop
{
public:
    BOOL AddMessageFilter(CMessageFilter* filter);
    BOOL RemoveMessageFilter(CMessageFilter* filter);
    BOOL AddIdleHandler(CIdleHandler* handler);
    BOOL RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam.
    int Run();

    // Offers a message to the filters; TRUE when one took it.
    BOOL PreTranslateMessage(MSG* msg);
    // Calls every idle handler once.
    void OnIdle();
    // Whether idle processing becomes due after this message (not after mouse moves, paints and
    // the caret blink timer).
    static bool IsIdleMessage(const MSG& msg);

private:
    void Compact();
    std::vector<CMessageFilter*> m_filters;   // removed entries are null until compacted
    std::vector<CIdleHandler*> m_idleHandlers;
    int m_iterating = 0;
};
