// The rebar's window procedure: the office-look background, band backgrounds and grippers, the
// chevron arrow, notifications of the band toolbars and the stretch of a button on resize.
#include <algorithm>

#include "uilib/bars/ButtonLayouts.h"
#include "uilib/bars/CommandBar.h"
#include "uilib/bars/SolidFill.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"

namespace Glazier {
namespace {

constexpr int kGripperStrip = 6;       // the rebar's own gripper stays out of this strip
constexpr int kBandBackgroundExtra = 14;
constexpr int kGripperDots = 4;

void Square(HDC dc, int x, int y, COLORREF colour)
{
    FillSolid(dc, RECT{x, y, x + 2, y + 2}, colour);
}

// Rounds a rectangle's corners by clipping three pixels out of each.
void ExcludeCorners(HDC dc, const RECT& r)
{
    const int xs[2][2] = {{r.left, r.left + 1}, {r.right - 1, r.right - 2}};
    const int ys[2][2] = {{r.top, r.top + 1}, {r.bottom - 1, r.bottom - 2}};
    for (const auto& x : xs)
        for (const auto& y : ys) {
            ExcludeClipRect(dc, x[0], std::min(y[0], y[1]), x[0] + 1, std::max(y[0], y[1]) + 1);
            ExcludeClipRect(dc, x[1], y[0], x[1] + 1, y[0] + 1);
        }
}

}  // namespace

LRESULT CALLBACK CCommandBar::RebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CCommandBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnRebarMessage(window, message, wParam, lParam);
}

CToolBarXP* CCommandBar::ToolBarObjectOf(HWND window, bool orItsTooltip)
{
    if (!window)
        return nullptr;
    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_CHILD | RBBIM_LPARAM);
        if (!SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)) || !info.lParam)
            continue;
        if (info.hwndChild == window ||
            (orItsTooltip && reinterpret_cast<HWND>(SendMessageA(info.hwndChild, TB_GETTOOLTIPS, 0, 0)) == window))
            return reinterpret_cast<CToolBarXP*>(info.lParam);
    }
    return nullptr;
}

LRESULT CCommandBar::OnRebarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        m_lastWidth = reinterpret_cast<CREATESTRUCT*>(lParam)->cx;
        break;
    case WM_PAINT:
        return OnPaint(window);
    case WM_ERASEBKGND:
        PaintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            if (m_menuBar && header->hwndFrom == m_menuBar->m_hWnd)
                return m_menuBar->OnCustomDraw(header);
            if (CToolBarXP* object = ToolBarObjectOf(header->hwndFrom, false))
                return object->OnCustomDraw(header);
            break;
        }
        if (CToolBarXP* object = ToolBarObjectOf(header->hwndFrom, true)) {
            // A toolbar made as the rebar's child remembers no parent: its notifications go to
            // the rebar's parent rather than nowhere.
            HWND target = object->RememberedParent() ? object->RememberedParent() : GetParent(window);
            return SendMessageW(target, WM_NOTIFY, wParam, lParam);
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (GetCapture() == window)
            InvalidateRect(window, nullptr, TRUE);  // a band is dragged
        break;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && OnWindowPosChanging(pos))
            return 0;
        break;
    }
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
        return SendMessageW(GetParent(window), message, wParam, lParam);
    default:
        if (message == WM_MENUXP_GETIMAGE)
            return SendMessageW(GetParent(window), message, wParam, lParam);
        break;
    }
    return CallPreviousProc(m_oldRebarProc, window, message, wParam, lParam);
}

