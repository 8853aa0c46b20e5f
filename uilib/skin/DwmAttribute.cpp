#include "uilib/skin/DwmAttribute.h"

void SetDwmWindowAttribute(HWND window, DWORD attribute, DWORD value)
{
    OSVERSIONINFOW version = {sizeof(version)};
    if (!GetVersionExW(&version) || version.dwMajorVersion <= 5)
        return;
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    if (!dwm)
        return;
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    if (auto set = reinterpret_cast<SetAttribute>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
        set(window, attribute, &value, sizeof(value));
    FreeLibrary(dwm);
}
