// The main dialog's buttons that open the other windows: pitch popups, About, Options.
#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "app/OptionsSheet.h"

LRESULT CMainDlg::OnPitch(WORD, WORD id, HWND button, BOOL&)
{
    const int channel = id - IDC_PITCH1;
    if (channel < 0 || channel >= kChannelCount || !IsChannelRunning(channel))
        return 0;
    CSndEftDlg* popup = m_pitchPopups[channel];
    if (popup->m_hWnd == nullptr && popup->Create(m_hWnd) == nullptr)
        return 0;
    if (button != nullptr)
        popup->ShowAt(button, 0);
    popup->ShowWindow(SW_SHOW);
    return 0;
}

LRESULT CMainDlg::OnAbout(WORD, WORD, HWND, BOOL&)
{
    CHtmlAboutDlg about;
    about.Run(::GetActiveWindow());
    return 0;
}

LRESULT CMainDlg::OnOptions(WORD, WORD, HWND, BOOL&)
{
    RunOptionsSheet(::GetActiveWindow());
    return 0;
}
