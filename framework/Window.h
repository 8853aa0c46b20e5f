#pragma once
#include <windows.h>

// Where Create puts a window when the caller names no rectangle: the system chooses.
inline const RECT kDefaultWindowRect = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

// A thin wrapper over a window handle: the plain Win32 calls with the handle filled in.
// It owns nothing; copying it copies the handle.
class CWindow
{
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    operator HWND() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach() { HWND h = m_hWnd; m_hWnd = nullptr; return h; }

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageW(m_hWnd, msg, wParam, lParam); }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    // Changes the style bits; with swpFlags, SetWindowPos applies a frame change at once.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) { return Modify(GWL_STYLE, remove, add, swpFlags); }
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) { return Modify(GWL_EXSTYLE, remove, add, swpFlags); }

    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect); }
    BOOL ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point); }
    BOOL ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    { return ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
    { return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags); }
    // Centres the window over `over`, else over its owner or parent, else on its monitor's work area.
    BOOL CenterWindow(HWND over = nullptr);

    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, rect, erase); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags) { return ::RedrawWindow(m_hWnd, rect, region, flags); }

    BOOL SetWindowText(const wchar_t* text) { return ::SetWindowTextW(m_hWnd, text); }
    int GetWindowText(wchar_t* text, int count) const { return ::GetWindowTextW(m_hWnd, text, count); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }

    BOOL SetDlgItemText(int id, const wchar_t* text) { return ::SetDlgItemTextW(m_hWnd, id, text); }
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const
    { return ::GetDlgItemInt(m_hWnd, id, translated, isSigned); }
    BOOL SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) { return ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
    BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }

private:
    BOOL Modify(int index, DWORD remove, DWORD add, UINT swpFlags);
};
