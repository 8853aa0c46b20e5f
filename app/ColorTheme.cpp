#include "app/ColorTheme.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include "core/AppPaths.h"
#include "core/WideFormat.h"

CColorTheme g_ColorTheme;

namespace {

constexpr COLORREF kStartColors[CColorTheme::kColorCount] = {
    0xF8F5ED, 0xFEEFC5, 0xF8F5F5, 0x666666, 0x666666, 0xFFD9BC, 0xF8F5F5, 0xD18B5D,
    0xFFD9BC, 0xF0F0F0, 0xFEEFC5, 0xDCE7CB, 0x888888, 0x666666, 0x883333,
};

struct ThemeChange
{
    int index;
    COLORREF color;
};

struct ThemeVariant
{
    const wchar_t* word;
    ThemeChange changes[6];
    int count;
};

// Tried in this order; the first word the name contains wins.
const ThemeVariant kVariants[] = {
    {L"Dark", {{0, 0x333333}, {3, 0xAAAAAA}, {4, 0xAAAAAA}, {6, 0x666666}, {8, 0x333333}}, 5},
    {L"Green", {{0, 0xEDF3F0}}, 1},
    {L"Red", {{0, 0xE9E9F8}}, 1},
    {L"Night", {{0, 0xF3EFED}}, 1},
    {L"Blue", {{0, 0xF8F5E9}}, 1},
    {L"White", {{0, 0xFFFFFF}, {3, 0x999999}, {4, 0x999999}, {6, 0xFFFFFF}, {7, 0xBBBBBB}, {8, 0xDDDDDD}}, 6},
};

TRIVERTEX Vertex(int x, int y, COLORREF color)
{
    TRIVERTEX v = {};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    return v;
}

void VerticalGradient(HDC dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to)
{
    TRIVERTEX vertices[2] = {Vertex(left, top, from), Vertex(right, bottom, to)};
    GRADIENT_RECT rect = {0, 1};
    GradientFill(dc, vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

}  // namespace

CColorTheme::CColorTheme()
{
    ResetColors();
}

COLORREF CColorTheme::GetColor(int index) const
{
    return index >= 0 && index < kColorCount ? colors[index] : 0xFFFFFF;
}

DWORD CColorTheme::GetGdiplusColor(int index, BYTE alpha) const
{
    COLORREF c = GetColor(index);
    return (static_cast<DWORD>(alpha) << 24) | (static_cast<DWORD>(GetRValue(c)) << 16) |
           (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
}

void CColorTheme::PaintBackground(HDC dc, int left, int top, int right, int bottom, int mode) const
{
    if (mode == kModeSolid && !gradientStyle) {
        RECT rect = {left, top, right, bottom};
        HBRUSH brush = CreateSolidBrush(GetColor(kSolidBackground));
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    } else if (mode == kModeSolid) {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::Rect rect(left, top, right - left, bottom - top);
        Gdiplus::GraphicsPath path;
        path.AddRectangle(rect);
        Gdiplus::LinearGradientBrush brush(rect, Gdiplus::Color(GetGdiplusColor(kDiagonalStart, 255)),
                                           Gdiplus::Color(GetGdiplusColor(kDiagonalEnd, 255)),
                                           Gdiplus::LinearGradientModeForwardDiagonal);
        brush.SetWrapMode(Gdiplus::WrapModeTile);
        graphics.FillPath(&brush, &path);
    } else if (mode == kModeBand) {
        VerticalGradient(dc, left, top, right, bottom, GetColor(kDiagonalStart), GetSysColor(COLOR_BTNFACE));
    } else {
        VerticalGradient(dc, left, top, right, bottom, GetColor(kGradientTop), GetColor(kGradientBottom));
    }
}

void CColorTheme::ResetColors()
{
    for (int i = 0; i < kColorCount; ++i)
        colors[i] = kStartColors[i];
}

void CColorTheme::SetTheme(const wchar_t* themeName)
{
    name = themeName != nullptr ? themeName : L"";
    ResetColors();
    for (const ThemeVariant& variant : kVariants) {
        if (StrStrIW(name.c_str(), variant.word) == nullptr)
            continue;
        for (int i = 0; i < variant.count; ++i)
            colors[variant.changes[i].index] = variant.changes[i].color;
        return;
    }
}

const wchar_t* CColorTheme::ResolveImagePath(const wchar_t* file)
{
    wchar_t* path = m_paths[m_pathIndex];
    m_pathIndex = (m_pathIndex + 1) % kPathRingSize;
    if (file == nullptr)
        file = L"";
    std::wstring folder = GetAppPath(L"");
    if (!name.empty() &&
        FormatWide(path, MAX_PATH, L"%s\\Skin\\%s\\%s", folder.c_str(), name.c_str(), file) > 0 &&
        PathFileExistsW(path))
        return path;
    FormatWide(path, MAX_PATH, L"%s\\Skin\\Images\\%s", folder.c_str(), file);
    return path;
}

Gdiplus::Bitmap* CColorTheme::GetCachedImage(const wchar_t* file)
{
    auto found = m_images.find(file);
    if (found != m_images.end())
        return found->second;
    auto* image = new Gdiplus::Bitmap(ResolveImagePath(file));
    if (image->GetLastStatus() != Gdiplus::Ok) {
        // Not kept: a file that appears later is loaded then.
        delete image;
        return nullptr;
    }
    m_images[file] = image;
    return image;
}
