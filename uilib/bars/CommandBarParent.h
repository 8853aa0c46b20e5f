#pragma once
#include <windows.h>

#include <vector>

namespace Glazier {

class CCommandBar;

// Kept in the property "CmdBar::ParentSubclassing" of a rebar's parent: one subclass serves every
// command bar of that parent (chevron popups, their owner-drawn items and images).
struct CommandBarParent {
    WNDPROC previous;
    std::vector<CCommandBar*> bars;

    static CommandBarParent* Of(HWND parent);
    // Subclasses parent on the first bar; the last bar to leave puts its procedure back.
    static void Join(HWND parent, CCommandBar* bar);
    static void Leave(HWND parent, CCommandBar* bar);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace Glazier
