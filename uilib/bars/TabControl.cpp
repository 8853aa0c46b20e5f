#include "uilib/bars/TabControl.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <new>

#include "uilib/bars/SkinParts.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/FontSet.h"
#include "uilib/skin/OffscreenDC.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/Skin.h"

namespace {

const wchar_t kTabProp[] = L"Glazier::TabControl";
constexpr int kStates = 4;  // normal, hot, selected, hot selected
constexpr int kNormal = 0, kHot = 1, kSelected = 2;
constexpr int kMaxTabText = 256;
constexpr int kWiden = 2;
constexpr int kHeightTrim = 4;
constexpr int kUpDownId = 1;
constexpr COLORREF kOpaque = 0xFF000000u;

const char* const kStateSections[kStates] = {"Item", "Hot Item", "Selected Item", "Hot Selected Item"};
const char* const kIconKeys[kStates] = {"Normal", "Hot", "Selected", "Hot Selected"};

struct TabState {
    RECT left, middle, right;  // x, y, width, height in the skin image
    int widen;
    COLORREF text;
    int style;
    POINT offset;
};

struct TabRecord {
    WNDPROC previous = nullptr;
    COLORREF background = 0;  // alpha in the high byte
    COLORREF highlight = 0;
    HBRUSH frame = nullptr;
    bool bodyFrame = true;
    bool topDivider = false;
    bool bottom = false;
    RECT margins = {};
    TabState states[kStates] = {};
    RECT icons[kStates] = {};
    RECT bgLeft = {}, bgMiddle = {}, bgRight = {};
    bool bgStretch = false;
    Glazier::CSkin skin;
    CFontSet fonts{static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false};
};

TabRecord* RecordOf(HWND control)
{
    return static_cast<TabRecord*>(GetPropW(control, kTabProp));
}

bool IsOpaque(COLORREF argb)
{
    return (argb >> 24) == 0xFF;
}

// "#AARRGGBB" keeps its alpha; "#RRGGBB" and "r, g, b" give no alpha and are opaque.
COLORREF ReadArgb(CProfileReader& reader, const char* key, COLORREF defaultValue)
{
    const char* text = reader.GetString(key);
    if (!text || !*text)
        return defaultValue;
    while (*text == ' ' || *text == '\t')
        ++text;
    COLORREF colour = ParseColor(text);
    if (*text == '#') {
        int digits = 0;
        while (isxdigit(static_cast<unsigned char>(text[1 + digits])))
            ++digits;
        if (digits >= 8)
            return colour;
    }
    return (colour & 0xFFFFFF) | kOpaque;
}

bool Contains(CProfileReader& reader, const char* key, const char* word)
{
    const char* text = reader.GetString(key);
    return text && StrStrIA(text, word);
}

void ReadDescription(CProfileReader& reader, TabRecord* r)
{
    reader.SelectSection("General");
    r->background = ReadArgb(reader, "Background Color", (GetSysColor(COLOR_BTNFACE) & 0xFFFFFF) | kOpaque);
    r->highlight = ReadArgb(reader, "Highlight Background Color", 0xFFFFFF | kOpaque);
    if (r->frame)
        DeleteObject(r->frame);
    r->frame = CreateSolidBrush(reader.GetColor("Frame Color", GetSysColor(COLOR_3DSHADOW)) & 0xFFFFFF);
    r->bodyFrame = !Contains(reader, "Frame Style", "NoBorder");
    r->topDivider = Contains(reader, "Frame Style", "TopDivider");
    r->bottom = Contains(reader, "Text Alignment", "Bottom");
    reader.GetRect("Text Margins", &r->margins);
    for (int s = 0; s < kStates; ++s) {
        TabState& state = r->states[s];
        reader.SelectSection(kStateSections[s]);
        reader.GetRect("Left", &state.left);
        reader.GetRect("Middle", &state.middle);
        reader.GetRect("Right", &state.right);
        state.widen = reader.GetInt("Widen", s >= kSelected ? 1 : 0);
        state.text = reader.GetColor("Text Color", GetSysColor(COLOR_BTNTEXT)) & 0xFFFFFF;
        state.style = reader.GetFontAttributes("Text attributes");
        if (!reader.GetPoint("Content Offset", &state.offset))
            state.offset = POINT{0, s >= kSelected ? -2 : 0};
    }
    reader.SelectSection("Item Images");
    for (int s = 0; s < kStates; ++s)
        reader.GetRect(kIconKeys[s], &r->icons[s]);
    reader.SelectSection("Background");
    r->bgStretch = Contains(reader, "Type", "Stretch");
    reader.GetRect("Left", &r->bgLeft);
    reader.GetRect("Middle", &r->bgMiddle);
    reader.GetRect("Right", &r->bgRight);
}

SIZE IconSize(HWND control, const TabRecord* r, const RECT* strip)
{
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageW(control, TCM_GETIMAGELIST, 0, 0));
    SIZE size = {0, 0};
    if (list) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        return SIZE{cx, cy};
    }
    if (strip)
        return SIZE{strip->right, strip->bottom};
    for (const RECT& icon : r->icons) {
        size.cx = icon.right > size.cx ? icon.right : size.cx;
        size.cy = icon.bottom > size.cy ? icon.bottom : size.cy;
    }
    return size;
}

