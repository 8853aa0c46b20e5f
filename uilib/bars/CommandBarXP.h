#pragma once
#include <windows.h>

#include <vector>

#include "uilib/bars/CommandBar.h"
#include "uilib/skin/TarnUIApi.h"

// The exported facade over one command-bar object of its own. Copies share that object (it is
// reference-counted, so the last copy deletes it).
class TARNUI_API CCommandBarXP {
public:
    enum ColorScheme { CommandBarColors = 0, ViewWindowColors = 1 };

    CCommandBarXP();
    CCommandBarXP(const CCommandBarXP& other);
    CCommandBarXP& operator=(const CCommandBarXP& other);
    virtual ~CCommandBarXP();

    BOOL Create(DWORD style, HWND parent, UINT id, bool subclassParent);
    operator HWND() const { return m_hWnd; }
    BOOL SetMenu(HMENU menu);
    BOOL SetToolBar(HWND toolbar);
    BOOL AddToolBar(HWND toolbar, BOOL rowBreak, UINT index);
    void ShowBand(int bandIndex, BOOL show);
    void Show(UINT index, BOOL show);
    BOOL ShowToolBar(HWND toolbar, BOOL show);
    BOOL RemoveToolBar(HWND toolbar);
    void AutoSize(HWND toolbar);
    BOOL SaveState(const char* subKey, const char* name);
    BOOL LoadState(const char* subKey, const char* name);
    LRESULT OnMenuChar(UINT character);
    BOOL OnSysCommand(UINT command, LPARAM lParam);
    BOOL OnSysCommand(UINT command) { return OnSysCommand(command, 0); }
    void SetColorScheme(ColorScheme scheme);
    void GradientBackground(bool on);
    void GroupBackground(bool on);
    void DrawGripper(bool on);

    Glazier::ICommandBar* Object() const { return m_bar; }

protected:
    // Puts toolbar into a band with the caller's object (which stays the caller's).
    BOOL AddToolBar(HWND toolbar, CToolBarXP* object, int position, WORD bandId, BOOL rowBreak);
    void Draw() {}
    void OnChevronPushed() {}
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
    static LRESULT CALLBACK ParentWndProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    HWND m_hWnd = nullptr;
    std::vector<void*> m_items;
    bool m_gradient = true;
    bool m_grippers = true;
    bool m_group = false;
    Glazier::CCommandBar* m_bar = nullptr;
    DWORD m_reserved[4] = {};

private:
    void PushOptions();
};
