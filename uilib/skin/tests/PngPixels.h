#pragma once
#include <windows.h>

#include <string>

#include "uilib/skin/PngLoader.h"

// A PNG loaded as straight-alpha pixels, in picture coordinates: what a skin test compares
// screen or layout pixels with.
class PngPixels
{
public:
    // Read through the bitmap's own DIB section (only LoadPNG is asked of the library, so tests
    // outside it can use this too). The library's DIBs are bottom-up.
    explicit PngPixels(const std::wstring& path) : m_bitmap(LoadPNG(path.c_str(), 0))
    {
        DIBSECTION dib = {};
        if (m_bitmap && GetObjectW(m_bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBitsPixel == 32) {
            m_bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
            m_width = dib.dsBm.bmWidth;
            m_height = dib.dsBm.bmHeight;
            m_bottomUp = dib.dsBmih.biHeight >= 0;
        }
    }
    ~PngPixels()
    {
        if (m_bitmap)
            DeleteObject(m_bitmap);
    }
    PngPixels(const PngPixels&) = delete;
    PngPixels& operator=(const PngPixels&) = delete;

    bool Ok() const { return m_bits != nullptr; }
    DWORD At(int x, int y) const { return m_bits[static_cast<size_t>(m_bottomUp ? m_height - 1 - y : y) * m_width + x]; }
    BYTE Alpha(int x, int y) const { return static_cast<BYTE>(At(x, y) >> 24); }
    COLORREF Colour(int x, int y) const
    {
        DWORD p = At(x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    HBITMAP m_bitmap;
    const DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_bottomUp = true;
};
