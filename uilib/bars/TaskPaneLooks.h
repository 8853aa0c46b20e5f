#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"

// The task pane's looks read from a description file. Part rectangles hold x, y, width and
// height in the pane's skin image; styles are font styles (1 bold, 2 italic, 4 underline).

// Header states, in the order of the colour-record message (1073).
enum PaneHeaderState { kHeaderCollapsed, kHeaderCollapsedHot, kHeaderExpanded, kHeaderExpandedHot, kHeaderStates };
// Item states, in the order of the colour-record message (1074).
enum PaneItemState { kLookNormal, kLookHot, kLookSelected, kLookSelectedHot, kLookDisabled, kLookStates };
// Kinds of item parts in style 2: ordinary items, the last item of a group, items of a group
// without a header (root items).
enum PaneItemKind { kPartsOrdinary, kPartsLast, kPartsRoot, kPartsKinds };

struct PaneParts {
    RECT left = {}, middle = {}, right = {};
    COLORREF text = 0;
    int style = 0;
    int Height() const;
};

struct PaneHeaderParts : PaneParts {
    int leftMargin = -1, rightMargin = -1;  // -1: automatic
};

// Style 2: a skin-image look.
struct PaneImageLook {
    PaneHeaderParts headers[kHeaderStates];
    PaneParts items[kPartsKinds][kLookSelectedHot + 1];
    RECT itemImages[kLookSelectedHot + 1] = {};  // first icon of each state's strip
    RECT pictograms = {};                        // first picture of the pictogram strip
};

// Style 3: one named group of colours.
struct SchemeLook {
    COLORREF border = CLR_INVALID;
    GRADIENT background = {CLR_INVALID, CLR_INVALID};
    COLORREF text = 0;
    int style = 0;
    RECT icon = {};  // headers only
};

struct ColorSchemeGroup {
    ~ColorSchemeGroup() { delete[] name; }
    char* name = nullptr;
    SchemeLook headers[kHeaderStates];
    SchemeLook items[kLookStates];
};
