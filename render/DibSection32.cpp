#include "render/DibSection32.h"

bool CDibSection32::Create(int width, int height)
{
    Destroy();
    if (width < 1 || height < 1)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc = CreateCompatibleDC(nullptr);
    if (!m_bitmap || !bits || !m_dc) {
        Destroy();
        return false;
    }
    m_bits = static_cast<DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    m_width = width;
    m_height = height;
    return true;
}

void CDibSection32::Destroy()
{
    if (m_dc) {
        if (m_previous)
            SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_dc = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
}

HBITMAP CDibSection32::Detach()
{
    HBITMAP bitmap = m_bitmap;
    if (m_dc) {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_dc = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
    return bitmap;
}

bool CDibSection32::ReadFrom(HDC dc, int x, int y)
{
    if (!m_dc)
        return false;
    BOOL ok = BitBlt(m_dc, 0, 0, m_width, m_height, dc, x, y, SRCCOPY);
    GdiFlush();
    return ok != FALSE;
}

void CDibSection32::WriteTo(HDC dc, int x, int y, DWORD rop) const
{
    if (m_dc) {
        GdiFlush();
        BitBlt(dc, x, y, m_width, m_height, m_dc, 0, 0, rop);
    }
}
