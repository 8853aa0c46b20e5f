#pragma once
#include "framework/MessageMap.h"
#include "framework/Window.h"

// The base of every window object of the framework: binds a C++ object to a window, routes the
// window's messages through the object's message map, and hands the rest to the window's own
// procedure (a subclassed control's, a superclass's system procedure, or DefWindowProc).
//
// Binding: the object is found through a window property, set before the window's first message
// when the framework creates the window (so WM_NCCREATE and WM_CREATE reach the object), or at
// SubclassWindow for an existing window. After WM_NCDESTROY the binding is gone, m_hWnd is null
// and OnFinalMessage runs (an object that lives on the heap may delete itself there).
//
// Virtual operations, in slot order: ProcessWindowMessage, the destructor, GetWindowProc,
// OnFinalMessage.
class CWindowImplRoot : public CWindow, public CMessageMap
{
public:
    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
    // A window still bound is unsubclassed (or, when the framework created it, left without its object).
    virtual ~CWindowImplRoot();
    // The procedure SubclassWindow installs.
    virtual WNDPROC GetWindowProc() { return &WindowProc; }
    // Called after WM_NCDESTROY, with the handle the window had.
    virtual void OnFinalMessage(HWND) {}

    // Takes over an existing window. Refused (false) when this object already has a window, the
    // window does not exist, or another framework object already holds it.
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window back its previous procedure; returns the handle, or null when the procedure
    // cannot be restored (someone subclassed the window after us).
    HWND UnsubclassWindow();

    // The window's own handling of a message (the procedure that was there before us).
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The message being handled right now (inside a handler), else null.
    const MSG* GetCurrentMessage() const { return m_currentMessage; }

    // The object bound to a window, or null.
    static CWindowImplRoot* FromHandle(HWND hWnd);

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Creation: the next window the thread creates is bound to `object` at its first message.
    static void BindNextWindow(CWindowImplRoot* object);
    // Binds the object to a window that has just reached its first message.
    bool Bind(HWND hWnd);
    void Unbind();
    // Runs a message through the map; shared by the window and the dialog procedures.
    // Returns whether the map handled it.
    BOOL RouteMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After the last message: unbinds and calls OnFinalMessage.
    void FinishWindow(HWND hWnd);
    static CWindowImplRoot* TakeNextWindowObject();

    WNDPROC m_superWindowProc = nullptr;   // null: no default handling (dialogs)
    bool m_subclassed = false;
    const MSG* m_currentMessage = nullptr;
};

// The window class a CWindowImpl registers: its own class, or a superclass of a system class
// (same look and behaviour, our procedure in front, the system procedure as the default).
struct CWndClassInfo
{
    const wchar_t* className;       // null: a name made from the info's address
    const wchar_t* superclassOf;    // null: a plain class over DefWindowProc
    UINT style;
    int background;                 // COLOR_* + 1 as for WNDCLASS, 0 none
    ATOM atom;
    WNDPROC superProc;
    wchar_t generatedName[32];

    // Registers the class once; returns the atom, 0 on failure.
    ATOM Register();
};

// In a CWindowImpl class: the window class it registers.
#define DECLARE_WND_CLASS(name) \
    static CWndClassInfo& GetWndClassInfo() \
    { static CWndClassInfo info = {name, nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW + 1, 0, nullptr, {}}; \
      return info; }
#define DECLARE_WND_CLASS_EX(name, style, background) \
    static CWndClassInfo& GetWndClassInfo() \
    { static CWndClassInfo info = {name, nullptr, style, background, 0, nullptr, {}}; return info; }
#define DECLARE_WND_SUPERCLASS(name, systemClass) \
    static CWndClassInfo& GetWndClassInfo() \
    { static CWndClassInfo info = {name, systemClass, 0, 0, 0, nullptr, {}}; return info; }

// A window of our own class T (T declares its class with one of the macros above, or gets a plain
// generated one).
template <class T>
class CWindowImpl : public CWindowImplRoot
{
public:
    DECLARE_WND_CLASS(nullptr)

    // Registers T's class through the framework and creates the window; the object is bound before
    // WM_NCCREATE. idOrMenu is the control id of a child window, else a menu handle.
    HWND Create(HWND parent, const RECT& rect = kDefaultWindowRect, const wchar_t* text = nullptr,
                DWORD style = 0, DWORD exStyle = 0, UINT_PTR idOrMenu = 0, void* param = nullptr)
    {
        CWndClassInfo& info = T::GetWndClassInfo();
        ATOM atom = info.Register();
        if (atom == 0 || m_hWnd != nullptr)
            return nullptr;
        m_superWindowProc = info.superProc;
        return CreateOfClass(atom, parent, rect, text, style, exStyle, idOrMenu, param);
    }

private:
    HWND CreateOfClass(ATOM atom, HWND parent, const RECT& rect, const wchar_t* text, DWORD style,
                       DWORD exStyle, UINT_PTR idOrMenu, void* param)
    {
        BindNextWindow(this);
        HWND hWnd = ::CreateWindowExW(exStyle, reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(atom)), text,
                                      style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                      parent, reinterpret_cast<HMENU>(idOrMenu), FrameworkInstance(), param);
        BindNextWindow(nullptr);
        return hWnd;
    }
    static HINSTANCE FrameworkInstance();
};

// The module instance that window classes are registered for.
HINSTANCE FrameworkWindowInstance();

template <class T>
HINSTANCE CWindowImpl<T>::FrameworkInstance() { return FrameworkWindowInstance(); }
