// Starting and stopping the main dialog's channels, and the meters while they run.
#include "app/MainDlg.h"

#include <commctrl.h>
#include <cstdlib>
#include <cwchar>

#include "app/AppMessageBox.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"

namespace {

constexpr size_t kQuotedChars = 40;   // a stored text quoted in a message is cut to this

// The number a decimal setting begins with (leading digits; none gives 0). A number past 32 bits
// reads as the largest one, so it stays out of every range instead of wrapping into one.
DWORD LeadingNumber(const std::wstring& text)
{
    long long number = _wcstoi64(text.c_str(), nullptr, 10);
    if (number <= 0)
        return 0;
    return number > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<DWORD>(number);
}

std::wstring Quoted(const std::wstring& text)
{
    return text.size() <= kQuotedChars ? text : text.substr(0, kQuotedChars) + L"...";
}

// The settings a channel starts with, and their texts as stored, for a message that quotes them.
struct StoredFormat
{
    TransferSettings settings;
    std::wstring bufferLenMs, bitsPerSample, sampleRate;
};

StoredFormat ReadStoredFormat()
{
    CRegSettings& store = GetSettings();
    StoredFormat stored;
    stored.bufferLenMs = store.Get(Settings::BufferLenMs);
    stored.bitsPerSample = store.Get(Settings::BPS);
    stored.sampleRate = store.Get(Settings::SampleRate);
    stored.settings.bufferNum = store.Get(Settings::BufferNum);
    stored.settings.bufferLenMs = LeadingNumber(stored.bufferLenMs);
    stored.settings.channels = store.Get(Settings::Channels);
    stored.settings.bitsPerSample = LeadingNumber(stored.bitsPerSample);
    stored.settings.sampleRate = LeadingNumber(stored.sampleRate);
    return stored;
}

// The wave API's own words for a device error, after the sentence that names the device.
std::wstring WithDeviceError(std::wstring text, MMRESULT error, bool input)
{
    if (error == MMSYSERR_NOERROR)
        return text;
    wchar_t reason[MAXERRORLENGTH] = {};
    MMRESULT found = input ? waveInGetErrorTextW(error, reason, MAXERRORLENGTH)
                           : waveOutGetErrorTextW(error, reason, MAXERRORLENGTH);
    if (found == MMSYSERR_NOERROR && reason[0])
        text += L" " + std::wstring(reason);
    return text;
}

std::wstring SelectedDeviceName(HWND dialog, int comboId)
{
    HWND combo = ::GetDlgItem(dialog, comboId);
    LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    LRESULT length = selection >= 0 ? ::SendMessageW(combo, CB_GETLBTEXTLEN, selection, 0) : CB_ERR;
    if (length < 0)
        return std::wstring();
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(&name[0]));
    name.resize(static_cast<size_t>(length));
    return name;
}

// Why the channel did not start, in the user's words; the setting's own texts are quoted.
std::wstring StartProblemText(HWND dialog, int channel, const TransferFailure& failure, const StoredFormat& stored)
{
    using namespace TransferLimits;
    const ChannelControlIds& ids = kChannelControls[channel];
    switch (failure.problem) {
    case TransferProblem::BufferNum:
        return FormatResString(IDS_BAD_BUFFER_NUM, "uuu", stored.settings.bufferNum, kMinBufferNum, kMaxBufferNum);
    case TransferProblem::BufferLenMs:
        return FormatResString(IDS_BAD_BUFFER_LENGTH, "suu", Quoted(stored.bufferLenMs).c_str(), kMinBufferLenMs,
                               kMaxBufferLenMs);
    case TransferProblem::Channels:
        return FormatResString(IDS_BAD_CHANNELS, "u", stored.settings.channels);
    case TransferProblem::BitsPerSample:
        return FormatResString(IDS_BAD_BITS, "s", Quoted(stored.bitsPerSample).c_str());
    case TransferProblem::SampleRate:
        return FormatResString(IDS_BAD_SAMPLE_RATE, "suu", Quoted(stored.sampleRate).c_str(), kMinSampleRate,
                               kMaxSampleRate);
    case TransferProblem::Worker:
        return LoadResString(IDS_NO_WORKER);
    case TransferProblem::Memory:
        return LoadResString(IDS_NO_BUFFER_MEMORY);
    case TransferProblem::InputDevice:
        return WithDeviceError(FormatResString(IDS_INPUT_NOT_OPENED, "s", SelectedDeviceName(dialog, ids.input).c_str()),
                               failure.deviceError, true);
    case TransferProblem::OutputDevice:
        return WithDeviceError(FormatResString(IDS_OUTPUT_NOT_OPENED, "s", SelectedDeviceName(dialog, ids.output).c_str()),
                               failure.deviceError, false);
    case TransferProblem::None:
        break;
    }
    return std::wstring();
}

}  // namespace

