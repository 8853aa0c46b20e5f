#pragma once
#include <windows.h>

#include "uilib/bars/ShortcutBar.h"
#include "uilib/skin/FontSet.h"
#include "uilib/skin/Skin.h"

namespace Glazier {

// One button state of a shortcut-bar description: the parts are x, y, width, height in the skin
// image; style is the font style (1 bold, 2 italic, 4 underline, 8 antialiased).
struct ShortcutButtonLook {
    RECT left = {}, middle = {}, right = {};
    COLORREF text = 0;
    int style = 0;
};

struct ShortcutBarDescription {
    ShortcutBarDescription();
    CSkin skin;
    CFontSet fonts;
    ShortcutButtonLook states[kButtonStates];
    RECT icons[kButtonStates] = {};  // the first icon of each state's horizontal strip
    COLORREF background = CLR_INVALID;  // -1: no fill
    int gap = 0;
};

}  // namespace Glazier
