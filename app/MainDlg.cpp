#include "app/MainDlg.h"

#include <commctrl.h>

#include "app/MainDlgSkin.h"
#include "core/AppPaths.h"
#include "core/LogFile.h"
#include "core/RegSettings.h"
#include "core/ResourceModule.h"
#include "core/WideFormat.h"
#include "framework/FrameworkModule.h"

CMainDlg* g_MainDlg;

namespace {

constexpr UINT kChannelCountStrings[kChannelCount] = {IDS_ONE_CHANNEL, IDS_TWO_CHANNELS, IDS_THREE_CHANNELS};
constexpr int kChannelHeight96 = 115;       // one channel row at 96 DPI
constexpr int kOneChannelHeight96 = 480;    // the window with one channel at 96 DPI

HICON LoadAppIcon(int cx, int cy)
{
    return static_cast<HICON>(
        LoadImageW(GetResourceModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, cx, cy, 0));
}

}  // namespace

CMainDlg::CMainDlg() = default;

CMainDlg::~CMainDlg()
{
    // The engines are gone by now (OnDestroy); a window never created leaves them unmade.
    for (CTransferChannel*& channel : m_channels) {
        delete channel;
        channel = nullptr;
    }
    for (CSndEftDlg*& popup : m_pitchPopups) {
        delete popup;
        popup = nullptr;
    }
}

BOOL CMainDlg::PreTranslateMessage(MSG* msg)
{
    return IsDialogMessageW(m_hWnd, msg);
}

BOOL CMainDlg::OnIdle()
{
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    g_LogFile.Log(L"Entering [CMainDlg::OnInitDialog]");
    CenterWindow();

    SendMessage(WM_SETICON, ICON_BIG,
                reinterpret_cast<LPARAM>(LoadAppIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))));
    SendMessage(WM_SETICON, ICON_SMALL,
                reinterpret_cast<LPARAM>(LoadAppIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON))));

    if (CMessageLoop* loop = g_Module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    AttachMainDialogSkin(m_hWnd);
    NavigateMainPage();

    HWND count = GetDlgItem(IDC_CHANNEL_COUNT);
    for (UINT id : kChannelCountStrings)
        ::SendMessageW(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(id)));
    ::SendMessageW(count, CB_SETCURSEL, GetSettings().Get(Settings::TransferChannels), 0);
    OnChannelCountChanged();

    EnumAudioDevices();
    FillDeviceCombos();

    for (int channel = 0; channel < kChannelCount; ++channel) {
        m_channels[channel] = new CTransferChannel();
        m_pitchPopups[channel] = new CSndEftDlg();
        m_pitchPopups[channel]->SetEngine(&m_channels[channel]->engine);
    }

    // A channel must run before its pitch can be changed.
    for (int channel = 0; channel < kChannelCount; ++channel) {
        CStyledButton& button = m_pitchButtons[channel];
        button.SubclassWindow(GetDlgItem(kChannelControls[channel].pitch));
        button.SetIconFromResource(IDI_PITCH, IDI_PITCH);
        button.SetColor(CStyledButton::kBackgroundNormal, kDialogBackground);
        button.SetColor(CStyledButton::kBackgroundActive, kDialogBackground);
        button.EnableWindow(FALSE);
    }

    DWORD versionMS = 0, versionLS = 0;
    GetProductVersion(&versionMS, &versionLS, nullptr);
    wchar_t version[32];
    FormatWide(version, ARRAYSIZE(version), L"%d.%d", HIWORD(versionMS), LOWORD(versionMS));
    g_LogFile.Log(L"VERSION:%s", version);
    SetMainDialogVersionText(m_hWnd, version);

    OnChannelCountChanged();
    return TRUE;
}

void CMainDlg::OnChannelCountChanged()
{
    HDC dc = ::GetDC(m_hWnd);
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(m_hWnd, dc);
    RECT window;
    GetWindowRect(&window);

    LRESULT selection = SendDlgItemMessageW(m_hWnd, IDC_CHANNEL_COUNT, CB_GETCURSEL, 0, 0);
    int height = window.bottom - window.top;
    if (selection >= 0 && selection < kChannelCount) {
        if (dpiX < 97) {
            height = static_cast<int>(selection) * kChannelHeight96 + kOneChannelHeight96;
        } else {
            // The bottom of the last shown channel's left level meter, then a margin and the frame.
            RECT meter;
            ::GetWindowRect(GetDlgItem(kChannelControls[selection].leftMeter), &meter);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&meter), 2);
            height = meter.bottom + MulDiv(10, dpiY, 96) + 125;
        }
    }
    MoveWindow(window.left, window.top, window.right - window.left, height);
    Invalidate();
    ::UpdateWindow(GetDlgItem(IDC_MAIN_PAGE));
}

LRESULT CMainDlg::OnCtlColor(UINT, WPARAM dc, LPARAM, BOOL&)
{
    HDC hdc = reinterpret_cast<HDC>(dc);
    SetBkColor(hdc, kDialogBackground);
    SetBkMode(hdc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CMainDlg::OnEraseBkgnd(UINT, WPARAM dc, LPARAM, BOOL&)
{
    HDC hdc = reinterpret_cast<HDC>(dc);
    if (!hdc)
        return 1;
    RECT client;
    GetClientRect(&client);
    COLORREF old = SetBkColor(hdc, kDialogBackground);
    ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
    SetBkColor(hdc, old);
    return 1;
}

LRESULT CMainDlg::OnKeepSkinning(UINT, WPARAM, LPARAM keep, BOOL&)
{
    if (keep)
        *reinterpret_cast<DWORD*>(keep) = 1;
    return 0;
}

LRESULT CMainDlg::Close(WORD id)
{
    DestroyWindow();
    PostQuitMessage(id);
    return 0;
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (CMessageLoop* loop = g_Module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    for (int channel = 0; channel < kChannelCount; ++channel)
        if (IsChannelRunning(channel))
            StopChannel(channel);
    SaveSession();
    for (CTransferChannel*& channel : m_channels) {
        if (channel)
            channel->engine.CloseDevices();
        delete channel;
        channel = nullptr;
    }
    for (CSndEftDlg*& popup : m_pitchPopups) {
        delete popup;
        popup = nullptr;
    }
    bHandled = FALSE;
    return 0;
}

void CMainDlg::SaveSession()
{
    SaveDeviceChoices();
    // A combo without a selection stores the default, never CB_ERR.
    LRESULT count = SendDlgItemMessageW(m_hWnd, IDC_CHANNEL_COUNT, CB_GETCURSEL, 0, 0);
    DWORD stored = count >= 0 && count < kChannelCount ? static_cast<DWORD>(count)
                                                       : Settings::TransferChannels.defaultValue;
    GetSettings().SetDWORD(Settings::TransferChannels.name, stored);
}

void CMainDlg::SaveDeviceChoices()
{
    // One buffer for all six: a combo without a selection saves the text saved before it.
    wchar_t text[256] = {};
    auto save = [&](int comboId, const wchar_t* name) {
        HWND combo = GetDlgItem(comboId);
        LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (selection >= 0 && ::SendMessageW(combo, CB_GETLBTEXTLEN, selection, 0) < LRESULT(ARRAYSIZE(text)))
            ::SendMessageW(combo, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(text));
        GetSettings().SetString(name, text);
    };
    for (int channel = 0; channel < kChannelCount; ++channel)
        save(kChannelControls[channel].input, Settings::InputChoice[channel]);
    for (int channel = 0; channel < kChannelCount; ++channel)
        save(kChannelControls[channel].output, Settings::OutputChoice[channel]);
}
