#include "render/MarkupCanvas.h"
#include "render/DrawManager.h"

#include <algorithm>
#include <climits>

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

namespace {
// Text drawing that reorders right-to-left runs costs the square of the string's length in some
// systems' drawing (seconds for a few ten thousand characters), so a long run is drawn in pieces,
// and pieces wholly outside the clip box are only measured.
const size_t kLongText = 512;
const size_t kPiece = 256;

size_t PieceLength(const std::wstring& text, size_t start)
{
    size_t length = std::min(kPiece, text.size() - start);
    if (start + length == text.size())
        return length;
    // End after a blank where one is near, so that words stay whole; never between a surrogate pair.
    for (size_t back = length; back > kPiece / 2; --back)
        if (text[start + back - 1] == L' ')
            return back;
    if (IS_HIGH_SURROGATE(text[start + length - 1]))
        --length;
    return length;
}

void DrawLongText(HDC dc, int x, int y, const std::wstring& text)
{
    RECT clip = {0, 0, 0, 0};
    const bool clipped = GetClipBox(dc, &clip) != ERROR;
    long long left = x;
    for (size_t start = 0; start < text.size();) {
        const size_t length = PieceLength(text, start);
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(length), &extent);
        const bool visible = !clipped || (left < clip.right && left + extent.cx > clip.left);
        if (visible && left >= INT_MIN && left <= INT_MAX)
            TextOutW(dc, static_cast<int>(left), y, text.c_str() + start, static_cast<int>(length));
        left += extent.cx;
        start += length;
    }
}
}

void MarkupTextOut(HDC dc, int x, int y, const std::wstring& text)
{
    // Only plain left alignment can be drawn piecewise at measured offsets.
    if (text.size() > kLongText && (GetTextAlign(dc) & (TA_UPDATECP | TA_CENTER | TA_RIGHT | TA_RTLREADING)) == 0)
        DrawLongText(dc, x, y, text);
    else
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