bool ReadTab(HWND control, int index, wchar_t* text, int* image)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = kMaxTabText;
    text[0] = 0;
    if (!SendMessageW(control, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)))
        return false;
    *image = item.iImage;
    return true;
}

SIZE MeasureTabs(HWND control, TabRecord* r)
{
    const SIZE icon = IconSize(control, r, nullptr);
    HFONT font = r->fonts.GetFont(r->states[kNormal].style);
    SIZE largest = {0, 0};
    const int count = static_cast<int>(SendMessageW(control, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[kMaxTabText];
        int image = -1;
        if (!ReadTab(control, i, text, &image))
            continue;
        SIZE extent = GetTextExtent(control, text, font);
        const bool hasImage = image >= 0;
        int width = r->margins.left + r->margins.right + extent.cx + (hasImage && !r->bottom ? icon.cx : 0);
        int height = extent.cy + r->margins.top + r->margins.bottom + (hasImage && r->bottom ? icon.cy : 0);
        largest.cx = width > largest.cx ? width : largest.cx;
        largest.cy = height > largest.cy ? height : largest.cy;
    }
    return largest;
}

int TabRowHeight(HWND control, const TabRecord* r)
{
    RECT empty = {0, 0, 0, 0};
    CallPreviousProc(r->previous, control, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&empty));
    return empty.top;
}

void DrawTab(HWND control, TabRecord* r, HDC dc, int index, int stateIndex)
{
    const TabState& state = r->states[stateIndex];
    RECT rect = {};
    if (!SendMessageW(control, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)))
        return;
    rect.top = 0;
    if (state.widen)
        InflateRect(&rect, kWiden, 0);
    if (index == 0)
        rect.left = 0;
    if (!RectVisible(dc, &rect))
        return;
    DrawThreeParts(r->skin, dc, rect.left, rect.top, rect.right, state.left, state.middle, state.right, false);

    wchar_t text[kMaxTabText];
    int image = -1;
    if (!ReadTab(control, index, text, &image))
        return;
    RECT area = rect;
    OffsetRect(&area, state.offset.x, state.offset.y);
    HGDIOBJ oldFont = SelectObject(dc, r->fonts.GetFont(state.style));
    COLORREF oldColour = SetTextColor(dc, state.text);
    SetBkMode(dc, TRANSPARENT);
    RECT measured = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    const int textWidth = measured.right, textHeight = measured.bottom;
    RECT textArea = area;
    UINT format = DT_END_ELLIPSIS | DT_SINGLELINE;
    if (image < 0) {
        format |= DT_CENTER | DT_VCENTER;
    } else {
        const RECT* strip = r->icons[stateIndex].right > 0 ? &r->icons[stateIndex] : nullptr;
        const SIZE icon = IconSize(control, r, strip);
        const int width = area.right - area.left, height = area.bottom - area.top;
        int x, y;
        if (r->bottom) {
            x = (area.left + area.right - icon.cx) / 2;
            y = area.top + (height - r->margins.bottom - icon.cy - textHeight - r->margins.top) / 2;
            textArea.top = y + icon.cy + r->margins.top;
            format |= DT_CENTER;
        } else {
            x = area.left + (width - r->margins.right - r->margins.left - icon.cx - textWidth) / 2;
            y = (area.top + area.bottom - icon.cy) / 2;
            textArea.left = x + r->margins.left + icon.cx;
            format |= DT_VCENTER;
        }
        HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageW(control, TCM_GETIMAGELIST, 0, 0));
        if (list) {
            ImageList_Draw(list, image, dc, x, y, ILD_NORMAL);
        } else if (strip) {
            RECT src = *strip;
            src.left += image * strip->right;
            RECT dst = {x, y, strip->right, strip->bottom};
            r->skin.Draw(dc, &dst, &src, 255);
        }
    }
    DrawTextW(dc, text, -1, &textArea, format);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

