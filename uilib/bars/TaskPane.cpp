#include "uilib/bars/TaskPane.h"

#include <new>

#include "uilib/bars/ExplorerBar.h"
#include "uilib/bars/SolidFill.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace {

const wchar_t kClassName[] = L"ExplorerBar";
constexpr int kMargin = 10;         // around and between groups
constexpr int kGroupPadding = 4;    // above and below a group's items
constexpr int kStudioItemHeight = 44;
constexpr int kLineStep = 3;
constexpr int kAnimationStep = 3;
constexpr int kAnimationStepMs = 9;
constexpr int kPageStep = 44;
constexpr int kIdealExtra = 22;
constexpr int kInfoBytes = 24;
constexpr int kMaxText = 260;
const wchar_t kEmptyWide[] = L"";
const char kEmptyNarrow[] = "";

CExplorerBar* PaneOf(HWND window)
{
    return reinterpret_cast<CExplorerBar*>(GetWindowLongPtrW(window, 0));
}

// Copies at most 24 bytes of a filled record to the caller's, its size field first and clamped.
template <class Record>
void CopyClamped(void* out, Record& filled)
{
    auto* caller = static_cast<DWORD*>(out);
    DWORD size = *caller < static_cast<DWORD>(kInfoBytes) ? *caller : kInfoBytes;
    filled.size = size;
    memcpy(out, &filled, size);
}

HFONT CreateHeaderBase()
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontIndirectW(&font);
}

LRESULT CALLBACK ExplorerBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* pane = new (std::nothrow) CExplorerBar(window);
        if (!pane)
            return FALSE;
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(pane));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    CExplorerBar* pane = PaneOf(window);
    if (!pane)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(window, 0, 0);
        delete pane;
        return 0;
    }
    return pane->Handle(message, wParam, lParam);
}

}  // namespace

CDirectUIGroup::~CDirectUIGroup()
{
    delete[] text;
    while (items.GetCount() > 0)
        delete items.RemoveAt(items.GetCount() - 1);
}

CExplorerBar::CExplorerBar(HWND window)
    : m_window(window), m_headerFonts(CreateHeaderBase(), true),
      m_itemFonts(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false)
{
}

CExplorerBar::~CExplorerBar()
{
    while (m_groups.GetCount() > 0)
        delete m_groups.RemoveAt(m_groups.GetCount() - 1);
    if (m_images)
        ImageList_Destroy(m_images);
}

int CExplorerBar::ItemHeight() const
{
    return m_style == 0 ? MulDiv(GetSystemMetrics(SM_CYMENU), 9, 8) : kStudioItemHeight;
}

int CExplorerBar::HeaderHeight() const
{
    return GetSystemMetrics(SM_CYCAPTION) + 1;
}

CDirectUIItem* CExplorerBar::FindItem(UINT id, int* groupIndex, int* position) const
{
    for (int g = 0; g < m_groups.GetCount(); ++g) {
        const CDirectUIGroup* group = m_groups[g];
        for (int i = 0; i < group->items.GetCount(); ++i)
            if (group->items[i]->m_id == id) {
                if (groupIndex)
                    *groupIndex = g;
                if (position)
                    *position = i;
                return group->items[i];
            }
    }
    return nullptr;
}

int CExplorerBar::Layout()
{
    RECT client;
    GetClientRect(m_window, &client);
    int y = m_animation + kMargin - m_scroll;
    for (int g = 0; g < m_groups.GetCount(); ++g) {
        CDirectUIGroup* group = m_groups[g];
        const int top = y;
        group->header = {kMargin, y, client.right - kMargin, y + (group->headerShown ? HeaderHeight() : 0)};
        y = group->header.bottom;
        if (!group->collapsed) {
            y += kGroupPadding;
            for (int i = 0, n = group->items.GetCount(); i < n; ++i) {
                CDirectUIItem* item = group->items[i];
                int height = item->MeasureHeight(i == n - 1);
                item->m_rect = {kMargin, y, client.right - kMargin, y + height};
                if (m_style != 0)
                    item->m_hitRect = item->m_rect;
                else if (IsRectEmpty(&item->m_hitRect) || item->m_hitRect.top < y || item->m_hitRect.bottom > y + height)
                    item->m_hitRect = item->m_rect;  // narrowed to the link when drawn
                y += height;
            }
            y += kGroupPadding;
        }
        group->bounds = {kMargin, top, client.right - kMargin, y};
        group->height = y - top;
        group->needsLayout = false;
        y += kMargin;
    }
    return y + m_scroll;
}

