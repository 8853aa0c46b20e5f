#include "render/MarkupCanvas.h"
#include "render/DrawManager.h"

namespace {
MarkupDrawLogger g_logger = nullptr;
void* g_loggerContext = nullptr;

void Log(const MarkupDrawRecord& record)
{
    if (g_logger)
        g_logger(record, g_loggerContext);
}
}

void SetMarkupDrawLogger(MarkupDrawLogger logger, void* context)
{
    g_logger = logger;
    g_loggerContext = context;
}

void MarkupTextOut(HDC dc, int x, int y, const std::wstring& text)
{
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    if (!g_logger)
        return;
    MarkupDrawRecord record;
    record.kind = MarkupDrawRecord::Text;
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    record.rect = {x, y, x + extent.cx, y + extent.cy};
    record.text = text;
    record.colour = GetTextColor(dc);
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(record.font), &record.font);
    Log(record);
}

void MarkupDrawLine(CDrawManager& manager, HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int style,
                int width)
{
    manager.DrawLine(dc, x1, y1, x2, y2, colour, style, width);
    MarkupDrawRecord record;
    record.kind = MarkupDrawRecord::Line;
    record.rect = {x1, y1, x2, y2};
    record.colour = colour;
    record.value = style;
    record.font.lfHeight = width;
    Log(record);
}

void MarkupFill(CDrawManager& manager, HDC dc, int effect, const RECT& rect, COLORREF begin, COLORREF mid,
                COLORREF end, BYTE granularity)
{
    manager.FillEffect(dc, effect, &rect, begin, mid, end, granularity, 0);
    MarkupDrawRecord record;
    record.kind = MarkupDrawRecord::Fill;
    record.rect = rect;
    record.colour = begin;
    record.value = effect;
    Log(record);
}

void MarkupFrame(CDrawManager& manager, HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int style,
                 int width)
{
    manager.DrawRectangle(dc, &rect, light, dark, style, width);
    MarkupDrawRecord record;
    record.kind = MarkupDrawRecord::Frame;
    record.rect = rect;
    record.colour = light;
    record.value = style;
    record.font.lfHeight = width;
    Log(record);
}

void MarkupImageDrawn(const RECT& rect, DWORD flags)
{
    MarkupDrawRecord record;
    record.kind = MarkupDrawRecord::Image;
    record.rect = rect;
    record.value = static_cast<int>(flags);
    Log(record);
}
