#pragma once
// What the owner-drawn button's source files share: the visual-styles functions, looked up at run
// time (the library may be missing), and the kinds of button.
#include <windows.h>
#include <uxtheme.h>

namespace styled_button {

// The visual-styles library, looked up at run time (it may be missing).
struct ThemeApi
{
    using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    DrawFn draw = nullptr;

    static const ThemeApi& Get()
    {
        static const ThemeApi api = Load();
        return api;
    }
    static ThemeApi Load()
    {
        ThemeApi api;
        HMODULE library = ::LoadLibraryW(L"uxtheme.dll");
        if (library != nullptr) {
            api.open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(::GetProcAddress(library, "OpenThemeData")));
            api.close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(::GetProcAddress(library, "CloseThemeData")));
            api.draw = reinterpret_cast<DrawFn>(reinterpret_cast<void*>(::GetProcAddress(library, "DrawThemeBackground")));
            if (api.open == nullptr || api.close == nullptr || api.draw == nullptr)
                api = ThemeApi();
        }
        return api;
    }
};

inline bool IsRadioKind(int kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }
inline bool IsCheckKind(int kind)
{
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}

}  // namespace styled_button
