#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/TransferChannel.h"
#include "tests/support/AudioSignal.h"
#include "tests/support/PulseAudioIo.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaveCallHooks.h"
#include "tests/support/WaveFeed.h"

// The engine on the harness's real wave devices: audio is played into one null sink, goes through a
// running channel from that sink's monitor to a second sink, and is recorded from the second sink's
// monitor. Feeding and recording use wave devices of the test process itself (see WaveFeed.h); the
// sound server's tools only add the 48 kHz sinks, before any wave device is opened.

namespace {

constexpr wchar_t kInputA[] = L"Monitor of Lyrant Speakers A";
constexpr wchar_t kOutputB[] = L"Lyrant Speakers B";
constexpr wchar_t kOutputBMonitor[] = L"Monitor of Lyrant Speakers B";
constexpr wchar_t kInput48kA[] = L"Monitor of Lyrant Engine 48k A";
constexpr wchar_t kOutput48kB[] = L"Lyrant Engine 48k B";
constexpr PcmSpec kDefaultSpec = {"s16le", 44100, 2};
constexpr PcmSpec kSpec48k = {"s24le", 48000, 2};
constexpr UINT kNoSuchDevice = 0x7FFF;
// The first captured block can come late under Wine.
constexpr DWORD kSettleMs = 400;
// Recorded beyond the feed: the way through the channel.
constexpr DWORD kTailMs = 2000;
// Runs of a fed signal: real-time audio on a loaded machine sometimes drops a block.
constexpr int kAttempts = 3;
constexpr DWORD kToolTimeoutMs = 20000;

class Sinks48k : public ::testing::Environment
{
public:
    void SetUp() override
    {
        // Beside the scratch folders, not in one: a run that ended early leaves it for the next.
        AudioScratchFolder(L"sinks48k");
        state_ = TestExeFolder() + L"\\audio_scratch\\sinks48k.state";
        loaded_ = LoadSinks48k(state_, kToolTimeoutMs);
    }
    void TearDown() override
    {
        if (loaded_)
            UnloadSinks48k(state_, kToolTimeoutMs);
    }
    bool loaded_ = false;

private:
    std::wstring state_;
};

// Before any test: the wave device list is read once per process.
Sinks48k* const g_sinks48k = static_cast<Sinks48k*>(::testing::AddGlobalTestEnvironment(new Sinks48k));

TransferSettings Settings(const wchar_t* input, const wchar_t* output, const PcmSpec& spec)
{
    TransferSettings settings;
    int in = FindWaveIn(input);
    int out = FindWaveOut(output);
    EXPECT_GE(in, 0) << "no capture device named like that";
    EXPECT_GE(out, 0) << "no playback device named like that";
    settings.inputDevice = static_cast<UINT>(in);
    settings.outputDevice = static_cast<UINT>(out);
    settings.sampleRate = spec.rate;
    settings.channels = spec.channels;
    settings.bitsPerSample = std::strcmp(spec.format, "s24le") == 0 ? 24 : 16;
    return settings;
}

// Pseudo-random bytes: any change of volume, format or order shows.
std::vector<uint8_t> Pattern(size_t bytes)
{
    std::vector<uint8_t> data(bytes);
    uint32_t state = 0x2545F491u;
    for (auto& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return data;
}

// Offset of needle's first bytes in the recording at a frame boundary, or -1.
long FindAt(const std::vector<uint8_t>& recording, const uint8_t* needle, size_t probe, size_t frame)
{
    for (size_t at = 0; at + probe <= recording.size(); at += frame)
        if (std::memcmp(recording.data() + at, needle, probe) == 0)
            return static_cast<long>(at);
    return -1;
}

// The engine started in the owner's order but without the channel's refusal of a device that
// does not open: what the engine itself does then.
bool StartEngineAlone(CTransferChannel& channel, const TransferSettings& settings)
{
    CAudioTransfer& engine = channel.engine;
    engine.bufferNum = settings.bufferNum;
    engine.bufferLenMs = settings.bufferLenMs;
    engine.channels = settings.channels;
    engine.bitsPerSample = settings.bitsPerSample;
    engine.sampleRate = settings.sampleRate;
    engine.hQueueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    engine.hThread = CreateThread(nullptr, 0, AudioTransferWorkerThreadProc, &engine, 0, &id);
    engine.threadId = id;
    bool ready = engine.hThread && WaitForSingleObject(engine.hQueueReady, kToolTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(engine.hQueueReady);
    engine.hQueueReady = nullptr;
    if (!ready || !engine.OpenDevices(settings.inputDevice, settings.outputDevice))
        return false;
    waveInStart(engine.hWaveIn);
    engine.flags = TRANSFER_RUNNING;
    return true;
}

// Runs the channel while `fed` is played into the playback device feedOut and returns what the
// capture device recordIn delivered (nothing when recordIn is null); watch runs every few ms
// while the feed plays. The channel starts as its owner starts it, or with `start` when given.
std::vector<uint8_t> RunFed(CTransferChannel& channel, const TransferSettings& settings, const wchar_t* feedOut,
                            const wchar_t* recordIn, const std::vector<uint8_t>& fed,
                            const std::function<void()>& watch = [] {},
                            bool (*start)(CTransferChannel&, const TransferSettings&) = nullptr)
{
    WAVEFORMATEXTENSIBLE format = WaveFormat(settings.bitsPerSample, settings.sampleRate, settings.channels);
    CWaveRecorder recorder;
    CWavePlayer player;
    if (recordIn) {
        size_t bytes = fed.size() + (kSettleMs + kTailMs) * format.Format.nAvgBytesPerSec / 1000;
        EXPECT_TRUE(recorder.Start(static_cast<UINT>(FindWaveIn(recordIn)), format, bytes));
    }
    EXPECT_TRUE(start ? start(channel, settings) : channel.Start(settings));
    Sleep(kSettleMs);
    EXPECT_TRUE(player.Start(static_cast<UINT>(FindWaveOut(feedOut)), format, fed));
    for (DWORD start = GetTickCount(); !player.Wait(0) && GetTickCount() - start < kToolTimeoutMs;) {
        watch();
        Sleep(5);
    }
    EXPECT_TRUE(player.Wait(0)) << "the feed did not finish";
    if (recordIn) {
        EXPECT_TRUE(recorder.Wait(kToolTimeoutMs)) << "the recording did not finish";
    }
    channel.Stop();
    return recorder.Data();
}

void ExpectStoppedClean(const CTransferChannel& channel)
{
    EXPECT_EQ(channel.engine.liveBuffers, 0u);
    EXPECT_EQ(channel.engine.hWaveIn, nullptr);
    EXPECT_EQ(channel.engine.hWaveOut, nullptr);
    EXPECT_EQ(channel.engine.hThread, nullptr);
    EXPECT_EQ(channel.engine.flags, 0u);
}

struct BitExactCase
{
    const char* name;
    const wchar_t* input;
    const wchar_t* output;
    const wchar_t* feedOut;
    const wchar_t* recordIn;
    PcmSpec spec;
    unsigned sampleBytes;
};

const BitExactCase kBitExact[] = {
    {"Default16Bit44k", kInputA, kOutputB, L"Lyrant Speakers A", L"Monitor of Lyrant Speakers B", kDefaultSpec, 2},
    {"Stereo24Bit48k", kInput48kA, kOutput48kB, L"Lyrant Engine 48k A", L"Monitor of Lyrant Engine 48k B", kSpec48k,
     3},
};

class AudioTransferBitExact : public ::testing::TestWithParam<BitExactCase> {};

// Empty when the body of fed arrived unchanged in recorded, else what went wrong.
std::string CompareBody(const std::vector<uint8_t>& fed, const std::vector<uint8_t>& recorded, size_t frame,
                        size_t edge)
{
    const uint8_t* body = fed.data() + edge;
    size_t bodyBytes = fed.size() - 2 * edge;
    long at = FindAt(recorded, body, 64 * frame, frame);
    if (at < 0)
        return "the signal never arrived in " + std::to_string(recorded.size()) + " bytes";
    if (at + bodyBytes > recorded.size())
        return "the recording ends inside the signal";
    for (size_t i = 0; i < bodyBytes; ++i)
        if (recorded[at + i] != body[i])
            return "the signal arrived changed from frame " + std::to_string((edge + i) / frame);
    return std::string();
}

TEST_P(AudioTransferBitExact, SignalArrivesUnchanged)
{
    const BitExactCase& c = GetParam();
    ASSERT_TRUE(g_sinks48k->loaded_) << "the 48 kHz sinks were not loaded";
    size_t frame = c.spec.channels * c.sampleBytes;
    std::vector<uint8_t> fed = Pattern(c.spec.rate * frame);  // one second
    // The sound server itself silences the first milliseconds of a new stream: compare the body.
    size_t edge = c.spec.rate / 20 * frame;

    // Further tries only for a glitch of the loaded machine: a systematic change fails every one.
    std::string problem;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        CTransferChannel channel;
        std::vector<uint8_t> recorded =
            RunFed(channel, Settings(c.input, c.output, c.spec), c.feedOut, c.recordIn, fed);
        ExpectStoppedClean(channel);
        problem = CompareBody(fed, recorded, frame, edge);
        if (problem.empty())
            break;
        std::printf("attempt %d: %s\n", attempt + 1, problem.c_str());
    }
    EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(Formats, AudioTransferBitExact, ::testing::ValuesIn(kBitExact),
                         [](const auto& info) { return std::string(info.param.name); });

class AudioTransferPlaybackStart : public ::testing::TestWithParam<DWORD> {};

TEST_P(AudioTransferPlaybackStart, StartsOnceWhenHalfTheRingIsQueued)
{
    DWORD buffers = GetParam();
    CTransferChannel channel;
    TransferSettings settings = Settings(kInputA, kOutputB, kDefaultSpec);
    settings.bufferNum = buffers;
    settings.bufferLenMs = 20 * buffers;
    ResetWaveCallCounts(&channel.engine.queuedOut);
    ASSERT_TRUE(channel.Start(settings));
    Sleep(kSettleMs + 600);  // dozens of blocks
    EXPECT_TRUE(channel.engine.flags & TRANSFER_OUTPUT_STARTED);
    LONG restarts = g_waveCalls.outRestart;
    LONG atRestart = g_waveCalls.watchedAtRestart;
    channel.Stop();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(atRestart, static_cast<LONG>(buffers / 2 ? buffers / 2 : 1));
    ExpectStoppedClean(channel);
}

INSTANTIATE_TEST_SUITE_P(RingSizes, AudioTransferPlaybackStart, ::testing::Values(10u, 4u, 1u));

TEST(AudioTransferDevices, WithoutPlaybackBlocksLoopBackToCapture)
{
    CTransferChannel channel;
    TransferSettings settings = Settings(kInputA, kOutputB, kDefaultSpec);
    settings.outputDevice = kNoSuchDevice;
    ResetWaveCallCounts(nullptr);

    // A loud tone into the captured sink: the levels follow it though nothing is played.
    std::vector<int16_t> tone = MakeTone(440, 44100, 2, 44100 * 2, 16000);
    std::vector<uint8_t> fed(tone.size() * 2);
    std::memcpy(fed.data(), tone.data(), fed.size());
    DWORD highestLevel = 0;
    LONG highestQueuedOut = 0;
    bool playbackOpened = false, captureOpened = false;
    RunFed(channel, settings, L"Lyrant Speakers A", nullptr, fed, [&] {
        DWORD level = channel.engine.levels[0];
        LONG queuedOut = channel.engine.queuedOut;
        highestLevel = std::max(highestLevel, level);
        highestQueuedOut = std::max(highestQueuedOut, queuedOut);
        playbackOpened |= channel.engine.hWaveOut != nullptr;
        captureOpened |= channel.engine.hWaveIn != nullptr;
    }, StartEngineAlone);
    LONG requeued = g_waveCalls.inAddBuffer - static_cast<LONG>(settings.bufferNum);

    EXPECT_FALSE(playbackOpened);
    EXPECT_TRUE(captureOpened);
    EXPECT_EQ(highestQueuedOut, 0);
    EXPECT_GT(requeued, 2 * static_cast<LONG>(settings.bufferNum)) << "blocks did not come back to capture";
    // 16000 peak: mean magnitude 2/pi of it, on the 2^16 step of 16-bit samples.
    EXPECT_GT(highestLevel, 16000u * 65536u / 2);
    ExpectStoppedClean(channel);
}

// The most blocks queued on playback while the channel runs for ms.
LONG MostOnPlayback(const CTransferChannel& channel, DWORD ms)
{
    LONG most = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(2))
        most = std::max<LONG>(most, static_cast<LONG>(channel.engine.queuedOut));
    return most;
}

TEST(AudioTransferDevices, RingLeftOnPlaybackByAStallGetsBackItsBalance)
{
    CTransferChannel channel;
    TransferSettings settings = Settings(kInputA, kOutputB, kDefaultSpec);
    ASSERT_TRUE(channel.Start(settings));
    Sleep(kSettleMs + 600);
    const LONG half = static_cast<LONG>(settings.bufferNum / 2);
    const LONG before = MostOnPlayback(channel, 600);
    // Playback stalls while capture goes on: the whole ring ends up queued on playback.
    waveOutPause(channel.engine.hWaveOut);
    Sleep(400);
    waveOutRestart(channel.engine.hWaveOut);
    Sleep(1000);
    const LONG after = MostOnPlayback(channel, 1000);
    LONG rebalances = channel.engine.rebalances;
    channel.Stop();
    std::printf("most on playback: %ld before the stall, %ld after it; %ld rebalance(s)\n",
                static_cast<long>(before), static_cast<long>(after), static_cast<long>(rebalances));
    EXPECT_LE(before, half + 2);
    // Back to the half the ring started with (bursts of the device add a block or two), rather than
    // the whole ring, which is the whole ring's latency for as long as the channel runs.
    EXPECT_LE(after, half + 2);
    EXPECT_GE(rebalances, 1);
    ExpectStoppedClean(channel);
}

TEST(AudioTransferDevices, ChannelWhosePlaybackDoesNotOpenStaysIdleAndSaysWhy)
{
    CTransferChannel channel;
    TransferSettings settings = Settings(kInputA, kOutputB, kDefaultSpec);
    settings.outputDevice = kNoSuchDevice;
    TransferFailure failure;
    EXPECT_FALSE(channel.Start(settings, &failure));
    EXPECT_EQ(failure.problem, TransferProblem::OutputDevice);
    EXPECT_EQ(failure.deviceError, static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    // The capture that did open was closed again, with every block it held.
    ExpectStoppedClean(channel);
    // The same channel starts once the devices are right.
    ASSERT_TRUE(channel.Start(Settings(kInputA, kOutputB, kDefaultSpec), &failure));
    EXPECT_EQ(failure.problem, TransferProblem::None);
    channel.Stop();
    ExpectStoppedClean(channel);
}

TEST(AudioTransferDevices, StopOrderResetsOnceFreesEveryBlockAndNullsTheHandles)
{
    CTransferChannel channel;
    ResetWaveCallCounts(nullptr);
    ASSERT_TRUE(channel.Start(Settings(kInputA, kOutputB, kDefaultSpec)));
    Sleep(kSettleMs + 300);
    ASSERT_TRUE(channel.engine.flags & TRANSFER_OUTPUT_STARTED);
    channel.engine.StopDevices();
    channel.engine.StopDevices();
    EXPECT_EQ(g_waveCalls.inReset, 1);
    EXPECT_EQ(g_waveCalls.outReset, 1);
    channel.Stop();  // stops again (no further reset), quits the worker, closes
    EXPECT_EQ(g_waveCalls.inReset, 1);
    EXPECT_EQ(g_waveCalls.outReset, 1);
    EXPECT_EQ(g_waveCalls.inCloseOk, 1);
    EXPECT_EQ(g_waveCalls.outCloseOk, 1);
    ExpectStoppedClean(channel);
    EXPECT_EQ(channel.engine.queuedIn, 0);
    EXPECT_EQ(channel.engine.queuedOut, 0);
}

TEST(AudioTransferDevices, BlocksQueuedAfterTheResetDoNotKeepTheDevicesOpen)
{
    CTransferChannel channel;
    ResetWaveCallCounts(nullptr);
    ASSERT_TRUE(channel.Start(Settings(kInputA, kOutputB, kDefaultSpec)));
    Sleep(kSettleMs);
    channel.engine.StopDevices();

    // What a worker racing the stop does: one block back to capture, one to a paused playback.
    std::vector<char> inData(3528), outData(3528);
    WAVEHDR late[2] = {};
    late[0].lpData = inData.data();
    late[0].dwBufferLength = static_cast<DWORD>(inData.size());
    late[1].lpData = outData.data();
    late[1].dwBufferLength = static_cast<DWORD>(outData.size());
    waveInPrepareHeader(channel.engine.hWaveIn, &late[0], sizeof(WAVEHDR));
    ASSERT_EQ(waveInAddBuffer(channel.engine.hWaveIn, &late[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    waveOutPause(channel.engine.hWaveOut);
    waveOutPrepareHeader(channel.engine.hWaveOut, &late[1], sizeof(WAVEHDR));
    ASSERT_EQ(waveOutWrite(channel.engine.hWaveOut, &late[1], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    RefuseCloseWhileQueued(&late[0], &late[1]);

    channel.Stop();
    RefuseCloseWhileQueued(nullptr, nullptr);
    EXPECT_EQ(channel.engine.hWaveIn, nullptr);
    EXPECT_EQ(channel.engine.hWaveOut, nullptr);
    EXPECT_EQ(g_waveCalls.inCloseStillPlaying, 1);
    EXPECT_EQ(g_waveCalls.outCloseStillPlaying, 1);
    EXPECT_EQ(g_waveCalls.inCloseOk, 1);
    EXPECT_EQ(g_waveCalls.outCloseOk, 1);
    EXPECT_TRUE(late[0].dwFlags & WHDR_DONE);
    EXPECT_TRUE(late[1].dwFlags & WHDR_DONE);
}

// The UI thread's stop landing between the worker's look at the stopping flag and its next device
// call: the block goes to a device that has just been reset and would never come back.
enum class RaceAt { CaptureAdd, PlaybackWrite };

class AudioTransferStopRace : public ::testing::TestWithParam<RaceAt> {};

volatile LONG g_raced = 0;

void StopFromAnotherThread(WAVEHDR* header)
{
    reinterpret_cast<CAudioTransfer*>(header->dwUser)->StopDevices();
    InterlockedExchange(&g_raced, 1);
}

TEST_P(AudioTransferStopRace, BlockQueuedJustAfterTheResetIsFreed)
{
    CTransferChannel channel;
    ResetWaveCallCounts(nullptr);
    g_raced = 0;
    ASSERT_TRUE(channel.Start(Settings(kInputA, kOutputB, kDefaultSpec)));
    Sleep(kSettleMs);   // blocks circulate
    if (GetParam() == RaceAt::CaptureAdd)
        RunOnceBeforeInAddBuffer(&StopFromAnotherThread);
    else
        RunOnceBeforeOutWrite(&StopFromAnotherThread);
    for (DWORD start = GetTickCount(); !g_raced && GetTickCount() - start < kToolTimeoutMs;)
        Sleep(1);
    ASSERT_TRUE(g_raced) << "the worker made no such call";
    channel.Stop();
    ExpectStoppedClean(channel);
    EXPECT_EQ(channel.engine.queuedIn, 0);
    EXPECT_EQ(channel.engine.queuedOut, 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, AudioTransferStopRace, ::testing::Values(RaceAt::CaptureAdd, RaceAt::PlaybackWrite),
                         [](const auto& info) {
                             return std::string(info.param == RaceAt::CaptureAdd ? "CaptureAdd" : "PlaybackWrite");
                         });

struct PitchCase
{
    int position;
    double frequency;
};

class AudioTransferPitch : public ::testing::TestWithParam<PitchCase> {};

// Frequencies of both channels in the middle second of the tone's arrival; empty when it did not arrive.
std::vector<double> MeasuredFrequencies(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    auto span = LoudSpan(recorded, 2, 2000);
    if (span.second - span.first <= 44100u)
        return {};
    size_t middle = (span.first + span.second) / 2;
    return {ZeroCrossingFrequency(recorded, 2, 0, middle - 22050, 44100, 44100),
            ZeroCrossingFrequency(recorded, 2, 1, middle - 22050, 44100, 44100)};
}

TEST_P(AudioTransferPitch, ToneComesOutAtTheShiftedFrequency)
{
    const PitchCase& c = GetParam();
    std::vector<int16_t> tone = MakeTone(440, 44100, 2, 44100 * 2, 12000);
    std::vector<uint8_t> fed(tone.size() * 2);
    std::memcpy(fed.data(), tone.data(), fed.size());
    auto onTarget = [&](double f) { return std::fabs(f - c.frequency) <= c.frequency * 0.01; };

    // Further tries only for a gap from the loaded machine: a wrong shift fails every one.
    std::vector<double> measured;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        CTransferChannel channel;
        channel.SetPitch(c.position);
        measured = MeasuredFrequencies(
            RunFed(channel, Settings(kInputA, kOutputB, kDefaultSpec), L"Lyrant Speakers A", kOutputBMonitor, fed));
        ExpectStoppedClean(channel);
        if (measured.size() == 2 && onTarget(measured[0]) && onTarget(measured[1]))
            break;
        std::printf("attempt %d: %s\n", attempt + 1,
                    measured.empty() ? "less than a second of the tone arrived"
                                     : ("measured " + std::to_string(measured[0]) + " Hz").c_str());
    }
    ASSERT_EQ(measured.size(), 2u) << "less than a second of the tone arrived";
    EXPECT_NEAR(measured[0], c.frequency, c.frequency * 0.01) << "left";
    EXPECT_NEAR(measured[1], c.frequency, c.frequency * 0.01) << "right";
}

INSTANTIATE_TEST_SUITE_P(Positions, AudioTransferPitch,
                         ::testing::Values(PitchCase{800, 880.0}, PitchCase{500, 440.0}),
                         [](const auto& info) { return "Position" + std::to_string(info.param.position); });

}  // namespace
