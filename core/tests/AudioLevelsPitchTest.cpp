#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/AudioTransfer.h"
#include "tests/support/AudioSignal.h"

// Levels on the 2^31 scale and the pitch setting, on the engine's own routines.

namespace {

constexpr uint64_t kFullScale = 1ull << 31;

void SetFormat(CAudioTransfer& engine, WORD channels, WORD bits, DWORD rate = 44100)
{
    engine.format = {};
    engine.format.Format.wFormatTag = bits > 16 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM;
    engine.format.Format.nChannels = channels;
    engine.format.Format.wBitsPerSample = bits;
    engine.format.Format.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    engine.format.Format.nSamplesPerSec = rate;
}

// One little-endian sample of the given byte width, repeated for every sample of the block.
std::vector<uint8_t> Block(size_t samples, unsigned width, int64_t value)
{
    std::vector<uint8_t> data(samples * width);
    for (size_t i = 0; i < samples; ++i)
        for (unsigned b = 0; b < width; ++b)
            data[i * width + b] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * b));
    return data;
}

struct LevelCase
{
    const char* name;
    WORD channels, bits;
    int64_t sample;   // every sample of the block (a raw byte for 8-bit)
    size_t frames;
    uint64_t level;   // expected in every channel
};

const LevelCase kLevels[] = {
    {"Mono8Midpoint", 1, 8, 128, 100, 0},
    {"Mono8Zero", 1, 8, 0, 100, kFullScale},
    {"Mono8Top", 1, 8, 255, 100, 127ull << 24},
    {"Stereo16Half", 2, 16, 16384, 882, 1ull << 30},
    {"Mono16MostNegative", 1, 16, -32768, 7, kFullScale},
    {"Mono16MostPositive", 1, 16, 32767, 7, 32767ull << 16},
    {"Stereo24MostNegative", 2, 24, -8388608, 480, kFullScale},
    {"Stereo24MostPositive", 2, 24, 8388607, 480, 8388607ull << 8},
    {"Stereo32MostNegative", 2, 32, INT32_MIN, 441, kFullScale},
    {"Stereo32MostPositive", 2, 32, INT32_MAX, 441, 0x7FFFFFFFull},
};

class AudioLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(AudioLevels, MeanMagnitudeOnTheFullScale)
{
    const LevelCase& c = GetParam();
    CAudioTransfer engine;
    SetFormat(engine, c.channels, c.bits);
    std::vector<uint8_t> data = Block(c.frames * c.channels, c.bits / 8, c.sample);
    engine.UpdateLevels(data.data(), static_cast<DWORD>(data.size()));
    for (unsigned ch = 0; ch < c.channels; ++ch)
        EXPECT_EQ(engine.levels[ch], c.level) << "channel " << ch;
}

INSTANTIATE_TEST_SUITE_P(Cases, AudioLevels, ::testing::ValuesIn(kLevels),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AudioLevelsBlock, ChannelsAreMeasuredApartAndAveragedPerFrame)
{
    CAudioTransfer engine;
    SetFormat(engine, 2, 16);
    // Left: +16384 and -16384 alternating; right: silence in the first half, -32768 in the second.
    std::vector<int16_t> samples;
    for (int f = 0; f < 882; ++f) {
        samples.push_back(f % 2 ? -16384 : 16384);
        samples.push_back(f < 441 ? 0 : -32768);
    }
    engine.UpdateLevels(samples.data(), static_cast<DWORD>(samples.size() * 2));
    EXPECT_EQ(engine.levels[0], 1u << 30);
    EXPECT_EQ(engine.levels[1], 1u << 30);
}

TEST(AudioLevelsBlock, FullScaleSumsOfLongBlocksDoNotOverflow)
{
    // 4 s of 32-bit stereo at full scale: far beyond 32-bit sums.
    CAudioTransfer engine;
    SetFormat(engine, 2, 32, 48000);
    std::vector<uint8_t> data = Block(48000 * 4 * 2, 4, INT32_MIN);
    engine.UpdateLevels(data.data(), static_cast<DWORD>(data.size()));
    EXPECT_EQ(engine.levels[0], kFullScale);
    EXPECT_EQ(engine.levels[1], kFullScale);
}

