#pragma once
#include <windows.h>

#include <string>

#include "app/SndEftDlg.h"
#include "app/res/resource.h"
#include "core/TransferChannel.h"
#include "framework/DialogImpl.h"
#include "framework/MessageLoop.h"
#include "widgets/StyledButton.h"

// The controls of one transfer channel.
struct ChannelControlIds
{
    int input, output, start, pitch, captureMeter, playbackMeter, leftMeter, rightMeter;
};

constexpr ChannelControlIds kChannelControls[3] = {
    {IDC_INPUT1, IDC_OUTPUT1, IDC_START1, IDC_PITCH1, IDC_CAPTURE_METER1, IDC_PLAYBACK_METER1, IDC_LEFT_METER1,
     IDC_RIGHT_METER1},
    {IDC_INPUT2, IDC_OUTPUT2, IDC_START2, IDC_PITCH2, IDC_CAPTURE_METER2, IDC_PLAYBACK_METER2, IDC_LEFT_METER2,
     IDC_RIGHT_METER2},
    {IDC_INPUT3, IDC_OUTPUT3, IDC_START3, IDC_PITCH3, IDC_CAPTURE_METER3, IDC_PLAYBACK_METER3, IDC_LEFT_METER3,
     IDC_RIGHT_METER3},
};

constexpr int kChannelCount = 3;
constexpr UINT_PTR kMeterTimer = 1;
constexpr UINT kMeterPeriodMs = 100;
constexpr DWORD kLevelDivisor = 10737418;   // 2^31 / 200: half of full scale reads 100
constexpr COLORREF kDialogBackground = 0xE0E0E0;
constexpr UINT kMsgSkinQuery = 0x479;       // the skin library's query: answered handled, 0
constexpr UINT kMsgKeepSkinning = 0x8294;   // "does this dialog keep its own skinning?": yes

// The manager's one window: the main page, then up to three transfer channels with their meters.
class CMainDlg : public CDialogImpl<CMainDlg>, public CMessageFilter, public CIdleHandler
{
public:
    enum { IDD = IDD_MAIN };

    CMainDlg();
    ~CMainDlg();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    BEGIN_MSG_MAP(CMainDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(kMsgSkinQuery, OnSkinQuery)
        COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAbout)
        COMMAND_ID_HANDLER(IDOK, OnOK)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        COMMAND_HANDLER(IDC_START1, 0, OnStartStopChannel)
        COMMAND_HANDLER(IDC_START2, 0, OnStartStopChannel)
        COMMAND_HANDLER(IDC_START3, 0, OnStartStopChannel)
        COMMAND_HANDLER(IDC_PITCH1, 0, OnPitch)
        COMMAND_HANDLER(IDC_PITCH2, 0, OnPitch)
        COMMAND_HANDLER(IDC_PITCH3, 0, OnPitch)
        COMMAND_HANDLER(ID_APP_OPTIONS, 0, OnOptions)
        COMMAND_HANDLER(IDC_CHANNEL_COUNT, CBN_SELCHANGE, OnChannelCountCommand)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(kMsgKeepSkinning, OnKeepSkinning)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSkinQuery(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnAbout(WORD, WORD, HWND, BOOL&);
    LRESULT OnOK(WORD, WORD id, HWND, BOOL&) { return Close(id); }
    LRESULT OnCancel(WORD, WORD id, HWND, BOOL&) { return Close(id); }
    LRESULT OnStartStopChannel(WORD, WORD id, HWND, BOOL&);
    LRESULT OnPitch(WORD, WORD id, HWND button, BOOL&);
    LRESULT OnOptions(WORD, WORD, HWND, BOOL&);
    LRESULT OnChannelCountCommand(WORD, WORD, HWND, BOOL&) { OnChannelCountChanged(); return 0; }
    LRESULT OnTimer(UINT, WPARAM id, LPARAM, BOOL&);
    LRESULT OnCtlColor(UINT, WPARAM dc, LPARAM, BOOL&);
    LRESULT OnEraseBkgnd(UINT, WPARAM dc, LPARAM, BOOL&);
    LRESULT OnKeepSkinning(UINT, WPARAM, LPARAM keep, BOOL&);

    void EnumAudioDevices();
    void FillDeviceCombos();
    void OnChannelCountChanged();
    // Stores the device choices and the channel count as the window's destruction does.
    void SaveSession();

    // The channel of a start button id, or -1.
    static int ChannelOfStartButton(int id);
    bool IsChannelRunning(int channel) const { return m_channels[channel] && m_channels[channel]->IsRunning(); }
    CTransferChannel* Channel(int channel) const { return m_channels[channel]; }
    CSndEftDlg* PitchPopup(int channel) const { return m_pitchPopups[channel]; }

    // Names found by the device enumeration.
    std::wstring m_physicalInput, m_physicalOutput;
    std::wstring m_virtualInput, m_virtualOutput;
    std::wstring m_mapperInput, m_mapperOutput;
    std::wstring m_preferredInput, m_preferredOutput;

private:
    LRESULT Close(WORD id);
    void StartChannel(int channel);
    // Tells the user why a channel did not start (with a pointer to the General page when a
    // setting is at fault) and logs it.
    void RefuseStart(int channel, const std::wstring& reason, bool settingsProblem);
    void StopChannel(int channel);
    void NavigateMainPage();
    void SaveDeviceChoices();

    CTransferChannel* m_channels[kChannelCount] = {};
    CSndEftDlg* m_pitchPopups[kChannelCount] = {};

public:
    CStyledButton m_pitchButtons[kChannelCount];
};

// The process-wide pointer to the one main dialog (the update check reaches the window through it).
extern CMainDlg* g_MainDlg;
