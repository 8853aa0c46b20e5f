#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>

namespace Gdiplus {
class Bitmap;
}

// The manager's colour theme: fifteen colours that its popups paint with. One process-wide object.
class CColorTheme
{
public:
    static constexpr int kColorCount = 15;
    // Colours with a fixed role.
    static constexpr int kGradientTop = 1, kGradientBottom = 2, kSolidBackground = 9;
    static constexpr int kDiagonalStart = 10, kDiagonalEnd = 11, kFrame = 12;
    // PaintBackground modes.
    static constexpr int kModeSolid = 1, kModeBand = 3;

    CColorTheme();

    // Colour index; white for an index past the table.
    COLORREF GetColor(int index) const;
    // The same colour as 0xAARRGGBB with the given alpha.
    DWORD GetGdiplusColor(int index, BYTE alpha) const;
    // Mode 1: solid colour 9 (or, with the gradient style, a diagonal gradient 10 -> 11); mode 3:
    // vertical 10 -> button face; any other mode: vertical 1 -> 2.
    void PaintBackground(HDC dc, int left, int top, int right, int bottom, int mode) const;
    void ResetColors();
    // Stores the name and applies the variant its first matching word selects.
    void SetTheme(const wchar_t* name);
    // A skin image's full path: "<program folder>\Skin\<name>\<file>" when the theme has a name and
    // that file exists, else "<program folder>\Skin\Images\<file>" (not tested). In one of five
    // rotating buffers: a result lives until the fifth call after it.
    const wchar_t* ResolveImagePath(const wchar_t* file);
    // The image of ResolveImagePath, loaded on first use and kept for the program's life. Cached by
    // the file name's address, not its text; null when it cannot be loaded. GDI+ must be running.
    Gdiplus::Bitmap* GetCachedImage(const wchar_t* file);

    BYTE reserved = 0;
    bool gradientStyle = false;
    std::wstring name;
    COLORREF colors[kColorCount];

private:
    static constexpr int kPathRingSize = 5;
    wchar_t m_paths[kPathRingSize][MAX_PATH] = {};
    int m_pathIndex = 0;
    std::unordered_map<const wchar_t*, Gdiplus::Bitmap*> m_images;
};

extern CColorTheme g_ColorTheme;
