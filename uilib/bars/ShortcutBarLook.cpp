// The shortcut bar's looks: buttons from the colour table's StudioBar colours or from a
// description file's skin image, and the background around the buttons.
#include <cstdlib>
#include <new>

#include "uilib/bars/ShortcutBarLook.h"
#include "uilib/bars/SkinParts.h"
#include "uilib/bars/WindowsVersion.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/DrawHelpers.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/Profile.h"

namespace Glazier {

namespace {

const char* const kStateSections[kButtonStates] = {"Item", "Hot Item", "Selected Item", "Hot Selected Item"};
const char* const kIconKeys[kButtonStates] = {"Normal", "Hot", "Selected", "Hot Selected"};
constexpr int kMaxButtonText = 260;
constexpr int kTextInset = 5;
constexpr int kIconSize = 32;
constexpr int kLargeIconTop = 3;
constexpr int kLargeTextTop = 34;
constexpr int kLargeTextInset = 2;
constexpr int kSmallIconLeft = 4;
constexpr int kSmallTextLeft = 42;
constexpr int kSmallTextRight = 6;
constexpr UINT kWrapFormat = DT_WORDBREAK | DT_NOPREFIX | DT_NOFULLWIDTHCHARBREAK;

void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// Text word-wrapped in area and centred vertically there.
void DrawCentredText(HDC dc, const wchar_t* text, RECT area, UINT format)
{
    RECT measured = area;
    DrawTextW(dc, text, -1, &measured, format | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    area.top += (area.bottom - area.top - height) / 2;
    area.bottom = area.top + height;
    DrawTextW(dc, text, -1, &area, format);
}

}  // namespace

ShortcutBarDescription::ShortcutBarDescription() : fonts(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false)
{
}

BOOL CShortcutBar::LoadDescription(const char* file)
{
    if (!file)
        return FALSE;
    if (m_description)
        return TRUE;  // the first description stays
    char path[MAX_PATH];
    CProfileReader reader;
    if (!ResolveDescriptionPath(file, path) || !reader.Load(path, false))
        return FALSE;
    auto* d = new (std::nothrow) ShortcutBarDescription();
    if (!d)
        return FALSE;
    reader.SelectSection("General");
    char* image = reader.GetFilePath(nullptr, "Image");
    const bool loaded = image && d->skin.Load(image);
    free(image);
    if (!loaded) {
        delete d;
        return FALSE;
    }
    d->background = reader.GetColor("Background Color", CLR_INVALID);
    d->gap = reader.GetInt("Button Gap", 0);
    for (int s = 0; s < kButtonStates; ++s) {
        ShortcutButtonLook& look = d->states[s];
        reader.SelectSection(kStateSections[s]);
        reader.GetRect("Left", &look.left);
        reader.GetRect("Middle", &look.middle);
        reader.GetRect("Right", &look.right);
        look.text = reader.GetColor("Text Color", 0);
        look.style = reader.GetFontAttributes("Text attributes");
    }
    reader.SelectSection("Item Images");
    for (int s = 0; s < kButtonStates; ++s)
        reader.GetRect(kIconKeys[s], &d->icons[s]);
    m_description = d;
    if (m_list) {
        // The new height changes the list's size, and the list view measures its buttons again
        // whenever its size changes.
        RECT client;
        GetClientRect(m_window, &client);
        OnSize(m_window, SIZE_RESTORED, client.right, client.bottom);
        InvalidateRect(m_list, nullptr, TRUE);
    }
    return TRUE;
}

HBITMAP CShortcutBar::CopyBitmapPart(HBITMAP bitmap, const RECT* part)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return nullptr;
    RECT area = {0, 0, info.bmWidth, info.bmHeight};
    if (part && !IsRectEmpty(part))
        IntersectRect(&area, &area, part);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    HBITMAP copy = CreateDib32(width, height, nullptr);
    if (!copy)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, width, height, from, area.left, area.top, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return copy;
}

LRESULT CShortcutBar::OnEraseBkgnd(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    if (m_pager && IsWindowVisible(m_pager)) {
        RECT pager;
        GetWindowRect(m_pager, &pager);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&pager), 2);
        ExcludeClipRect(dc, pager.left, pager.top, pager.right, pager.bottom);
    }
    if (m_top) {
        DrawBitmapAt(dc, m_top, 0, 0, m_topWidth, m_topHeight);
        ExcludeClipRect(dc, 0, 0, m_topWidth, m_topHeight);
    }
    if (m_bottom) {
        const int y = client.bottom - m_bottomHeight;
        DrawBitmapAt(dc, m_bottom, 0, y, m_bottomWidth, m_bottomHeight);
        ExcludeClipRect(dc, 0, y, m_bottomWidth, client.bottom);
    }
    GRADIENT fill = {g_Colors.StudioBarBackgroundStart, g_Colors.StudioBarBackgroundEnd};
    FillGradient(dc, &fill, &client, false);
    SelectClipRgn(dc, nullptr);
    return 1;
}

