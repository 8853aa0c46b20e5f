#include "core/UIThreadDispatcher.h"

#include <utility>

const wchar_t kDispatcherClassName[] = L"6f1c2a8e-4b37-4d52-9e0a-3c7d15b8a6f4";
const wchar_t kDispatcherMessageName[] = L"b2d94e61-8a0f-47c3-a5e2-91f06c3d7b58";

namespace {

// Registers the class once and creates the window on the thread that runs static start-up (the
// UI thread), destroying it again at exit.
class CDispatcherWindow
{
public:
    CDispatcherWindow()
    {
        message = RegisterWindowMessageW(kDispatcherMessageName);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass = {};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = DispatcherWindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kDispatcherClassName;
        if (!GetClassInfoW(instance, kDispatcherClassName, &windowClass))
            RegisterClassW(&windowClass);
        window = CreateWindowExW(0, kDispatcherClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 instance, nullptr);
    }
    ~CDispatcherWindow()
    {
        if (window)
            DestroyWindow(window);
    }

    UINT message = 0;
    HWND window = nullptr;
};

CDispatcherWindow g_DispatcherWindow;

}  // namespace

HWND GetDispatcherWindow()
{
    return g_DispatcherWindow.window;
}

UINT GetDispatcherMessage()
{
    return g_DispatcherWindow.message;
}

CUIThreadDispatcher& CUIThreadDispatcher::Instance()
{
    static CUIThreadDispatcher instance;
    return instance;
}

void CUIThreadDispatcher::Dispatch(Work fn, bool queued)
{
    if (queued) {
        std::lock_guard<std::mutex> lock(queueLock);
        queue.push_back(std::move(fn));
    } else {
        syncSlot = std::move(fn);
    }
    SendMessageW(g_DispatcherWindow.window, g_DispatcherWindow.message, queued ? 1 : 0, 0);
}

void CUIThreadDispatcher::OnDispatchMessage(WPARAM queued)
{
    if (!queued) {
        Work work = std::move(syncSlot);
        syncSlot = nullptr;
        if (work)
            work();
    }
    // Each entry is taken out under the lock and run without it: work that dispatches again, or
    // shows a modal loop during which another dispatch arrives, must not wait for the lock.
    for (;;) {
        Work work;
        {
            std::lock_guard<std::mutex> lock(queueLock);
            if (queue.empty())
                break;
            work = std::move(queue.front());
            queue.pop_front();
        }
        work();
    }
}

size_t CUIThreadDispatcher::PendingCount()
{
    std::lock_guard<std::mutex> lock(queueLock);
    return queue.size();
}

LRESULT CALLBACK DispatcherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_DispatcherWindow.message && message != 0) {
        CUIThreadDispatcher::Instance().OnDispatchMessage(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
