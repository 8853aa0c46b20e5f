#pragma once
#include <windows.h>

#include "uilib/skin/Skin.h"
#include "uilib/skin/TarnUIApi.h"

// "SkinButton": a push button drawn from four parts of one PNG (normal, hot, pushed, disabled)
// named in a small description file; sized by its image, clickable over the opaque pixels of its
// normal part, its window text shown as a tooltip, notifying its parent like a standard button.

constexpr char kSkinButtonClass[] = "SkinButton";

// lpCreateParams of a "SkinButton" window.
struct SkinButtonParams {
    const char* file;  // description file; relative names are taken in the executable's folder
    const char* name;  // the button's section
};

class CSkinButton {
public:
    static bool RegisterClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // State bits.
    static constexpr DWORD kHot = 1;
    static constexpr DWORD kPushed = 2;
    static constexpr DWORD kFocused = 4;
    static constexpr DWORD kTracking = 8;

private:
    explicit CSkinButton(HWND window, DWORD style) : m_window(window), m_style(style) {}
    ~CSkinButton();

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Load(const SkinButtonParams* params);
    void Paint(HDC dc);
    void CaptureParentBackground(HDC like);
    void SetBit(DWORD bit, bool on);
    bool InArea(LPARAM point) const;
    void Notify(WORD code);
    void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam);
    // Press and release from the keyboard or BM_CLICK: at a point of the clickable area.
    LPARAM KeyPoint() const;
    void OnMouseMove(WPARAM keys, LPARAM point);
    void OnButtonDown();
    void OnButtonUp(LPARAM point);

    HWND m_window;
    DWORD m_state = 0;
    DWORD m_style;
    HWND m_tooltip = nullptr;
    RECT m_area = {};  // clickable area, client coordinates (left, top, right, bottom)
    bool m_leaveRequested = false;
    Glazier::CSkin m_skin;
    RECT m_normal = {}, m_hot = {}, m_pushed = {}, m_disabled = {};  // x, y, width, height
    HBITMAP m_background = nullptr;
};

TARNUI_API HWND WINAPI CreateSkinButton(HWND parent, UINT id, const char* file, const char* name, int x, int y);
TARNUI_API HWND WINAPI ConvertButtonToSkinButton(HWND dialog, UINT id, const char* file, const char* name);
