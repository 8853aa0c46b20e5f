#include "render/DibBitmap.h"
#include <cstdlib>
#include <cstring>

namespace {
const WORD kBitmapFileType = 0x4D42;   // "BM"
const DWORD kFileHeaderSize = 14;
// The largest pixel block we hand out: a fill or a picture bigger than this is a hostile size, and
// refusing it keeps a bad value from taking the process's memory with it.
const unsigned long long kMaxPixelBytes = 64ull * 1024 * 1024;

WORD PaletteEntriesFor(WORD bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}
}

CDibBitmap::CDibBitmap()
{
    std::memset(&m_header, 0, sizeof(m_header));
}

CDibBitmap::~CDibBitmap()
{
    Free();
}

void CDibBitmap::FillHeader(DWORD width, DWORD height, WORD bitCount)
{
    std::memset(&m_header, 0, sizeof(m_header));
    // In 64 bits: a wide bitmap must not wrap to a small line width that passes the size check.
    const unsigned long long line = ((static_cast<unsigned long long>(bitCount) * width + 31) / 32) * 4;
    m_lineWidth = line > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(line);
    m_numColors = PaletteEntriesFor(bitCount);
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = static_cast<LONG>(width);
    m_header.biHeight = static_cast<LONG>(height);
    m_header.biPlanes = 1;
    m_header.biBitCount = bitCount;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = m_lineWidth * height;
}

DWORD CDibBitmap::GetSize() const
{
    return m_header.biSize + GetPaletteSize() + m_header.biSizeImage;
}

BYTE* CDibBitmap::Create(DWORD width, DWORD height, WORD bitCount)
{
    Free();
    FillHeader(width, height, bitCount);
    // Refuse sizes whose byte count wraps (the block would be smaller than the header says) or that
    // no sane fill needs.
    const unsigned long long line = ((static_cast<unsigned long long>(bitCount) * width + 31) / 32) * 4;
    const bool tooLarge = line > kMaxPixelBytes || (line != 0 && height > kMaxPixelBytes / line);
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu || tooLarge) {
        Free();
        return nullptr;
    }
    m_block = static_cast<BYTE*>(std::calloc(1, GetSize()));
    if (!m_block) {
        Free();
        return nullptr;
    }
    std::memcpy(m_block, &m_header, sizeof(m_header));
    return m_block;
}

void CDibBitmap::Clone(const CDibBitmap& source)
{
    if (&source == this)
        return;
    Free();
    if (!source.m_block)
        return;
    FillHeader(source.GetWidth(), source.GetHeight(), source.GetBitCount());
    m_block = static_cast<BYTE*>(std::malloc(GetSize()));
    if (!m_block) {
        Free();
        return;
    }
    std::memcpy(m_block, source.m_block, GetSize());
}

void CDibBitmap::Free()
{
    if (m_memoryDC)
        DeleteDC(m_memoryDC);
    if (m_section)
        DeleteObject(m_section);
    std::free(m_block);
    m_memoryDC = nullptr;
    m_section = nullptr;
    m_sectionBits = nullptr;
    m_block = nullptr;
    m_lineWidth = 0;
    m_numColors = 0;
    std::memset(&m_header, 0, sizeof(m_header));
}

bool CDibBitmap::EnsureSection(HDC dc)
{
    if (!m_block)
        return false;
    if (m_section)
        return true;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(m_block), DIB_RGB_COLORS, &bits,
                                       nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        return false;
    }
    m_section = section;
    m_sectionBits = bits;
    return true;
}

void CDibBitmap::Draw(HDC dc, long x, long y)
{
    if (!EnsureSection(dc))
        return;
    std::memcpy(m_sectionBits, GetBits(), m_header.biSizeImage);
    // The palette may have changed since the section was made.
    if (!m_memoryDC)
        m_memoryDC = CreateCompatibleDC(dc);
    if (!m_memoryDC)
        return;
    HGDIOBJ previous = SelectObject(m_memoryDC, m_section);
    if (m_numColors)
        SetDIBColorTable(m_memoryDC, 0, m_numColors, GetPalette());
    BitBlt(dc, x, y, m_header.biWidth, m_header.biHeight, m_memoryDC, 0, 0, SRCCOPY);
    SelectObject(m_memoryDC, previous);
}

