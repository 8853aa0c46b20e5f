// The task pane's window: its class, its object and the messages that drive it.
#include "uilib/bars/TaskPane.h"

#include <new>

#include "uilib/bars/ExplorerBar.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/TextConvert.h"

namespace {

const wchar_t kClassName[] = L"ExplorerBar";
constexpr DWORD kNotifyRecordSize = 24;
const wchar_t kEmptyWide[] = L"";
const char kEmptyNarrow[] = "";

CExplorerBar* PaneOf(HWND window)
{
    return reinterpret_cast<CExplorerBar*>(GetWindowLongPtrW(window, 0));
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

// Moves the entry at from in source to position at in target (counted once the entry has left its
// place). It takes its new place before leaving the old one: when the array cannot grow, the move
// fails and nothing has changed.
template <class T>
bool MoveEntry(CPtrArray<T>& source, int from, CPtrArray<T>& target, int at)
{
    T* entry = source.GetAt(from);
    if (!entry)
        return false;
    const bool sameArray = &source == &target;
    const int insertAt = sameArray && at > from ? at + 1 : at;
    if (target.InsertAt(insertAt, entry) < 0)
        return false;
    source.RemoveAt(sameArray && insertAt <= from ? from + 1 : from);
    return true;
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
    for (Watch* watch = m_watch; watch; watch = watch->outer)
        watch->destroyed = true;
    while (m_groups.GetCount() > 0)
        delete m_groups.RemoveAt(m_groups.GetCount() - 1);
    if (m_images)
        ImageList_Destroy(m_images);
    while (m_schemeGroups.GetCount() > 0)
        delete m_schemeGroups.RemoveAt(m_schemeGroups.GetCount() - 1);
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

bool CExplorerBar::NotifyClicked(UINT code, const Watch& watch)
{
    HWND parent = GetParent(m_window);
    if (!parent)
        return true;
    const bool wide = SendMessageW(parent, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(m_window), NF_QUERY) ==
                      NFR_UNICODE;
    if (watch.destroyed || !m_clickedGroup)
        return false;
    const CDirectUIGroup* group = m_clickedGroup;
    NMEXPLORERBAR record = {};
    record.header.hwndFrom = m_window;
    record.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_window));
    record.header.code = code;
    record.size = kNotifyRecordSize;
    record.groupIndex = m_groups.Find(group);
    record.text = wide ? static_cast<const void*>(group->text ? group->text : kEmptyWide) : kEmptyNarrow;
    record.groupId = group->id;
    record.expanded = !group->collapsed;
    record.data = group->data;
    if (wide)
        SendMessageW(parent, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
    else
        SendMessageA(parent, WM_NOTIFY, record.header.idFrom, reinterpret_cast<LPARAM>(&record));
    return !watch.destroyed && m_clickedGroup && !record.cancel;
}

void CExplorerBar::ForgetGroup(const CDirectUIGroup* group)
{
    if (m_hotGroup == group)
        m_hotGroup = nullptr;
    if (m_clickedGroup == group)
        m_clickedGroup = nullptr;
    for (int i = 0; i < group->items.GetCount(); ++i) {
        if (group->items[i] == m_hotItem)
            m_hotItem = nullptr;
        if (group->items[i] == m_selected)
            m_selected = nullptr;
    }
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
        // The parent's answers may delete groups or the pane itself: the group is found again
        // after each one, and nothing of the pane is touched once it is gone.
        Watch watch(this);
        m_clickedGroup = m_hotGroup;
        const bool go = NotifyClicked(EBN_GROUPCHANGING, watch);
        if (watch.destroyed)
            return;
        if (!go) {
            m_clickedGroup = nullptr;
            return;
        }
        CDirectUIGroup* group = m_clickedGroup;
        const int index = m_groups.Find(group);
        const bool expand = group->collapsed;
        SetExpanded(index, expand);
        if (expand && m_singleExpand)
            for (int g = 0; g < m_groups.GetCount(); ++g)
                if (g != index)
                    SetExpanded(g, false);
        if (expand)
            AnimateExpand(group);
        Repaint();
        UpdateWindow(m_window);
        NotifyClicked(EBN_GROUPCHANGED, watch);
        if (watch.destroyed)
            return;
        m_clickedGroup = nullptr;
    }
    if (m_hotItem) {
        m_hotItem->OnPress();
        m_capturing = true;
        SetCapture(m_window);
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
        ForgetItemHeights();
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
        ForgetGroup(group);
        delete m_groups.RemoveAt(index);
        Repaint();
        return 1;
    }
    case EBM_DELETEALL:
        while (m_groups.GetCount() > 0) {
            ForgetGroup(m_groups[m_groups.GetCount() - 1]);
            delete m_groups.RemoveAt(m_groups.GetCount() - 1);
        }
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
        if (!Group(index))
            return 0;
        const int count = m_groups.GetCount();
        const int target = lParam < 0 || lParam >= count ? count - 1 : static_cast<int>(lParam);
        if (!MoveEntry(m_groups, index, m_groups, target))
            return 0;
        Repaint();
        return 1;
    }
    case EBM_MOVEITEMBEFORE: {
        int g = -1, i = -1, tg = -1, before = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        if (!item || !FindItem(static_cast<UINT>(lParam), &tg, &before) || static_cast<UINT>(lParam) == id)
            return 0;
        // In front of the other item as it stands once this one has left its place.
        if (tg == g && before > i)
            --before;
        if (!MoveEntry(m_groups[g]->items, i, m_groups[tg]->items, before))
            return 0;
        Repaint();
        return 1;
    }
    case EBM_MOVEITEMTOGROUP: {
        int g = -1, i = -1;
        CDirectUIItem* item = FindItem(id, &g, &i);
        CDirectUIGroup* target = Group(LOWORD(lParam));
        if (!item || !target)
            return 0;
        const int count = target->items.GetCount() - (target == m_groups[g] ? 1 : 0);
        const int position = static_cast<short>(HIWORD(lParam));
        if (!MoveEntry(m_groups[g]->items, i, target->items, position < 0 || position > count ? count : position))
            return 0;
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
    case EBM_LOADDESCRIPTIONA:
        return LoadDescription(reinterpret_cast<const char*>(lParam));
    case EBM_LOADDESCRIPTIONW: {
        const auto* file = reinterpret_cast<const wchar_t*>(lParam);
        char narrow[MAX_PATH];
        if (file && !WideToNarrow(narrow, file, MAX_PATH, CP_ACP))
            return 0;
        return LoadDescription(file ? narrow : nullptr);
    }
    case EBM_SETITEMEFFECT: {
        CDirectUIItem* item = FindItem(id);
        if (!item)
            return 0;
        item->m_effect = static_cast<short>(LOWORD(lParam));
        item->m_alpha = static_cast<BYTE>(HIWORD(lParam) > 255 ? 255 : HIWORD(lParam));
        Repaint();
        return 1;
    }
    case EBM_GETITEMICON:
        return reinterpret_cast<LRESULT>(ItemIcon(id));
    case EBM_SETCOLORGROUP:
        return SetColorGroup(index, reinterpret_cast<const char*>(lParam));
    case EBM_GETHEADERCOLORS:
    case EBM_GETITEMCOLORS:
        return ColorRecord(index, reinterpret_cast<void*>(lParam), message == EBM_GETHEADERCOLORS);
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
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = ExplorerBarProc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = GetLibraryModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterLibraryClass(&wc);
}

HWND WINAPI CreateExplorerBarWindow(HWND parent, UINT id, int x, int y, int cx, int cy)
{
    InitExplorerBar();
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetLibraryModule(), nullptr);
}
