// The markup tooltip's mouse relay and display cycle: hidden -> appearing -> shown -> hiding -> hidden.
#include "widgets/HtmlToolTip.h"

namespace {

constexpr int kFadeStep = 20;

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

}  // namespace

void CHtmlToolTip::RelayEvent(const MSG* msg)
{
    if (!m_hWnd || !msg)
        return;
    switch (msg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        OnMouseMove();
        break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
        POINT point;
        GetCursorPos(&point);
        if (OverVisibleTip(point)) {
            ScreenToClient(&point);
            m_drawer.OnLButtonDown(&point);
        }
        HideTooltip();
        break;
    }
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: case WM_MOUSEWHEEL: case WM_KEYDOWN: case WM_SYSKEYDOWN:
    case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
        HideTooltip();
        break;
    default:
        break;
    }
}

void CHtmlToolTip::OnMouseMove()
{
    if (m_help)
        return;
    POINT cursor;
    if (!GetCursorPos(&cursor) || SamePoint(cursor, m_cursor))
        return;
    const POINT previous = m_cursor;
    m_cursor = cursor;

    if (m_diagnostic) {
        HtmlToolInfo tool;
        tool.window = WindowFromPoint(cursor);
        tool.text = BuildDiagnosticText(tool.window, cursor);
        m_current = tool;
        m_hasCurrent = TRUE;
        StartCycle(tool, TRUE);
        return;
    }
    const DWORD shownFlags = m_displayed.behaviour;
    if (OverVisibleTip(cursor) && !(shownFlags & kFollowMouse)) {
        if (shownFlags & kStayOverTip)
            StartHideTimer();
        else
            HideTooltip();
        return;
    }
    HtmlToolInfo tool;
    if (!FindTool(cursor, &tool)) {
        ForgetTool();
        ::KillTimer(m_hWnd, kInitialTimer);
        m_initialPending = FALSE;
        HideTooltip();
        return;
    }
    if (!m_hasCurrent || tool.window != m_current.window || tool.id != m_current.id ||
        !EqualRect(&tool.rect, &m_current.rect)) {
        m_current = tool;
        m_hasCurrent = TRUE;
        StartCycle(tool, TRUE);
        return;
    }
    // The same tool: a tip still waiting for its delay waits again from here.
    if (m_state == kHidden && m_initialPending) {
        StartCycle(tool, TRUE);
        return;
    }
    const DWORD flags = (m_current.mask & HtmlToolInfo::kMaskBehaviour) ? m_current.behaviour : m_behaviour;
    if (flags & kFollowMouse) {
        if (m_state == kShown)
            StartHideTimer();
        if (IsWindowVisible()) {
            RECT rect;
            GetWindowRect(&rect);
            FollowTo(POINT{rect.left + cursor.x - previous.x, rect.top + cursor.y - previous.y});
            m_anchor.x += cursor.x - previous.x;
            m_anchor.y += cursor.y - previous.y;
        }
    } else if (flags & kStayInTool) {
        if (m_state == kShown)
            StartHideTimer();
    } else if (!(flags & kForgetAfterHide)) {
        HideTooltip();
    } else {
        StartCycle(tool, TRUE);
    }
}

void CHtmlToolTip::StartCycle(const HtmlToolInfo& tool, BOOL withDelay)
{
    if (m_state != kHidden) {
        // The tip on screen ends first; this one follows.
        m_next = tool;
        m_nextPending = TRUE;
        m_nextDelayed = withDelay;
        BeginHide();
        return;
    }
    m_displayed = tool;
    ::KillTimer(m_hWnd, kInitialTimer);
    if (withDelay && m_delays[kDelayInitial]) {
        m_initialPending = TRUE;
        ::SetTimer(m_hWnd, kInitialTimer, m_delays[kDelayInitial], nullptr);
        return;
    }
    m_initialPending = FALSE;
    ShowNow(m_menuTip);
}

void CHtmlToolTip::ShowNow(BOOL forMenu)
{
    if (!ShowTip(forMenu))
        return;
    if (m_fadeIn && m_delays[kDelayFadeIn]) {
        ::SetTimer(m_hWnd, kFadeInTimer, m_delays[kDelayFadeIn], nullptr);
        return;
    }
    m_state = kShown;
    StartHideTimer();
}

