#include "framework/MemoryDC.h"

CMemoryDC::CMemoryDC(HDC target, const RECT& area) : m_target(target), m_area(area)
{
    const int width = area.right - area.left > 0 ? area.right - area.left : 1;
    const int height = area.bottom - area.top > 0 ? area.bottom - area.top : 1;
    m_dc = ::CreateCompatibleDC(target);
    m_bitmap = ::CreateCompatibleBitmap(target, width, height);
    m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    ::SetWindowOrgEx(m_dc, area.left, area.top, nullptr);
}

CMemoryDC::~CMemoryDC()
{
    ::SetWindowOrgEx(m_dc, 0, 0, nullptr);
    ::BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top,
             m_dc, 0, 0, SRCCOPY);
    ::SelectObject(m_dc, m_oldBitmap);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}