void CExplorerBar::UpdateScrollBar(int contentHeight)
{
    RECT client;
    GetClientRect(m_window, &client);
    const bool needed = client.bottom < contentHeight;
    const bool shown = GetWindowLongW(m_window, GWL_STYLE) & WS_VSCROLL;
    if (!needed)
        m_scroll = 0;
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, needed ? contentHeight : 0,
                       static_cast<UINT>(needed ? client.bottom : 0), m_scroll, 0};
    SetScrollInfo(m_window, SB_VERT, &info, TRUE);
    if (needed != shown) {
        ShowScrollBar(m_window, SB_VERT, needed);
        Repaint();
    }
}

void CExplorerBar::PaintGroup(HDC dc, CDirectUIGroup* group)
{
    const RECT& h = group->header;
    const bool hot = group->flags & kGroupHot;
    RECT caption = h;
    if (m_style == 0) {
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        if (!group->collapsed) {
            RECT body = {group->bounds.left, h.bottom - 1, group->bounds.right, group->bounds.bottom};
            FillSolid(dc, body, LightenColor(highlight, 85));
            FrameSolid(dc, body, highlight);
        }
        if (group->headerShown) {
            // Rounded top corners: quarter pies at both ends, rectangles between and below.
            HBRUSH brush = CreateSolidBrush(highlight);
            HPEN pen = CreatePen(PS_SOLID, 1, highlight);
            HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
            Pie(dc, h.left, h.top, h.left + 10, h.top + 10, h.left + 5, h.top, h.left, h.top + 5);
            Pie(dc, h.right - 10, h.top, h.right, h.top + 10, h.right, h.top + 5, h.right - 5, h.top);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            DeleteObject(pen);
            DeleteObject(brush);
            FillSolid(dc, RECT{h.left + 5, h.top, h.right - 5, h.top + 5}, highlight);
            FillSolid(dc, RECT{h.left, h.top + 5, h.right, h.bottom}, highlight);
            const COLORREF text = hot ? LightenColor(highlight, 50) : GetSysColor(COLOR_HIGHLIGHTTEXT);
            int d = (h.bottom - h.top) - 9;
            d |= 1;
            const int bx = h.right - d - 5, by = h.top + 4;
            HPEN ring = CreatePen(PS_SOLID, 1, text);
            oldPen = SelectObject(dc, ring);
            oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, bx, by, bx + d, by + d);
            const int cx = bx + d / 2, cy = by + d / 2, arm = d / 4;
            // Two chevrons, from the centre and from a point arm - 1 further out: arms going up
            // (a V) while collapsed, down while expanded.
            const int dir = group->collapsed ? 1 : -1;
            for (int k = 0; k < 2; ++k) {
                const int vy = cy + dir * k * (arm - 1);
                POINT v[] = {{cx - arm, vy - dir * arm}, {cx, vy}, {cx + arm + 1, vy - dir * (arm + 1)}};
                Polyline(dc, v, 3);
            }
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(ring);
            caption.left += 15;
            caption.right = bx;
            SetTextColor(dc, text);
        }
    } else {
        FrameSolid(dc, group->bounds, g_Colors.WindowBorder);
        if (group->headerShown) {
            GRADIENT fill = {g_Colors.WindowCaptionStart, g_Colors.WindowCaptionEnd};
            FillGradient(dc, &fill, &h, false);
            FrameSolid(dc, h, g_Colors.WindowBorder);
            caption.left += 8;
            caption.right -= 8;
            SetTextColor(dc, hot ? LightenColor(g_Colors.WindowBorder, 70) : g_Colors.WindowCaptionText);
        }
    }
    if (group->headerShown) {
        HGDIOBJ old = SelectObject(dc, m_headerFonts.GetFont(kFontBold));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, group->text ? group->text : L"", -1, &caption,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    if (!group->collapsed)
        for (int i = 0; i < group->items.GetCount(); ++i)
            group->items[i]->Draw(dc);
}

