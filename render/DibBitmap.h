#pragma once
#include <windows.h>

// A packed DIB (header, palette, pixels in one block) that draws through a DIB section made on first
// use and can be written to a .bmp file. The drawing manager uses an 8-bit one as its pattern canvas.
class CDibBitmap
{
public:
    CDibBitmap();
    virtual ~CDibBitmap();

    // Frees what was held and allocates a fresh block; palette and pixels are left for the caller.
    BYTE* Create(DWORD width, DWORD height, WORD bitCount);
    void Clone(const CDibBitmap& source);
    void Free();

    void Draw(HDC dc, long x, long y);
    void CaptureFromDC(HDC dc, long x, long y);
    void Clear(BYTE value);
    void BlendPalette(COLORREF colour, DWORD percent);
    void SetGrayPalette();
    void SetPaletteIndex(BYTE index, BYTE red, BYTE green, BYTE blue);
    void SetPixelIndex(long x, long y, BYTE value);
    BOOL Save(const wchar_t* path) const;

    BYTE* GetBits() const;
    RGBQUAD* GetPalette() const;
    DWORD GetWidth() const { return static_cast<DWORD>(m_header.biWidth); }
    DWORD GetHeight() const { return static_cast<DWORD>(m_header.biHeight); }
    DWORD GetLineWidth() const { return m_lineWidth; }
    WORD GetBitCount() const { return m_header.biBitCount; }
    WORD GetNumColors() const { return m_numColors; }
    DWORD GetPaletteSize() const { return m_numColors * sizeof(RGBQUAD); }
    DWORD GetSize() const;
    HBITMAP GetSection() const { return m_section; }

    static RGBQUAD RGBtoRGBQUAD(COLORREF colour);

private:
    CDibBitmap(const CDibBitmap&) = delete;
    CDibBitmap& operator=(const CDibBitmap&) = delete;
    void FillHeader(DWORD width, DWORD height, WORD bitCount);
    bool EnsureSection(HDC dc);

    BYTE* m_block = nullptr;
    BITMAPINFOHEADER m_header;
    DWORD m_lineWidth = 0;
    WORD m_numColors = 0;
    HBITMAP m_section = nullptr;
    HDC m_memoryDC = nullptr;
    void* m_sectionBits = nullptr;
};
