#pragma once
#include <windows.h>

#include "uilib/skin/Gradient.h"
#include "uilib/skin/TarnUIApi.h"

// The process-wide colour table, filled from the colour scheme ("Glazier.thm" by default).
// Field order is part of the library's interface: the bars read it by offset.
struct COLORS {
    COLORREF WindowBorder, WindowCaptionText, WindowCaptionStart, WindowCaptionEnd;
    COLORREF CommandBarBackgroundPlain, CommandBarBackgroundStart, CommandBarBackgroundEnd;
    COLORREF GroupBorder, GroupBackground, GroupCaptionText, GroupCaptionStart, GroupCaptionEnd,
        GroupSmartCaptionStart, GroupSmartCaptionEnd;
    COLORREF MenuBackground, MenuSelectedBar, MenuSelectedText, MenuText, MenuFrame, MenuDisabledText,
        MenuSeparator, MenuSideBarStart, MenuSideBarEnd, MenuCheckMark, MenuSelectedMark;
    COLORREF ToolBarCheckedStart, ToolBarCheckedEnd, ToolBarHotStart, ToolBarHotEnd, ToolBarSelectedStart,
        ToolBarSelectedEnd, ToolBarFrame, ToolBarSeparatorLight, ToolBarSeparatorDark, ToolBarText,
        ToolBarSelectedText, ToolBarHotText, ToolBarDisabledText;
    COLORREF StudioBarBackgroundStart, StudioBarBackgroundEnd, StudioBarNormalStart, StudioBarNormalEnd,
        StudioBarHotStart, StudioBarHotEnd, StudioBarSelectedStart, StudioBarSelectedEnd,
        StudioBarHotSelectedStart, StudioBarHotSelectedEnd, StudioBarLine, StudioBarText,
        StudioBarSelectedText, StudioBarHotText;
    COLORREF PreviewBackgroundStart, PreviewBackgroundEnd;
    COLORREF EditorWindowBkg, EditorBackground, EditorSelectedZone, EditorUnselectedZone, EditorSeparator,
        EditorSelectedDrawing, EditorUnselectedDrawing;
    COLORREF ListViewBackground, ListViewText, ListViewSelectedText, ListViewSelectedTextBk;
    COLORREF DialogFrameColor, DialogCaptionStart, DialogCaptionEnd, DialogInactiveCaptionStart,
        DialogInactiveCaptionEnd, DialogCaptionText, DialogInactiveCaptionText, DialogBackgroundStart,
        DialogBackgroundEnd, DialogText, DialogGrayText, DialogGroupText, DialogGroupFrame,
        DialogFooterBackground;
};

extern "C" TARNUI_API COLORS g_Colors;

constexpr DWORD kStyleTransparent = 0x80000000u;

// The command bar keeps a pointer to one of the two sets (default and view window).
struct CommandBarColors {
    GRADIENTEX background;
    COLORREF gripperLight;
    COLORREF gripperDark;
    COLORREF toolbarStart;
    COLORREF toolbarEnd;
    COLORREF toolbarLine;
    DWORD style;
};

// Scheme state that is not exported: read by the library's own controls.
struct ColorSchemeState {
    wchar_t path[MAX_PATH];
    CommandBarColors commandBar;
    CommandBarColors commandBarView;
    GRADIENTEX frameWindowBackground;
    GRADIENTEX viewWindowBackground;
    DWORD viewWindowStyle;
    // Description files of other features (heap strings, replaced at every load).
    char* customButtonsFile;
    char* studioBarFile;
    char* tabControlFile;
    char* explorerBarFile;
    char* dialogFrameShapeFile;
    // [Dialog.BackgroundImage]
    RECT dialogImageArea;
    bool dialogImageStretch;
    char* dialogImageFile;
    // [PushButton]: ImageArea is x, y, width, height; the margins, written left, right, top,
    // bottom, are held by meaning (left width, top height, right width, bottom height).
    RECT pushButtonImageArea;
    RECT pushButtonSizingMargins;
    RECT pushButtonContentMargins;
    bool pushButtonVertical;
    COLORREF pushButtonText;
    COLORREF pushButtonGrayText;
    COLORREF pushButtonHotText;
    char* pushButtonImageFile;
};
extern ColorSchemeState g_Scheme;

// The tab-control customisation (uilib/bars/TabControl.cpp) sets this when it is linked in, as
// it always is in TarnUI.dll; without it ApplyColorScheme answers 0 for tab controls.
extern int (*g_pfnApplyTabControlScheme)(HWND tab, const char* description, int arg);

// The task pane's message for "apply the colour scheme".
constexpr UINT kExplorerBarApplyScheme = WM_USER + 129;

TARNUI_API bool WINAPI LoadColorScheme(const wchar_t* path, DWORD unused);
TARNUI_API bool WINAPI LoadColorScheme(const unsigned short* path, DWORD unused);
TARNUI_API bool WINAPI LoadColorScheme(const char* path, DWORD unused);
TARNUI_API bool WINAPI LoadColorsScheme(const char* path, DWORD unused);
TARNUI_API int WINAPI ApplyColorScheme(HWND window, int arg, DWORD unused);
TARNUI_API int WINAPI glzDrawBackground(HWND window, HDC dc, const RECT* area, const wchar_t* kind);
TARNUI_API int WINAPI glzDrawBackground(HWND window, HDC dc, const RECT* area, const unsigned short* kind);
TARNUI_API void WINAPI FillBackground(HWND sizeWindow, HDC dc, HWND target, const char* kind);
TARNUI_API int WINAPI DrawParentBackground(HWND child, HDC dc, const RECT* area, UINT flags);

extern "C" {
TARNUI_API bool WINAPI ISLoadColorsScheme(const char* path, DWORD unused);
TARNUI_API int WINAPI ISApplyColorScheme(HWND window, int arg, DWORD unused);
TARNUI_API void WINAPI ISFillBackground(HWND sizeWindow, HDC dc, HWND target, const char* kind);
}
