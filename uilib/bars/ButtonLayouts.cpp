#include "uilib/bars/ButtonLayouts.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "uilib/bars/ToolBarXP.h"

namespace {

const char kLayoutsProp[] = "CToolBarXP::Layouts";
using LayoutList = std::vector<TBBUTTONLAYOUT*>;

LayoutList* ListOf(HWND toolbar)
{
    return static_cast<LayoutList*>(GetPropA(toolbar, kLayoutsProp));
}

}  // namespace

TBBUTTONLAYOUT* NewButtonLayout(HWND toolbar)
{
    LayoutList* list = ListOf(toolbar);
    if (!list) {
        list = new (std::nothrow) LayoutList();
        if (!list)
            return nullptr;
        if (!SetPropA(toolbar, kLayoutsProp, list)) {
            delete list;
            return nullptr;
        }
    }
    auto* record = static_cast<TBBUTTONLAYOUT*>(calloc(1, sizeof(TBBUTTONLAYOUT)));
    if (!record)
        return nullptr;
    try {
        list->push_back(record);
    } catch (const std::bad_alloc&) {
        free(record);
        return nullptr;
    }
    return record;
}

TBBUTTONLAYOUT* ButtonLayout(HWND toolbar, LPARAM lParam)
{
    LayoutList* list = lParam ? ListOf(toolbar) : nullptr;
    if (!list)
        return nullptr;
    auto* candidate = reinterpret_cast<TBBUTTONLAYOUT*>(lParam);
    return std::find(list->begin(), list->end(), candidate) != list->end() ? candidate : nullptr;
}

TBBUTTONLAYOUT* ButtonLayoutOfIndex(HWND toolbar, int index)
{
    TBBUTTON button = {};
    if (!SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return nullptr;
    return ButtonLayout(toolbar, static_cast<LPARAM>(button.dwData));
}

void FreeButtonLayouts(HWND toolbar)
{
    LayoutList* list = static_cast<LayoutList*>(RemovePropA(toolbar, kLayoutsProp));
    if (!list)
        return;
    for (TBBUTTONLAYOUT* record : *list)
        free(record);
    delete list;
}