void CDibBitmap::CaptureFromDC(HDC dc, long x, long y)
{
    if (!EnsureSection(dc))
        return;
    HDC temporary = CreateCompatibleDC(dc);
    if (!temporary)
        return;
    HGDIOBJ previous = SelectObject(temporary, m_section);
    BitBlt(temporary, 0, 0, m_header.biWidth, m_header.biHeight, dc, x, y, SRCCOPY);
    SelectObject(temporary, previous);
    DeleteDC(temporary);
}

void CDibBitmap::Clear(BYTE value)
{
    if (m_block)
        std::memset(GetBits(), value, m_header.biSizeImage);
}

void CDibBitmap::BlendPalette(COLORREF colour, DWORD percent)
{
    if (!m_block || !m_numColors)
        return;
    if (percent > 100)
        percent = 100;
    const DWORD keep = 100 - percent;
    RGBQUAD* palette = GetPalette();
    for (WORD i = 0; i < m_numColors; ++i) {
        palette[i].rgbRed = static_cast<BYTE>((palette[i].rgbRed * keep + GetRValue(colour) * percent) / 100);
        palette[i].rgbGreen = static_cast<BYTE>((palette[i].rgbGreen * keep + GetGValue(colour) * percent) / 100);
        palette[i].rgbBlue = static_cast<BYTE>((palette[i].rgbBlue * keep + GetBValue(colour) * percent) / 100);
    }
}

void CDibBitmap::SetGrayPalette()
{
    if (!m_block || !m_numColors)
        return;
    RGBQUAD* palette = GetPalette();
    for (WORD i = 0; i < m_numColors; ++i) {
        BYTE level = static_cast<BYTE>(i);
        palette[i] = RGBtoRGBQUAD(RGB(level, level, level));
    }
    palette[0] = RGBtoRGBQUAD(RGB(0, 0, 0));
    palette[m_numColors - 1] = RGBtoRGBQUAD(RGB(255, 255, 255));
}

void CDibBitmap::SetPaletteIndex(BYTE index, BYTE red, BYTE green, BYTE blue)
{
    if (!m_block || index >= m_numColors)
        return;
    GetPalette()[index] = RGBtoRGBQUAD(RGB(red, green, blue));
}

void CDibBitmap::SetPixelIndex(long x, long y, BYTE value)
{
    if (!m_block || !m_numColors || x < 0 || y < 0 || x >= m_header.biWidth || y >= m_header.biHeight)
        return;
    GetBits()[(m_header.biHeight - y - 1) * m_lineWidth + x] = value;
}

BOOL CDibBitmap::Save(const wchar_t* path) const
{
    if (!path || !*path || !m_block)
        return FALSE;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    BITMAPFILEHEADER fileHeader;
    std::memset(&fileHeader, 0, sizeof(fileHeader));
    fileHeader.bfType = kBitmapFileType;
    fileHeader.bfSize = kFileHeaderSize + GetSize();
    fileHeader.bfOffBits = kFileHeaderSize + m_header.biSize + GetPaletteSize();
    DWORD written = 0;
    // A short or failed write leaves a broken file behind: report it instead of success.
    BOOL ok = WriteFile(file, &fileHeader, kFileHeaderSize, &written, nullptr) && written == kFileHeaderSize;
    ok = ok && WriteFile(file, m_block, GetSize(), &written, nullptr) && written == GetSize();
    CloseHandle(file);
    return ok;
}

BYTE* CDibBitmap::GetBits() const
{
    return m_block ? m_block + m_header.biSize + GetPaletteSize() : nullptr;
}

RGBQUAD* CDibBitmap::GetPalette() const
{
    return m_block ? reinterpret_cast<RGBQUAD*>(m_block + m_header.biSize) : nullptr;
}

RGBQUAD CDibBitmap::RGBtoRGBQUAD(COLORREF colour)
{
    RGBQUAD quad;
    quad.rgbBlue = GetBValue(colour);
    quad.rgbGreen = GetGValue(colour);
    quad.rgbRed = GetRValue(colour);
    quad.rgbReserved = 0;
    return quad;
}
