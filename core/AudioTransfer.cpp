#include "core/AudioTransfer.h"

#include <new>

#include "core/LogFile.h"

namespace {

// KSDATAFORMAT_SUBTYPE_PCM, spelled out so no media header decides how it is declared.
constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr WORD kExtensibleExtraBytes = 22;
constexpr DWORD kMonoChannelMask = 4;  // SPEAKER_FRONT_CENTER
constexpr DWORD kWaveCallbackFlags = CALLBACK_THREAD | WAVE_ALLOWSYNC;
// A close that finds a block queued after the reset resets and tries again, this many times.
constexpr int kCloseAttempts = 3;

DWORD ChannelMask(DWORD channels)
{
    return channels == 1 ? kMonoChannelMask : (1u << channels) - 1;
}

// The level storage holds two channels and the pitch library takes one or two; widths other than
// these give no whole-byte sample (a "BPS" text without digits reads as 0).
bool FormatCanWork(DWORD bufferNum, DWORD channels, DWORD bitsPerSample)
{
    if (bufferNum == 0 || channels < 1 || channels > 2)
        return false;
    return bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
}

template <typename Handle, typename Reset, typename Close>
void CloseDevice(Handle& handle, Reset reset, Close close, const wchar_t* what)
{
    for (int attempt = 0; attempt < kCloseAttempts; ++attempt) {
        if (close(handle) != WAVERR_STILLPLAYING) {
            handle = nullptr;
            return;
        }
        // A stop racing the worker queued a block after the reset: hand it back and close again.
        reset(handle);
    }
    g_LogFile.Log(L"Could not close the %s device.", what);
}

}  // namespace

unsigned CompleteExtensibleFormat(WAVEFORMATEXTENSIBLE& format)
{
    WAVEFORMATEX& basic = format.Format;
    basic.nAvgBytesPerSec = basic.nSamplesPerSec * basic.nBlockAlign;
    if (basic.wFormatTag == WAVE_FORMAT_PCM) {
        format.Samples.wValidBitsPerSample = basic.wBitsPerSample;
        format.SubFormat = kSubtypePcm;
        format.dwChannelMask = ChannelMask(basic.nChannels);
    }
    if (basic.nChannels == 0)
        return 0;
    return basic.nBlockAlign / basic.nChannels;
}

CAudioTransfer::CAudioTransfer()
{
    InitializeCriticalSection(&pitchLock);
}

CAudioTransfer::~CAudioTransfer()
{
    CloseDevices();
    DeleteCriticalSection(&pitchLock);
}

