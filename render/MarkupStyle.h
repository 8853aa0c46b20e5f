#pragma once
#include <windows.h>
#include "render/MarkupString.h"

// Text and box attributes in force at a point of the markup: the layout keeps the current one and a
// stack of saved ones; style classes and tag attributes write into it.
struct CMarkupStyle
{
    CMarkupString name;   // the tag or class that opened it (matched by closing tags)
    int fontSize = 16;    // the font height
    int fontWeight = FW_NORMAL;
    BOOL italic = FALSE;
    BOOL underline = FALSE;
    BOOL strikeout = FALSE;
    BOOL overline = FALSE;
    CMarkupString fontFace = L"Verdana";
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    int backgroundMode = TRANSPARENT;
    COLORREF borderLightColor = RGB(0, 0, 0);
    COLORREF borderDarkColor = RGB(0, 0, 0);
    int horizontalAlign = 0;   // 0 left, 1 center, 2 right, 3 justify
    int verticalAlign = 3;     // 0 top, 1 middle, 2 bottom, 3 baseline
    int borderStyle = 0;       // 0 none, 1 solid, 2 dashed, 3 dotted, 6 double
    int borderWidth = 0;
    int textTransform = 0;     // 0 none, 1 upper, 2 lower, 3 capitalise
    int padding = 0;
    int margin = 2;
    int linkKind = 0;          // 0 none, 1 URL, 2 message
    CMarkupString linkTarget;
    CMarkupString linkTooltip;
    // Table, row and cell attributes.
    int cellPadding = 0;
    int cellSpacing = 0;
    CMarkupString backgroundImage;
    COLORREF backgroundMidColor = RGB(255, 255, 255);
    COLORREF backgroundEndColor = RGB(255, 255, 255);
    int backgroundEffect = -1;   // below 0: transparent
    int width = 0;
    int height = 0;
};
