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

// What the engine and the wave API can honour. Rates outside this range can crash a wave driver
// (a rate of 1 divides by zero in one); the ring's byte count is computed in 32 bits, which 2000 ms
// at 192 kHz in 32-bit stereo still fits; every buffer is one posted message to the worker, and a
// thread's queue holds 10000.
namespace TransferLimits {
constexpr DWORD kMinSampleRate = 8000, kMaxSampleRate = 192000;
constexpr DWORD kMinBufferLenMs = 10, kMaxBufferLenMs = 2000;
constexpr DWORD kMinBufferNum = 1, kMaxBufferNum = 1000;
constexpr DWORD kMinChannels = 1, kMaxChannels = 2;
}  // namespace TransferLimits

// Why a channel did not start.
enum class TransferProblem
{
    None,
    BufferNum,
    BufferLenMs,
    Channels,
    BitsPerSample,
    SampleRate,
    Worker,         // the worker thread could not be created
    Memory,         // not every buffer of the ring could be allocated
    InputDevice,    // the capture device did not open
    OutputDevice,   // the playback device did not open
};

struct TransferFailure
{
    TransferProblem problem = TransferProblem::None;
    MMRESULT deviceError = MMSYSERR_NOERROR;   // the wave API's reason for a device that did not open
};

// The first format setting the engine cannot work with, or None. Devices are not checked here.
TransferProblem CheckTransferSettings(const TransferSettings& settings);

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

    // False when the settings cannot work, the worker cannot start, the ring cannot be allocated
    // whole or a device does not open: the channel then stays idle with every block freed, and
    // failure (when given) says why.
    bool Start(const TransferSettings& settings, TransferFailure* failure = nullptr);
    void Stop();
    bool IsRunning() const { return engine.flags != 0; }
    TransferMeters Meters() const;
    void SetPitch(int position) { engine.SetPitch(position); }

    CAudioTransfer engine;
};
