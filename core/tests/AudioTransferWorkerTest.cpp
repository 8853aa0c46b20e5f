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

// Handles that winmm refuses: the worker's device calls fail harmlessly, and where each block went
// shows in the queue counts alone.
HWAVEIN const kNoWaveIn = reinterpret_cast<HWAVEIN>(1);
HWAVEOUT const kNoWaveOut = reinterpret_cast<HWAVEOUT>(1);

// A running channel's engine with playback started, the queues as given (the block about to
// arrive from capture still counted on capture).
void SetUpRouting(CAudioTransfer& engine, DWORD ring, LONG onCapture, LONG onPlayback)
{
    engine.bufferNum = ring;
    engine.bufferBytes = 64;
    engine.hWaveIn = kNoWaveIn;
    engine.hWaveOut = kNoWaveOut;
    engine.flags = TRANSFER_RUNNING | TRANSFER_OUTPUT_STARTED;
    engine.queuedIn = onCapture;
    engine.queuedOut = onPlayback;
}

// A block that goes back to capture leaves the counts as they were: the skips counted tell when
// the worker has taken it.
bool WaitForQueues(const CAudioTransfer& engine, LONG onCapture, LONG onPlayback, LONG rebalances)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitMs; Sleep(1))
        if (engine.queuedIn == onCapture && engine.queuedOut == onPlayback && engine.rebalances == rebalances)
            return true;
    return false;
}

// Where one recorded block goes: capture's count after it arrived, playback's before.
struct BalanceCase
{
    const char* name;
    DWORD ring;
    LONG leftOnCapture;
    LONG onPlayback;
    bool backToCapture;
};

const BalanceCase kBalanceCases[] = {
    {"Balanced", 10, 4, 5, false},
    {"CaptureEmptyOneBlockOnItsWayBack", 10, 0, 8, false},
    {"CaptureHoldsOneMore", 10, 1, 9, false},
    {"RingLeftOnPlayback", 10, 0, 9, true},
    {"FiveBlocksLeftOnPlayback", 5, 0, 4, true},
    // Four blocks and fewer: three on playback is the normal state of such a ring.
    {"FourBlocksTooShortToTell", 4, 0, 3, false},
    {"ThreeBlocksTooShortToTell", 3, 0, 2, false},
};

class AudioTransferBalance : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(AudioTransferBalance, RecordedBlockGoesToPlaybackUnlessTheRingIsLeftThere)
{
    const BalanceCase& c = GetParam();
    CAudioTransfer engine;
    WAVEHDR* block = NewBlock(engine, 64);
    {
        Worker worker(engine);
        ASSERT_TRUE(worker.ready);
        SetUpRouting(engine, c.ring, c.leftOnCapture + 1, c.onPlayback);
        block->dwBytesRecorded = 64;
        PostThreadMessageW(engine.threadId, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(block));
        if (c.backToCapture)
            EXPECT_TRUE(WaitForQueues(engine, c.leftOnCapture + 1, c.onPlayback, 1));
        else
            EXPECT_TRUE(WaitForQueues(engine, c.leftOnCapture, c.onPlayback + 1, 0));
        EXPECT_EQ(block->dwBufferLength, 64u);
    }
    engine.hWaveIn = nullptr;
    engine.hWaveOut = nullptr;
    engine.FreeBuffer(block);
}

INSTANTIATE_TEST_SUITE_P(Queues, AudioTransferBalance, ::testing::ValuesIn(kBalanceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AudioTransferWorker, RingLeftOnPlaybackSkipsUntilPlaybackHoldsHalfOfItAgain)
{
    CAudioTransfer engine;
    WAVEHDR* block = NewBlock(engine, 64);
    {
        Worker worker(engine);
        ASSERT_TRUE(worker.ready);
        // The state a stall leaves: capture runs dry, the other nine blocks wait on playback.
        LONG in = 1, out = 9;
        SetUpRouting(engine, 10, in, out);
        // Played blocks come back one at a time between recorded ones; the recorded ones go back to
        // capture until playback is down to five.
        for (int round = 0; round < 4; ++round) {
            block->dwBytesRecorded = 64;
            PostThreadMessageW(engine.threadId, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(block));
            ASSERT_TRUE(WaitForQueues(engine, in, out, 1)) << "round " << round;
            PostThreadMessageW(engine.threadId, MM_WOM_DONE, 0, reinterpret_cast<LPARAM>(block));
            ++in;
            --out;
            ASSERT_TRUE(WaitForQueues(engine, in, out, 1)) << "round " << round;
        }
        // Five on playback: recorded sound is played again, and the balance holds without a skip.
        ASSERT_EQ(out, 5);
        for (int round = 0; round < 3; ++round) {
            block->dwBytesRecorded = 64;
            PostThreadMessageW(engine.threadId, MM_WIM_DATA, 0, reinterpret_cast<LPARAM>(block));
            ASSERT_TRUE(WaitForQueues(engine, in - 1, out + 1, 1)) << "after, round " << round;
            PostThreadMessageW(engine.threadId, MM_WOM_DONE, 0, reinterpret_cast<LPARAM>(block));
            ASSERT_TRUE(WaitForQueues(engine, in, out, 1)) << "after, round " << round;
        }
    }
    engine.hWaveIn = nullptr;
    engine.hWaveOut = nullptr;
    engine.FreeBuffer(block);
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
