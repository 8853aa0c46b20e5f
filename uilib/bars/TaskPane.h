#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// The task pane: a window class "ExplorerBar" with collapsible groups of command links, driven
// through window messages like a common control.
TARNUI_API void WINAPI InitExplorerBar();
TARNUI_API HWND WINAPI CreateExplorerBarWindow(HWND parent, UINT id, int x, int y, int cx, int cy);

// Messages (wide twins of the text messages are 100 higher).
enum ExplorerBarMessage : UINT {
    EBM_SETSINGLEEXPAND = WM_USER + 1,
    EBM_GETSINGLEEXPAND = WM_USER + 2,
    EBM_SETSTYLE = WM_USER + 3,
    EBM_GETSTYLE = WM_USER + 4,
    EBM_GROUPSFROMMENU = WM_USER + 5,
    EBM_ADDGROUPA = WM_USER + 6,
    EBM_ADDITEMA = WM_USER + 7,
    EBM_ADDSTATICA = WM_USER + 8,
    EBM_EXPANDGROUP = WM_USER + 9,
    EBM_EXPANDALL = WM_USER + 10,
    EBM_SETGROUPTEXTA = WM_USER + 11,
    EBM_EMPTYSTRING1 = WM_USER + 12,
    EBM_SETGROUPID = WM_USER + 13,
    EBM_GETGROUPID = WM_USER + 14,
    EBM_DELETEGROUP = WM_USER + 15,
    EBM_DELETEALL = WM_USER + 16,
    EBM_SETIMAGELIST = WM_USER + 17,
    EBM_EMPTYSTRING2 = WM_USER + 18,
    EBM_SETITEMTEXTA = WM_USER + 19,
    EBM_SETITEMIMAGE = WM_USER + 20,
    EBM_ENABLEITEM = WM_USER + 21,
    EBM_DELETEITEM = WM_USER + 22,
    EBM_GETIDEALWIDTH = WM_USER + 23,
    EBM_FINDGROUP = WM_USER + 24,
    EBM_MOVEGROUP = WM_USER + 25,
    EBM_MOVEITEMBEFORE = WM_USER + 26,
    EBM_MOVEITEMTOGROUP = WM_USER + 27,
    EBM_SELECTITEM = WM_USER + 28,
    EBM_LOADDESCRIPTIONA = WM_USER + 29,
    EBM_GETSELECTED = WM_USER + 30,
    EBM_GETITEMGROUP = WM_USER + 31,
    EBM_SHOWHEADER = WM_USER + 32,
    EBM_SETITEMDATA = WM_USER + 33,
    EBM_GETITEMDATA = WM_USER + 34,
    EBM_SETGROUPDATA = WM_USER + 35,
    EBM_GETGROUPDATA = WM_USER + 36,
    EBM_SETBACKGROUNDA = WM_USER + 37,
    EBM_SETITEMEFFECT = WM_USER + 38,
    EBM_GETITEMICON = WM_USER + 39,
    EBM_ISEXPANDED = WM_USER + 40,
    EBM_GETGROUPCOUNT = WM_USER + 41,
    EBM_SETCOLORGROUP = WM_USER + 42,
    EBM_GETNEXTITEM = WM_USER + 43,
    EBM_ISITEMENABLED = WM_USER + 44,
    EBM_GETITEMCOUNT = WM_USER + 45,
    EBM_GETITEMBYPOSA = WM_USER + 46,
    EBM_GETITEMBYIDA = WM_USER + 47,
    EBM_GETGROUPINFOA = WM_USER + 48,
    EBM_GETHEADERCOLORS = WM_USER + 49,
    EBM_GETITEMCOLORS = WM_USER + 50,
    EBM_ADDGROUPW = WM_USER + 106,
    EBM_ADDITEMW = WM_USER + 107,
    EBM_ADDSTATICW = WM_USER + 108,
    EBM_SETGROUPTEXTW = WM_USER + 111,
    EBM_GETITEMTEXTW = WM_USER + 118,
    EBM_SETITEMTEXTW = WM_USER + 119,
    EBM_LOADDESCRIPTIONW = WM_USER + 129,
    EBM_SETBACKGROUNDW = WM_USER + 137,
    EBM_GETITEMBYPOSW = WM_USER + 146,
    EBM_GETITEMBYIDW = WM_USER + 147,
    EBM_GETGROUPINFOW = WM_USER + 148,
};

// Message records: the first field is the record's size. Text fields are narrow or wide by the
// message's form.
struct EBGROUP {
    DWORD size;
    const void* text;
    int groupId;
};
struct EBITEM {
    DWORD size;
    int position;  // insert position in the group (-1 = at the end)
    const void* text;
    UINT id;
    int image;
};
struct EBSTATIC {
    DWORD size;
    int position;
    const void* text;
    UINT id;
};
struct EBMENU {
    DWORD size;
    HINSTANCE instance;  // for a resource id
    HMENU menu;          // a menu handle, or a menu resource id below 0x10000
    BOOL all;            // empty submenus and plain items become groups too
};
// Background picture: flags & 3 = 0 removes it, 1 is refused, 2 or 3 loads the file (2 shows it);
// flag 0x10 hides it; with flag 0x200 a mirrored pane keeps the picture's own orientation. The
// position is in percent of the room the picture leaves.
struct EBBACKGROUND {
    DWORD size;  // 28
    DWORD flags;
    DWORD reserved1;
    const void* file;  // narrow or wide by the message's form
    DWORD reserved2;
    int xPercent;
    int yPercent;
};
constexpr DWORD kBackgroundModeMask = 3;
constexpr DWORD kBackgroundShown = 2;
constexpr DWORD kBackgroundHidden = 0x10;
constexpr DWORD kBackgroundKeepsOrientation = 0x200;

struct EBIMAGELIST {
    DWORD size;
    HINSTANCE instance;
    UINT bitmapId;
    COLORREF mask;
    int imageWidth;
};
struct EBITEMINFO {
    DWORD size;  // at most 24 bytes are filled
    int position;
    const void* text;
    UINT id;
    int image;
    int data;
};
struct EBGROUPINFO {
    DWORD size;
    int index;
    const void* text;
    int groupId;
    BOOL expanded;
    int data;
};
static_assert(sizeof(EBITEMINFO) == (sizeof(void*) == 4 ? 24 : 32), "item record: 24 bytes in the 32-bit build");
static_assert(sizeof(EBGROUPINFO) == (sizeof(void*) == 4 ? 24 : 32), "group record: 24 bytes in the 32-bit build");

// The colours of one header state (collapsed, collapsed hot, expanded, expanded hot) or item state
// (normal, hot, selected, selected hot, disabled) of a group's colour-scheme group: the caller
// fills size and state.
struct EBCOLORS {
    DWORD size;
    int state;
    COLORREF backgroundStart;
    COLORREF backgroundEnd;
    COLORREF border;
    COLORREF text;
};
static_assert(sizeof(EBCOLORS) == 24, "the colour record is 24 bytes in both builds");

// WM_NOTIFY codes around a header click, and their record.
constexpr UINT EBN_GROUPCHANGING = 1;
constexpr UINT EBN_GROUPCHANGED = 2;
struct NMEXPLORERBAR {
    NMHDR header;
    DWORD size;  // 24
    int groupIndex;
    const void* text;  // wide for a Unicode parent, else an empty narrow text
    int groupId;
    BOOL expanded;
    int data;
    BOOL cancel;
};
