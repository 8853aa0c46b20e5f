#pragma once
#include <windows.h>
#include <string>

class CDrawManager;

// The markup layout's drawing calls go through these few functions, so a test can log what was drawn.
struct MarkupDrawRecord
{
    enum Kind { Text, Line, Fill, Frame, Image };
    Kind kind = Text;
    RECT rect = {0, 0, 0, 0};   // text: the drawn extent; line: the two end points
    std::wstring text;
    COLORREF colour = 0;        // text colour, line colour, fill begin colour, frame light colour
    int value = 0;              // fill effect, line or frame style, image effect flags
    LOGFONTW font = {};         // text only: the selected font
};

typedef void (*MarkupDrawLogger)(const MarkupDrawRecord& record, void* context);
// Installs a logger for the calling process (null removes it).
void SetMarkupDrawLogger(MarkupDrawLogger logger, void* context);

void MarkupTextOut(HDC dc, int x, int y, const std::wstring& text);
void MarkupDrawLine(CDrawManager& manager, HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int style,
                int width);
void MarkupFill(CDrawManager& manager, HDC dc, int effect, const RECT& rect, COLORREF begin, COLORREF mid,
                COLORREF end, BYTE granularity);
void MarkupFrame(CDrawManager& manager, HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int style,
                 int width);
void MarkupImageDrawn(const RECT& rect, DWORD flags);
