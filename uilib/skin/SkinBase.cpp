#include "uilib/skin/SkinBase.h"

namespace FWSkin {

CSkinBase::CSkinBase(ISkinFrame* frame, int id) : m_frame(frame), m_id(id)
{
    if (m_frame)
        m_frame->QueryInterface(IID_ISkinPainter, reinterpret_cast<void**>(&m_painter));
}

CSkinBase::~CSkinBase()
{
    if (m_region)
        DeleteObject(m_region);
    if (m_painter)
        m_painter->Release();
    if (m_tips) {
        m_tips->RemoveToolTip(m_id);
        m_tips->Release();
    }
}

void CSkinBase::Draw(HDC, bool)
{
}

void CSkinBase::SetRegion(HRGN region)
{
    if (m_region)
        DeleteObject(m_region);
    m_region = region;
}

void CSkinBase::Unanchor()
{
    if (!m_left)
        return;
    LONG right = m_rect.left + m_rect.right;
    m_rect.left -= m_left->m_rect.left;
    m_rect.top -= m_left->m_rect.top;
    if (m_right)
        m_rect.right = right - m_right->m_rect.left;
}

void CSkinBase::Layout(int frameCx, int frameCy)
{
    if (m_left) {
        m_rect.left += m_left->m_rect.left;
        m_rect.top += m_left->m_rect.top;
        if (m_right)
            m_rect.right = m_right->m_rect.left + m_rect.right - m_rect.left;
    }
    if (m_style & kStyleCenterX)
        m_rect.left = (frameCx - m_rect.right) / 2;
    else if (m_style & kStyleCenterY)
        m_rect.top = (frameCy - m_rect.bottom) / 2;
    UpdateToolTipRect();
}

bool CSkinBase::HitTest(int x, int y) const
{
    if (m_style & kStyleHidden)
        return false;
    if (m_region)
        return PtInRegion(m_region, x - m_rect.left, y - m_rect.top) != FALSE;
    return x >= m_rect.left && x < m_rect.left + m_rect.right && y >= m_rect.top && y < m_rect.top + m_rect.bottom;
}

void CSkinBase::AddStyle(DWORD mask)
{
    bool wasShown = TipShouldShow();
    m_style |= mask;
    if (wasShown && !TipShouldShow())
        UpdateToolTipRect();
}

void CSkinBase::RemoveStyle(DWORD mask)
{
    bool wasShown = TipShouldShow();
    m_style &= ~mask;
    if (!wasShown && TipShouldShow())
        UpdateToolTipRect();
}

bool CSkinBase::TipShouldShow() const
{
    return !(m_style & kStyleHidden);
}

void CSkinBase::UpdateToolTipRect()
{
    if (!m_tips)
        return;
    RECT rect = TipShouldShow() ? WindowRect() : RECT{};
    m_tips->SetToolTipRect(m_id, &rect);
}

bool CSkinBase::SetToolTip(const wchar_t* text)
{
    if (!text) {
        if (m_tips) {
            m_tips->RemoveToolTip(m_id);
            m_tips->Release();
            m_tips = nullptr;
        }
        return false;
    }
    if (!m_tips) {
        if (!m_frame || FAILED(m_frame->QueryInterface(IID_ISkinToolTipProvider, reinterpret_cast<void**>(&m_tips))))
            m_tips = nullptr;
        if (!m_tips)
            return false;
        RECT rect = TipShouldShow() ? WindowRect() : RECT{};
        m_tips->AddToolTip(m_id, &rect, text);
        return true;
    }
    m_tips->SetToolTipText(m_id, text);
    return true;
}

}  // namespace FWSkin