void CExplorerBar::Paint(HDC dc)
{
    const int content = Layout();
    RECT client;
    GetClientRect(m_window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1, client.bottom > 0 ? client.bottom : 1);
    HGDIOBJ old = SelectObject(memory, buffer);
    if (m_style == 0) {
        FillSolid(memory, client, LightenColor(GetSysColor(COLOR_HIGHLIGHT), 40));
    } else if (m_style == 1) {
        FillSolid(memory, client, g_Colors.CommandBarBackgroundPlain);
    } else {
        GRADIENT fill = {m_backgroundStart, m_backgroundEnd};
        FillGradient(memory, &fill, &client, !m_verticalBackground);
    }
    if ((m_pictureFlags & kBackgroundModeMask) == kBackgroundShown && !(m_pictureFlags & kBackgroundHidden)) {
        SIZE size = {};
        m_picture.GetSize(&size);
        m_picture.DrawAt(memory, (client.right - size.cx) * m_pictureX / 100,
                         (client.bottom - size.cy) * m_pictureY / 100);
    }
    for (int g = 0; g < m_groups.GetCount(); ++g)
        PaintGroup(memory, m_groups[g]);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(buffer);
    DeleteDC(memory);
    UpdateScrollBar(content);
}

bool CExplorerBar::Notify(UINT code, int index)
{
    CDirectUIGroup* group = Group(index);
    HWND parent = GetParent(m_window);
    if (!group || !parent)
        return false;
    const bool wide = SendMessageW(parent, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_window), NF_QUERY) ==
                      NFR_UNICODE;
    NMEXPLORERBAR record = {};
    record.header.hwndFrom = m_window;
    record.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_window));
    record.header.code = code;
    record.size = kInfoBytes;
    record.groupIndex = index;
    record.text = wide ? static_cast<const void*>(group->text ? group->text : kEmptyWide) : kEmptyNarrow;
    record.groupId = group->id;
    record.expanded = !group->collapsed;
    record.data = group->data;
    if (wide)
        SendMessageW(parent, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
    else
        SendMessageA(parent, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
    return record.cancel != 0;
}

void CExplorerBar::SetExpanded(int index, bool expand)
{
    CDirectUIGroup* group = Group(index);
    if (!group)
        return;
    group->collapsed = !expand;
    group->needsLayout = true;
}

void CExplorerBar::Select(CDirectUIItem* item, bool select)
{
    if (m_selected && (select || !item)) {
        m_selected->m_flags &= ~kItemPressed;
        m_selected = nullptr;
    }
    if (item && select) {
        item->m_flags |= kItemPressed;
        m_selected = item;
    } else if (item && item == m_selected) {
        item->m_flags &= ~kItemPressed;
        m_selected = nullptr;
    }
    Repaint();
}

// The opened group's items slide down from under its header, 3 pixels a step, each step about
// 9 ms (the first step's own cost is measured and taken off the later ones).
void CExplorerBar::AnimateExpand(CDirectUIGroup* group)
{
    Layout();
    const int distance = group->height - (group->header.bottom - group->header.top) - kAnimationStep;
    if (distance <= 0 || m_groups.GetCount() == 0)
        return;
    RECT client;
    GetClientRect(m_window, &client);
    const int lastBottom = m_groups[m_groups.GetCount() - 1]->bounds.bottom;
    RECT area = {kMargin, group->header.bottom, client.right - kMargin,
                 lastBottom < client.bottom ? lastBottom : client.bottom};
    if (area.bottom <= area.top)
        return;
    LARGE_INTEGER frequency = {}, start = {}, now = {};
    QueryPerformanceFrequency(&frequency);
    LONGLONG firstStep = -1;
    const LONGLONG stepTicks = frequency.QuadPart * kAnimationStepMs / 1000;
    for (m_animation = -distance; m_animation < 0;) {
        QueryPerformanceCounter(&start);
        m_animation = m_animation + kAnimationStep > 0 ? 0 : m_animation + kAnimationStep;
        ScrollWindowEx(m_window, 0, kAnimationStep, &area, &area, nullptr, nullptr, SW_INVALIDATE);
        UpdateWindow(m_window);
        QueryPerformanceCounter(&now);
        if (firstStep < 0) {
            firstStep = now.QuadPart - start.QuadPart;
            continue;
        }
        const LONGLONG wait = stepTicks - firstStep;
        while (wait > 0 && now.QuadPart - start.QuadPart < wait)
            QueryPerformanceCounter(&now);
    }
    m_animation = 0;
}

void CExplorerBar::SetHotItem(CDirectUIItem* item)
{
    if (item == m_hotItem)
        return;
    if (m_hotItem)
        m_hotItem->OnMouseLeave();
    m_hotItem = item;
    if (m_hotItem)
        m_hotItem->OnMouseEnter();
    Repaint();
}

LRESULT CExplorerBar::AddGroup(int index, const EBGROUP* record, bool wide)
{
    if (!record)
        return -1;
    auto* group = new (std::nothrow) CDirectUIGroup();
    if (!group)
        return -1;
    group->text = CopyItemText(record->text, wide);
    group->id = record->groupId;
    int at = m_groups.InsertAt(index, group);
    if (at < 0) {
        delete group;
        return -1;
    }
    Repaint();
    return at;
}

LRESULT CExplorerBar::GroupsFromMenu(const EBMENU* record)
{
    if (!record)
        return 0;
    HMENU menu = record->menu;
    if (IS_INTRESOURCE(menu))
        menu = LoadMenuW(record->instance, MAKEINTRESOURCEW(reinterpret_cast<UINT_PTR>(record->menu)));
    if (!menu)
        return 0;
    for (int position = 0, count = GetMenuItemCount(menu); position < count; ++position) {
        wchar_t text[kMaxText] = {};
        GetMenuStringW(menu, position, text, kMaxText, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, position);
        const int entries = sub ? GetMenuItemCount(sub) : 0;
        if (!record->all && entries <= 0)
            continue;
        EBGROUP group = {sizeof(group), text, position};
        const int index = static_cast<int>(AddGroup(-1, &group, true));
        if (index < 0)
            continue;
        for (int i = 0; i < entries; ++i) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            GetMenuItemInfoW(sub, i, TRUE, &info);
            if (info.fType & MFT_SEPARATOR)
                continue;  // a link without text would only be a gap
            wchar_t entry[kMaxText] = {};
            GetMenuStringW(sub, i, entry, kMaxText, MF_BYPOSITION);
            EBITEM item = {sizeof(item), -1, entry, GetMenuItemID(sub, i), -1};
            AddItem(index, &item, true, false);
        }
    }
    DestroyMenu(menu);
    return 1;
}

