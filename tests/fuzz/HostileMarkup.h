#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CHtmlDrawer;

// Markup that tries to make the renderer crash, freeze or take all memory: sizes past any layout,
// deep and wide tables, endless words, broken tags. Shared by the renderer's tests and the fuzz
// driver. "%BMP%" in a text stands for the number of a small bitmap handle the runner supplies,
// "%BMPFILE%" for the path of a small .bmp file, "%ICOFILE%" for the path of a small .ico file.
struct MarkupCase
{
    std::string name;
    std::wstring text;
    int maxWidth;   // 0: no word wrap
};

std::vector<MarkupCase> HostileMarkupCases();
// count random mutations (cuts, splices, repeats, digits blown up) of the hostile cases and of
// ordinary markup; the same seed gives the same cases.
std::vector<MarkupCase> MutatedMarkupCases(unsigned seed, int count);
// text with the placeholders replaced.
std::wstring WithBitmap(const std::wstring& text, const std::wstring& handle, const std::wstring& file,
                        const std::wstring& iconFile);

// A 4 x 4 bitmap handle, a 1 x 1 .bmp file and a 16 x 16 .ico file for the picture cases; all go
// with the object.
struct PictureFixtures
{
    PictureFixtures();
    ~PictureFixtures();
    std::wstring Fill(const std::wstring& text) const { return WithBitmap(text, handle, file, iconFile); }

    HBITMAP bitmap = nullptr;
    std::wstring handle;
    std::wstring file;
    std::wstring iconFile;
};

// As a host does: measures the text, then draws it at its measured size and into a fixed rectangle.
void PrepareAndDraw(CHtmlDrawer& drawer, HDC dc, const std::wstring& text, int maxWidth);