void CShortcutBar::OnDrawItem(HWND, DRAWITEMSTRUCT* draw)
{
    if (!draw || draw->CtlType != ODT_LISTVIEW || !m_list)
        return;
    const int item = static_cast<int>(draw->itemID);
    RECT rect = draw->rcItem;
    if (IsWindows9xOr2000() && item == 0)
        rect.top = 0;
    const bool selected = draw->itemState & ODS_SELECTED;
    const bool hot = static_cast<int>(SendMessageW(m_list, LVM_GETHOTITEM, 0, 0)) == item;
    int state = kButtonNormal;
    if (selected && (hot || GetFocus() == m_list))
        state = kButtonHotSelected;
    else if (hot)
        state = kButtonHot;
    else if (selected)
        state = kButtonSelected;

    wchar_t text[kMaxButtonText] = {};
    LVITEMW entry = {};
    entry.mask = LVIF_TEXT | LVIF_IMAGE;
    entry.iItem = item;
    entry.pszText = text;
    entry.cchTextMax = kMaxButtonText;
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    if (m_description)
        DrawDescribedButton(draw->hDC, rect, item, state, text, entry.iImage);
    else
        DrawSchemeButton(draw->hDC, rect, item, state, text, entry.iImage);
}

void CShortcutBar::DrawDescribedButton(HDC target, const RECT& rect, int, int state, const wchar_t* text, int image)
{
    const ShortcutBarDescription& d = *m_description;
    const ShortcutButtonLook& look = d.states[state];
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    HBITMAP buffer = CreateDib32(width, height, nullptr);
    HDC dc = CreateCompatibleDC(target);
    HGDIOBJ oldBitmap = SelectObject(dc, buffer);
    // Without a background colour the button lies on what is already there.
    BitBlt(dc, 0, 0, width, height, target, rect.left, rect.top, SRCCOPY);
    if (d.background != CLR_INVALID) {
        HBRUSH brush = CreateSolidBrush(d.background & 0xFFFFFF);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    CSkin& skin = m_description->skin;
    const RECT none = {};
    DrawThreeParts(skin, dc, look.left.right, 0, width, none, look.middle, look.right, false);

    HGDIOBJ oldFont = SelectObject(dc, m_description->fonts.GetFont(static_cast<UINT>(look.style)));
    SetTextColor(dc, look.text & 0xFFFFFF);
    SetBkMode(dc, TRANSPARENT);
    const int partHeight = look.left.bottom > 0 ? look.left.bottom : height - d.gap;
    RECT area = {look.left.right + kTextInset, 0, width - kTextInset, partHeight};
    DrawCentredText(dc, text, area, kWrapFormat);
    SelectObject(dc, oldFont);

    if (HasArea(look.left))
        DrawSkinPart(skin, dc, 0, 0, look.left.right, look.left);
    const RECT& strip = d.icons[state];
    if (image >= 0 && HasArea(strip)) {
        RECT src = strip;
        src.left += image * strip.right;
        RECT dst = {(look.left.right - strip.right) / 2, (partHeight - strip.bottom) / 2, strip.right, strip.bottom};
        skin.Draw(dc, &dst, &src, 255);
    }
    BitBlt(target, rect.left, rect.top, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(buffer);
    DeleteDC(dc);
}

void CShortcutBar::DrawSchemeButton(HDC dc, const RECT& rect, int item, int state, const wchar_t* text, int image)
{
    GRADIENT fill;
    COLORREF colour;
    switch (state) {
    case kButtonHotSelected:
        fill = {g_Colors.StudioBarHotSelectedStart, g_Colors.StudioBarHotSelectedEnd};
        colour = g_Colors.StudioBarHotText;
        break;
    case kButtonHot:
        fill = {g_Colors.StudioBarHotStart, g_Colors.StudioBarHotEnd};
        colour = g_Colors.StudioBarHotText;
        break;
    case kButtonSelected:
        fill = {g_Colors.StudioBarSelectedStart, g_Colors.StudioBarSelectedEnd};
        colour = g_Colors.StudioBarSelectedText;
        break;
    default:
        fill = {g_Colors.StudioBarNormalStart, g_Colors.StudioBarNormalEnd};
        colour = g_Colors.StudioBarText;
        break;
    }
    FillGradient(dc, &fill, &rect, false);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    if (m_large) {
        if (image >= 0 && m_images)
            ImageList_Draw(m_images, image, dc, (rect.left + rect.right - kIconSize) / 2, rect.top + kLargeIconTop,
                           ILD_TRANSPARENT);
        RECT area = {rect.left + kLargeTextInset, rect.top + kLargeTextTop, rect.right - kLargeTextInset, rect.bottom};
        DrawTextW(dc, text, -1, &area, DT_NOPREFIX | DT_WORDBREAK | DT_CENTER);
    } else {
        if (image >= 0 && m_images)
            ImageList_Draw(m_images, image, dc, rect.left + kSmallIconLeft,
                           (rect.top + rect.bottom - kIconSize) / 2, ILD_TRANSPARENT);
        RECT area = {rect.left + kSmallTextLeft, rect.top, rect.right - kSmallTextRight, rect.bottom};
        DrawCentredText(dc, text, area, DT_NOPREFIX | DT_WORDBREAK);
    }
    SelectObject(dc, oldFont);
    RECT frame = {rect.left - 1, rect.top - (item > 0 ? 1 : 0), rect.right + 1, rect.bottom};
    HBRUSH line = CreateSolidBrush(g_Colors.StudioBarLine);
    FrameRect(dc, &frame, line);
    DeleteObject(line);
}

}  // namespace Glazier
