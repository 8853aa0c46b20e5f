#pragma once
#include <windows.h>

// A top-down 32-bit DIB section selected into its own memory DC, for pixel work on 0xAARRGGBB words.
class CDibSection32
{
public:
    CDibSection32() = default;
    ~CDibSection32() { Destroy(); }

    bool Create(int width, int height);
    void Destroy();
    // Hands the section to the caller (deselected); the object becomes empty.
    HBITMAP Detach();

    // Copies a rectangle of dc (x, y, width x height) into the section.
    bool ReadFrom(HDC dc, int x, int y);
    void WriteTo(HDC dc, int x, int y, DWORD rop = SRCCOPY) const;

    DWORD* Bits() const { return m_bits; }
    DWORD& At(int x, int y) const { return m_bits[y * m_width + x]; }
    HDC DC() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return m_width * m_height; }

private:
    CDibSection32(const CDibSection32&) = delete;
    CDibSection32& operator=(const CDibSection32&) = delete;

    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    HDC m_dc = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};
