#include <gtest/gtest.h>

#include <string>

#include "core/AudioTransfer.h"
#include "core/TransferChannel.h"

// The worker thread without devices: blocks are handed to it as the devices would.

namespace {

constexpr DWORD kWaitMs = 5000;

WAVEHDR* NewBlock(CAudioTransfer& engine, DWORD bytes)
{
    WAVEHDR* block = static_cast<WAVEHDR*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WAVEHDR) + bytes));
    block->lpData = reinterpret_cast<LPSTR>(block + 1);
    block->dwBufferLength = bytes;
    block->dwUser = reinterpret_cast<DWORD_PTR>(&engine);
    ++engine.liveBuffers;
    return block;
}

bool WaitFor(volatile DWORD& value, DWORD expected)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(1))
        if (value == expected)
            return true;
    return false;
}

struct Worker
{
    explicit Worker(CAudioTransfer& engine) : engine(engine)
    {
        engine.hQueueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        engine.hThread = CreateThread(nullptr, 0, AudioTransferWorkerThreadProc, &engine, 0, &engine.threadId);
        ready = WaitForSingleObject(engine.hQueueReady, kWaitMs) == WAIT_OBJECT_0;
        CloseHandle(engine.hQueueReady);
        engine.hQueueReady = nullptr;
    }
    ~Worker()
    {
        PostThreadMessageW(engine.threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(engine.hThread, kWaitMs);
        CloseHandle(engine.hThread);
        engine.hThread = nullptr;
    }
    CAudioTransfer& engine;
    bool ready = false;
};

TEST(AudioTransferWorker, SignalsOnlyOnceItsQueueTakesNotifications)
{
    CAudioTransfer engine;
    engine.flags = TRANSFER_STOPPING;
    Worker worker(engine);
    ASSERT_TRUE(worker.ready);
    // Right after the signal: a notification is not lost, and a stopping channel frees the block.
    WAVEHDR* block = NewBlock(engine, 64);
    engine.queuedIn = 1;
    ASSERT_TRUE(PostThreadMessageW(engine.threadId, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(block)));
    EXPECT_TRUE(WaitFor(engine.liveBuffers, 0));
    EXPECT_EQ(engine.queuedIn, 0);
}

TEST(AudioTransferWorker, WithoutPlaybackDeviceTheBlockIsMeasuredAndGoesBackToCapture)
{
    CAudioTransfer engine;
    engine.format.Format.nChannels = 2;
    engine.format.Format.wBitsPerSample = 16;
    engine.format.Format.nBlockAlign = 4;
    engine.bufferBytes = 400;
    Worker worker(engine);
    ASSERT_TRUE(worker.ready);
    WAVEHDR* block = NewBlock(engine, 400);
    short* samples = reinterpret_cast<short*>(block->lpData);
    for (int i = 0; i < 200; i += 2) {
        samples[i] = 16384;
        samples[i + 1] = -8192;
    }
    block->dwBytesRecorded = 400;
    engine.queuedIn = 1;
    PostThreadMessageW(engine.threadId, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(block));
    EXPECT_TRUE(WaitFor(engine.levels[1], 1u << 29));
    EXPECT_EQ(engine.levels[0], 1u << 30);
    for (DWORD start = GetTickCount(); engine.queuedIn != 1 && GetTickCount() - start < kWaitMs;)
        Sleep(1);
    EXPECT_EQ(engine.queuedIn, 1);  // requeued on capture through the worker's own MM_WOM_DONE
    EXPECT_EQ(engine.queuedOut, 0);
    EXPECT_EQ(block->dwBufferLength, 400u);
    engine.FreeBuffer(block);
    EXPECT_EQ(engine.liveBuffers, 0u);
}

}  // namespace

namespace {

struct FormatCase
{
    const char* name;
    DWORD bufferNum, bufferLenMs, channels, bits, rate;
    TransferProblem problem;
};

// Around each limit: the last value the engine takes and the first it refuses.
const FormatCase kFormatCases[] = {
    {"Defaults", 10, 200, 2, 16, 44100, TransferProblem::None},
    {"Extremes", 1, 10, 1, 8, 8000, TransferProblem::None},
    {"OtherExtremes", 1000, 2000, 2, 32, 192000, TransferProblem::None},
    {"NoBuffers", 0, 200, 2, 16, 44100, TransferProblem::BufferNum},
    {"MoreBuffersThanAQueueHolds", 1001, 200, 2, 16, 44100, TransferProblem::BufferNum},
    {"RingTooShort", 10, 9, 2, 16, 44100, TransferProblem::BufferLenMs},
    {"RingPast32BitBytes", 10, 2001, 2, 16, 44100, TransferProblem::BufferLenMs},
    {"NoChannels", 10, 200, 0, 16, 44100, TransferProblem::Channels},
    {"ThreeChannels", 10, 200, 3, 16, 44100, TransferProblem::Channels},
    {"TwelveBits", 10, 200, 2, 12, 44100, TransferProblem::BitsPerSample},
    {"NoBits", 10, 200, 2, 0, 44100, TransferProblem::BitsPerSample},
    {"RateOne", 10, 200, 2, 16, 1, TransferProblem::SampleRate},
    {"RateBelowRange", 10, 200, 2, 16, 7999, TransferProblem::SampleRate},
    {"RateAboveRange", 10, 200, 2, 16, 192001, TransferProblem::SampleRate},
    {"RateWrappedFrom64Bits", 10, 200, 2, 16, 0xFFFFFFFF, TransferProblem::SampleRate},
};

class TransferChannelFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TransferChannelFormat, CheckedBeforeAnyDeviceOrWorker)
{
    const FormatCase& c = GetParam();
    TransferSettings settings;
    settings.bufferNum = c.bufferNum;
    settings.bufferLenMs = c.bufferLenMs;
    settings.channels = c.channels;
    settings.bitsPerSample = c.bits;
    settings.sampleRate = c.rate;
    EXPECT_EQ(CheckTransferSettings(settings), c.problem);
    if (c.problem == TransferProblem::None)
        return;
    CTransferChannel channel;
    TransferFailure failure;
    EXPECT_FALSE(channel.Start(settings, &failure));
    EXPECT_EQ(failure.problem, c.problem);
    EXPECT_FALSE(channel.IsRunning());
    EXPECT_EQ(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.engine.threadId, 0u);
    EXPECT_EQ(channel.engine.hWaveIn, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Limits, TransferChannelFormat, ::testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TransferChannel, InputThatDoesNotOpenLeavesTheChannelIdleAndSaysWhy)
{
    CTransferChannel channel;
    TransferSettings settings;
    settings.inputDevice = 0x7FFF;
    settings.outputDevice = 0x7FFF;
    TransferFailure failure;
    EXPECT_FALSE(channel.Start(settings, &failure));
    EXPECT_EQ(failure.problem, TransferProblem::InputDevice);
    EXPECT_EQ(failure.deviceError, static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_FALSE(channel.IsRunning());
    EXPECT_EQ(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.engine.flags, 0u);
    EXPECT_EQ(channel.engine.hWaveOut, nullptr);
    // The ring queued on a device that never opened is freed, not left to a device that will never
    // hand it back.
    EXPECT_EQ(channel.engine.liveBuffers, 0u);
    EXPECT_EQ(channel.engine.queuedIn, 0);
    // A start that failed leaves nothing behind that would stop the next one.
    EXPECT_FALSE(channel.Start(settings, &failure));
    EXPECT_EQ(failure.problem, TransferProblem::InputDevice);
    EXPECT_EQ(channel.engine.liveBuffers, 0u);
}

}  // namespace
