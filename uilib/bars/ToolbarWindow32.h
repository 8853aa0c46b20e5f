#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/skin/TarnUIApi.h"

// A thin wrapper over one "ToolbarWindow32" window: most members send one toolbar message (the
// narrow form where there is one) and return its result. The wrapper owns neither the window
// (its parent does) nor the image list (left to the caller); copies share the window.
class TARNUI_API CToolbarWindow32 {
public:
    CToolbarWindow32() = default;
    CToolbarWindow32(const CToolbarWindow32& other) = default;
    CToolbarWindow32& operator=(const CToolbarWindow32& other) = default;
    virtual ~CToolbarWindow32() = default;

    operator HWND() const { return m_hWnd; }

    int Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    void ShowToolBarText(HINSTANCE instance, BOOL show);
    int LoadImageList(HINSTANCE instance, const char* bitmapName, UINT imageCount, DWORD reserved);
    int LoadToolBar(HINSTANCE instance, const char* name, DWORD reserved);
    int AddBitmap(int count, HBITMAP bitmap);
    int AddBitmap(int count, UINT resourceId, HINSTANCE instance);
    BOOL SaveState(HKEY key, const char* subKey, const char* valueName);
    BOOL RestoreState(HKEY key, const char* subKey, const char* valueName);
    void SetColorScheme(COLORREF highlight, COLORREF shadow);

    BOOL EnableButton(int id, int flag) { return Flag(TB_ENABLEBUTTON, id, flag); }
    BOOL CheckButton(int id, int flag) { return Flag(TB_CHECKBUTTON, id, flag); }
    BOOL PressButton(int id, int flag) { return Flag(TB_PRESSBUTTON, id, flag); }
    BOOL HideButton(int id, int flag) { return Flag(TB_HIDEBUTTON, id, flag); }
    BOOL Indeterminate(int id, int flag) { return Flag(TB_INDETERMINATE, id, flag); }
    BOOL MarkButton(int id, int flag) { return Flag(TB_MARKBUTTON, id, flag); }
    BOOL SetState(int id, UINT state) { return Flag(TB_SETSTATE, id, state); }
    BOOL IsButtonEnabled(int id) { return Query(TB_ISBUTTONENABLED, id); }
    BOOL IsButtonChecked(int id) { return Query(TB_ISBUTTONCHECKED, id); }
    BOOL IsButtonPressed(int id) { return Query(TB_ISBUTTONPRESSED, id); }
    BOOL IsButtonHidden(int id) { return Query(TB_ISBUTTONHIDDEN, id); }
    BOOL IsButtonIndeterminate(int id) { return Query(TB_ISBUTTONINDETERMINATE, id); }
    BOOL IsButtonHighlighted(int id) { return Query(TB_ISBUTTONHIGHLIGHTED, id); }
    int GetState(int id) { return Query(TB_GETSTATE, id); }

