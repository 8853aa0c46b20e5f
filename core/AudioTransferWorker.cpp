#include "core/AudioTransfer.h"

#include "core/LogFile.h"

// The data path of a channel: each block arrives from capture, is measured and shifted in place,
// goes to playback (or straight back when there is none) and returns to capture. Nothing is
// allocated here; once stopping, every block that comes back is freed.

namespace {

void RequeueOnCapture(CAudioTransfer& engine, WAVEHDR* block)
{
    block->dwBufferLength = engine.bufferBytes;
    waveInPrepareHeader(engine.hWaveIn, block, sizeof(WAVEHDR));
    waveInAddBuffer(engine.hWaveIn, block, sizeof(WAVEHDR));
    InterlockedIncrement(&engine.queuedIn);
}

// A stall of the process (or of playback) leaves the ring queued on playback: once it goes on,
// every block that comes back is filled at once and queued behind the others, so capture keeps
// running dry and the latency stays a whole ring for good. When capture has nothing left and
// playback holds at least two blocks more than the half it started with, recorded blocks go back
// to capture until playback is down to that half again: the sound skips once instead of breaking
// on and on. Rings too short to tell that state from their normal one are left as they are.
bool Rebalancing(CAudioTransfer& engine, LONG capturing)
{
    const LONG ring = static_cast<LONG>(engine.bufferNum);
    const LONG half = ring / 2;
    const LONG playing = engine.queuedOut;
    if (engine.rebalancing) {
        engine.rebalancing = playing > half;
    } else if (capturing <= 0 && playing >= ring - 1 && playing >= half + 2) {
        engine.rebalancing = true;
        InterlockedIncrement(&engine.rebalances);
    }
    return engine.rebalancing;
}

void OnCaptured(WAVEHDR* block)
{
    CAudioTransfer& engine = *reinterpret_cast<CAudioTransfer*>(block->dwUser);
    LONG capturing = InterlockedDecrement(&engine.queuedIn);
    waveInUnprepareHeader(engine.hWaveIn, block, sizeof(WAVEHDR));
    if (engine.flags & TRANSFER_STOPPING) {
        engine.FreeBuffer(block);
        return;
    }
    block->dwBufferLength = block->dwBytesRecorded;
    engine.UpdateLevels(block->lpData, block->dwBytesRecorded);
    if (!engine.hWaveOut) {
        // Capture only: the block goes back as if it had been played.
        PostThreadMessageW(engine.threadId, MM_WOM_DONE, 0, reinterpret_cast<LPARAM>(block));
        return;
    }
    if (Rebalancing(engine, capturing)) {
        RequeueOnCapture(engine, block);
        return;
    }
    waveOutPrepareHeader(engine.hWaveOut, block, sizeof(WAVEHDR));
    engine.ShiftPitch(block->lpData, block->dwBytesRecorded);
    waveOutWrite(engine.hWaveOut, block, sizeof(WAVEHDR));
    LONG queued = InterlockedIncrement(&engine.queuedOut);
    if (static_cast<DWORD>(queued) >= engine.bufferNum / 2 && !(engine.flags & TRANSFER_OUTPUT_STARTED)) {
        waveOutRestart(engine.hWaveOut);
        SetTransferFlags(engine.flags, TRANSFER_OUTPUT_STARTED);
    }
}

void OnPlayed(WAVEHDR* block)
{
    CAudioTransfer& engine = *reinterpret_cast<CAudioTransfer*>(block->dwUser);
    if (engine.hWaveOut) {
        InterlockedDecrement(&engine.queuedOut);
        waveOutUnprepareHeader(engine.hWaveOut, block, sizeof(WAVEHDR));
    }
    if (engine.flags & TRANSFER_STOPPING) {
        engine.FreeBuffer(block);
        return;
    }
    RequeueOnCapture(engine, block);
}

}  // namespace

DWORD WINAPI AudioTransferWorkerThreadProc(LPVOID parameter)
{
    CAudioTransfer* engine = static_cast<CAudioTransfer*>(parameter);
    MSG msg;
    // The queue must exist before the devices are opened to this thread: a notification posted
    // to a thread without one is lost, and with it a block of the ring.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    if (engine && engine->hQueueReady)
        SetEvent(engine->hQueueReady);
    g_LogFile.Log(L"Entering [AudioTransferWorkerThreadProc]");
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    while (GetMessageW(&msg, nullptr, 0, 0) == 1) {
        if (msg.message == MM_WIM_DATA)
            OnCaptured(reinterpret_cast<WAVEHDR*>(msg.lParam));
        else if (msg.message == MM_WOM_DONE)
            OnPlayed(reinterpret_cast<WAVEHDR*>(msg.lParam));
    }
    return 0;
}
