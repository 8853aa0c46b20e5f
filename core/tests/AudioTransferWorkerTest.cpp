#include <gtest/gtest.h>

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

TEST(TransferChannel, SettingsThatCannotWorkLeaveTheChannelIdleWithoutAWorker)
{
    CTransferChannel channel;
    TransferSettings settings;
    settings.channels = 6;
    EXPECT_FALSE(channel.Start(settings));
    EXPECT_FALSE(channel.IsRunning());
    EXPECT_EQ(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.engine.threadId, 0u);
    EXPECT_EQ(channel.engine.hWaveIn, nullptr);
}

TEST(TransferChannel, DevicesThatFailToOpenStillCountAsRunningUntilStopped)
{
    CTransferChannel channel;
    TransferSettings settings;
    settings.inputDevice = 0x7FFF;
    settings.outputDevice = 0x7FFF;
    ASSERT_TRUE(channel.Start(settings));
    EXPECT_TRUE(channel.IsRunning());
    EXPECT_NE(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.Meters().queuedIn, 10);  // counted as queued on a capture that never returns them
    channel.Stop();
    EXPECT_FALSE(channel.IsRunning());
    EXPECT_EQ(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.engine.flags, 0u);
}

}  // namespace