// The user hears why the press did nothing, and the log keeps it.
void CMainDlg::RefuseStart(int channel, const std::wstring& reason, bool settingsProblem)
{
    std::wstring caption = FormatResString(IDS_CHANNEL_NOT_STARTED, "d", channel + 1);
    g_LogFile.Log(L"%s: %s", caption.c_str(), reason.c_str());
    std::wstring text = reason;
    if (settingsProblem)
        text += std::wstring(L"\n\n") + LoadResString(IDS_CHANGE_ON_GENERAL_PAGE);
    AppMessageBox(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int CMainDlg::ChannelOfStartButton(int id)
{
    for (int channel = 0; channel < kChannelCount; ++channel)
        if (kChannelControls[channel].start == id)
            return channel;
    return -1;
}

LRESULT CMainDlg::OnStartStopChannel(WORD, WORD id, HWND, BOOL&)
{
    int channel = ChannelOfStartButton(id);
    if (channel < 0 || !m_channels[channel])
        return 0;
    if (IsChannelRunning(channel))
        StopChannel(channel);
    else
        StartChannel(channel);
    return 0;
}

void CMainDlg::StartChannel(int channel)
{
    const ChannelControlIds& ids = kChannelControls[channel];
    StoredFormat stored = ReadStoredFormat();
    TransferSettings& settings = stored.settings;

    LRESULT input = SendDlgItemMessageW(m_hWnd, ids.input, CB_GETCURSEL, 0, 0);
    LRESULT output = SendDlgItemMessageW(m_hWnd, ids.output, CB_GETCURSEL, 0, 0);
    if (input == CB_ERR || output == CB_ERR) {
        RefuseStart(channel, LoadResString(input == CB_ERR ? IDS_CHOOSE_INPUT : IDS_CHOOSE_OUTPUT), false);
        return;
    }
    // Entry 0 is the mapper (-1); entry k is device k - 1.
    settings.inputDevice = static_cast<UINT>(input - 1);
    settings.outputDevice = static_cast<UINT>(output - 1);
    TransferFailure failure;
    if (!m_channels[channel]->Start(settings, &failure)) {
        bool onGeneralPage = failure.problem == TransferProblem::BufferNum ||
                             failure.problem == TransferProblem::BufferLenMs ||
                             failure.problem == TransferProblem::BitsPerSample ||
                             failure.problem == TransferProblem::SampleRate;
        RefuseStart(channel, StartProblemText(m_hWnd, channel, failure, stored), onGeneralPage);
        return;
    }

    for (int meter : {ids.captureMeter, ids.playbackMeter})
        SendDlgItemMessageW(m_hWnd, meter, PBM_SETRANGE, 0, MAKELPARAM(0, settings.bufferNum));
    for (int meter : {ids.leftMeter, ids.rightMeter})
        SendDlgItemMessageW(m_hWnd, meter, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetDlgItemText(ids.start, LoadResString(IDS_STOP));
    ::EnableWindow(GetDlgItem(ids.pitch), TRUE);
    SetTimer(m_hWnd, kMeterTimer, kMeterPeriodMs, nullptr);
}

void CMainDlg::StopChannel(int channel)
{
    const ChannelControlIds& ids = kChannelControls[channel];
    m_channels[channel]->Stop();
    for (int meter : {ids.captureMeter, ids.playbackMeter, ids.leftMeter, ids.rightMeter})
        SendDlgItemMessageW(m_hWnd, meter, PBM_SETPOS, 0, 0);
    SetDlgItemText(ids.start, LoadResString(IDS_START));
    ::EnableWindow(GetDlgItem(ids.pitch), FALSE);
}

LRESULT CMainDlg::OnTimer(UINT, WPARAM id, LPARAM, BOOL&)
{
    if (id != kMeterTimer)
        return 0;
    bool anyWorker = false;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        CTransferChannel* running = m_channels[channel];
        if (!running || !running->engine.hThread)
            continue;
        anyWorker = true;
        const ChannelControlIds& ids = kChannelControls[channel];
        TransferMeters meters = running->Meters();
        SendDlgItemMessageW(m_hWnd, ids.captureMeter, PBM_SETPOS, meters.queuedIn, 0);
        SendDlgItemMessageW(m_hWnd, ids.playbackMeter, PBM_SETPOS, meters.queuedOut, 0);
        for (int side = 0; side < 2; ++side) {
            DWORD level = meters.levels[side] / kLevelDivisor;
            SendDlgItemMessageW(m_hWnd, side == 0 ? ids.leftMeter : ids.rightMeter, PBM_SETPOS,
                                level < 100 ? level : 100, 0);
        }
    }
    if (!anyWorker)
        KillTimer(m_hWnd, kMeterTimer);
    return 0;
}