LRESULT CExplorerBar::SetBackground(const EBBACKGROUND* record, bool wide)
{
    if (!record)
        return 0;
    const DWORD mode = record->flags & kBackgroundModeMask;
    if (mode == 1)
        return 0;
    if (mode == 0) {
        m_picture.Free();
        m_pictureFlags = 0;
        Repaint();
        return 1;
    }
    char file[MAX_PATH] = {};
    if (!record->file)
        return 0;
    if (wide) {
        if (!WideToNarrow(file, static_cast<const wchar_t*>(record->file), MAX_PATH, CP_ACP))
            return 0;
    } else {
        lstrcpynA(file, static_cast<const char*>(record->file), MAX_PATH);
    }
    Glazier::CSkin picture;
    if (!picture.Load(file))
        return 0;  // the current picture stays
    m_picture.Free();
    m_picture.Load(file);  // shared from the image cache
    m_pictureFlags = record->flags;
    m_pictureX = record->xPercent;
    m_pictureY = record->yPercent;
    Repaint();
    return 1;
}

LRESULT CExplorerBar::AddItem(int index, const void* record, bool wide, bool isStatic)
{
    CDirectUIGroup* group = Group(index);
    if (!group || !record)
        return 0;
    CDirectUIItem* item;
    int position;
    wchar_t* text;
    if (isStatic) {
        const auto* r = static_cast<const EBSTATIC*>(record);
        text = CopyItemText(r->text, wide);
        item = new (std::nothrow) CDirectUIItemStatic(this, text, r->id, -1);
        position = r->position;
    } else {
        const auto* r = static_cast<const EBITEM*>(record);
        text = CopyItemText(r->text, wide);
        item = new (std::nothrow) CDirectUIItem(this, text, r->id, r->image);
        position = r->position;
    }
    delete[] text;
    if (!item)
        return 0;
    if (group->items.InsertAt(position, item) < 0) {
        delete item;
        return 0;
    }
    Repaint();
    return 1;
}

