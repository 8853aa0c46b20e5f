// The task pane's records: groups and items added from records and menus, the background
// picture, and the information records copied back to the caller.
#include <new>

#include "uilib/bars/ExplorerBar.h"
#include "uilib/skin/TextConvert.h"

namespace {

constexpr int kMaxText = 260;
const wchar_t kEmptyWide[] = L"";
const char kEmptyNarrow[] = "";

}  // namespace

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
