// The parent's subclass shared by its command bars, and the chevron popup that lists the buttons
// a band has no room for.
#include <algorithm>
#include <vector>

#include "uilib/bars/ButtonLayouts.h"
#include "uilib/bars/CommandBar.h"
#include "uilib/bars/CommandBarParent.h"
#include "uilib/bars/WindowProcs.h"
#include "uilib/skin/LibraryEntry.h"

namespace Glazier {
namespace {

const char kParentProp[] = "CmdBar::ParentSubclassing";
constexpr int kMaxButtonText = 256;

// A button without text asks the application, as its tooltip would.
void AskButtonText(HWND toolbar, HWND answerer, int command, wchar_t* text, int size)
{
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = static_cast<UINT_PTR>(command);
    info.hdr.code = TTN_GETDISPINFOA;
    info.lpszText = info.szText;
    SendMessageA(answerer, WM_NOTIFY, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
    const char* answer = info.lpszText ? info.lpszText : info.szText;
    text[0] = L'\0';
    if (IS_INTRESOURCE(answer)) {
        // A string id means nothing without the module that holds it.
        if (info.hinst)
            LoadStringW(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(answer)), text, size);
        return;
    }
    if (!MultiByteToWideChar(CP_ACP, 0, answer, -1, text, size))
        text[0] = L'\0';
    text[size - 1] = L'\0';
}

}  // namespace

CommandBarParent* CommandBarParent::Of(HWND parent)
{
    return static_cast<CommandBarParent*>(GetPropA(parent, kParentProp));
}

void CommandBarParent::Join(HWND parent, CCommandBar* bar)
{
    CommandBarParent* record = Of(parent);
    if (!record) {
        record = new CommandBarParent{nullptr, {}};
        SetPropA(parent, kParentProp, record);
        record->previous = SwapWindowProc(parent, Proc);
    }
    if (std::find(record->bars.begin(), record->bars.end(), bar) == record->bars.end())
        record->bars.push_back(bar);
}

void CommandBarParent::Leave(HWND parent, CCommandBar* bar)
{
    CommandBarParent* record = Of(parent);
    if (!record)
        return;
    record->bars.erase(std::remove(record->bars.begin(), record->bars.end(), bar), record->bars.end());
    if (record->bars.empty()) {
        SwapWindowProc(parent, record->previous);
        RemovePropA(parent, kParentProp);
        delete record;
    }
}

LRESULT CALLBACK CommandBarParent::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CommandBarParent* record = Of(window);
    if (!record)
        return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC previous = record->previous;
    switch (message) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(RBN_CHEVRONPUSHED))
            for (CCommandBar* bar : record->bars)
                if (bar->m_rebar == header->hwndFrom) {
                    bar->OnChevronPushed(reinterpret_cast<NMREBARCHEVRON*>(lParam));
                    return 0;
                }
        break;
    }
    case WM_MEASUREITEM:
        if (reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
            for (CCommandBar* bar : record->bars)
                if (bar->m_chevronMenu) {
                    bar->m_chevronMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                    return TRUE;
                }
        break;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
            for (CCommandBar* bar : record->bars)
                if (bar->m_chevronMenu) {
                    bar->m_chevronMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                    return TRUE;
                }
        break;
    case WM_NCDESTROY:
        SwapWindowProc(window, previous);
        RemovePropA(window, kParentProp);
        for (CCommandBar* bar : record->bars)
            bar->m_parent = nullptr;
        delete record;
        return CallPreviousProc(previous, window, message, wParam, lParam);
    default:
        if (message == WM_MENUXP_GETIMAGE)
            for (CCommandBar* bar : record->bars)
                if (bar->m_chevronMenu && bar->AnswerChevronImage(reinterpret_cast<MENUXPIMAGE*>(lParam)))
                    return 0;
        break;
    }
    return CallPreviousProc(previous, window, message, wParam, lParam);
}

bool CCommandBar::AnswerChevronImage(MENUXPIMAGE* image)
{
    if (!m_chevronToolBar || !image)
        return false;
    HWND toolbar = m_chevronToolBar->m_hWnd;
    const int index = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, image->id, 0));
    TBBUTTON button = {};
    if (index < 0 || !SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)))
        return false;
    image->type = kMenuImageList;
    image->handle = reinterpret_cast<HANDLE>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    image->index = button.iBitmap;
    return true;
}

