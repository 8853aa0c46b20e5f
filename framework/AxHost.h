#pragma once
#include "framework/WindowImpl.h"

#include <ole2.h>

class CAxHostSite;

// The window class that hosts an ActiveX control in a dialog: a child window of this class (for
// example a CONTROL line of a dialog template) creates the control its window text names ("{CLSID}"
// or a ProgID such as "Shell.Explorer.2") when it is created, activates it in place over its
// client area, follows its size, and closes the control when it is destroyed.
constexpr wchar_t kAxHostClassName[] = L"LyrantAxHost";

// Registers the class (once per process); false when registration failed.
bool RegisterAxHostClass();

// The host's "get the control" request: SendMessage(host, AxHostGetControlMessage(), 0,
// (LPARAM)&unknown) answers S_OK with the control's IUnknown (a reference added), or an error.
UINT AxHostGetControlMessage();
HRESULT AxHostGetControl(HWND host, IUnknown** control);

// The host window object. Windows of the class made from templates get one on the heap, deleted
// when the window goes; an owner may also embed one and Create it.
class CAxHostWindow : public CWindowImplRoot
{
public:
    CAxHostWindow() = default;
    ~CAxHostWindow() override;

    // Creates a host child window and the control named by `control`.
    HWND Create(HWND parent, const RECT& rect, const wchar_t* control, DWORD style, UINT id);
    // Creates and activates the control in this host's window; replaces any earlier one.
    HRESULT CreateControl(const wchar_t* control);
    HRESULT QueryControl(REFIID iid, void** object) const;
    IUnknown* GetControl() const { return m_control; }
    // Browser host flags and window.external of a hosted page (see CAxHostSite).
    void SetDocHostFlags(DWORD flags);
    void SetExternal(IDispatch* external);

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    void OnFinalMessage(HWND) override;

    static LRESULT CALLBACK ClassWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void ReleaseControl();
    CAxHostSite* Site();
    IUnknown* m_control = nullptr;
    CAxHostSite* m_site = nullptr;
    bool m_ownedByWindow = false;
};
