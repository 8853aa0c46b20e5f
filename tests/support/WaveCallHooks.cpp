#include "tests/support/WaveCallHooks.h"

#include <mmsystem.h>
#include "tests/support/ImportSlot.h"

WaveCallCounts g_waveCalls;

namespace {

volatile LONG* g_watched = nullptr;
const WAVEHDR* g_queuedIn = nullptr;
const WAVEHDR* g_queuedOut = nullptr;
using BeforeCall = void (*)(WAVEHDR*);
BeforeCall volatile g_beforeInAdd = nullptr;
BeforeCall volatile g_beforeOutWrite = nullptr;

void RunArmed(BeforeCall volatile& armed, WAVEHDR* header)
{
    if (!armed || !header || !header->dwUser)
        return;
    auto fn = reinterpret_cast<BeforeCall>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&armed), nullptr));
    if (fn)
        fn(header);
}

bool StillQueued(const WAVEHDR* header)
{
    return header && !(header->dwFlags & WHDR_DONE);
}

template <typename Function>
Function Real(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winmm.dll"), name)));
}

MMRESULT WINAPI HookWaveInReset(HWAVEIN device)
{
    InterlockedIncrement(&g_waveCalls.inReset);
    return Real<decltype(&waveInReset)>("waveInReset")(device);
}

MMRESULT WINAPI HookWaveOutReset(HWAVEOUT device)
{
    InterlockedIncrement(&g_waveCalls.outReset);
    return Real<decltype(&waveOutReset)>("waveOutReset")(device);
}

MMRESULT WINAPI HookWaveOutRestart(HWAVEOUT device)
{
    if (InterlockedIncrement(&g_waveCalls.outRestart) == 1 && g_watched)
        g_waveCalls.watchedAtRestart = *g_watched;
    return Real<decltype(&waveOutRestart)>("waveOutRestart")(device);
}

MMRESULT WINAPI HookWaveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT size)
{
    InterlockedIncrement(&g_waveCalls.inAddBuffer);
    RunArmed(g_beforeInAdd, header);
    return Real<decltype(&waveInAddBuffer)>("waveInAddBuffer")(device, header, size);
}

MMRESULT WINAPI HookWaveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT size)
{
    RunArmed(g_beforeOutWrite, header);
    return Real<decltype(&waveOutWrite)>("waveOutWrite")(device, header, size);
}

MMRESULT WINAPI HookWaveInClose(HWAVEIN device)
{
    MMRESULT result = StillQueued(g_queuedIn) ? WAVERR_STILLPLAYING
                                              : Real<decltype(&waveInClose)>("waveInClose")(device);
    if (result == WAVERR_STILLPLAYING)
        InterlockedIncrement(&g_waveCalls.inCloseStillPlaying);
    else if (result == MMSYSERR_NOERROR)
        InterlockedIncrement(&g_waveCalls.inCloseOk);
    return result;
}

MMRESULT WINAPI HookWaveOutClose(HWAVEOUT device)
{
    MMRESULT result = StillQueued(g_queuedOut) ? WAVERR_STILLPLAYING
                                               : Real<decltype(&waveOutClose)>("waveOutClose")(device);
    if (result == WAVERR_STILLPLAYING)
        InterlockedIncrement(&g_waveCalls.outCloseStillPlaying);
    else if (result == MMSYSERR_NOERROR)
        InterlockedIncrement(&g_waveCalls.outCloseOk);
    return result;
}

}  // namespace

void ResetWaveCallCounts(volatile LONG* watchedAtRestart)
{
    g_watched = watchedAtRestart;
    g_waveCalls = {};
    g_waveCalls.watchedAtRestart = -1;
    RefuseCloseWhileQueued(nullptr, nullptr);
    RunOnceBeforeInAddBuffer(nullptr);
    RunOnceBeforeOutWrite(nullptr);
}

void RunOnceBeforeInAddBuffer(void (*fn)(WAVEHDR* header))
{
    g_beforeInAdd = fn;
}

void RunOnceBeforeOutWrite(void (*fn)(WAVEHDR* header))
{
    g_beforeOutWrite = fn;
}

void RefuseCloseWhileQueued(const WAVEHDR* inHeader, const WAVEHDR* outHeader)
{
    g_queuedIn = inHeader;
    g_queuedOut = outHeader;
}

// The import slots every caller in this executable goes through, the engine's library included.
extern "C" {
void* g_slotWaveInReset __asm__(IMPORT_SLOT(waveInReset, 4)) = reinterpret_cast<void*>(&HookWaveInReset);
void* g_slotWaveOutReset __asm__(IMPORT_SLOT(waveOutReset, 4)) = reinterpret_cast<void*>(&HookWaveOutReset);
void* g_slotWaveOutRestart __asm__(IMPORT_SLOT(waveOutRestart, 4)) = reinterpret_cast<void*>(&HookWaveOutRestart);
void* g_slotWaveInAddBuffer __asm__(IMPORT_SLOT(waveInAddBuffer, 12)) = reinterpret_cast<void*>(&HookWaveInAddBuffer);
void* g_slotWaveOutWrite __asm__(IMPORT_SLOT(waveOutWrite, 12)) = reinterpret_cast<void*>(&HookWaveOutWrite);
void* g_slotWaveInClose __asm__(IMPORT_SLOT(waveInClose, 4)) = reinterpret_cast<void*>(&HookWaveInClose);
void* g_slotWaveOutClose __asm__(IMPORT_SLOT(waveOutClose, 4)) = reinterpret_cast<void*>(&HookWaveOutClose);
}
