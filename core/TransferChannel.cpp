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

bool InRange(DWORD value, DWORD low, DWORD high)
{
    return value >= low && value <= high;
}

void Report(TransferFailure* failure, TransferProblem problem, MMRESULT deviceError = MMSYSERR_NOERROR)
{
    if (failure) {
        failure->problem = problem;
        failure->deviceError = deviceError;
    }
}

}  // namespace

TransferProblem CheckTransferSettings(const TransferSettings& settings)
{
    using namespace TransferLimits;
    if (!InRange(settings.bufferNum, kMinBufferNum, kMaxBufferNum))
        return TransferProblem::BufferNum;
    if (!InRange(settings.bufferLenMs, kMinBufferLenMs, kMaxBufferLenMs))
        return TransferProblem::BufferLenMs;
    if (!InRange(settings.channels, kMinChannels, kMaxChannels))
        return TransferProblem::Channels;
    DWORD bits = settings.bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return TransferProblem::BitsPerSample;
    if (!InRange(settings.sampleRate, kMinSampleRate, kMaxSampleRate))
        return TransferProblem::SampleRate;
    return TransferProblem::None;
}

CTransferChannel::~CTransferChannel()
{
    Stop();
}

bool CTransferChannel::Start(const TransferSettings& settings, TransferFailure* failure)
{
    Report(failure, TransferProblem::None);
    if (IsRunning())
        Stop();
    // Checked before anything reaches a wave driver.
    TransferProblem problem = CheckTransferSettings(settings);
    if (problem != TransferProblem::None) {
        Report(failure, problem);
        return false;
    }
    engine.bufferNum = settings.bufferNum;
    engine.bufferLenMs = settings.bufferLenMs;
    engine.channels = settings.channels;
    engine.bitsPerSample = settings.bitsPerSample;
    engine.sampleRate = settings.sampleRate;

    // The devices post to the worker from their first notification on: wait until it has a queue.
    engine.hQueueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!engine.hQueueReady) {
        Report(failure, TransferProblem::Worker);
        return false;
    }
    DWORD id = 0;
    engine.hThread = CreateThread(nullptr, 0, AudioTransferWorkerThreadProc, &engine, 0, &id);
    if (!engine.hThread) {
        CloseHandle(engine.hQueueReady);
        engine.hQueueReady = nullptr;
        Report(failure, TransferProblem::Worker);
        return false;
    }
    engine.threadId = id;
    WaitForSingleObject(engine.hQueueReady, INFINITE);
    CloseHandle(engine.hQueueReady);
    engine.hQueueReady = nullptr;

    if (!engine.OpenDevices(settings.inputDevice, settings.outputDevice)) {
        // Part of a ring is no channel: with fewer than half its blocks playback never starts.
        Stop();
        Report(failure, TransferProblem::Memory);
        return false;
    }
    if (!engine.hWaveIn || !engine.hWaveOut) {
        // The engine ignores a device that does not open; a channel without both is no channel.
        // Asking again with the same format gives the wave API's reason.
        const WAVEFORMATEX* format = &engine.format.Format;
        MMRESULT reason = !engine.hWaveIn
                              ? waveInOpen(nullptr, settings.inputDevice, format, 0, 0, WAVE_FORMAT_QUERY)
                              : waveOutOpen(nullptr, settings.outputDevice, format, 0, 0, WAVE_FORMAT_QUERY);
        Report(failure, !engine.hWaveIn ? TransferProblem::InputDevice : TransferProblem::OutputDevice, reason);
        Stop();
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
