#pragma once
#include <windows.h>
#include <commctrl.h>

#include "app/WndDropDown.h"
#include "app/res/DialogIds.h"
#include "core/AudioTransfer.h"
#include "framework/DialogImpl.h"
#include "framework/MemoryDC.h"
#include "widgets/IconPicture.h"

// The pitch popup of one transfer channel: a slider and Reset, hanging below the channel's pitch
// button. Moving the slider sets the engine's pitch at once; losing activation hides the popup.
// Created on first use, then only shown and hidden, so it keeps the last pitch.
class CSndEftDlg : public CDialogImpl<CSndEftDlg>,
                   public CDoubleBufferImpl<CSndEftDlg>,
                   public CWndDropDownImpl<CSndEftDlg>
{
public:
    enum { IDD = IDD_SNDEFT };
    static constexpr int kSliderMin = -500, kSliderMax = 500;
    static constexpr int kEngineCentre = 500;   // slider 0: pitch processing off
    static constexpr int kIconSize = 24;
    static constexpr COLORREF kTextColor = 0x804242;

    CSndEftDlg() = default;
    ~CSndEftDlg() override;

    // Not owned; null leaves the slider without effect on any engine.
    void SetEngine(CAudioTransfer* engine) { m_engine = engine; }
    CAudioTransfer* Engine() const { return m_engine; }
    int SliderPos() const;

    BEGIN_MSG_MAP(CSndEftDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
        COMMAND_ID_HANDLER(IDC_PITCH_RESET, OnReset)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        CHAIN_MSG_MAP(CDoubleBufferImpl<CSndEftDlg>)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColor)
        NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHScroll(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReset(WORD, WORD, HWND, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowWindow(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnCtlColor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCustomDraw(int, NMHDR*, BOOL&);

    // Background, then the frame along the window's region.
    void DoPaint(HDC dc);

private:
    CAudioTransfer* m_engine = nullptr;
    HWND m_slider = nullptr;
    CIconPicture m_lowerIcon;
    CIconPicture m_higherIcon;
};
