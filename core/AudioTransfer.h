#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <vector>

#include <SoundTouch.h>

// Channel state bits in CAudioTransfer::flags.
constexpr DWORD TRANSFER_RUNNING = 1;         // capture was started by the owner
constexpr DWORD TRANSFER_STOPPING = 2;        // returning blocks are freed, not requeued
constexpr DWORD TRANSFER_OUTPUT_STARTED = 4;  // playback was restarted after its initial pause

// The UI thread sets TRANSFER_STOPPING while the worker may set TRANSFER_OUTPUT_STARTED: each bit
// is set in one locked step so that neither write loses the other. Returns the bits before.
inline DWORD SetTransferFlags(volatile DWORD& flags, DWORD bits)
{
    return static_cast<DWORD>(InterlockedOr(reinterpret_cast<volatile LONG*>(&flags), static_cast<LONG>(bits)));
}

// One transfer channel: a ring of buffer blocks circulating from a wave capture device to a wave
// playback device, moved by the channel's worker thread (AudioTransferWorkerThreadProc). Each block
// is a single heap allocation: a WAVEHDR followed by bufferBytes of audio.
class CAudioTransfer
{
public:
    CAudioTransfer();
    ~CAudioTransfer();
    CAudioTransfer(const CAudioTransfer&) = delete;
    CAudioTransfer& operator=(const CAudioTransfer&) = delete;

    // Builds the format, opens both devices to the worker thread threadId, queues the ring on
    // capture (not started) and configures the pitch processor. False when the format cannot work
    // (nothing is opened then) or a block could not be allocated.
    bool OpenDevices(UINT inputDevice, UINT outputDevice);
    void StopDevices();
    // Stops and closes both devices. Once both are closed and no worker is left (hThread null), the
    // blocks that never came back are freed too: those queued on a device that did not open, one
    // the worker queued just after the stop's reset, notifications a quit worker never took.
    void CloseDevices();
    void FreeBuffer(WAVEHDR* block);

    void UpdateLevels(const void* data, DWORD bytes);
    void SetPitch(int position);
    // Worker side: shifts one recorded block in place when pitch shifting is on.
    void ShiftPitch(void* data, DWORD bytes);

    HWAVEIN hWaveIn = nullptr;
    HWAVEOUT hWaveOut = nullptr;
    DWORD bufferLenMs = 200;
    DWORD bufferNum = 10;
    DWORD bufferBytes = 0;
    DWORD liveBuffers = 0;
    DWORD channels = 2;
    DWORD bitsPerSample = 16;
    DWORD sampleRate = 44100;
    WAVEFORMATEXTENSIBLE format = {};
    volatile LONG queuedIn = 0;
    volatile LONG queuedOut = 0;
    // Worker side: while set, recorded blocks go back to capture instead of to playback, until
    // playback holds no more than the half of the ring it started with (see the worker).
    bool rebalancing = false;
    // How often the worker began to win back that balance; read by diagnostics.
    volatile LONG rebalances = 0;
    volatile DWORD flags = 0;
    HANDLE hThread = nullptr;
    DWORD threadId = 0;
    volatile DWORD levels[2] = {0, 0};
    soundtouch::SoundTouch soundTouch;
    volatile bool pitchOn = false;

    // The semitones last handed to the processor (it has no getter).
    int pitchSemitones = 0;
    // Set by the starter before the worker is created; the worker signals it once its message
    // queue exists, so no device notification can be posted into the void.
    HANDLE hQueueReady = nullptr;

private:
    void FreeUnreturnedBuffers();

    // The UI thread's SetPitch and the worker's ShiftPitch never run inside the processor together.
    CRITICAL_SECTION pitchLock;
    // Every block of the ring not yet freed. Reserved for the whole ring at open, so the worker's
    // frees never allocate; the UI thread touches it only before capture starts and after the worker quit.
    std::vector<WAVEHDR*> ring;
};

// The worker thread of one channel; the parameter is the engine. Ends on WM_QUIT.
DWORD WINAPI AudioTransferWorkerThreadProc(LPVOID parameter);

// Completes nAvgBytesPerSec (and, for PCM, the extensible fields) from the basic fields; returns
// the bytes of one sample.
unsigned CompleteExtensibleFormat(WAVEFORMATEXTENSIBLE& format);
