#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <cstdint>
#include <vector>

// Plays a buffer into a wave playback device and records a wave capture device into a buffer, in
// the test process itself. (Wine starting a Unix sound tool while its own audio streams run can
// wedge or crash its sound driver, so tests that run a channel feed and record this way.)

// A PCM format (extensible above 16 bits) for the wave calls.
WAVEFORMATEXTENSIBLE WaveFormat(unsigned bits, unsigned rate, unsigned channels);

class CWavePlayer
{
public:
    ~CWavePlayer() { Close(); }
    bool Start(UINT device, const WAVEFORMATEXTENSIBLE& format, const std::vector<uint8_t>& data);
    bool Wait(DWORD timeoutMs);  // until everything was played
    void Close();

private:
    HWAVEOUT handle_ = nullptr;
    std::vector<uint8_t> data_;
    WAVEHDR header_ = {};
};

class CWaveRecorder
{
public:
    ~CWaveRecorder() { Close(); }
    bool Start(UINT device, const WAVEFORMATEXTENSIBLE& format, size_t bytes);
    bool Wait(DWORD timeoutMs);  // until every byte was recorded
    void Close();
    const std::vector<uint8_t>& Data() const { return data_; }

private:
    HWAVEIN handle_ = nullptr;
    std::vector<uint8_t> data_;
    std::vector<WAVEHDR> headers_;
};
