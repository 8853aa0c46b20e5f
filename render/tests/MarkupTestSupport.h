#pragma once
#include "render/DibSection32.h"
#include "render/HtmlDrawer.h"
#include "render/MarkupCanvas.h"
#include <string>
#include <vector>

// An opaque icon of side x side pixels in one colour (a 0x00RRGGBB pixel word); the caller destroys it.
inline HICON MakeSolidIcon(int side, DWORD pixel)
{
    CDibSection32 colour;
    colour.Create(side, side);
    for (int i = 0; i < colour.Count(); ++i)
        colour.Bits()[i] = pixel;
    std::vector<BYTE> mask(static_cast<size_t>((side + 15) / 16 * 2) * side, 0);
    ICONINFO info = {TRUE, static_cast<DWORD>(side / 2), static_cast<DWORD>(side / 2),
                     CreateBitmap(side, side, 1, 1, mask.data()), colour.Detach()};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return icon;
}

// A drawer on a white 32-bit canvas whose drawing calls are logged.
struct MarkupFixture
{
    CDibSection32 canvas;
    CHtmlDrawer drawer;
    std::vector<MarkupDrawRecord> log;
    SIZE size = {0, 0};

    explicit MarkupFixture(int width = 600, int height = 400)
    {
        canvas.Create(width, height);
        Clear();
        SetMarkupDrawLogger(&MarkupFixture::Record, this);
    }
    ~MarkupFixture() { SetMarkupDrawLogger(nullptr, nullptr); }

    static void Record(const MarkupDrawRecord& record, void* self)
    {
        static_cast<MarkupFixture*>(self)->log.push_back(record);
    }
    void Clear() { PatBlt(canvas.DC(), 0, 0, canvas.Width(), canvas.Height(), WHITENESS); }
    HDC DC() const { return canvas.DC(); }

    SIZE Prepare(const wchar_t* text)
    {
        drawer.PrepareOutput(DC(), text, &size);
        return size;
    }
    // Measures and draws at (x, y) in the measured size; returns the logged texts.
    std::vector<MarkupDrawRecord> Render(const wchar_t* text, int x = 0, int y = 0)
    {
        Prepare(text);
        return Draw(x, y, size.cx, size.cy);
    }
    std::vector<MarkupDrawRecord> Draw(int x, int y, int cx, int cy)
    {
        log.clear();
        RECT r = {x, y, x + cx, y + cy};
        drawer.DrawPreparedOutput(DC(), &r);
        GdiFlush();
        return log;
    }
    std::vector<MarkupDrawRecord> Texts() const
    {
        std::vector<MarkupDrawRecord> texts;
        for (const auto& r : log)
            if (r.kind == MarkupDrawRecord::Text)
                texts.push_back(r);
        return texts;
    }
    std::wstring AllText() const
    {
        std::wstring all;
        for (const auto& r : Texts())
            all += r.text + L"|";
        return all;
    }
    COLORREF Pixel(int x, int y) const
    {
        DWORD p = canvas.At(x, y);
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
    // Width of text in a font like the drawer's: face, height and weight given.
    int TextWidth(const std::wstring& text, int height, int weight = FW_NORMAL, const wchar_t* face = L"Verdana",
                  BOOL italic = FALSE) const
    {
        HFONT font = CreateFontW(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
        HGDIOBJ old = SelectObject(canvas.DC(), font);
        SIZE s = {0, 0};
        GetTextExtentPoint32W(canvas.DC(), text.c_str(), static_cast<int>(text.size()), &s);
        SelectObject(canvas.DC(), old);
        DeleteObject(font);
        return s.cx;
    }
    TEXTMETRICW Metrics(int height, int weight = FW_NORMAL, const wchar_t* face = L"Verdana") const
    {
        HFONT font = CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
        HGDIOBJ old = SelectObject(canvas.DC(), font);
        TEXTMETRICW tm;
        GetTextMetricsW(canvas.DC(), &tm);
        SelectObject(canvas.DC(), old);
        DeleteObject(font);
        return tm;
    }
    // The body font: 10pt on this DC.
    int BodyHeight() const { return (10 * GetDeviceCaps(canvas.DC(), LOGPIXELSY)) / 72; }
};
