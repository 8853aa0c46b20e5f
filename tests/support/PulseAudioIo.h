#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Feeding and recording the harness's sound server from a test under Wine, through pacat and
// parec (tests/support/pulse_io.sh, copied beside the test executables).
// Start these tools only while the process has no wave device open: Wine starting a Unix program
// while its own audio streams run can wedge (a waveInClose that never returns) or crash
// (winepulse's "Assertion failed: !status") its sound driver. To feed or record while a channel
// runs, use CWavePlayer / CWaveRecorder (tests/support/WaveFeed.h).

struct PcmSpec
{
    const char* format;  // "s16le", "s24le"
    unsigned rate;
    unsigned channels;
};

// A scratch folder beside the test executable, emptied; files handed to the sound tools live here.
std::wstring AudioScratchFolder(const wchar_t* name);
// Starts pacat playing the raw file into the sink; touches "<file>.done" when it has finished.
bool PulsePlay(const char* sink, const std::wstring& file, const PcmSpec& spec, DWORD latencyMs = 20);
// Starts parec recording bytes of the source into the raw file; then touches "<file>.done".
bool PulseRecord(const char* source, const std::wstring& file, const PcmSpec& spec, size_t bytes);
// Waits until "<file>.done" exists (0: only looks).
bool WaitUntilDone(const std::wstring& file, DWORD timeoutMs);
// Waits until the file holds at least bytes.
bool WaitForBytes(const std::wstring& file, size_t bytes, DWORD timeoutMs);

bool WriteRaw(const std::wstring& file, const void* data, size_t bytes);

// Two extra null sinks in s24le at 48 kHz, "Lyrant Engine 48k A" and "... B" with keeper streams.
// Load them before the process's first wave call: the device list is read once per process.
bool LoadSinks48k(const std::wstring& stateFile, DWORD timeoutMs);
bool UnloadSinks48k(const std::wstring& stateFile, DWORD timeoutMs);

// Wave device ids by a part of their names (Wine's ALSA driver puts "Out: " or "In: " in front);
// -1 when absent.
int FindWaveIn(const wchar_t* name);
int FindWaveOut(const wchar_t* name);
