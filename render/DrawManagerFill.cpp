// Effect fills: solid, 64-strip gradients and the palette-driven patterns.
#include "render/DrawManager.h"
#include <algorithm>
#include <cstdlib>

namespace {
const int kGradientStrips = 64;
const int kGradientShift = 6;   // log2 of kGradientStrips
const int kRandMax = 32767;
const int kMetalScratches = 200;
// A patterned fill paints through a canvas of its own size; beyond this only the visible part is
// patterned, so a huge table cell cannot take the process's memory.
const long long kMaxPatternPixels = 4096LL * 4096;

bool TooManyPixels(long long width, long long height)
{
    return width > kMaxPatternPixels || height > kMaxPatternPixels / width;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

int Cube(int t)
{
    return (t * t * t) / 16384;
}

BYTE Lerp128(int a, int b, int k, int kEnd)
{
    return static_cast<BYTE>((a * (kEnd - k) + b * k) / 128);
}

// The pattern's pixel loops in one place: values are kept modulo 256 as the canvas stores them. The
// canvas holds a window of the pattern: rows (counted from the bottom) and columns of the whole
// rectangle, less the window's offsets.
class PatternCanvas
{
public:
    PatternCanvas(CDibBitmap& dib, int granularity, long long row0, long long column0)
        : m_bits(dib.GetBits()), m_line(static_cast<long long>(dib.GetLineWidth())), m_row0(row0),
          m_column0(column0), g(granularity), q(granularity ? kRandMax / (2 * granularity) : kRandMax)
    {
    }
    BYTE& At(long long row, long long column) { return m_bits[(row - m_row0) * m_line + (column - m_column0)]; }
    int Noise() const { return (std::rand() / q) & 255; }
    void Put(long long row, long long column, long long value) { At(row, column) = static_cast<BYTE>(value); }
    void AddNoise(long long row, long long column) { Put(row, column, At(row, column) + Noise() - g); }

private:
    BYTE* m_bits;
    long long m_line;
    long long m_row0;
    long long m_column0;

public:
    const int g;
    const int q;
};
}

const wchar_t* const CDrawManager::EffectNames[16] = {
    L"solid", L"hgradient", L"vgradient", L"hcgradient", L"vcgradient", L"3hgradient", L"3vgradient",
    L"noise", L"diagshade", L"hshade", L"vshade", L"hbump", L"vbump", L"softbump", L"hardbump", L"metal"};

CDrawManager::CDrawManager() = default;
CDrawManager::~CDrawManager() = default;

void CDrawManager::FillGradientStrips(HDC dc, const RECT& rect, COLORREF from, COLORREF to, BOOL horizontal)
{
    const long long origin = horizontal ? rect.left : rect.top;
    const long long extent = horizontal ? static_cast<long long>(rect.right) - rect.left
                                        : static_cast<long long>(rect.bottom) - rect.top;
    for (int i = 0; i < kGradientStrips; ++i) {
        const int start = static_cast<int>(origin + ((i * extent) >> kGradientShift));
        const int stop = static_cast<int>(origin + (((i + 1) * extent) >> kGradientShift));
        if (stop <= start)
            continue;
        int red = (GetRValue(to) * i + GetRValue(from) * (kGradientStrips - i)) >> kGradientShift;
        int green = (GetGValue(to) * i + GetGValue(from) * (kGradientStrips - i)) >> kGradientShift;
        int blue = (GetBValue(to) * i + GetBValue(from) * (kGradientStrips - i)) >> kGradientShift;
        RECT strip = rect;
        if (horizontal) {
            strip.left = start;
            strip.right = stop;
        } else {
            strip.top = start;
            strip.bottom = stop;
        }
        FillSolid(dc, strip, RGB(red, green, blue));
    }
}

void CDrawManager::FillEffect(HDC dc, int effect, const RECT* rect, COLORREF begin, COLORREF mid,
                              COLORREF end, BYTE granularity, BYTE blendPercent)
{
    if (!rect)
        return;
    RECT first = *rect;
    RECT second = *rect;
    const bool horizontalSplit = effect == EffectHCGradient || effect == Effect3HGradient;
    if (horizontalSplit) {
        first.right = second.left = rect->left + (rect->right - rect->left) / 2;
    } else {
        first.bottom = second.top = rect->top + (rect->bottom - rect->top) / 2;
    }
    switch (effect) {
    case EffectHGradient: FillGradientStrips(dc, *rect, begin, end, TRUE); break;
    case EffectVGradient: FillGradientStrips(dc, *rect, begin, end, FALSE); break;
    case EffectHCGradient:
    case EffectVCGradient:
        FillGradientStrips(dc, first, begin, end, horizontalSplit);
        FillGradientStrips(dc, second, end, begin, horizontalSplit);
        break;
    case Effect3HGradient:
    case Effect3VGradient:
        FillGradientStrips(dc, first, begin, mid, horizontalSplit);
        FillGradientStrips(dc, second, mid, end, horizontalSplit);
        break;
    default:
        if (effect >= EffectNoise && effect <= EffectMetal)
            FillPattern(dc, effect, *rect, begin, mid, end, granularity, blendPercent);
        else
            FillSolid(dc, *rect, begin);
        break;
    }
}

void CDrawManager::FillPattern(HDC dc, int effect, const RECT& rect, COLORREF begin, COLORREF mid,
                               COLORREF end, BYTE granularity, BYTE blendPercent)
{
    // Sizes in 64 bits for the arithmetic below: a rectangle some ten thousand pixels tall or wide
    // overflows products such as 255 * row or H * H.
    const long long W = static_cast<long long>(rect.right) - rect.left;
    const long long H = static_cast<long long>(rect.bottom) - rect.top;
    if (W < 1 || H < 1) {
        m_canvas.Free();
        return;
    }
    // Only the part the DC shows is computed, as a window of the whole rectangle's pattern: a large
    // table cell of which a corner is seen costs that corner.
    RECT area = rect;
    RECT clip;
    const bool clipped = GetClipBox(dc, &clip) != ERROR;
    if (clipped && !IntersectRect(&area, &rect, &clip))
        return;
    const long long vw = static_cast<long long>(area.right) - area.left;
    const long long vh = static_cast<long long>(area.bottom) - area.top;
    if (TooManyPixels(vw, vh)) {
        if (clipped)
            FillSolid(dc, area, begin);
        return;
    }
    if (!m_canvas.Create(static_cast<DWORD>(vw), static_cast<DWORD>(vh), 8)) {
        FillSolid(dc, area, begin);
        return;
    }
    RGBQUAD* palette = m_canvas.GetPalette();
    for (int k = 0; k <= 128; ++k) {
        palette[k] = CDibBitmap::RGBtoRGBQUAD(RGB(Lerp128(GetRValue(end), GetRValue(mid), k, 128),
                                                  Lerp128(GetGValue(end), GetGValue(mid), k, 128),
                                                  Lerp128(GetBValue(end), GetBValue(mid), k, 128)));
    }
    for (int k = 128; k <= 255; ++k) {
        palette[k] = CDibBitmap::RGBtoRGBQUAD(
            RGB((GetRValue(mid) * (255 - k) + GetRValue(begin) * (k - 127)) / 128,
                (GetGValue(mid) * (255 - k) + GetGValue(begin) * (k - 127)) / 128,
                (GetBValue(mid) * (255 - k) + GetBValue(begin) * (k - 127)) / 128));
    }
    m_canvas.BlendPalette(begin, blendPercent);

    // The window: rows of the whole rectangle counted from its bottom, columns from its left.
    const long long r0 = static_cast<long long>(rect.bottom) - area.bottom;
    const long long r1 = r0 + vh;
    const long long c0 = static_cast<long long>(area.left) - rect.left;
    const long long c1 = c0 + vw;
    PatternCanvas p(m_canvas, granularity, r0, c0);
    const int g = p.g;
    switch (effect) {
    case EffectNoise:
        for (long long r = r0; r < r1; ++r)
            for (long long c = c0; c < c1; ++c)
                p.Put(r, c, p.Noise() - g + 128);
        break;
    case EffectDiagShade: {
        const int s = (255 - 2 * g) / 2;
        for (long long r = r0; r < r1; ++r)
            for (long long c = c0; c < c1; ++c) {
                p.Put(r, c, (s * (W - c)) / W + (s * r) / H + g);
                p.AddNoise(r, c);
            }
        break;
    }
    case EffectHShade:
        for (long long r = r0; r < r1; ++r)
            for (long long c = c0; c < c1; ++c) {
                p.Put(r, c, (r * (255 - 2 * g)) / H + g);
                p.AddNoise(r, c);
            }
        break;
    case EffectVShade:
        for (long long c = c0; c < c1; ++c)
            for (long long r = r0; r < r1; ++r) {
                p.Put(r, c, ((255 - 2 * g) * (W - c)) / W + g);
                p.AddNoise(r, c);
            }
        break;
    case EffectHBump:
    case EffectHardBump: {
        const int spread = effect == EffectHBump ? 128 - g : 128 - 2 * g;
        for (long long r = r0; r < r1; ++r) {
            const int t = static_cast<int>((255 * r) / H - 127);
            for (long long c = c0; c < c1; ++c) {
                p.Put(r, c, (Cube(t) * spread) / 128 + 128);
                p.AddNoise(r, c);
            }
        }
        if (effect == EffectHardBump) {
            const long long d = std::min<long long>(W / 6, 16);
            const long long Q = (H * H) / 4;
            if (Q == 0)
                break;   // one row: the bevel's parabola has no height
            for (long long r = r0; r < r1; ++r) {
                const long long t = r - H / 2;
                const long long e = (d * t * t) / Q + W / 2 - d;
                for (long long c = c0; c < c1; ++c) {
                    const long long u = c - W / 2;
                    if (d > 0 && u > e)
                        p.Put(r, c, (128 * (W - c)) / d + g);
                    if (d > 0 && u + e < 0)
                        p.Put(r, c, (255 - g) - (128 * c) / d);
                    p.AddNoise(r, c);
                }
            }
        }
        break;
    }
    case EffectVBump:
        for (long long c = c0; c < c1; ++c) {
            const int t = static_cast<int>((255 * (W - c)) / W - 127);
            for (long long r = r0; r < r1; ++r) {
                p.Put(r, c, (Cube(t) * (128 - g)) / 128 + 128);
                p.AddNoise(r, c);
            }
        }
        break;
    case EffectSoftBump:
        for (long long r = r0; r < r1; ++r) {
            const int tr = static_cast<int>((255 * r) / H - 127);
            for (long long c = c0; c < c1; ++c) {
                const int tc = static_cast<int>((255 * (W - c)) / W - 127);
                int v = ((Cube(tr) + Cube(tc)) * (128 - g)) / 128 + 128;
                v = std::max(v, g);
                v = std::min(v, 255 - g);
                p.Put(r, c, v);
                p.AddNoise(r, c);
            }
        }
        break;
    case EffectMetal: {
        m_canvas.Clear(0);
        // Rectangles wider or taller than the generator's range would make these divisors 0.
        const long long q1 = std::max<long long>(1, kRandMax / W);
        const long long q2 = std::max<long long>(1, kRandMax / H);
        const long long q3 = std::max<long long>(1, kRandMax / std::min(W, H));
        // Scratches lie on the whole rectangle (y from its top); the window takes its part of them.
        const long long top0 = static_cast<long long>(area.top) - rect.top;
        auto scratch = [&](long long x, long long y, BYTE v) {
            if (x - c0 >= 0 && x - c0 < vw && y - top0 >= 0 && y - top0 < vh)
                m_canvas.SetPixelIndex(static_cast<long>(x - c0), static_cast<long>(y - top0), v);
        };
        for (int i = 0; i < kMetalScratches; ++i) {
            const long long x = std::rand() / q1;
            const long long y = std::rand() / q2;
            const long long n = (std::rand() / q3) / 2;
            const BYTE v = static_cast<BYTE>(std::rand() / 819);
            for (long long j = 0; j < n; ++j) {
                if (x - j >= 1 && y + j < H)
                    scratch(x - j, y + j, v);
                if (x + j < W && y - j >= 1)
                    scratch(x + j, y - j, v);
            }
        }
        const int s = (215 - 2 * g) / 2;
        for (long long r = r0; r < r1; ++r)
            for (long long c = c0; c < c1; ++c)
                p.Put(r, c, p.At(r, c) + (s * (W - c)) / W + (s * r) / H + std::rand() / p.q);
        break;
    }
    default:
        break;
    }
    m_canvas.Draw(dc, area.left, area.top);
}