    BOOL AddButtons(int count, TBBUTTON* buttons) { return Send(TB_ADDBUTTONSA, count, buttons); }
    BOOL InsertButton(int index, TBBUTTON* button) { return Send(TB_INSERTBUTTONA, index, button); }
    BOOL DeleteButton(int index) { return Send(TB_DELETEBUTTON, index, 0); }
    BOOL GetButton(int index, TBBUTTON* button) { return Send(TB_GETBUTTON, index, button); }
    int GetButtonCount() { return Send(TB_BUTTONCOUNT, 0, 0); }
    int CommandToIndex(UINT id) { return Send(TB_COMMANDTOINDEX, id, 0); }
    BOOL MoveButton(UINT from, UINT to) { return Send(TB_MOVEBUTTON, from, to); }
    BOOL SetCmdID(int index, UINT id) { return Send(TB_SETCMDID, index, id); }
    int GetButtonInfo(int id, TBBUTTONINFOA* info) { return Send(TB_GETBUTTONINFOA, id, info); }
    BOOL SetButtonInfo(int id, TBBUTTONINFOA* info) { return Send(TB_SETBUTTONINFOA, id, info); }
    BOOL GetItemRect(int index, RECT* rect) { return Send(TB_GETITEMRECT, index, rect); }
    BOOL GetRect(int id, RECT* rect) { return Send(TB_GETRECT, id, rect); }
    int HitTest(POINT* point) { return Send(TB_HITTEST, 0, point); }
    void Customize() { Send(TB_CUSTOMIZE, 0, 0); }
    int AddStrings(const char* texts) { return Send(TB_ADDSTRINGA, 0, texts); }
    int AddString(UINT resourceId, HINSTANCE instance) { return Send(TB_ADDSTRINGA, instance, resourceId); }
    int GetString(int index, char* buffer, int size) { return Send(TB_GETSTRINGA, MAKELONG(size, index), buffer); }
    int GetButtonText(int id, char* buffer) { return Send(TB_GETBUTTONTEXTA, id, buffer); }
    void SetButtonStructSize(int size) { Send(TB_BUTTONSTRUCTSIZE, size, 0); }
    BOOL SetButtonSize(SIZE size) { return Send(TB_SETBUTTONSIZE, 0, MAKELONG(size.cx, size.cy)); }
    BOOL SetBitmapSize(SIZE size) { return Send(TB_SETBITMAPSIZE, 0, MAKELONG(size.cx, size.cy)); }
    DWORD GetButtonSize() { return Send(TB_GETBUTTONSIZE, 0, 0); }
    BOOL SetButtonWidth(int minWidth, int maxWidth) { return Send(TB_SETBUTTONWIDTH, 0, MAKELONG(minWidth, maxWidth)); }
    void AutoSize() { Send(TB_AUTOSIZE, 0, 0); }
    void SetRows(int rows, BOOL larger, RECT* rect) { Send(TB_SETROWS, MAKELONG(rows, larger), rect); }
    int GetRows() { return Send(TB_GETROWS, 0, 0); }
    BOOL SetIndent(int indent) { return Send(TB_SETINDENT, indent, 0); }
    BOOL GetMaxSize(SIZE* size) { return Send(TB_GETMAXSIZE, 0, size); }
    DWORD GetPadding() { return Send(TB_GETPADDING, 0, 0); }
    DWORD SetPadding(int cx, int cy) { return Send(TB_SETPADDING, 0, MAKELONG(cx, cy)); }
    BOOL SetMaxTextRows(int rows) { return Send(TB_SETMAXTEXTROWS, rows, 0); }
    int GetMaxTextRows() { return Send(TB_GETTEXTROWS, 0, 0); }
    HIMAGELIST GetImageList() { return reinterpret_cast<HIMAGELIST>(Send(TB_GETIMAGELIST, 0, 0)); }
    HIMAGELIST GetHotImageList() { return reinterpret_cast<HIMAGELIST>(Send(TB_GETHOTIMAGELIST, 0, 0)); }
    HIMAGELIST GetDisabledImageList()
    {
        return reinterpret_cast<HIMAGELIST>(Send(TB_GETDISABLEDIMAGELIST, 0, 0));
    }
    HIMAGELIST SetImageList(HIMAGELIST list) { return reinterpret_cast<HIMAGELIST>(Send(TB_SETIMAGELIST, 0, list)); }
    HIMAGELIST SetHotImageList(HIMAGELIST list)
    {
        return reinterpret_cast<HIMAGELIST>(Send(TB_SETHOTIMAGELIST, 0, list));
    }
    HIMAGELIST SetDisabledImageList(HIMAGELIST list)
    {
        return reinterpret_cast<HIMAGELIST>(Send(TB_SETDISABLEDIMAGELIST, 0, list));
    }
    void LoadImages(int bitmapId, HINSTANCE instance) { Send(TB_LOADIMAGES, bitmapId, instance); }
    DWORD GetBitmapFlags() { return Send(TB_GETBITMAPFLAGS, 0, 0); }
    DWORD GetStyle() { return Send(TB_GETSTYLE, 0, 0); }
    void SetStyle(DWORD style) { Send(TB_SETSTYLE, 0, style); }
    DWORD GetExtendedStyle() { return Send(TB_GETEXTENDEDSTYLE, 0, 0); }
    DWORD SetExtendedStyle(DWORD style) { return Send(TB_SETEXTENDEDSTYLE, 0, style); }
    DWORD SetDrawTextFlags(DWORD mask, DWORD flags) { return Send(TB_SETDRAWTEXTFLAGS, mask, flags); }
    int GetHotItem() { return Send(TB_GETHOTITEM, 0, 0); }
    int SetHotItem(int index) { return Send(TB_SETHOTITEM, index, 0); }
    BOOL GetAnchorHighlight() { return Send(TB_GETANCHORHIGHLIGHT, 0, 0); }
    BOOL SetAnchorHighlight(BOOL flag) { return Send(TB_SETANCHORHIGHLIGHT, flag, 0); }
    void GetInsertMark(TBINSERTMARK* mark) { Send(TB_GETINSERTMARK, 0, mark); }
    void SetInsertMark(TBINSERTMARK* mark) { Send(TB_SETINSERTMARK, 0, mark); }
    BOOL InsertMarkHitTest(POINT* point, TBINSERTMARK* mark) { return Send(TB_INSERTMARKHITTEST, point, mark); }
    COLORREF GetInsertMarkColor() { return Send(TB_GETINSERTMARKCOLOR, 0, 0); }
    COLORREF SetInsertMarkColor(COLORREF colour) { return Send(TB_SETINSERTMARKCOLOR, 0, colour); }
    BOOL MapAccelerator(char character, UINT* id) { return Send(TB_MAPACCELERATORA, character, id); }
    HWND GetToolTips() { return reinterpret_cast<HWND>(Send(TB_GETTOOLTIPS, 0, 0)); }
    void SetToolTips(HWND tooltip) { Send(TB_SETTOOLTIPS, tooltip, 0); }
    HWND SetOwner(HWND owner) { return reinterpret_cast<HWND>(Send(TB_SETPARENT, owner, 0)); }

    HWND m_hWnd = nullptr;
    HIMAGELIST m_imageList = nullptr;

protected:
    int SetButtons(const WORD* ids, int count);

    template <class W, class L>
    LRESULT Send(UINT message, W wParam, L lParam)
    {
        return SendMessageA(m_hWnd, message, (WPARAM)(wParam), (LPARAM)(lParam));
    }
    BOOL Flag(UINT message, int id, UINT flag) { return Send(message, id, MAKELONG(flag, 0)); }
    LRESULT Query(UINT message, int id) { return Send(message, id, 0); }
};
