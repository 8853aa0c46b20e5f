#pragma once
#include <windows.h>

#include <string>

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

    BYTE reserved = 0;
    bool gradientStyle = false;
    std::wstring name;
    COLORREF colors[kColorCount];
};

extern CColorTheme g_ColorTheme;
