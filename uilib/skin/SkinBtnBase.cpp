#include "uilib/skin/SkinBtnBase.h"

namespace FWSkin {

bool CSkinBtnBase::TipShouldShow() const
{
    return CSkinBase::TipShouldShow() && !(m_state & kStateDisabled);
}

void CSkinBtnBase::AddState(DWORD mask)
{
    bool wasShown = TipShouldShow();
    m_state |= mask;
    if (wasShown && !TipShouldShow())
        UpdateToolTipRect();
}

void CSkinBtnBase::RemoveState(DWORD mask)
{
    bool wasShown = TipShouldShow();
    m_state &= ~mask;
    if (!wasShown && TipShouldShow())
        UpdateToolTipRect();
}

DWORD CSkinBtnBase::VisibleState() const
{
    if (m_state & kStateDisabled)
        return kStateDisabled;
    if (m_state & kStatePushed)
        return kStatePushed;
    if (m_state & kStateHot)
        return kStateHot;
    return 0;
}

void CSkinBtnBase::Invalidate()
{
    if ((m_style & kStyleHidden) || !m_frame)
        return;
    RECT rect = WindowRect();
    m_frame->Invalidate(&rect);
}

void CSkinBtnBase::SetPushed(bool pushed)
{
    if (pushed == HasState(kStatePushed))
        return;
    if (pushed)
        m_state |= kStatePushed;
    else
        m_state &= ~kStatePushed;
    Invalidate();
}

bool CSkinBtnBase::StartFade(int steps)
{
    if (!(m_style & kStyleFxFading) || steps <= 0) {
        Invalidate();
        return false;
    }
    m_fadeAlpha = 0;
    m_fadeStep = 256 / steps;
    Invalidate();
    return true;
}

bool CSkinBtnBase::OnFadeTimer()
{
    if (!IsFading())
        return false;
    m_fadeAlpha += m_fadeStep;
    if (m_fadeAlpha > 255)
        m_fadeAlpha = 255;
    Invalidate();
    return IsFading();
}

bool CSkinBtnBase::OnMouseMove(int x, int y)
{
    bool inside = HitTest(x, y);
    if (m_state & kStateTracking) {
        SetPushed(inside);
        return false;
    }
    if (inside && !(m_state & kStateHot)) {
        m_state |= kStateHot;
        return StartFade(kFadeInSteps);
    }
    if (!inside && (m_state & kStateHot)) {
        m_state &= ~kStateHot;
        return StartFade(kFadeOutSteps);
    }
    return false;
}

bool CSkinBtnBase::OnMouseLeave()
{
    if (!(m_state & kStateHot))
        return false;
    m_state &= ~kStateHot;
    if (m_state & kStateTracking) {
        Invalidate();
        return false;
    }
    return StartFade(kFadeOutSteps);
}

bool CSkinBtnBase::OnLButtonDown(int x, int y)
{
    if ((m_state & kStateDisabled) || !HitTest(x, y))
        return false;
    StopFade();
    m_state |= kStateTracking | kStatePushed;
    Invalidate();
    return true;
}

bool CSkinBtnBase::OnLButtonUp(int, int)
{
    if (!(m_state & kStateTracking))
        return false;
    m_state &= ~kStateTracking;
    if (!(m_state & kStatePushed))
        return false;
    m_state &= ~kStatePushed;
    Invalidate();
    return true;
}

void CSkinBtnBase::OnCancelMode()
{
    if (m_state & (kStateTracking | kStatePushed)) {
        m_state &= ~(kStateTracking | kStatePushed);
        Invalidate();
    }
}

bool CSkinBtnBase::OnSetCursor()
{
    if ((m_state & kStateHot) && m_cursor == kCursorHand) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    }
    return false;
}

}  // namespace FWSkin