bool CAudioTransfer::OpenDevices(UINT inputDevice, UINT outputDevice)
{
    g_LogFile.Log(L"Entering [CAudioTransfer::OpenDevices]");
    if (hWaveIn || hWaveOut)
        CloseDevices();
    hWaveIn = nullptr;
    hWaveOut = nullptr;
    liveBuffers = 0;
    rebalancing = false;
    if (!FormatCanWork(bufferNum, channels, bitsPerSample)) {
        g_LogFile.Log(L"Unsupported format: %u channels, %u bits, %u buffers.", channels, bitsPerSample,
                      bufferNum);
        return false;
    }

    format = {};
    WAVEFORMATEX& basic = format.Format;
    basic.wFormatTag = WAVE_FORMAT_PCM;
    basic.nChannels = static_cast<WORD>(channels);
    basic.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    basic.nBlockAlign = static_cast<WORD>((bitsPerSample + 7) / 8 * channels);
    basic.nSamplesPerSec = sampleRate;
    basic.nAvgBytesPerSec = basic.nBlockAlign * basic.nSamplesPerSec;
    basic.cbSize = 0;
    format.Samples.wValidBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.SubFormat = kSubtypePcm;
    format.dwChannelMask = ChannelMask(channels);
    if (channels > 2 || bitsPerSample > 16) {
        basic.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        basic.cbSize = kExtensibleExtraBytes;
        basic.wBitsPerSample = static_cast<WORD>((bitsPerSample + 7) / 8 * 8);
    }

    WAVEINCAPSW inCaps = {};
    waveInGetDevCapsW(inputDevice, &inCaps, sizeof(inCaps));
    g_LogFile.Log(L"\nUsing input device: %s.", inCaps.szPname);
    waveInOpen(&hWaveIn, inputDevice, &basic, threadId, 0, kWaveCallbackFlags);

    WAVEOUTCAPSW outCaps = {};
    waveOutGetDevCapsW(outputDevice, &outCaps, sizeof(outCaps));
    g_LogFile.Log(L"\nUsing output device: %s.", outCaps.szPname);
    waveOutOpen(&hWaveOut, outputDevice, &basic, threadId, 0, kWaveCallbackFlags);
    if (hWaveOut)
        waveOutPause(hWaveOut);  // playback starts once the worker has queued half the ring

    DWORD align = basic.nBlockAlign;
    DWORD raw = bufferLenMs * basic.nAvgBytesPerSec / bufferNum / 1000;
    if (raw == 0)
        raw = 1;
    bufferBytes = raw + align - 1 - (raw + align - 1) % align;

    bool allocated = true;
    // Blocks a close had to leave to a live worker are that worker's to free.
    ring.clear();
    try {
        ring.reserve(bufferNum);
    } catch (const std::bad_alloc&) {
        allocated = false;
    }
    for (DWORD i = 0; allocated && i < bufferNum; ++i) {
        void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(WAVEHDR) + bufferBytes);
        if (!memory) {
            allocated = false;
            break;
        }
        WAVEHDR* block = static_cast<WAVEHDR*>(memory);
        ring.push_back(block);
        *block = {};
        block->lpData = reinterpret_cast<LPSTR>(block + 1);
        block->dwBufferLength = bufferBytes;
        block->dwUser = reinterpret_cast<DWORD_PTR>(this);
        waveInPrepareHeader(hWaveIn, block, sizeof(WAVEHDR));
        waveInAddBuffer(hWaveIn, block, sizeof(WAVEHDR));
        ++queuedIn;
        ++liveBuffers;
    }

    EnterCriticalSection(&pitchLock);
    soundTouch.setSampleRate(basic.nSamplesPerSec);
    soundTouch.setChannels(basic.nChannels);
    soundTouch.setTempoChange(0);
    soundTouch.setRateChange(0);
    soundTouch.setSetting(SETTING_USE_QUICKSEEK, 0);
    soundTouch.setSetting(SETTING_USE_AA_FILTER, 1);
    LeaveCriticalSection(&pitchLock);
    return allocated;
}

void CAudioTransfer::StopDevices()
{
    g_LogFile.Log(L"Entering [CAudioTransfer::StopDevices]");
    if (SetTransferFlags(flags, TRANSFER_STOPPING) & TRANSFER_STOPPING)
        return;
    waveInReset(hWaveIn);
    if (hWaveOut)
        waveOutReset(hWaveOut);
}

void CAudioTransfer::CloseDevices()
{
    g_LogFile.Log(L"Entering [CAudioTransfer::CloseDevices]");
    StopDevices();
    if (hWaveIn)
        CloseDevice(hWaveIn, waveInReset, waveInClose, L"input");
    if (hWaveOut)
        CloseDevice(hWaveOut, waveOutReset, waveOutClose, L"output");
    // A device still open may still write into its blocks; a worker may still be handed one.
    if (!hWaveIn && !hWaveOut && !hThread)
        FreeUnreturnedBuffers();
}

void CAudioTransfer::FreeBuffer(WAVEHDR* block)
{
    for (size_t i = ring.size(); i-- > 0;) {
        if (ring[i] == block) {
            ring[i] = ring.back();
            ring.pop_back();
            break;
        }
    }
    HeapFree(GetProcessHeap(), 0, block);
    --liveBuffers;
}

void CAudioTransfer::FreeUnreturnedBuffers()
{
    while (!ring.empty())
        FreeBuffer(ring.back());
    // With the devices closed and no worker, nothing is queued anywhere.
    queuedIn = 0;
    queuedOut = 0;
}
