#pragma once
#include <windows.h>

#include "app/res/DialogIds.h"
#include "app/res/resource.h"
#include "core/VADrvHelper.h"
#include "framework/PropertySheet.h"

// The Driver page of the options sheet: the virtual audio driver's instance count and volume
// control, read from and sent to the driver itself, which then has to be restarted.
class COptionPageDriver : public CPropertyPage
{
public:
    static constexpr int kMinInstances = 1, kMaxInstances = 16;
    static constexpr DWORD kDevconWaitMs = 3000;

    COptionPageDriver() : CPropertyPage(IDD_OPTION_DRIVER, IDS_DRIVER) {}
    ~COptionPageDriver() override;

    bool IsModified() const { return m_modified; }
    bool RestartFailed() const { return m_restartFailed; }
    CVADrvHelper* Helper() const { return m_helper; }

    // Whether the setup-interface restart is tried (32-bit Windows and an administrator); else
    // the device console tool restarts the device, elevated. Replaceable for tests.
    static bool (*CanRestartThroughSetup)();

    BEGIN_MSG_MAP(COptionPageDriver)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_DRV_INSTANCES, EN_CHANGE, OnEdit)
        COMMAND_ID_HANDLER(IDC_DRV_VOLUME, OnEdit)
        CHAIN_MSG_MAP(CPropertyPage)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEdit(WORD, WORD, HWND, BOOL&);
    int OnApply() override;
    void OnPageRelease() override;

    // Restarts the device so that the driver takes the settings; true when the driver is open
    // again afterwards, or when the user chose to leave a device in use alone.
    bool RestartDriver();

private:
    bool RestartWithDevcon();
    void ShowProgress(bool show);

    CVADrvHelper* m_helper = nullptr;
    HWND m_spin = nullptr;
    bool m_modified = false;
    bool m_restartFailed = false;
    bool m_initialising = false;
};
