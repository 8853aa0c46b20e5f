// Many starts and stops of one channel on the harness's real wave devices: every start, whether it
// routes or its capture device fails, must give back all it took. The figures go to stdout.
// LYRANT_SOAK_CYCLES and LYRANT_SOAK_FAILED_STARTS change the counts for a run by hand.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "core/TransferChannel.h"
#include "tests/support/PulseAudioIo.h"

namespace {

constexpr wchar_t kInputA[] = L"Monitor of Lyrant Speakers A";
constexpr wchar_t kOutputB[] = L"Lyrant Speakers B";
constexpr UINT kNoSuchDevice = 0x7FFF;
constexpr int kCycles = 1000;
constexpr int kFailedStarts = 200;
constexpr int kWarmUp = 10;
constexpr DWORD kRunMs = 30;          // each routing cycle runs this long: blocks go round
// What the process may hold more after the soak than before it, of what Wine and the sound
// server's client keep for themselves. One leaked ring of the defaults is 35 KB; one block per
// cycle would be 3.5 MB.
constexpr SIZE_T kPrivateSlackBytes = 256 * 1024;
constexpr DWORD kHandleSlack = 4;
// Wine's wave streams commit memory of their own and give it back at their own pace: the private
// bytes of a process without any leak were seen to step up once by 3 MB. The engine's blocks come
// from the process heap, whose busy bytes are held to the tight slack above.
constexpr SIZE_T kPlatformPrivateSlackBytes = 4 * 1024 * 1024;

// Handle values the probe looks at, when the system does not count a process's handles itself.
constexpr ULONG_PTR kHandleProbeEnd = 0x10000;

struct Usage
{
    SIZE_T privateBytes = 0;     // the process's private bytes, as the system reports them
    SIZE_T committedPrivate = 0; // committed private pages, counted region by region
    SIZE_T heapBusy = 0;         // bytes in use in the process heap
    DWORD handles = 0;
};

// GetProcessHandleCount's figure; where the system gives none (Wine answers 0), the handles that
// answer GetHandleInformation.
DWORD HandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < kHandleProbeEnd; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    return count;
}

SIZE_T CommittedPrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof(info)) == sizeof(info);) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

SIZE_T HeapBusyBytes()
{
    HANDLE heap = GetProcessHeap();
    SIZE_T busy = 0;
    if (!HeapLock(heap))
        return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            busy += entry.cbData;
    HeapUnlock(heap);
    return busy;
}

Usage Measure()
{
    Usage usage;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters)))
        usage.privateBytes = counters.PrivateUsage;
    usage.committedPrivate = CommittedPrivateBytes();
    // Wine reports no private usage: the committed private pages are the same figure.
    if (usage.privateBytes == 0)
        usage.privateBytes = usage.committedPrivate;
    usage.heapBusy = HeapBusyBytes();
    usage.handles = HandleCount();
    return usage;
}

void Print(const char* when, const Usage& usage)
{
    std::printf("soak %-7s private_bytes %llu committed_private %llu heap_busy %llu handles %lu\n", when,
                static_cast<unsigned long long>(usage.privateBytes),
                static_cast<unsigned long long>(usage.committedPrivate),
                static_cast<unsigned long long>(usage.heapBusy), static_cast<unsigned long>(usage.handles));
    std::fflush(stdout);
}

int CountFromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

TransferSettings Routing()
{
    TransferSettings settings;
    settings.inputDevice = static_cast<UINT>(FindWaveIn(kInputA));
    settings.outputDevice = static_cast<UINT>(FindWaveOut(kOutputB));
    return settings;
}

// One start and stop of a routing channel; false when it did not start or kept a block.
bool RoutingCycle(CTransferChannel& channel, const TransferSettings& settings)
{
    if (!channel.Start(settings))
        return false;
    Sleep(kRunMs);
    channel.Stop();
    return channel.engine.liveBuffers == 0 && !channel.engine.hThread;
}

// One start whose capture device does not open; false when it started or kept a block.
bool FailedStart(CTransferChannel& channel, const TransferSettings& settings)
{
    TransferFailure failure;
    bool started = channel.Start(settings, &failure);
    return !started && failure.problem == TransferProblem::InputDevice && channel.engine.liveBuffers == 0 &&
           !channel.engine.hThread;
}

}  // namespace

TEST(AudioTransferSoak, StartsAndStopsGiveBackTheirMemoryAndHandles)
{
    const int cycles = CountFromEnvironment("LYRANT_SOAK_CYCLES", kCycles);
    const int failedStarts = CountFromEnvironment("LYRANT_SOAK_FAILED_STARTS", kFailedStarts);
    TransferSettings routing = Routing();
    ASSERT_NE(routing.inputDevice, static_cast<UINT>(-1));
    ASSERT_NE(routing.outputDevice, static_cast<UINT>(-1));
    TransferSettings noCapture = routing;
    noCapture.inputDevice = kNoSuchDevice;

    CTransferChannel channel;
    // What Wine and the sound server's client make once per process is made before counting.
    for (int i = 0; i < kWarmUp; ++i) {
        RoutingCycle(channel, routing);
        FailedStart(channel, noCapture);
    }
    const Usage before = Measure();
    Print("before", before);

    DWORD start = GetTickCount();
    int badCycles = 0;
    for (int i = 0; i < cycles; ++i)
        badCycles += RoutingCycle(channel, routing) ? 0 : 1;
    const Usage afterCycles = Measure();
    Print("cycles", afterCycles);
    int badStarts = 0;
    for (int i = 0; i < failedStarts; ++i)
        badStarts += FailedStart(channel, noCapture) ? 0 : 1;
    const Usage after = Measure();
    Print("after", after);
    std::printf("soak %d routing cycles and %d failed starts in %lu ms\n", cycles, failedStarts,
                static_cast<unsigned long>(GetTickCount() - start));

    EXPECT_EQ(badCycles, 0);
    EXPECT_EQ(badStarts, 0);
    EXPECT_LE(after.heapBusy, before.heapBusy + kPrivateSlackBytes);
    EXPECT_LE(after.committedPrivate, before.committedPrivate + kPlatformPrivateSlackBytes);
    EXPECT_LE(after.privateBytes, before.privateBytes + kPlatformPrivateSlackBytes);
    EXPECT_LE(after.handles, before.handles + kHandleSlack);
    // The failed starts alone: each of them used to leave its whole ring behind.
    EXPECT_LE(after.heapBusy, afterCycles.heapBusy + kPrivateSlackBytes);
}