LRESULT CExplorerBar::ItemInfo(CDirectUIItem* item, int position, void* out, bool wide)
{
    if (!item || !out)
        return 0;
    EBITEMINFO info = {};
    info.position = position;
    info.text = wide ? static_cast<const void*>(item->Text()) : kEmptyNarrow;
    info.id = item->m_id;
    info.image = item->m_image;
    info.data = item->m_data;
    CopyClamped(out, info);
    return 1;
}

LRESULT CExplorerBar::GroupInfo(int index, void* out, bool wide)
{
    CDirectUIGroup* group = Group(index);
    if (!group || !out)
        return 0;
    EBGROUPINFO info = {};
    info.index = index;
    info.text = wide ? static_cast<const void*>(group->text ? group->text : kEmptyWide) : kEmptyNarrow;
    info.groupId = group->id;
    info.expanded = !group->collapsed;
    info.data = group->data;
    CopyClamped(out, info);
    return 1;
}

LRESULT CExplorerBar::NextItem(UINT id, LPARAM flags)
{
    int g = -1, i = -1;
    if (!FindItem(id, &g, &i))
        return 0;
    CDirectUIGroup* group = m_groups[g];
    if (i + 1 < group->items.GetCount())
        return group->items[i + 1]->m_id;
    if (LOWORD(flags)) {
        for (int next = g + 1; next < m_groups.GetCount(); ++next)
            if (m_groups[next]->items.GetCount() > 0)
                return m_groups[next]->items[0]->m_id;
        if (HIWORD(flags))
            for (int next = 0; next <= g; ++next)
                if (m_groups[next]->items.GetCount() > 0)
                    return m_groups[next]->items[0]->m_id;
        return 0;
    }
    if (HIWORD(flags))
        return group->items[0]->m_id;
    return 0;
}

LRESULT CExplorerBar::IdealWidth(bool expandedOnly)
{
    HDC dc = GetDC(m_window);
    int widest = 0;
    const int header = HeaderHeight();
    for (int g = 0; g < m_groups.GetCount(); ++g) {
        CDirectUIGroup* group = m_groups[g];
        if (expandedOnly && group->collapsed)
            continue;
        HGDIOBJ old = SelectObject(dc, m_headerFonts.GetFont(kFontBold));
        RECT box = {0, 0, 0, 0};
        DrawTextW(dc, group->text ? group->text : L"", -1, &box, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        int width = box.right + header + (m_style == 0 ? 17 : 16);
        for (int i = 0; i < group->items.GetCount(); ++i) {
            int item = group->items[i]->MeasureWidth(dc);
            width = item > width ? item : width;
        }
        widest = width > widest ? width : widest;
    }
    ReleaseDC(m_window, dc);
    int ideal = widest + kIdealExtra;
    if (GetWindowLongW(m_window, GWL_STYLE) & WS_VSCROLL)
        ideal += GetSystemMetrics(SM_CXVSCROLL);
    return ideal;
}

void CExplorerBar::OnMouseMove(POINT point)
{
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_window, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    Layout();
    CDirectUIGroup* hotGroup = nullptr;
    CDirectUIItem* hotItem = nullptr;
    for (int g = 0; g < m_groups.GetCount() && !hotGroup && !hotItem; ++g) {
        CDirectUIGroup* group = m_groups[g];
        if (group->headerShown && PtInRect(&group->header, point)) {
            hotGroup = group;
            break;
        }
        if (group->collapsed)
            continue;
        for (int i = 0; i < group->items.GetCount(); ++i)
            if (group->items[i]->HitTest(point)) {
                hotItem = group->items[i];
                break;
            }
    }
    if (hotGroup != m_hotGroup) {
        if (m_hotGroup)
            m_hotGroup->flags &= ~kGroupHot;
        m_hotGroup = hotGroup;
        if (m_hotGroup)
            m_hotGroup->flags |= kGroupHot;
        Repaint();
    }
    SetHotItem(hotItem);
}

void CExplorerBar::OnLButtonDown()
{
    if (m_hotGroup) {
        const int index = m_groups.Find(m_hotGroup);
        if (Notify(EBN_GROUPCHANGING, index))
            return;
        const bool expand = m_hotGroup->collapsed;
        SetExpanded(index, expand);
        if (expand && m_singleExpand)
            for (int g = 0; g < m_groups.GetCount(); ++g)
                if (g != index)
                    SetExpanded(g, false);
        if (expand)
            AnimateExpand(m_hotGroup);
        Repaint();
        UpdateWindow(m_window);
        Notify(EBN_GROUPCHANGED, index);
    }
    if (m_hotItem) {
        m_hotItem->OnPress();
        SetCapture(m_window);
        m_capturing = true;
    }
}

void CExplorerBar::OnLButtonUp()
{
    if (!m_capturing)
        return;
    m_capturing = false;
    ReleaseCapture();
    if (m_hotItem) {
        m_hotItem->OnClick();
        Select(m_hotItem, true);
    }
}

void CExplorerBar::OnVScroll(int code)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(m_window, SB_VERT, &info);
    int position = m_scroll;
    switch (code) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= kPageStep; break;
    case SB_PAGEDOWN: position += kPageStep; break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax - 1; break;
    default: return;
    }
    const int limit = info.nMax - static_cast<int>(info.nPage) + 1;
    if (position > limit)
        position = limit;
    if (position < 0)
        position = 0;
    if (position != m_scroll) {
        m_scroll = position;
        SetScrollPos(m_window, SB_VERT, position, TRUE);
        Repaint();
    }
}

