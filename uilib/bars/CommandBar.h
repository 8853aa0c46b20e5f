#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "uilib/bars/BarInterfaces.h"
#include "uilib/bars/Menu.h"
#include "uilib/bars/MenuBarXP.h"
#include "uilib/bars/ToolBarXP.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/TarnUIApi.h"

namespace Glazier {

// A rebar holding a menu band and toolbar bands in the office look. The slot order is the
// interface: no virtual destructor among the slots (GCC gives it two).
class ICommandBar {
public:
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual BOOL Create(DWORD style, HWND parent, UINT id, bool subclassParent) = 0;
    virtual HWND GetHwnd() = 0;
    virtual BOOL SetMenu(HMENU menu) = 0;
    virtual BOOL SetToolBar(HWND toolbar) = 0;
    virtual BOOL AddToolBar(HWND toolbar, BOOL rowBreak, UINT index) = 0;
    virtual BOOL ShowToolBar(HWND toolbar, BOOL show) = 0;
    virtual BOOL RemoveToolBar(HWND toolbar) = 0;
    virtual void AutoSize(HWND toolbar) = 0;
    virtual void Show(UINT index, BOOL show) = 0;
    virtual void ShowBand(int bandIndex, BOOL show) = 0;
    virtual LRESULT OnMenuChar(UINT character) = 0;
    virtual BOOL OnSysCommand(UINT command, LPARAM lParam) = 0;
    virtual BOOL SaveState(const char* subKey, const char* name) = 0;
    virtual BOOL LoadState(const char* subKey, const char* name) = 0;
    virtual void GradientBackground(BOOL on) = 0;
    virtual void GroupBackground(BOOL on) = 0;
    virtual void DrawGripper(BOOL on) = 0;
    virtual void SetColorScheme(int scheme) = 0;
    virtual void SetMenuStyle(BOOL xp) = 0;
    virtual void DeferLayout(BOOL defer) = 0;
    virtual void DeleteThis() = 0;  // the deleting destructor's slot

protected:
    ~ICommandBar() = default;
};

// Band ids: the menu band, the main toolbar band, and toolbars added later (index + 10).
constexpr UINT kMenuBandId = 1;
constexpr UINT kMainToolBarBandId = 2;
constexpr UINT kAddedBandIdBase = 10;
// CToolBarXP flag bit: a row break waits for the deferred layout.
constexpr DWORD kRowBreakPending = 0x0001;

// A band record asking for (or setting) the fields of mask.
inline REBARBANDINFOA RebarBandInfo(UINT mask)
{
    REBARBANDINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    return info;
}

class TARNUI_API CCommandBar : public ICommandBar {
public:
    CCommandBar();
    virtual ~CCommandBar();
    CCommandBar(const CCommandBar&) = delete;
    CCommandBar& operator=(const CCommandBar&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    BOOL Create(DWORD style, HWND parent, UINT id, bool subclassParent) override;
    HWND GetHwnd() override { return m_rebar; }
    BOOL SetMenu(HMENU menu) override;
    BOOL SetToolBar(HWND toolbar) override;
    BOOL AddToolBar(HWND toolbar, BOOL rowBreak, UINT index) override;
    BOOL ShowToolBar(HWND toolbar, BOOL show) override;
    BOOL RemoveToolBar(HWND toolbar) override;
    void AutoSize(HWND toolbar) override;
    void Show(UINT index, BOOL show) override;
    void ShowBand(int bandIndex, BOOL show) override;
    LRESULT OnMenuChar(UINT character) override;
    BOOL OnSysCommand(UINT command, LPARAM lParam) override;
    BOOL SaveState(const char* subKey, const char* name) override;
    BOOL LoadState(const char* subKey, const char* name) override;
    void GradientBackground(BOOL on) override;
    void GroupBackground(BOOL on) override;
    void DrawGripper(BOOL on) override;
    void SetColorScheme(int scheme) override;
    void SetMenuStyle(BOOL xp) override;
    void DeferLayout(BOOL defer) override;
    void DeleteThis() override { delete this; }

    // Puts toolbar into a band with the caller's object: position -1 appends, else replaces the
    // child of the band at that position.
    BOOL InsertBand(HWND toolbar, CToolBarXP* object, int position, WORD bandId, BOOL rowBreak);

    CMenuBarXP* MenuBar() const { return m_menuBar; }

private:
    friend struct CommandBarParent;
    static LRESULT CALLBACK RebarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRebarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(HWND window);
    void PaintBackground(HDC dc);
    bool OnWindowPosChanging(WINDOWPOS* pos);  // true when a stretched button took the change
    // The toolbar object of the band whose child is window (NULL when none).
    CToolBarXP* ToolBarObjectOf(HWND window, bool orItsTooltip);
    int BandOfChild(HWND child);
    // Deletes every band whose child is toolbar, except the band with id keptId.
    void RemoveBandsOf(HWND toolbar, UINT keptId);
    void SizeBand(int band, HWND toolbar, bool idealIsMeasured);
    bool ChevronsOn() const { return m_parentSubclassed && m_chevrons; }

    // The chevron popup of the band at bandIndex (its hidden buttons) and the parent's side of it.
    void OnChevronPushed(const NMREBARCHEVRON* chevron);
    bool AnswerChevronImage(MENUXPIMAGE* image);
    void LeaveParent();

    HWND m_rebar = nullptr;
    CMenuBarXP* m_menuBar = nullptr;
    CMenu* m_chevronMenu = nullptr;
    std::vector<CToolBarXP*> m_toolbars;  // [0]: the main toolbar's (reserved); all owned
    CToolBarXP* m_chevronToolBar = nullptr;
    LONG m_refCount = 0;
    WNDPROC m_oldRebarProc = nullptr;
    bool m_gradient = true;
    bool m_grippers = true;
    bool m_parentSubclassed = false;
    bool m_chevrons = true;
    bool m_group = false;
    BOOL m_deferred = FALSE;
    int m_lastWidth = 0;
    const CommandBarColors* m_colors;
    HWND m_parent = nullptr;  // the subclassed parent, left again on destruction
};

}  // namespace Glazier
