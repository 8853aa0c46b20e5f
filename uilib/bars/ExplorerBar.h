#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/bars/DirectUIItem.h"
#include "uilib/bars/TaskPane.h"
#include "uilib/bars/TaskPaneLooks.h"
#include "uilib/skin/FontSet.h"
#include "uilib/skin/PtrArray.h"
#include "uilib/skin/Skin.h"

class CProfileReader;
class GroupedReader;

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
    int ItemHeight(bool last = false);
    int ItemWidthExtra() const;
    void Repaint() { InvalidateRect(m_window, nullptr, FALSE); }

private:
    CDirectUIGroup* Group(int index) const { return m_groups.GetAt(index); }
    CDirectUIItem* FindItem(UINT id, int* groupIndex = nullptr, int* position = nullptr) const;
    int HeaderHeight();
    int Layout();  // places every group and item; returns the content height
    void UpdateScrollBar(int contentHeight);
    void Paint(HDC target);
    void PaintGroup(HDC dc, CDirectUIGroup* group);
    void PaintPictogram(HDC dc, int contentHeight);

    // Marks a handler that sends to the parent: the parent's answer may have destroyed the pane
    // (the destructor sets destroyed in every watch that is open).
    struct Watch {
        explicit Watch(CExplorerBar* pane) : pane(pane), outer(pane->m_watch) { pane->m_watch = this; }
        ~Watch()
        {
            if (!destroyed)
                pane->m_watch = outer;
        }
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;
        CExplorerBar* pane;
        Watch* outer;
        bool destroyed = false;
    };
    // A header notification about the clicked group; false when the parent cancelled it, deleted
    // the group or destroyed the pane.
    bool NotifyClicked(UINT code, const Watch& watch);
    // Clears every reference to a group and its items before it is deleted.
    void ForgetGroup(const CDirectUIGroup* group);
    void SetExpanded(int index, bool expand);
    void Select(CDirectUIItem* item, bool select);
    void SetHotItem(CDirectUIItem* item);
    void AnimateExpand(CDirectUIGroup* group);
    void ForgetItemHeights();

    // The description-file looks (styles 2 and 3).
    LRESULT LoadDescription(const char* file);
    void ReadImageLook(CProfileReader& reader);
    void ReadSchemeGroups(GroupedReader& reader);
    LRESULT SetColorGroup(int index, const char* name);
    LRESULT ColorRecord(int index, void* out, bool header);
    HICON ItemIcon(UINT id);
    int HeaderState(const CDirectUIGroup* group) const;
    int LookState(const CDirectUIItem* item, bool withDisabled) const;
    const ColorSchemeGroup* SchemeOf(const CDirectUIGroup* group) const;
    int HeaderTextStyle() const;
    int GroupWidthExtra() const;
    void PaintImageHeader(HDC dc, CDirectUIGroup* group);
    void PaintSchemeHeader(HDC dc, CDirectUIGroup* group, const ColorSchemeGroup& scheme);
    void PaintImageItem(HDC dc, CDirectUIGroup* group, int index);
    void PaintSchemeItem(HDC dc, CDirectUIItem* item, const ColorSchemeGroup& scheme);

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
    CDirectUIGroup* m_clickedGroup = nullptr;  // the header a click is changing
    Watch* m_watch = nullptr;
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
    Glazier::CSkin m_skin;
    PaneImageLook m_imageLook;
    CPtrArray<ColorSchemeGroup> m_schemeGroups;
};

// Copies at most a whole record to the caller's, its size field first: the caller's size
// (unsigned) clamped to the record's.
template <class Record>
void CopyClamped(void* out, Record& filled)
{
    auto* caller = static_cast<DWORD*>(out);
    const DWORD size = *caller < static_cast<DWORD>(sizeof(Record)) ? *caller : static_cast<DWORD>(sizeof(Record));
    filled.size = size;
    memcpy(out, &filled, size);
}