LRESULT CExplorerBar::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(wParam);
    const UINT id = static_cast<UINT>(wParam);
    switch (message) {
    case EBM_SETSINGLEEXPAND: {
        BOOL mode = lParam != 0;
        if (mode == m_singleExpand)
            return 0;
        m_singleExpand = mode;
        return 1;
    }
    case EBM_GETSINGLEEXPAND:
        return m_singleExpand;
    case EBM_SETSTYLE:
        if (lParam < 0 || lParam > 3 || lParam == m_style)
            return 0;
        m_style = static_cast<int>(lParam);
        for (int g = 0; g < m_groups.GetCount(); ++g)
            for (int i = 0; i < m_groups[g]->items.GetCount(); ++i)
                m_groups[g]->items[i]->m_height = -1;
        Repaint();
        return 1;
    case EBM_GETSTYLE:
        return m_style;
    case EBM_SETBACKGROUNDA:
    case EBM_SETBACKGROUNDW:
        return SetBackground(reinterpret_cast<const EBBACKGROUND*>(lParam), message == EBM_SETBACKGROUNDW);
    case EBM_GROUPSFROMMENU:
        return GroupsFromMenu(reinterpret_cast<const EBMENU*>(lParam));
    case EBM_ADDGROUPA:
    case EBM_ADDGROUPW:
        return AddGroup(index, reinterpret_cast<const EBGROUP*>(lParam), message == EBM_ADDGROUPW);
    case EBM_ADDITEMA:
    case EBM_ADDITEMW:
        return AddItem(index, reinterpret_cast<const void*>(lParam), message == EBM_ADDITEMW, false);
    case EBM_ADDSTATICA:
    case EBM_ADDSTATICW:
        return AddItem(index, reinterpret_cast<const void*>(lParam), message == EBM_ADDSTATICW, true);
    case EBM_EXPANDGROUP:
        if (!Group(index))
            return 0;
        SetExpanded(index, lParam != 0);
        Repaint();
        return 1;
    case EBM_EXPANDALL:
        for (int g = 0; g < m_groups.GetCount(); ++g)
            SetExpanded(g, lParam != 0);
        Repaint();
        return 0;
    case EBM_SETGROUPTEXTA:
    case EBM_SETGROUPTEXTW: {
        CDirectUIGroup* group = Group(index);
        if (!group)
            return 0;
        delete[] group->text;
        group->text = CopyItemText(reinterpret_cast<const void*>(lParam), message == EBM_SETGROUPTEXTW);
        Repaint();
        return 1;
    }
    case EBM_EMPTYSTRING1:
    case EBM_EMPTYSTRING2:
        return reinterpret_cast<LRESULT>(kEmptyNarrow);
    case EBM_SETGROUPID:
        if (!Group(index))
            return 0;
        Group(index)->id = static_cast<int>(lParam);
        return 1;
    case EBM_GETGROUPID:
        return Group(index) ? Group(index)->id : -1;
    case EBM_DELETEGROUP: {
        CDirectUIGroup* group = Group(index);
        if (!group)
            return 0;
        if (m_hotGroup == group)
            m_hotGroup = nullptr;
        for (int i = 0; i < group->items.GetCount(); ++i) {
            if (group->items[i] == m_hotItem)
                m_hotItem = nullptr;
            if (group->items[i] == m_selected)
                m_selected = nullptr;
        }
        delete m_groups.RemoveAt(index);
        Repaint();
        return 1;
    }
    case EBM_DELETEALL:
        m_hotGroup = nullptr;
        m_hotItem = m_selected = nullptr;
        while (m_groups.GetCount() > 0)
            delete m_groups.RemoveAt(m_groups.GetCount() - 1);
        Repaint();
        return 0;
    case EBM_SETIMAGELIST: {
        const auto* r = reinterpret_cast<const EBIMAGELIST*>(lParam);
        if (!r || r->imageWidth <= 0)
            return 0;
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageW(r->instance, MAKEINTRESOURCEW(r->bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!bitmap)
            return 0;
        BITMAP info = {};
        GetObjectW(bitmap, sizeof(info), &info);
        HIMAGELIST list = ImageList_Create(r->imageWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 4);
        if (list)
            ImageList_AddMasked(list, bitmap, r->mask);
        DeleteObject(bitmap);
        if (!list)
            return 0;
        if (m_images)
            ImageList_Destroy(m_images);
        m_images = list;
        Repaint();
        return 1;
    }
    case EBM_SETITEMTEXTA:
    case EBM_SETITEMTEXTW: {
        CDirectUIItem* item = FindItem(id);
        if (!item)
            return 0;
        wchar_t* text = CopyItemText(reinterpret_cast<const void*>(lParam), message == EBM_SETITEMTEXTW);
        item->SetText(text);
        delete[] text;
        Repaint();
        return 1;
    }
    case EBM_SETITEMIMAGE: {
        CDirectUIItem* item = FindItem(id);
        if (!item)
            return 0;
        item->m_image = static_cast<int>(lParam);
        Repaint();
        return 1;
    }
    case EBM_ENABLEITEM: {
        CDirectUIItem* item = FindItem(id);
        if (item && item->Enable(lParam != 0))
            Repaint();
        return 0;
    }
    case EBM_DELETEITEM: {
        int g = -1, i = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        if (!item)
            return 0;
        if (item == m_hotItem)
            m_hotItem = nullptr;
        if (item == m_selected)
            m_selected = nullptr;
        delete m_groups[g]->items.RemoveAt(i);
        Repaint();
        return 1;
    }
    case EBM_GETIDEALWIDTH:
        return IdealWidth(wParam != 0);
    case EBM_FINDGROUP:
        for (int g = 0; g < m_groups.GetCount(); ++g)
            if (m_groups[g]->id == static_cast<int>(wParam))
                return g;
        return -1;
    case EBM_MOVEGROUP: {
        CDirectUIGroup* group = m_groups.RemoveAt(index);
        if (!group)
            return 0;
        m_groups.InsertAt(static_cast<int>(lParam), group);
        Repaint();
        return 1;
    }
    case EBM_MOVEITEMBEFORE: {
        int g = -1, i = -1, tg = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        if (!item || !FindItem(static_cast<UINT>(lParam), &tg) || static_cast<UINT>(lParam) == id)
            return 0;
        m_groups[g]->items.RemoveAt(i);
        int before = -1;
        FindItem(static_cast<UINT>(lParam), &tg, &before);
        m_groups[tg]->items.InsertAt(before, item);
        Repaint();
        return 1;
    }
    case EBM_MOVEITEMTOGROUP: {
        int g = -1, i = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        CDirectUIGroup* target = Group(LOWORD(lParam));
        if (!item || !target)
            return 0;
        m_groups[g]->items.RemoveAt(i);
        target->items.InsertAt(static_cast<short>(HIWORD(lParam)), item);
        Repaint();
        return 1;
    }
    case EBM_SELECTITEM:
        if (id == static_cast<UINT>(-1)) {
            Select(nullptr, false);
            return 1;
        }
        if (CDirectUIItem* item = FindItem(id)) {
            Select(item, lParam != 0);
            return 1;
        }
        return 0;
    case EBM_GETSELECTED:
        return m_selected ? m_selected->m_id : 0;
    case EBM_GETITEMGROUP: {
        int g = -1;
        return FindItem(id, &g) ? g : -1;
    }
    case EBM_SHOWHEADER: {
        CDirectUIGroup* group = Group(index);
        if (!group)
            return 0;
        group->headerShown = lParam != 0;
        if (!group->headerShown)
            group->collapsed = false;  // a group without a header could never be opened again
        Repaint();
        return 1;
    }
    case EBM_SETITEMDATA: {
        CDirectUIItem* item = FindItem(id);
        if (!item)
            return 0;
        item->m_data = static_cast<int>(lParam);
        return 1;
    }
    case EBM_GETITEMDATA: {
        CDirectUIItem* item = FindItem(id);
        return item ? item->m_data : -1;
    }
    case EBM_SETGROUPDATA:
        if (!Group(index))
            return 0;
        Group(index)->data = static_cast<int>(lParam);
        return 1;
    case EBM_GETGROUPDATA:
        return Group(index) ? Group(index)->data : -1;
    case EBM_ISEXPANDED:
        return Group(index) && !Group(index)->collapsed;
    case EBM_GETGROUPCOUNT:
        return m_groups.GetCount();
    case EBM_GETNEXTITEM:
        return NextItem(id, lParam);
    case EBM_ISITEMENABLED: {
        CDirectUIItem* item = FindItem(id);
        return item && !(item->m_flags & kItemDisabled);
    }
    case EBM_GETITEMCOUNT:
        return Group(index) ? Group(index)->items.GetCount() : -1;
    case EBM_GETITEMBYPOSA:
    case EBM_GETITEMBYPOSW: {
        CDirectUIGroup* group = Group(index);
        auto* out = reinterpret_cast<EBITEMINFO*>(lParam);
        if (!group || !out)
            return 0;
        return ItemInfo(group->items.GetAt(out->position), out->position, out, message == EBM_GETITEMBYPOSW);
    }
    case EBM_GETITEMBYIDA:
    case EBM_GETITEMBYIDW: {
        int g = -1, i = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        return ItemInfo(item, i, reinterpret_cast<void*>(lParam), message == EBM_GETITEMBYIDW);
    }
    case EBM_GETGROUPINFOA:
    case EBM_GETGROUPINFOW:
        return GroupInfo(index, reinterpret_cast<void*>(lParam), message == EBM_GETGROUPINFOW);
    case EBM_GETITEMTEXTW: {
        CDirectUIItem* item = FindItem(id);
        return reinterpret_cast<LRESULT>(item ? item->Text() : kEmptyWide);
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_window, &ps);
        Paint(dc);
        EndPaint(m_window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CREATE:
    case WM_SIZE:
    case WM_KEYDOWN:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        if (m_hotGroup) {
            m_hotGroup->flags &= ~kGroupHot;
            m_hotGroup = nullptr;
            Repaint();
        }
        SetHotItem(nullptr);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && m_hotItem && m_hotItem->SetCursor())
            return TRUE;
        if (LOWORD(lParam) == HTCLIENT && m_hotGroup) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return DefWindowProcW(m_window, message, wParam, lParam);
    default:
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void WINAPI InitExplorerBar()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = ExplorerBarProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = GetLibraryModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND WINAPI CreateExplorerBarWindow(HWND parent, UINT id, int x, int y, int cx, int cy)
{
    InitExplorerBar();
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetLibraryModule(), nullptr);
}