TEST(AudioLevelsBlock, BlockShorterThanOneFrameReadsZeroAndDoesNotFault)
{
    CAudioTransfer engine;
    SetFormat(engine, 2, 16);
    engine.levels[0] = engine.levels[1] = 12345;
    int16_t half[1] = {-32768};
    engine.UpdateLevels(half, 2);
    EXPECT_EQ(engine.levels[0], 0u);
    EXPECT_EQ(engine.levels[1], 0u);
}

struct PitchCase
{
    int position;
    bool on;
    int semitones;
};

const PitchCase kPitch[] = {
    {499, true, 0},   {0, true, -20},   {1000, true, 20}, {475, true, -1},  {450, true, -2},
    {12, true, -20},  {13, true, -19},  {487, true, -1},  {488, true, 0},   {512, true, 0},
    {513, true, 1},   {525, true, 1},   {988, true, 20},  {987, true, 19},  {750, true, 10},
};

class AudioPitch : public ::testing::TestWithParam<PitchCase> {};

TEST_P(AudioPitch, PositionGivesSemitones)
{
    const PitchCase& c = GetParam();
    CAudioTransfer engine;
    engine.SetPitch(c.position);
    EXPECT_EQ(engine.pitchOn, c.on);
    EXPECT_EQ(engine.pitchSemitones, c.semitones);
}

INSTANTIATE_TEST_SUITE_P(Cases, AudioPitch, ::testing::ValuesIn(kPitch),
                         [](const auto& info) { return "Position" + std::to_string(info.param.position); });

TEST(AudioPitchCentre, FiveHundredSwitchesOffAndKeepsTheProcessorSetting)
{
    CAudioTransfer engine;
    engine.SetPitch(1000);
    ASSERT_TRUE(engine.pitchOn);
    engine.SetPitch(500);
    EXPECT_FALSE(engine.pitchOn);
    EXPECT_EQ(engine.pitchSemitones, 20);
}

// Runs blocks of a mono 16-bit tone through the engine's pitch step at +12 semitones and returns
// the last block.
std::vector<int16_t> ShiftedMonoBlock(CAudioTransfer& engine)
{
    constexpr unsigned kRate = 44100;
    constexpr size_t kFrames = 882;
    std::vector<int16_t> tone = MakeTone(440, kRate, 1, kFrames * 40, 10000);
    std::vector<int16_t> block(kFrames);
    for (size_t b = 0; b < 40; ++b) {
        std::memcpy(block.data(), tone.data() + b * kFrames, kFrames * 2);
        engine.ShiftPitch(block.data(), kFrames * 2);
    }
    return block;
}

TEST(AudioPitchShift, MonoBlockIsShiftedWhole)
{
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.channels = 1;
    ASSERT_TRUE(engine.OpenDevices(0x7FFF, 0x7FFF));  // configures the processor for mono
    engine.SetPitch(800);                             // +12 semitones
    ASSERT_EQ(engine.pitchSemitones, 12);
    std::vector<int16_t> block = ShiftedMonoBlock(engine);
    // Both halves of the block carry the octave, not the original tone.
    for (size_t first : {size_t(0), size_t(441)}) {
        double octave = TonePower(block, 1, 0, first, 441, 880, 44100);
        double original = TonePower(block, 1, 0, first, 441, 440, 44100);
        EXPECT_GT(octave, 20 * original) << "half starting at " << first;
    }
}

TEST(AudioPitchShift, OnlySixteenBitBlocksAreShifted)
{
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.bitsPerSample = 24;
    ASSERT_TRUE(engine.OpenDevices(0x7FFF, 0x7FFF));
    engine.SetPitch(800);
    std::vector<uint8_t> block(5760);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> copy = block;
    for (int i = 0; i < 10; ++i)
        engine.ShiftPitch(block.data(), static_cast<DWORD>(block.size()));
    EXPECT_EQ(block, copy);
}

}  // namespace