void CCommandBar::OnChevronPushed(const NMREBARCHEVRON* chevron)
{
    auto* object = reinterpret_cast<CToolBarXP*>(chevron->lParam);
    if (!object || m_chevronMenu || !IsWindow(object->m_hWnd))
        return;
    HWND toolbar = object->m_hWnd;
    HWND parent = GetParent(m_rebar);
    RECT client = {};
    GetClientRect(toolbar, &client);
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    int first = -1;
    for (int i = 0; i < count && first < 0; ++i) {
        RECT item = {};
        if (SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)) && item.right > client.right)
            first = i;
    }
    if (first < 0)
        return;

    HMENU popup = CreatePopupMenu();
    std::vector<HMENU> borrowed;  // the application's drop-down menus: detached, never destroyed
    for (int i = first; i < count; ++i) {
        wchar_t text[kMaxButtonText] = {};
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_TEXT | TBIF_STATE | TBIF_STYLE | TBIF_LPARAM | TBIF_COMMAND;
        info.pszText = text;
        info.cchText = kMaxButtonText - 1;
        if (SendMessageW(toolbar, TB_GETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info)) < 0 ||
            (info.fsState & TBSTATE_HIDDEN))
            continue;
        const TBBUTTONLAYOUT* layout = ButtonLayout(toolbar, static_cast<LPARAM>(info.lParam));
        const bool separator = (info.fsStyle & BTNS_SEP) || (layout && (layout->flags & kLayoutSeparator));
        if (separator) {
            AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (layout)
            continue;  // gaps and embedded windows have no menu form
        if (!text[0])
            AskButtonText(toolbar, parent, info.idCommand, text, kMaxButtonText);
        if (info.fsStyle & BTNS_WHOLEDROPDOWN) {
            NMTOOLBARA drop = {};
            drop.hdr.hwndFrom = toolbar;
            drop.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(toolbar));
            drop.hdr.code = TBN_DROPDOWN;
            drop.iItem = info.idCommand;
            SetRect(&drop.rcButton, -1, -1, -1, -1);
            auto answer = reinterpret_cast<HMENU>(
                SendMessageA(parent, WM_NOTIFY, drop.hdr.idFrom, reinterpret_cast<LPARAM>(&drop)));
            if (IsMenu(answer) && AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(answer), text)) {
                borrowed.push_back(answer);
                MENUITEMINFOA id = {};
                id.cbSize = sizeof(id);
                id.fMask = MIIM_ID;
                id.wID = static_cast<UINT>(info.idCommand);
                SetMenuItemInfoA(popup, GetMenuItemCount(popup) - 1, TRUE, &id);
                continue;
            }
        }
        UINT flags = MF_STRING;
        if (!(info.fsState & TBSTATE_ENABLED))
            flags |= MF_GRAYED;
        if (info.fsState & TBSTATE_CHECKED)
            flags |= MF_CHECKED;
        AppendMenuW(popup, flags, static_cast<UINT_PTR>(info.idCommand), text);
    }

    RECT place = chevron->rc;
    MapWindowPoints(m_rebar, nullptr, reinterpret_cast<POINT*>(&place), 2);
    m_chevronMenu = new CMenu();
    m_chevronToolBar = object;
    m_chevronMenu->PrepareMenu(popup, m_rebar);
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = place;
    TrackPopupMenuEx(popup, TPM_VERTICAL, place.left, place.bottom, parent, &params);

    MSG mouse;
    while (PeekMessageW(&mouse, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    delete m_chevronMenu;
    m_chevronMenu = nullptr;
    m_chevronToolBar = nullptr;
    for (int i = GetMenuItemCount(popup) - 1; i >= 0; --i) {
        HMENU submenu = GetSubMenu(popup, i);
        if (submenu && std::find(borrowed.begin(), borrowed.end(), submenu) != borrowed.end())
            RemoveMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
    }
    DestroyMenu(popup);
}

}  // namespace Glazier
