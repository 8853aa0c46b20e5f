#include "core/AudioTransfer.h"

#include <cmath>

namespace {

constexpr int kPitchCentre = 500;     // popup position without a shift
constexpr int kPitchSpan = 40;        // semitones across the positions 0..1000
constexpr int kPitchPositions = 1000;
constexpr int kPitchLowest = -20;     // semitones at position 0
constexpr WORD kShiftedSampleBits = 16;  // the pitch library takes interleaved 16-bit samples

}  // namespace

void CAudioTransfer::SetPitch(int position)
{
    if (position == kPitchCentre) {
        pitchOn = false;
        return;
    }
    float scaled = static_cast<float>(position * kPitchSpan) / static_cast<float>(kPitchPositions);
    int semitones = static_cast<int>(std::floor(static_cast<double>(scaled) + kPitchLowest + 0.5));
    EnterCriticalSection(&pitchLock);
    soundTouch.setPitchSemiTones(semitones);
    pitchSemitones = semitones;
    pitchOn = true;
    LeaveCriticalSection(&pitchLock);
}

void CAudioTransfer::ShiftPitch(void* data, DWORD bytes)
{
    if (!pitchOn || format.Format.wBitsPerSample != kShiftedSampleBits || format.Format.nBlockAlign == 0)
        return;  // other widths pass unshifted
    unsigned frames = bytes / format.Format.nBlockAlign;
    if (frames == 0)
        return;
    short* samples = static_cast<short*>(data);
    EnterCriticalSection(&pitchLock);
    soundTouch.putSamples(samples, frames);
    soundTouch.receiveSamples(samples, frames);
    LeaveCriticalSection(&pitchLock);
}
