#include <gtest/gtest.h>

#include "core/AudioTransfer.h"

// Format building and buffer sizing, observed on the engine after an open whose devices do not
// exist (device failures are ignored, so the format, the ring and the counters are still built).

namespace {

constexpr UINT kNoSuchDevice = 0x7FFF;

struct FormatCase
{
    const char* name;
    DWORD channels, bits, rate, lenMs, num;
    WORD tag, cbSize, containerBits, validBits, blockAlign;
    DWORD avgBytes, mask, bufferBytes;
};

const FormatCase kFormats[] = {
    {"Defaults", 2, 16, 44100, 200, 10, WAVE_FORMAT_PCM, 0, 16, 16, 4, 176400, 3, 3528},
    {"Stereo24At48k", 2, 24, 48000, 200, 10, WAVE_FORMAT_EXTENSIBLE, 22, 24, 24, 6, 288000, 3, 5760},
    {"Mono8At8k", 1, 8, 8000, 50, 20, WAVE_FORMAT_PCM, 0, 8, 8, 1, 8000, 4, 20},
    // 1 ms of 8 kHz 16-bit mono over 20 buffers is below one byte each: one block alignment.
    {"TinyRingGivesOneFrame", 1, 16, 8000, 1, 20, WAVE_FORMAT_PCM, 0, 16, 16, 2, 16000, 4, 2},
    {"Stereo32", 2, 32, 44100, 200, 10, WAVE_FORMAT_EXTENSIBLE, 22, 32, 32, 8, 352800, 3, 7056},
    // 35280000 / 11 / 1000 = 3207 bytes, not whole frames: rounded up.
    {"RoundsUpToWholeFrames", 2, 16, 44100, 200, 11, WAVE_FORMAT_PCM, 0, 16, 16, 4, 176400, 3, 3208},
};

class AudioTransferFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AudioTransferFormat, BuildsFormatAndRingFromTheFields)
{
    const FormatCase& c = GetParam();
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.channels = c.channels;
    engine.bitsPerSample = c.bits;
    engine.sampleRate = c.rate;
    engine.bufferLenMs = c.lenMs;
    engine.bufferNum = c.num;
    ASSERT_TRUE(engine.OpenDevices(kNoSuchDevice, kNoSuchDevice));

    const WAVEFORMATEX& f = engine.format.Format;
    EXPECT_EQ(f.wFormatTag, c.tag);
    EXPECT_EQ(f.cbSize, c.cbSize);
    EXPECT_EQ(f.nChannels, c.channels);
    EXPECT_EQ(f.nSamplesPerSec, c.rate);
    EXPECT_EQ(f.wBitsPerSample, c.containerBits);
    EXPECT_EQ(engine.format.Samples.wValidBitsPerSample, c.validBits);
    EXPECT_EQ(f.nBlockAlign, c.blockAlign);
    EXPECT_EQ(f.nAvgBytesPerSec, c.avgBytes);
    EXPECT_EQ(engine.format.dwChannelMask, c.mask);
    EXPECT_EQ(engine.bufferBytes, c.bufferBytes);
    EXPECT_EQ(engine.bufferBytes % f.nBlockAlign, 0u);
    EXPECT_EQ(engine.liveBuffers, c.num);
    EXPECT_EQ(engine.queuedIn, static_cast<LONG>(c.num));
    EXPECT_EQ(engine.hWaveIn, nullptr);
    EXPECT_EQ(engine.hWaveOut, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, AudioTransferFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

struct RejectedCase
{
    const char* name;
    DWORD channels, bits, num;
};

const RejectedCase kRejected[] = {
    {"NoBuffers", 2, 16, 0},   {"NoChannels", 0, 16, 10}, {"ThreeChannels", 3, 16, 10},
    {"SixChannels", 6, 16, 10}, {"ZeroBits", 2, 0, 10},    {"TwelveBits", 2, 12, 10},
    {"TwentyBits", 2, 20, 10},  {"SixtyFourBits", 2, 64, 10},
};

class AudioTransferRejects : public ::testing::TestWithParam<RejectedCase> {};

TEST_P(AudioTransferRejects, FormatThatCannotWorkOpensNothing)
{
    const RejectedCase& c = GetParam();
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.channels = c.channels;
    engine.bitsPerSample = c.bits;
    engine.bufferNum = c.num;
    // WAVE_MAPPER would open a real device if the engine got that far.
    EXPECT_FALSE(engine.OpenDevices(WAVE_MAPPER, WAVE_MAPPER));
    EXPECT_EQ(engine.hWaveIn, nullptr);
    EXPECT_EQ(engine.hWaveOut, nullptr);
    EXPECT_EQ(engine.liveBuffers, 0u);
    EXPECT_EQ(engine.queuedIn, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, AudioTransferRejects, ::testing::ValuesIn(kRejected),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AudioTransferFormatReuse, ReopenKeepsNothingOfTheEarlierFormat)
{
    CAudioTransfer engine;
    engine.threadId = GetCurrentThreadId();
    engine.bitsPerSample = 24;
    engine.sampleRate = 48000;
    ASSERT_TRUE(engine.OpenDevices(kNoSuchDevice, kNoSuchDevice));
    ASSERT_EQ(engine.format.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
    engine.bitsPerSample = 16;
    engine.sampleRate = 44100;
    ASSERT_TRUE(engine.OpenDevices(kNoSuchDevice, kNoSuchDevice));
    EXPECT_EQ(engine.format.Format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(engine.format.Format.cbSize, 0);
    EXPECT_EQ(engine.format.Format.wBitsPerSample, 16);
    EXPECT_EQ(engine.bufferBytes, 3528u);
    EXPECT_EQ(engine.liveBuffers, 10u);
}

TEST(CompleteExtensibleFormat, FillsRateAndPcmFieldsAndReturnsSampleBytes)
{
    WAVEFORMATEXTENSIBLE pcm = {};
    pcm.Format.wFormatTag = WAVE_FORMAT_PCM;
    pcm.Format.nChannels = 1;
    pcm.Format.wBitsPerSample = 24;
    pcm.Format.nBlockAlign = 3;
    pcm.Format.nSamplesPerSec = 48000;
    EXPECT_EQ(CompleteExtensibleFormat(pcm), 3u);
    EXPECT_EQ(pcm.Format.nAvgBytesPerSec, 144000u);
    EXPECT_EQ(pcm.Samples.wValidBitsPerSample, 24);
    EXPECT_EQ(pcm.dwChannelMask, 4u);
    const GUID subtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    EXPECT_TRUE(IsEqualGUID(pcm.SubFormat, subtypePcm));

    // An extensible format keeps its own extensible fields.
    WAVEFORMATEXTENSIBLE ext = {};
    ext.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    ext.Format.nChannels = 2;
    ext.Format.wBitsPerSample = 32;
    ext.Format.nBlockAlign = 8;
    ext.Format.nSamplesPerSec = 44100;
    ext.Samples.wValidBitsPerSample = 24;
    ext.dwChannelMask = 0x33;
    EXPECT_EQ(CompleteExtensibleFormat(ext), 4u);
    EXPECT_EQ(ext.Format.nAvgBytesPerSec, 352800u);
    EXPECT_EQ(ext.Samples.wValidBitsPerSample, 24);
    EXPECT_EQ(ext.dwChannelMask, 0x33u);
}

}  // namespace
