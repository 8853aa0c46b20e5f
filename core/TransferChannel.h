#pragma once
#include <windows.h>

#include "core/AudioTransfer.h"

// What one channel is started with. Device ids are wave device identifiers (WAVE_MAPPER allowed).
struct TransferSettings
{
    UINT inputDevice = WAVE_MAPPER;
    UINT outputDevice = WAVE_MAPPER;
    DWORD bitsPerSample = 16;
    DWORD sampleRate = 44100;
    DWORD channels = 2;
    DWORD bufferNum = 10;
    DWORD bufferLenMs = 200;
};

// What the meters show of a running channel.
struct TransferMeters
{
    LONG queuedIn = 0;
    LONG queuedOut = 0;
    DWORD levels[2] = {0, 0};
};

// The owner's start and stop order around one engine: worker first, devices opened to it, capture
// started; on stop the devices are reset, the worker quits and is waited for, then the devices close.
class CTransferChannel
{
public:
    CTransferChannel() = default;
    ~CTransferChannel();
    CTransferChannel(const CTransferChannel&) = delete;
    CTransferChannel& operator=(const CTransferChannel&) = delete;

    // False when the settings cannot work or the worker cannot start: the channel then stays idle.
    bool Start(const TransferSettings& settings);
    void Stop();
    bool IsRunning() const { return engine.flags != 0; }
    TransferMeters Meters() const;
    void SetPitch(int position) { engine.SetPitch(position); }

    CAudioTransfer engine;
};
