#include "tests/support/WaveFeed.h"

namespace {

constexpr DWORD kPollMs = 5;
constexpr unsigned kRecordChunkMs = 50;
const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(kPollMs)) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
}

}  // namespace

WAVEFORMATEXTENSIBLE WaveFormat(unsigned bits, unsigned rate, unsigned channels)
{
    WAVEFORMATEXTENSIBLE format = {};
    format.Format.wFormatTag = bits > 16 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM;
    format.Format.nChannels = static_cast<WORD>(channels);
    format.Format.nSamplesPerSec = rate;
    format.Format.wBitsPerSample = static_cast<WORD>(bits);
    format.Format.nBlockAlign = static_cast<WORD>(bits / 8 * channels);
    format.Format.nAvgBytesPerSec = rate * format.Format.nBlockAlign;
    format.Format.cbSize = bits > 16 ? 22 : 0;
    format.Samples.wValidBitsPerSample = static_cast<WORD>(bits);
    format.dwChannelMask = channels == 1 ? 4 : 3;
    format.SubFormat = kSubtypePcm;
    return format;
}

bool CWavePlayer::Start(UINT device, const WAVEFORMATEXTENSIBLE& format, const std::vector<uint8_t>& data)
{
    Close();
    if (waveOutOpen(&handle_, device, &format.Format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        handle_ = nullptr;
        return false;
    }
    data_ = data;
    header_ = {};
    header_.lpData = reinterpret_cast<LPSTR>(data_.data());
    header_.dwBufferLength = static_cast<DWORD>(data_.size());
    waveOutPrepareHeader(handle_, &header_, sizeof(WAVEHDR));
    return waveOutWrite(handle_, &header_, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

bool CWavePlayer::Wait(DWORD timeoutMs)
{
    return handle_ && WaitUntil([this] { return (header_.dwFlags & WHDR_DONE) != 0; }, timeoutMs);
}

void CWavePlayer::Close()
{
    if (!handle_)
        return;
    waveOutReset(handle_);
    waveOutUnprepareHeader(handle_, &header_, sizeof(WAVEHDR));
    waveOutClose(handle_);
    handle_ = nullptr;
}

bool CWaveRecorder::Start(UINT device, const WAVEFORMATEXTENSIBLE& format, size_t bytes)
{
    Close();
    if (waveInOpen(&handle_, device, &format.Format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        handle_ = nullptr;
        return false;
    }
    size_t chunk = format.Format.nAvgBytesPerSec / 1000 * kRecordChunkMs;
    size_t count = (bytes + chunk - 1) / chunk;
    data_.assign(count * chunk, 0);
    headers_.assign(count, WAVEHDR{});
    for (size_t i = 0; i < count; ++i) {
        headers_[i].lpData = reinterpret_cast<LPSTR>(data_.data() + i * chunk);
        headers_[i].dwBufferLength = static_cast<DWORD>(chunk);
        waveInPrepareHeader(handle_, &headers_[i], sizeof(WAVEHDR));
        waveInAddBuffer(handle_, &headers_[i], sizeof(WAVEHDR));
    }
    return waveInStart(handle_) == MMSYSERR_NOERROR;
}

bool CWaveRecorder::Wait(DWORD timeoutMs)
{
    return handle_ && WaitUntil([this] { return (headers_.back().dwFlags & WHDR_DONE) != 0; }, timeoutMs);
}

void CWaveRecorder::Close()
{
    if (!handle_)
        return;
    waveInReset(handle_);
    for (auto& header : headers_)
        waveInUnprepareHeader(handle_, &header, sizeof(WAVEHDR));
    waveInClose(handle_);
    handle_ = nullptr;
}
