#include "app/DriverPage.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/AppMessageBox.h"
#include "core/AppPaths.h"
#include "core/SystemChecks.h"
#include "core/VADrvProtocol.h"

namespace {

bool SetupRestartAllowed()
{
    return !Is64BitWindows() && IsUserAdminNoThrow();
}

}  // namespace

bool (*COptionPageDriver::CanRestartThroughSetup)() = &SetupRestartAllowed;

COptionPageDriver::~COptionPageDriver()
{
    OnPageRelease();
}

LRESULT COptionPageDriver::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_spin = GetDlgItem(IDC_DRV_INSTANCE_SPIN);
    ::SendMessageW(m_spin, UDM_SETRANGE, 0, MAKELPARAM(kMaxInstances, kMinInstances));

    m_helper = new CVADrvHelper();
    if (!m_helper->Open()) {
        AppMessageBox(m_hWnd, LoadResString(IDS_DRIVER_NOT_INSTALLED), LoadResString(IDS_ERROR), MB_ICONHAND);
        return FALSE;
    }
    // What the page shows of the driver is not an edit: only the user's changes send and restart.
    m_initialising = true;
    VADRV_DRIVER_INFO info = {};
    if (m_helper->GetDriverInfo(&info)) {
        m_helper->instanceCount = static_cast<int>(info.instanceCount);
        SetDlgItemInt(IDC_DRV_INSTANCES, info.instanceCount, TRUE);
        VADRV_INSTANCE_INFO instance = {};
        if (info.instanceCount != 0 && m_helper->GetInstanceInfo(0, &instance)) {
            m_helper->volumeControl = instance.volumeControl != 0 ? 1 : 0;
            CheckDlgButton(IDC_DRV_VOLUME, instance.volumeControl != 0 ? BST_CHECKED : BST_UNCHECKED);
        }
    }
    m_initialising = false;
    return TRUE;
}

LRESULT COptionPageDriver::OnEdit(WORD, WORD, HWND, BOOL&)
{
    if (m_initialising)
        return 0;
    m_modified = true;
    SetModified(TRUE);
    return 0;
}

int COptionPageDriver::OnApply()
{
    if (!m_modified || m_helper == nullptr)
        return PSNRET_NOERROR;
    // As typed: the arrows keep to 1..16, typing does not.
    m_helper->instanceCount = static_cast<int>(GetDlgItemInt(IDC_DRV_INSTANCES, nullptr, TRUE));
    m_helper->volumeControl = IsDlgButtonChecked(IDC_DRV_VOLUME) == BST_CHECKED ? 1 : 0;
    m_helper->ApplySettings();
    m_restartFailed = !RestartDriver();
    m_modified = false;
    return PSNRET_NOERROR;
}

void COptionPageDriver::OnPageRelease()
{
    if (m_helper == nullptr)
        return;
    m_helper->Close();
    delete m_helper;
    m_helper = nullptr;
}

bool COptionPageDriver::RestartDriver()
{
    VADRV_DRIVER_INFO info = {};
    if (!m_helper->GetDriverInfo(&info))
        return false;
    if (info.inUse != 0 &&
        AppMessageBox(m_hWnd, LoadResString(IDS_DRIVER_IN_USE_RETRY), LoadResString(IDS_DRIVER_IN_USE),
                      MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return true;   // left alone: the change waits for the device's next start

    m_helper->Close();
    SetDlgItemText(IDC_DRV_PROGRESS, LoadResString(IDS_RESTARTING_DRIVER));
    ShowProgress(true);

    if (CanRestartThroughSetup()) {
        bool restarted = CVADrvHelper::RestartDevice();
        if (restarted) {
            ShowProgress(false);
            return m_helper->Open();
        }
        // Where the setup interface cannot restart the device, the device console tool still can.
        if (RestartWithDevcon())
            return true;
        AppMessageBox(m_hWnd, LoadResString(IDS_RESTART_FAILED), LoadResString(IDS_ERROR), MB_ICONHAND);
        return false;
    }
    return RestartWithDevcon();
}

bool COptionPageDriver::RestartWithDevcon()
{
    // The tool's outcome is not reported back: after the wait, only re-opening tells.
    ::ShellExecuteW(m_hWnd, L"runas", L"devcon.exe", L"restart Kestro_WDM", GetAppPath(L""), SW_HIDE);
    ::Sleep(kDevconWaitMs);
    ShowProgress(false);
    return m_helper->Open();
}

void COptionPageDriver::ShowProgress(bool show)
{
    ::ShowWindow(GetDlgItem(IDC_DRV_PROGRESS), show ? SW_SHOW : SW_HIDE);
    if (show) {
        Invalidate();
        UpdateWindow();
    }
}
