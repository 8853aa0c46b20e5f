#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/UIThreadDispatcher.h"

namespace {

// The test's main thread ran static start-up, so it is the UI thread that owns the dispatcher window.
const DWORD g_UIThread = GetCurrentThreadId();

// Handles sent messages on the UI thread until done() or about five seconds have passed.
template <typename Done>
bool PumpUntil(Done done)
{
    for (int i = 0; i < 500 && !done(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    return done();
}

// Waits without handling messages, so that dispatches pile up.
template <typename Done>
bool WaitWithoutPumping(Done done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        Sleep(10);
    return done();
}

}  // namespace

TEST(UIThreadDispatcher, WindowIsAMessageOnlyWindowOfTheUIThread)
{
    HWND window = GetDispatcherWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), g_UIThread);
    EXPECT_EQ(GetParent(window), nullptr);  // message-only windows have no parent that GetParent shows
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, kDispatcherClassName, nullptr), window);
    EXPECT_EQ(GetDispatcherMessage(), RegisterWindowMessageW(kDispatcherMessageName));
    EXPECT_STRNE(kDispatcherClassName, kDispatcherMessageName);
}

TEST(UIThreadDispatcher, TwoQueuedWorksRunInOrderOnTheFirstMessage)
{
    CUIThreadDispatcher& dispatcher = CUIThreadDispatcher::Instance();
    std::vector<std::string> ran;
    std::vector<DWORD> threads;
    std::atomic<int> returned{0};
    auto work = [&](const char* name) {
        return [&, name] {
            ran.push_back(name);
            threads.push_back(GetCurrentThreadId());
        };
    };
    // The UI thread does not pump until both works are queued.
    std::thread first([&] { dispatcher.Dispatch(work("A"), true); ++returned; });
    ASSERT_TRUE(WaitWithoutPumping([&] { return dispatcher.PendingCount() == 1; }));
    std::thread second([&] { dispatcher.Dispatch(work("B"), true); ++returned; });
    ASSERT_TRUE(WaitWithoutPumping([&] { return dispatcher.PendingCount() == 2; }));
    EXPECT_TRUE(ran.empty());

    EXPECT_TRUE(PumpUntil([&] { return returned == 2; }));
    first.join();
    second.join();
    EXPECT_EQ(ran, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(threads, (std::vector<DWORD>{g_UIThread, g_UIThread}));
    EXPECT_EQ(dispatcher.PendingCount(), 0u);
}

TEST(UIThreadDispatcher, SynchronousDispatchReturnsAfterItsWorkRanOnTheUIThread)
{
    std::atomic<DWORD> workThread{0};
    std::atomic<bool> ranBeforeReturn{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        CUIThreadDispatcher::Instance().Dispatch(
            [&] {
                Sleep(50);  // a slow work: the caller must still wait for it
                workThread = GetCurrentThreadId();
            },
            false);
        ranBeforeReturn = workThread != 0;
        returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranBeforeReturn);
    EXPECT_EQ(workThread, g_UIThread);
}

TEST(UIThreadDispatcher, DispatchFromTheUIThreadRunsInsideTheSend)
{
    for (bool queued : {false, true}) {
        DWORD workThread = 0;
        CUIThreadDispatcher::Instance().Dispatch([&] { workThread = GetCurrentThreadId(); }, queued);
        EXPECT_EQ(workThread, g_UIThread) << "queued " << queued;
    }
}

TEST(UIThreadDispatcher, QueuedWorkThatDispatchesAgainDoesNotDeadlock)
{
    CUIThreadDispatcher& dispatcher = CUIThreadDispatcher::Instance();
    std::vector<std::string> ran;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatcher.Dispatch(
            [&] {
                ran.push_back("outer");
                dispatcher.Dispatch([&] { ran.push_back("inner queued"); }, true);
                dispatcher.Dispatch([&] { ran.push_back("inner sync"); }, false);
                ran.push_back("outer done");
            },
            true);
        returned = true;
    });
    bool finished = PumpUntil([&] { return returned.load(); });
    if (!finished) {
        worker.detach();  // a deadlocked UI thread would never let it go
        FAIL() << "the dispatch did not return";
    }
    worker.join();
    EXPECT_EQ(ran, (std::vector<std::string>{"outer", "inner queued", "inner sync", "outer done"}));
}

TEST(UIThreadDispatcher, DispatchArrivingDuringAQueuedWorksModalLoopRunsInsideIt)
{
    CUIThreadDispatcher& dispatcher = CUIThreadDispatcher::Instance();
    std::vector<std::string> ran;
    std::atomic<int> returned{0};
    std::thread second;
    std::thread first([&] {
        dispatcher.Dispatch(
            [&] {
                ran.push_back("modal begins");
                // Like a message box: another thread dispatches while this work pumps messages.
                second = std::thread([&] {
                    dispatcher.Dispatch([&] { ran.push_back("second"); }, true);
                    ++returned;
                });
                bool secondRan = PumpUntil([&] { return returned == 1; });
                ran.push_back(secondRan ? "modal ends" : "modal gave up");
            },
            true);
        ++returned;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned == 2; }));
    first.join();
    if (second.joinable())
        second.join();
    EXPECT_EQ(ran, (std::vector<std::string>{"modal begins", "second", "modal ends"}));
}

TEST(UIThreadDispatcher, OtherMessagesGoToTheDefaultProcedure)
{
    HWND window = GetDispatcherWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SetWindowTextW(window, L"probe"));
    wchar_t text[16] = {};
    GetWindowTextW(window, text, 16);
    EXPECT_STREQ(text, L"probe");
}
