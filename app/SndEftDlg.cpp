#include "app/SndEftDlg.h"

#include <gdiplus.h>

#include "app/ColorTheme.h"

namespace {
constexpr int kTabBottomInset = 4;   // the tab's gradient stops short of the panel's edge
constexpr BYTE kTabGradientAlpha = 221;
}

CSndEftDlg::~CSndEftDlg()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

int CSndEftDlg::SliderPos() const
{
    return static_cast<int>(::SendMessageW(m_slider, TBM_GETPOS, 0, 0));
}

LRESULT CSndEftDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_slider = GetDlgItem(IDC_PITCH_SLIDER);
    ::SendMessageW(m_slider, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
    ::SendMessageW(m_slider, TBM_SETPOS, TRUE, 0);
    if (m_lowerIcon.SubclassWindow(GetDlgItem(IDC_PITCH_LOWER_ICON)))
        m_lowerIcon.SetIcon(IDI_PITCH_LOWER, kIconSize, kIconSize);
    if (m_higherIcon.SubclassWindow(GetDlgItem(IDC_PITCH_HIGHER_ICON)))
        m_higherIcon.SetIcon(IDI_PITCH_HIGHER, kIconSize, kIconSize);
    return TRUE;
}

LRESULT CSndEftDlg::OnHScroll(UINT, WPARAM, LPARAM control, BOOL& bHandled)
{
    if (reinterpret_cast<HWND>(control) != m_slider) {
        bHandled = FALSE;
        return 0;
    }
    if (m_engine != nullptr)
        m_engine->SetPitch(SliderPos() - kSliderMin);
    return 0;
}

LRESULT CSndEftDlg::OnReset(WORD, WORD, HWND, BOOL&)
{
    ::SendMessageW(m_slider, TBM_SETPOS, TRUE, 0);
    if (m_engine != nullptr)
        m_engine->SetPitch(kEngineCentre);
    return 0;
}

LRESULT CSndEftDlg::OnActivate(UINT, WPARAM state, LPARAM, BOOL& bHandled)
{
    if (LOWORD(state) == WA_INACTIVE)
        ShowWindow(SW_HIDE);
    bHandled = FALSE;
    return 0;
}

LRESULT CSndEftDlg::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowWindow(SW_HIDE);
    return 0;
}

LRESULT CSndEftDlg::OnCtlColor(UINT, WPARAM dc, LPARAM, BOOL&)
{
    HDC hdc = reinterpret_cast<HDC>(dc);
    ::SetTextColor(hdc, kTextColor);
    ::SetBkMode(hdc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

LRESULT CSndEftDlg::OnCustomDraw(int, NMHDR* header, BOOL& bHandled)
{
    if (header->hwndFrom != m_slider) {
        bHandled = FALSE;
        return 0;
    }
    auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
    if (draw->dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->dwDrawStage == CDDS_ITEMPREPAINT && draw->dwItemSpec == TBCD_CHANNEL) {
        // The slider shows the popup's own background behind its channel and thumb.
        POINT origin = {0, 0};
        ::MapWindowPoints(m_slider, m_hWnd, &origin, 1);
        POINT old;
        ::SetViewportOrgEx(draw->hdc, -origin.x, -origin.y, &old);
        SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(draw->hdc), 0);
        ::SetViewportOrgEx(draw->hdc, old.x, old.y, nullptr);
    }
    return CDRF_DODEFAULT;
}

void CSndEftDlg::DoPaint(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    g_ColorTheme.PaintBackground(dc, client.left, client.top, client.right, client.bottom, CColorTheme::kModeSolid);

    const RECT& tab = TabRect();
    if (g_ColorTheme.gradientStyle && (Side() == 0 || Side() == 1) && tab.right > tab.left) {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::Rect area(tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top - kTabBottomInset);
        Gdiplus::LinearGradientBrush brush(area, Gdiplus::Color(g_ColorTheme.GetGdiplusColor(CColorTheme::kDiagonalStart, 0)),
                                           Gdiplus::Color(g_ColorTheme.GetGdiplusColor(CColorTheme::kDiagonalStart, kTabGradientAlpha)),
                                           Gdiplus::LinearGradientModeVertical);
        graphics.FillRectangle(&brush, area);
    }

    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(m_hWnd, region) != ERROR) {
        HBRUSH frame = ::CreateSolidBrush(g_ColorTheme.GetColor(CColorTheme::kFrame));
        ::FrameRgn(dc, region, frame, 1, 1);
        ::DeleteObject(frame);
    }
    ::DeleteObject(region);
}
