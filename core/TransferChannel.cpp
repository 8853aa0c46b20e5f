#include "core/TransferChannel.h"

namespace {

void QuitWorker(CAudioTransfer& engine)
{
    if (!engine.hThread)
        return;
    PostThreadMessageW(engine.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(engine.hThread, INFINITE);
    CloseHandle(engine.hThread);
    engine.hThread = nullptr;
    engine.threadId = 0;
}

}  // namespace

CTransferChannel::~CTransferChannel()
{
    Stop();
}

bool CTransferChannel::Start(const TransferSettings& settings)
{
    if (IsRunning())
        Stop();
    engine.bufferNum = settings.bufferNum;
    engine.bufferLenMs = settings.bufferLenMs;
    engine.channels = settings.channels;
    engine.bitsPerSample = settings.bitsPerSample;
    engine.sampleRate = settings.sampleRate;

    // The devices post to the worker from their first notification on: wait until it has a queue.
    engine.hQueueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!engine.hQueueReady)
        return false;
    DWORD id = 0;
    engine.hThread = CreateThread(nullptr, 0, AudioTransferWorkerThreadProc, &engine, 0, &id);
    if (!engine.hThread) {
        CloseHandle(engine.hQueueReady);
        engine.hQueueReady = nullptr;
        return false;
    }
    engine.threadId = id;
    WaitForSingleObject(engine.hQueueReady, INFINITE);
    CloseHandle(engine.hQueueReady);
    engine.hQueueReady = nullptr;

    bool opened = engine.OpenDevices(settings.inputDevice, settings.outputDevice);
    if (!opened && engine.liveBuffers == 0) {
        // Nothing was queued: a format that cannot work leaves the channel idle.
        QuitWorker(engine);
        engine.CloseDevices();
        engine.flags = 0;
        return false;
    }
    waveInStart(engine.hWaveIn);
    engine.flags = TRANSFER_RUNNING;
    return true;
}

void CTransferChannel::Stop()
{
    if (!IsRunning() && !engine.hThread)
        return;
    engine.StopDevices();
    QuitWorker(engine);
    waveInStop(engine.hWaveIn);
    engine.CloseDevices();
    engine.flags &= ~(TRANSFER_RUNNING | TRANSFER_STOPPING | TRANSFER_OUTPUT_STARTED);
}

TransferMeters CTransferChannel::Meters() const
{
    TransferMeters meters;
    meters.queuedIn = engine.queuedIn;
    meters.queuedOut = engine.queuedOut;
    meters.levels[0] = engine.levels[0];
    meters.levels[1] = engine.levels[1];
    return meters;
}
