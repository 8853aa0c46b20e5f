#pragma once
#include <windows.h>

// Counts of some of the engine's wave calls, taken through the test executable's own import slots
// (link WaveCallHooks.cpp into the test executable itself, not through a library). Each hooked
// call is counted and passed on to winmm.
struct WaveCallCounts
{
    volatile LONG inReset;
    volatile LONG outReset;
    volatile LONG outRestart;
    volatile LONG inAddBuffer;
    volatile LONG inCloseStillPlaying;
    volatile LONG outCloseStillPlaying;
    volatile LONG inCloseOk;
    volatile LONG outCloseOk;
    // The watched counter's value when playback was restarted (-1: never).
    volatile LONG watchedAtRestart;
};

extern WaveCallCounts g_waveCalls;
// Zeroes the counts and names the counter that waveOutRestart samples (may be null).
void ResetWaveCallCounts(volatile LONG* watchedAtRestart);
// Runs fn once, on the calling thread, just before the next waveInAddBuffer (or waveOutWrite) of a
// header whose dwUser is set passes on to winmm: what another thread does at that very moment.
void RunOnceBeforeInAddBuffer(void (*fn)(WAVEHDR* header));
void RunOnceBeforeOutWrite(void (*fn)(WAVEHDR* header));
// Makes waveInClose / waveOutClose refuse with WAVERR_STILLPLAYING while the given header is still
// queued (not WHDR_DONE), as Windows does; Wine closes such a device silently. Null: no refusal.
void RefuseCloseWhileQueued(const WAVEHDR* inHeader, const WAVEHDR* outHeader);
