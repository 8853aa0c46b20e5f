#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/bars/DirectUIItem.h"
#include "uilib/bars/TaskPane.h"
#include "uilib/skin/FontSet.h"
#include "uilib/skin/PtrArray.h"
#include "uilib/skin/Skin.h"

constexpr DWORD kGroupHot = 0x40;

// One collapsible group of the task pane.
struct CDirectUIGroup {
    ~CDirectUIGroup();
    wchar_t* text = nullptr;
    int id = 0;
    int height = 0;
    bool needsLayout = true;
    RECT header = {};
    DWORD flags = 0;
    bool collapsed = false;
    bool headerShown = true;
    int data = 0;
    int colorGroup = -1;
    CPtrArray<CDirectUIItem> items;
    RECT bounds = {};
};

// The pane object behind one "ExplorerBar" window.
class CExplorerBar {
public:
    explicit CExplorerBar(HWND window);
    ~CExplorerBar();
    CExplorerBar(const CExplorerBar&) = delete;
    CExplorerBar& operator=(const CExplorerBar&) = delete;

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND Window() const { return m_window; }
    int Style() const { return m_style; }
    HIMAGELIST ImageList() const { return m_images; }
    HFONT ItemFont(UINT style) { return m_itemFonts.GetFont(style); }
    int ItemHeight() const;
    void Repaint() { InvalidateRect(m_window, nullptr, FALSE); }

private:
    CDirectUIGroup* Group(int index) const { return m_groups.GetAt(index); }
    CDirectUIItem* FindItem(UINT id, int* groupIndex = nullptr, int* position = nullptr) const;
    int HeaderHeight() const;
    int Layout();  // places every group and item; returns the content height
    void UpdateScrollBar(int contentHeight);
    void Paint(HDC target);
    void PaintGroup(HDC dc, CDirectUIGroup* group);
    bool Notify(UINT code, int index);  // true when the parent cancels
    void SetExpanded(int index, bool expand);
    void Select(CDirectUIItem* item, bool select);
    void SetHotItem(CDirectUIItem* item);
    void AnimateExpand(CDirectUIGroup* group);

    LRESULT AddGroup(int index, const EBGROUP* record, bool wide);
    LRESULT GroupsFromMenu(const EBMENU* record);
    LRESULT SetBackground(const EBBACKGROUND* record, bool wide);
    LRESULT AddItem(int index, const void* record, bool wide, bool isStatic);
    LRESULT ItemInfo(CDirectUIItem* item, int position, void* out, bool wide);
    LRESULT GroupInfo(int index, void* out, bool wide);
    LRESULT NextItem(UINT id, LPARAM flags);
    LRESULT IdealWidth(bool expandedOnly);
    void OnMouseMove(POINT point);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnVScroll(int code);

    HWND m_window;
    int m_style = 0;
    BOOL m_singleExpand = FALSE;
    int m_animation = 0;
    COLORREF m_backgroundStart = 0xF5BE9E, m_backgroundEnd = 0xFADAC4;
    BOOL m_verticalBackground = FALSE;
    CDirectUIGroup* m_hotGroup = nullptr;
    CDirectUIItem* m_hotItem = nullptr;
    CDirectUIItem* m_selected = nullptr;
    CPtrArray<CDirectUIGroup> m_groups;
    HIMAGELIST m_images = nullptr;
    CFontSet m_headerFonts;
    CFontSet m_itemFonts;
    Glazier::CSkin m_picture;
    DWORD m_pictureFlags = 0;
    int m_pictureX = 0, m_pictureY = 0;
    int m_scroll = 0;
    bool m_tracking = false;
    bool m_capturing = false;
};