LRESULT CCommandBar::OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int count = static_cast<int>(SendMessageA(window, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT band = {};
        if (SendMessageA(window, RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)))
            ExcludeClipRect(dc, band.left, band.top, band.left + kGripperStrip, band.bottom);
    }
    CallPreviousProc(m_oldRebarProc, window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    SelectClipRgn(dc, nullptr);
    if (m_chevrons) {
        for (int i = 0; i < count; ++i) {
            RECT band = {};
            if (!SendMessageA(window, RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)))
                continue;
            RBHITTESTINFO hit = {};
            hit.pt = {band.right - 1, band.top + 1};
            SendMessageA(window, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.flags != RBHT_CHEVRON)
                continue;
            for (int j = 0; j < 3; ++j) {
                MoveToEx(dc, band.right - 11 + j, band.top + 16 + j, nullptr);
                LineTo(dc, band.right - 6 - j, band.top + 16 + j);
            }
        }
    }
    EndPaint(window, &paint);
    return 0;
}

void CCommandBar::PaintBackground(HDC dc)
{
    RECT client = {};
    GetClientRect(m_rebar, &client);
    if (m_gradient) {
        if (m_colors->style & kStyleTransparent) {
            DrawParentBackground(m_rebar, dc, &client, 0);
        } else {
            RECT area = client;
            // A horizontal gradient spans the screen, so resizing does not stretch its colours.
            if (m_colors->background.horizontal)
                area.right = std::max<LONG>(area.right, GetSystemMetrics(SM_CXFULLSCREEN));
            FillGradientEx(dc, &m_colors->background, &area);
        }
    } else {
        FillSolid(dc, client, m_group ? g_Colors.GroupBackground : g_Colors.CommandBarBackgroundPlain);
    }

    const int count = static_cast<int>(SendMessageA(m_rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA info = RebarBandInfo(RBBIM_STYLE | RBBIM_ID | RBBIM_IDEALSIZE);
        RECT band = {};
        if (!SendMessageA(m_rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info)) ||
            (info.fStyle & RBBS_HIDDEN) || !SendMessageA(m_rebar, RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        if (info.wID != kMenuBandId) {
            RECT fill = band;
            fill.right = std::min<LONG>(band.right, band.left + static_cast<LONG>(info.cxIdeal) + kBandBackgroundExtra);
            const int saved = SaveDC(dc);
            ExcludeCorners(dc, fill);
            const GRADIENT gradient = {m_colors->toolbarStart, m_colors->toolbarEnd};
            FillGradient(dc, &gradient, &fill, false);
            const COLORREF line = m_colors->toolbarLine;
            FillSolid(dc, RECT{fill.left + 2, fill.bottom - 1, fill.right - 2, fill.bottom}, line);
            FillSolid(dc, RECT{fill.right - 1, fill.top + 1, fill.right, fill.bottom - 2}, line);
            FillSolid(dc, RECT{fill.right - 2, fill.bottom - 2, fill.right - 1, fill.bottom - 1}, line);
            RestoreDC(dc, saved);
        }
        if (m_grippers) {
            const int height = band.bottom - band.top;
            for (int k = 0; k < kGripperDots; ++k) {
                const int y = band.top + (height - 15) / 2 + 4 * k;
                Square(dc, band.left + 5, y + 1, m_colors->gripperLight);
                Square(dc, band.left + 4, y, m_colors->gripperDark);
            }
        }
    }
}

bool CCommandBar::OnWindowPosChanging(WINDOWPOS* pos)
{
    const int delta = pos->cx - m_lastWidth;
    m_lastWidth = pos->cx;
    for (CToolBarXP* object : m_toolbars) {
        if (!object || !IsWindow(object->m_hWnd))
            continue;
        const int count = object->GetButtonCount();
        for (int i = 0; i < count; ++i) {
            TBBUTTON button = {};
            if (!object->GetButton(i, &button))
                continue;
            TBBUTTONLAYOUT* layout = ButtonLayout(object->m_hWnd, static_cast<LPARAM>(button.dwData));
            if (!layout || !(layout->flags & kLayoutStretch))
                continue;
            layout->width += delta;
            const int least = layout->minWidth > 0 ? layout->minWidth : 1;
            TBBUTTONINFOA info = {};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
            info.cx = static_cast<WORD>(std::max(layout->width, least));
            object->SetButtonInfo(i, &info);
            AutoSize(object->m_hWnd);
            return true;
        }
    }
    return false;
}

}  // namespace Glazier
