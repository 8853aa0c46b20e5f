#include <gtest/gtest.h>

#include <SoundTouch.h>

#include <cmath>
#include <vector>

// SoundTouch is built from source with 16-bit integer samples; a pitch shift keeps the frame count.
TEST(SoundTouchLink, ShiftedBufferComesBackWithItsFrameCount)
{
    static_assert(sizeof(soundtouch::SAMPLETYPE) == 2, "integer samples expected");
    soundtouch::SoundTouch shifter;
    shifter.setSampleRate(44100);
    shifter.setChannels(2);
    shifter.setTempoChange(0);
    shifter.setRateChange(0);
    shifter.setPitchSemiTones(12);
    const int frames = 44100;
    std::vector<short> input(frames * 2);
    for (int i = 0; i < frames; ++i)
        input[2 * i] = input[2 * i + 1] = static_cast<short>(8000 * std::sin(2 * 3.14159265358979 * 440.0 * i / 44100));
    shifter.putSamples(input.data(), frames);
    shifter.flush();
    std::vector<short> output(frames * 4);
    unsigned received = 0, got = 0;
    while ((got = shifter.receiveSamples(output.data() + received * 2, frames * 2 - received)) > 0)
        received += got;
    EXPECT_NEAR(static_cast<double>(received), frames, frames * 0.05);
}
