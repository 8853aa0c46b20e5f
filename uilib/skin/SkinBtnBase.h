#pragma once
#include "uilib/skin/SkinBase.h"

namespace FWSkin {

constexpr DWORD kStateHot = 1;
constexpr DWORD kStatePushed = 2;
constexpr DWORD kStateTracking = 8;
constexpr DWORD kStateDisabled = 16;
constexpr int kCursorHand = 1;
constexpr DWORD kStyleFxFading = kStyleClass1;
constexpr int kFadeInSteps = 4;
constexpr int kFadeOutSteps = 8;

// Mouse behaviour shared by image and text buttons: hot, pushed, tracking a press, disabled,
// and a cross-fade between the Normal and Hot pictures.
class CSkinBtnBase : public CSkinBase {
public:
    using CSkinBase::CSkinBase;

    virtual bool HasState(DWORD mask) const { return (m_state & mask) != 0; }
    virtual void AddState(DWORD mask);
    virtual void RemoveState(DWORD mask);
    virtual int GetCursorKind() const { return m_cursor; }
    virtual void SetCursorKind(int kind) { m_cursor = kind; }
    virtual void Invalidate();
    virtual void SetPushed(bool pushed);
    virtual bool StartFade(int steps);
    virtual bool IsFading() const { return m_fadeAlpha < 255; }
    virtual void StopFade() { m_fadeAlpha = 255; }
    virtual bool OnMouseMove(int x, int y);
    virtual bool OnMouseLeave();
    virtual bool OnLButtonDown(int x, int y);
    virtual bool OnLButtonUp(int x, int y);
    virtual void OnCancelMode();
    virtual bool OnSetCursor();
    virtual bool OnFadeTimer();

    int FadeAlpha() const { return m_fadeAlpha; }

protected:
    bool TipShouldShow() const override;
    // The state whose picture shows: 0 normal, or one of the state bits.
    DWORD VisibleState() const;

    DWORD m_state = 0;
    int m_cursor = 0;
    int m_fadeAlpha = 255;
    int m_fadeStep = 0;
};

}  // namespace FWSkin
