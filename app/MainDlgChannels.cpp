// Starting and stopping the main dialog's channels, and the meters while they run.
#include "app/MainDlg.h"

#include <commctrl.h>
#include <cwchar>

#include "core/AppPaths.h"
#include "core/RegSettings.h"

namespace {

// Decimal settings read with the leading-digits rule: a text without digits gives 0.
DWORD DecimalSetting(const Settings::StringValue& value)
{
    std::wstring text = GetSettings().Get(value);
    long number = wcstol(text.c_str(), nullptr, 10);
    return number > 0 ? static_cast<DWORD>(number) : 0;
}

// A format the engine could not work with must not start a channel.
bool IsUsableFormat(const TransferSettings& settings)
{
    bool bits = settings.bitsPerSample == 8 || settings.bitsPerSample == 16 || settings.bitsPerSample == 24 ||
                settings.bitsPerSample == 32;
    return bits && (settings.channels == 1 || settings.channels == 2) && settings.sampleRate != 0 &&
           settings.bufferNum != 0;
}

}  // namespace

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
    TransferSettings settings;
    settings.bufferNum = GetSettings().Get(Settings::BufferNum);
    settings.bufferLenMs = DecimalSetting(Settings::BufferLenMs);
    settings.channels = GetSettings().Get(Settings::Channels);
    settings.bitsPerSample = DecimalSetting(Settings::BPS);
    settings.sampleRate = DecimalSetting(Settings::SampleRate);

    LRESULT input = SendDlgItemMessageW(m_hWnd, ids.input, CB_GETCURSEL, 0, 0);
    LRESULT output = SendDlgItemMessageW(m_hWnd, ids.output, CB_GETCURSEL, 0, 0);
    if (input == CB_ERR || output == CB_ERR || !IsUsableFormat(settings))
        return;
    // Entry 0 is the mapper (-1); entry k is device k - 1.
    settings.inputDevice = static_cast<UINT>(input - 1);
    settings.outputDevice = static_cast<UINT>(output - 1);
    if (!m_channels[channel]->Start(settings))
        return;

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