void CHtmlToolTip::OnInitialTimer()
{
    ::KillTimer(m_hWnd, kInitialTimer);
    m_initialPending = FALSE;
    POINT cursor;
    GetCursorPos(&cursor);
    if (m_help || SamePoint(cursor, m_cursor)) {
        ShowNow(FALSE);
        return;
    }
    if (m_state == kAppearing)
        ::KillTimer(m_hWnd, kFadeInTimer);
    if (m_state == kAppearing || m_state == kShown)
        BeginHide();
}

void CHtmlToolTip::OnFadeInTimer()
{
    m_transparency = std::max(0, m_transparency - kFadeStep);
    if (m_transparency <= m_displayed.transparency) {
        m_transparency = m_displayed.transparency;
        ::KillTimer(m_hWnd, kFadeInTimer);
        m_state = kShown;
        StartHideTimer();
    }
    Invalidate(FALSE);
    UpdateWindow();
}

UINT CHtmlToolTip::HideDelay() const
{
    return (m_displayed.mask & HtmlToolInfo::kMaskHideDelay) ? m_displayed.hideDelay : m_delays[kDelayAutoPop];
}

void CHtmlToolTip::StartHideTimer()
{
    if (!(m_displayed.behaviour & kNoAutoHide))
        ::SetTimer(m_hWnd, kHideTimer, HideDelay(), nullptr);
}

void CHtmlToolTip::HideTooltip()
{
    if (m_hWnd)
        BeginHide();
}

void CHtmlToolTip::BeginHide()
{
    ::KillTimer(m_hWnd, kInitialTimer);
    ::KillTimer(m_hWnd, kFadeInTimer);
    ::KillTimer(m_hWnd, kHideTimer);
    m_initialPending = FALSE;
    if (m_state == kHiding)
        return;
    m_state = kHiding;
    if (m_fadeOut && m_delays[kDelayFadeOut] && IsWindowVisible()) {
        ::SetTimer(m_hWnd, kFadeOutTimer, m_delays[kDelayFadeOut], nullptr);
        return;
    }
    m_transparency = 100;
    OnFadeOutTimer();
}

void CHtmlToolTip::OnFadeOutTimer()
{
    const int before = m_transparency;
    m_transparency = std::min(100, m_transparency + kFadeStep);
    if (m_transparency < 100 && before < 80) {
        Invalidate(FALSE);
        UpdateWindow();
        return;
    }
    m_transparency = 100;
    ::KillTimer(m_hWnd, kFadeOutTimer);
    if (m_displayed.behaviour & kForgetAfterHide)
        ForgetTool();
    ShowWindow(SW_HIDE);
    m_state = kHidden;
    m_help = FALSE;
    m_menuTip = FALSE;
    if (m_nextPending) {
        m_nextPending = FALSE;
        StartCycle(m_next, m_nextDelayed);
    }
}

void CHtmlToolTip::ForgetTool()
{
    m_hasCurrent = FALSE;
    m_current = HtmlToolInfo();
}

BOOL CHtmlToolTip::OverVisibleTip(POINT screen) const
{
    if (!m_hWnd || !IsWindowVisible())
        return FALSE;
    RECT rect;
    GetWindowRect(&rect);
    if (!PtInRect(&rect, screen))
        return FALSE;
    return m_bodyRegion ? PtInRegion(m_bodyRegion, screen.x - rect.left, screen.y - rect.top) : TRUE;
}

void CHtmlToolTip::ShowHelpTooltip(POINT screen, const HtmlToolInfo& tool)
{
    if (!m_hWnd)
        return;
    m_help = TRUE;
    m_menuTip = FALSE;
    m_target = RECT{screen.x, screen.y, screen.x, screen.y};
    StartCycle(tool, FALSE);
}

LRESULT CHtmlToolTip::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    switch (wParam) {
    case kInitialTimer: OnInitialTimer(); break;
    case kHideTimer: BeginHide(); break;
    case kFadeInTimer: OnFadeInTimer(); break;
    case kFadeOutTimer: OnFadeOutTimer(); break;
    case kAnimationTimer:
        if (IsWindowVisible() && m_state == kShown && m_drawer.OnTimer()) {
            Invalidate(FALSE);
            UpdateWindow();
        }
        break;
    default:
        bHandled = FALSE;
        break;
    }
    return 0;
}

LRESULT CHtmlToolTip::OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (!wParam)
        HideTooltip();
    bHandled = FALSE;
    return 0;
}

LRESULT CHtmlToolTip::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    m_nextPending = FALSE;
    HideTooltip();
    ::KillTimer(m_hWnd, kAnimationTimer);
    bHandled = FALSE;
    return 0;
}