void Paint(HWND control, TabRecord* r, HDC target)
{
    RECT client;
    GetClientRect(control, &client);
    COffscreenDC buffer;
    HDC dc = buffer.Begin(target, &client, 0, nullptr, false, 255);
    if (!dc)
        return;
    const int rowHeight = TabRowHeight(control, r);
    RECT arrows = {};
    bool hasArrows = false;
    HWND upDown = GetDlgItem(control, kUpDownId);
    if (upDown && IsWindowVisible(upDown)) {
        GetWindowRect(upDown, &arrows);
        MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&arrows), 2);
        arrows.top = 0;
        arrows.bottom = rowHeight;
        hasArrows = true;
    }

    RECT row = {0, 0, client.right, rowHeight};
    // A translucent colour is blended over the parent's look, an opaque one covers it: the row
    // keeps an opaque background colour while only the body is translucent.
    if (!IsOpaque(r->background) || !IsOpaque(r->highlight)) {
        HWND parent = GetParent(control);
        POINT at = {0, 0};
        MapWindowPoints(control, parent, &at, 1);
        POINT old;
        OffsetWindowOrgEx(dc, at.x, at.y, &old);
        SendMessageW(parent, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        SetWindowOrgEx(dc, old.x, old.y, nullptr);
    }
    AlphaFillRect(dc, &row, r->background);

    const int count = static_cast<int>(SendMessageW(control, TCM_GETITEMCOUNT, 0, 0));
    if (r->bgMiddle.right > 0 && r->bgMiddle.bottom > 0) {
        int from = 0;
        RECT last = {};
        if (count > 0 && SendMessageW(control, TCM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last)))
            from = last.right;
        if (hasArrows && arrows.left < from)
            from = arrows.left;
        DrawThreeParts(r->skin, dc, from, 0, client.right, r->bgLeft, r->bgMiddle, r->bgRight, r->bgStretch);
    }
    RECT body = {0, rowHeight, client.right, client.bottom};
    AlphaFillRect(dc, &body, r->highlight);
    if (r->topDivider) {
        RECT divider = {-1, 0, client.right + 1, rowHeight};
        FrameRect(dc, &divider, r->frame);
    }
    if (r->bodyFrame) {
        RECT frame = {0, rowHeight - 1, client.right, client.bottom};
        FrameRect(dc, &frame, r->frame);
    }
    if (hasArrows)
        ExcludeClipRect(dc, arrows.left, arrows.top, arrows.right, arrows.bottom);

    int hot = -1;
    POINT cursor;
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == control) {
        TCHITTESTINFO hit = {};
        hit.pt = cursor;
        ScreenToClient(control, &hit.pt);
        hot = static_cast<int>(SendMessageW(control, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    const int selected = static_cast<int>(SendMessageW(control, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i)
        if (i != selected)
            DrawTab(control, r, dc, i, i == hot ? kHot : kNormal);
    if (selected >= 0 && selected < count)
        DrawTab(control, r, dc, selected, selected == hot ? kSelected + 1 : kSelected);
    buffer.End();
}

LRESULT CALLBACK TabWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    TabRecord* r = RecordOf(control);
    if (!r)
        return DefWindowProcW(control, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(control, &ps);
        Paint(control, r, dc);
        EndPaint(control, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINTCLIENT:
        Paint(control, r, reinterpret_cast<HDC>(wParam));
        return 0;
    case TCM_ADJUSTRECT: {
        RECT* rect = reinterpret_cast<RECT*>(lParam);
        RECT empty = {0, 0, 0, 0};
        LRESULT result = CallPreviousProc(r->previous, control, TCM_ADJUSTRECT, wParam, reinterpret_cast<LPARAM>(&empty));
        if (rect) {
            rect->top += empty.top;
            if (r->bodyFrame) {
                const int d = wParam ? -1 : 1;
                rect->left += d;
                rect->right -= d;
                rect->bottom -= d;
            }
        }
        return result;
    }
    case WM_HSCROLL:
        if (!IsOpaque(r->background)) {
            RECT client;
            GetClientRect(control, &client);
            client.bottom = TabRowHeight(control, r);
            InvalidateRect(control, &client, TRUE);
        }
        return CallPreviousProc(r->previous, control, message, wParam, lParam);
    case kTabControlGetColor:
        return wParam == 0 ? r->background : wParam == 1 ? r->highlight : 0;
    case WM_NCDESTROY:
        CallPreviousProc(r->previous, control, message, wParam, lParam);
        if (r->frame)
            DeleteObject(r->frame);
        RemovePropW(control, kTabProp);
        delete r;
        return 0;
    default:
        return CallPreviousProc(r->previous, control, message, wParam, lParam);
    }
}

void Uncustomize(HWND control, TabRecord* r, bool subclassed)
{
    if (subclassed)
        SwapWindowProc(control, r->previous);
    RemovePropW(control, kTabProp);
    if (r->frame)
        DeleteObject(r->frame);
    delete r;
}

// The colour scheme reaches tab controls through its seam once this file is linked in.
[[maybe_unused]] const bool kSchemeConnected = (g_pfnApplyTabControlScheme = ApplyTabControlScheme, true);

}  // namespace

int WINAPI CustomizeTabControl(HWND control, const char* descriptionFile)
{
    if (!IsWindow(control))
        return 0;
    const char* file = descriptionFile ? descriptionFile : g_Scheme.tabControlFile;
    char path[MAX_PATH];
    if (!file || !*file || !ResolveDescriptionPath(file, path))
        return 0;
    CProfileReader reader;
    if (!reader.Load(path, false))
        return 0;
    reader.SelectSection("General");
    char* image = reader.GetFilePath(nullptr, "Image");

    TabRecord* r = RecordOf(control);
    const bool subclassed = r != nullptr;
    if (!r) {
        r = new (std::nothrow) TabRecord();
        if (!r) {
            free(image);
            return 0;
        }
    }
    r->skin.Free();
    const bool loaded = image && r->skin.Load(image);
    free(image);
    if (!loaded) {
        Uncustomize(control, r, subclassed);
        InvalidateRect(control, nullptr, TRUE);
        return 0;
    }
    ReadDescription(reader, r);

    const SIZE measured = MeasureTabs(control, r);
    const LRESULT current = SendMessageW(control, TCM_SETITEMSIZE, 0, 0);
    const int width = measured.cx > LOWORD(current) ? measured.cx : LOWORD(current);
    const int height = r->states[kNormal].left.bottom - kHeightTrim;
    SendMessageW(control, TCM_SETITEMSIZE, 0, MAKELPARAM(width, height));
    if (GetComCtlVersion() < MAKELONG(0, 6))
        SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | TCS_HOTTRACK);
    if (!subclassed) {
        SetPropW(control, kTabProp, r);
        r->previous = SwapWindowProc(control, TabWndProc);
    }
    InvalidateRect(control, nullptr, TRUE);
    return 1;
}

extern "C" int WINAPI glzCustomizeTabControl(HWND control, const char* descriptionFile)
{
    return CustomizeTabControl(control, descriptionFile);
}

int ApplyTabControlScheme(HWND control, const char* descriptionFile, int)
{
    return descriptionFile && *descriptionFile ? CustomizeTabControl(control, descriptionFile) : 0;
}
