#include "uilib/skin/BmpDC.h"

#include <algorithm>

BmpDC::BmpDC(HBITMAP bitmap)
{
    Select(bitmap);
}

BmpDC::BmpDC(int cx, int cy)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    ReleaseDC(nullptr, screen);
    Select(bitmap);
}

void BmpDC::Select(HBITMAP bitmap)
{
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = bitmap;
    if (bitmap)
        GetObjectW(bitmap, sizeof(m_info), &m_info);
    m_old = m_dc && bitmap ? SelectObject(m_dc, bitmap) : nullptr;
}

BmpDC::~BmpDC()
{
    Detach(true);
}

HBITMAP BmpDC::Detach(bool deleteBitmap)
{
    if (m_dc) {
        if (m_old)
            SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        m_dc = nullptr;
    }
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    m_old = nullptr;
    if (deleteBitmap && bitmap) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

void BmpDC::Draw(HDC dst, int x, int y, int cx, int cy) const
{
    if (!m_dc)
        return;
    BitBlt(dst, x, y, std::min<int>(cx, m_info.bmWidth), std::min<int>(cy, m_info.bmHeight), m_dc, 0, 0, SRCCOPY);
}
