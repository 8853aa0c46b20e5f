#include "uilib/skin/ColorScheme.h"

#include <shlwapi.h>

#include <cstdlib>

#include "uilib/skin/GradientFill.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/TextConvert.h"

COLORS g_Colors;
ColorSchemeState g_Scheme;
int (*g_pfnApplyTabControlScheme)(HWND, const char*, int) = nullptr;

namespace {

constexpr wchar_t kDefaultSchemeFile[] = L"Glazier.thm";

// A pair read from one key ("Caption"), else from its Start and End keys with their defaults.
void ReadPair(CProfileReader& r, const char* name, COLORREF defaultStart, COLORREF defaultEnd,
              COLORREF* start, COLORREF* end)
{
    COLORREF pair[2] = {kNoColor, kNoColor};
    r.GetColorPair(name, pair);
    if (pair[0] == kNoColor) {
        char key[64];
        wsprintfA(key, "%sStart", name);
        pair[0] = r.GetColor(key, defaultStart);
        wsprintfA(key, "%sEnd", name);
        pair[1] = r.GetColor(key, defaultEnd);
    }
    *start = pair[0];
    *end = pair[1];
}

// A pair with no fallback keys: stays -1 when missing.
void ReadPlainPair(CProfileReader& r, const char* name, COLORREF* start, COLORREF* end)
{
    COLORREF pair[2] = {kNoColor, kNoColor};
    r.GetColorPair(name, pair);
    *start = pair[0];
    *end = pair[1];
}

DWORD ReadStyle(CProfileReader& r)
{
    const char* style = r.GetString("Style");
    return (style && StrStrIA(style, "Transparent")) ? kStyleTransparent : 0;
}

void ReadCommandBar(CProfileReader& r, CommandBarColors& set)
{
    r.SelectSection("CommandBar");
    set.gripperLight = r.GetColor("GripperLight", 0xFFFFFF);
    set.gripperDark = r.GetColor("GripperDark", 0x764127);
    r.GetGradientEx(&set.background, "Background", kNoColor, kNoColor, false);
    if (set.background.start == kNoColor) {
        set.background.start = r.GetColor("BackgroundStart", 0xF5BE9E);
        set.background.end = r.GetColor("BackgroundEnd", 0xFADAC4);
        set.background.horizontal = true;
    }
    COLORREF bar[2] = {kNoColor, kNoColor};
    r.GetColorPair("Toolbar.Background", bar);
    set.toolbarLine = r.GetColor("Toolbar.BottomRight", 0x9C613B);
    if (bar[0] == kNoColor) {
        bar[0] = r.GetColor("BarStart", 0xFEECDD);
        bar[1] = r.GetColor("BarEnd", 0xE2A981);
        set.toolbarLine = r.GetColor("BarLine", 0x9C613B);
    }
    set.toolbarStart = bar[0];
    set.toolbarEnd = bar[1];
    set.style = ReadStyle(r);

    g_Colors.CommandBarBackgroundPlain = r.GetColor("BackgroundPlain", 0xFADAC4);
    g_Colors.CommandBarBackgroundStart = set.background.start;
    g_Colors.CommandBarBackgroundEnd = set.background.end;
}

void ReadCommandBarView(CProfileReader& r, const CommandBarColors& base, CommandBarColors& set)
{
    r.SelectSection("CommandBar.ViewWindow");
    set.gripperLight = r.GetColor("GripperLight", base.gripperLight);
    set.gripperDark = r.GetColor("GripperDark", base.gripperDark);
    r.GetGradientEx(&set.background, "Background", base.background.start, base.background.end,
                    base.background.horizontal);
    set.toolbarStart = r.GetColor("BarStart", base.toolbarStart);
    set.toolbarEnd = r.GetColor("BarEnd", base.toolbarEnd);
    set.toolbarLine = r.GetColor("BarLine", base.toolbarLine);
    set.style = ReadStyle(r);
}

void ReadScheme(CProfileReader& r)
{
    COLORS& c = g_Colors;
    ColorSchemeState& s = g_Scheme;

    r.SelectSection("Window");
    c.WindowBorder = r.GetColor("Border", 0x800000);
    c.WindowCaptionText = r.GetColor("CaptionText", 0xFFFFFF);
    COLORREF pair[2] = {kNoColor, kNoColor};
    r.GetColorPair("CaptionBackground", pair);
    if (pair[0] == kNoColor) {
        pair[0] = r.GetColor("CaptionStart", 0xD68759);
        pair[1] = r.GetColor("CaptionEnd", 0x933803);
    }
    c.WindowCaptionStart = pair[0];
    c.WindowCaptionEnd = pair[1];

    ReadCommandBar(r, s.commandBar);
    ReadCommandBarView(r, s.commandBar, s.commandBarView);

    r.SelectSection("Group");
    c.GroupBorder = r.GetColor("Border", 0x800000);
    c.GroupBackground = r.GetColor("Background", 0xFADAC4);
    c.GroupCaptionText = r.GetColor("CaptionText", 0xFFFFFF);
    ReadPair(r, "Caption", 0xD68759, 0x933803, &c.GroupCaptionStart, &c.GroupCaptionEnd);
    ReadPair(r, "SmartCaption", 0xE57A45, 0xFADAC4, &c.GroupSmartCaptionStart, &c.GroupSmartCaptionEnd);

    r.SelectSection("Menu");
    c.MenuBackground = r.GetColor("BackGround", 0xF6F6F6);
    c.MenuSelectedBar = r.GetColor("SelectedBar", 0xC2EEFF);
    c.MenuSelectedText = r.GetColor("SelectedText", 0);
    c.MenuText = r.GetColor("Text", 0);
    c.MenuFrame = r.GetColor("Frame", 0x800000);
    c.MenuDisabledText = r.GetColor("DisabledText", 0xB8C2C5);
    c.MenuSeparator = r.GetColor("Separator", 0xCB8C6A);
    ReadPair(r, "SideBar", 0xFEECDD, 0xE2A981, &c.MenuSideBarStart, &c.MenuSideBarEnd);
    c.MenuCheckMark = r.GetColor("CheckMark", 0x6FC0FF);
    c.MenuSelectedMark = r.GetColor("SelectedMark", 0x3E80FE);

    r.SelectSection("ToolBar");
    ReadPair(r, "Checked", 0x8CD5FF, 0x55ADFF, &c.ToolBarCheckedStart, &c.ToolBarCheckedEnd);
    ReadPair(r, "Hot", 0xCCF4FF, 0x9AD5FF, &c.ToolBarHotStart, &c.ToolBarHotEnd);
    ReadPair(r, "Selected", 0x4E91FE, 0x8ED3FF, &c.ToolBarSelectedStart, &c.ToolBarSelectedEnd);
    c.ToolBarFrame = r.GetColor("Frame", 0x800000);
    c.ToolBarSeparatorLight = r.GetColor("SeparatorLight", 0xFFFFFF);
    c.ToolBarSeparatorDark = r.GetColor("SeparatorDark", 0xCB8C6A);
    c.ToolBarText = r.GetColor("Text", 0);
    c.ToolBarSelectedText = r.GetColor("SelectedText", c.ToolBarText);
    c.ToolBarHotText = r.GetColor("HotText", c.ToolBarText);
    c.ToolBarDisabledText = r.GetColor("DisabledText", 0xD0966D);

    r.SelectSection("StudioBar");
    c.StudioBarBackgroundStart = r.GetColor("BackgroundStart", 0x933707);
    c.StudioBarBackgroundEnd = r.GetColor("BackgroundEnd", 0x933707);
    c.StudioBarNormalStart = r.GetColor("NormalStart", 0xFBDFC8);
    c.StudioBarNormalEnd = r.GetColor("NormalEnd", 0xE0A67F);
    c.StudioBarHotStart = r.GetColor("HotStart", 0xCCF4FF);
    c.StudioBarHotEnd = r.GetColor("HotEnd", 0x9AD5FF);
    c.StudioBarSelectedStart = r.GetColor("SelectedStart", 0x9ADFFF);
    c.StudioBarSelectedEnd = r.GetColor("SelectedEnd", 0x50A8FF);
    c.StudioBarHotSelectedStart = r.GetColor("HotSelectedStart", 0x4B8EFE);
    c.StudioBarHotSelectedEnd = r.GetColor("HotSelectedEnd", 0x88CCFE);
    c.StudioBarLine = r.GetColor("Line", 0x800000);
    c.StudioBarText = r.GetColor("Text", 0);
    c.StudioBarSelectedText = r.GetColor("SelectedText", c.StudioBarText);
    c.StudioBarHotText = r.GetColor("HotText", c.StudioBarText);
    s.studioBarFile = r.GetFilePath(s.studioBarFile, "Custom");

    r.SelectSection("Preview");
    ReadPair(r, "Background", 0x804D33, 0xFFCCB2, &c.PreviewBackgroundStart, &c.PreviewBackgroundEnd);

    r.SelectSection("Editor");
    c.EditorWindowBkg = r.GetColor("WindowBkg", c.CommandBarBackgroundPlain);
    c.EditorBackground = r.GetColor("BackGround", c.MenuSideBarStart);
    c.EditorSelectedZone = r.GetColor("SelectedZone", c.MenuSideBarEnd);
    c.EditorUnselectedZone = r.GetColor("UnselectedZone", c.MenuBackground);
    c.EditorSeparator = r.GetColor("Separator", s.commandBar.toolbarEnd);
    c.EditorSelectedDrawing = r.GetColor("SelectedDrawing", c.MenuSelectedText);
    c.EditorUnselectedDrawing = r.GetColor("UnSelectedDrawing", c.MenuDisabledText);

    r.SelectSection("ListView");
    c.ListViewBackground = r.GetColor("BackGround", GetSysColor(COLOR_WINDOW));
    c.ListViewText = r.GetColor("Text", GetSysColor(COLOR_WINDOWTEXT));
    c.ListViewSelectedText = r.GetColor("SelectedText", GetSysColor(COLOR_HIGHLIGHTTEXT));
    c.ListViewSelectedTextBk = r.GetColor("SelectedTextBk", GetSysColor(COLOR_HIGHLIGHT));

    r.SelectSection("Dialog");
    c.DialogFrameColor = r.GetColor("FrameColor", kNoColor);
    ReadPlainPair(r, "Caption", &c.DialogCaptionStart, &c.DialogCaptionEnd);
    ReadPlainPair(r, "InactiveCaption", &c.DialogInactiveCaptionStart, &c.DialogInactiveCaptionEnd);
    c.DialogCaptionText = r.GetColor("CaptionText", kNoColor);
    c.DialogInactiveCaptionText = r.GetColor("InactiveCaptionText", kNoColor);
    ReadPlainPair(r, "Background", &c.DialogBackgroundStart, &c.DialogBackgroundEnd);
    c.DialogText = r.GetColor("Text", kNoColor);
    c.DialogGrayText = r.GetColor("GrayText", kNoColor);
    c.DialogGroupText = r.GetColor("GroupText", kNoColor);
    c.DialogGroupFrame = r.GetColor("GroupFrame", kNoColor);
    c.DialogFooterBackground = r.GetColor("FooterBackground", kNoColor);
    s.dialogFrameShapeFile = r.GetFilePath(s.dialogFrameShapeFile, "FrameShape");

    r.SelectSection("Dialog.BackgroundImage");
    r.GetRect("ImageArea", &s.dialogImageArea);
    s.dialogImageStretch = r.HasValue("SizingType", "stretch");
    s.dialogImageFile = r.GetFilePath(s.dialogImageFile, "ImageFile");

    r.SelectSection("PushButton");
    r.GetRect("ImageArea", &s.pushButtonImageArea);
    r.GetSides("SizingMargins", &s.pushButtonSizingMargins);
    r.GetSides("ContentMargins", &s.pushButtonContentMargins);
    s.pushButtonVertical = r.HasValue("ImageLayout", "vertical");
    s.pushButtonText = r.GetColor("Text", 0);
    s.pushButtonGrayText = r.GetColor("GrayText", 0);
    s.pushButtonHotText = r.GetColor("HotText", s.pushButtonText);
    s.pushButtonImageFile = r.GetFilePath(s.pushButtonImageFile, "ImageFile");

    r.SelectSection("TabControl");
    s.tabControlFile = r.GetFilePath(s.tabControlFile, "Custom");
    r.SelectSection("ExplorerBar");
    s.explorerBarFile = r.GetFilePath(s.explorerBarFile, "Custom");
    r.SelectSection("CustomButtons");
    s.customButtonsFile = r.GetFilePath(s.customButtonsFile, "Custom");

    COLORREF window = GetSysColor(COLOR_WINDOW);
    r.SelectSection("FrameWindow");
    r.GetGradientEx(&s.frameWindowBackground, "Background", window, window, false);
    r.SelectSection("ViewWindow");
    r.GetGradientEx(&s.viewWindowBackground, "Background", window, window, false);
    s.viewWindowStyle = ReadStyle(r);
}

}  // namespace

bool WINAPI LoadColorScheme(const wchar_t* path, DWORD)
{
    wchar_t full[MAX_PATH] = {};
    if (!path || PathIsRelativeW(path)) {
        GetModuleFileNameW(nullptr, full, MAX_PATH);
        PathRemoveFileSpecW(full);
        if (!PathAppendW(full, path ? path : kDefaultSchemeFile))
            full[0] = 0;
    } else {
        lstrcpynW(full, path, MAX_PATH);
    }
    lstrcpynW(g_Scheme.path, full, MAX_PATH);
    char narrow[MAX_PATH];
    if (!WideToNarrow(narrow, full, MAX_PATH, CP_ACP))
        narrow[0] = 0;
    CProfileReader reader;
    // A missing file is no error: every value then takes its default.
    if (narrow[0])
        reader.Load(narrow, false);
    ReadScheme(reader);
    return true;
}

bool WINAPI LoadColorScheme(const unsigned short* path, DWORD unused)
{
    return LoadColorScheme(reinterpret_cast<const wchar_t*>(path), unused);
}

bool WINAPI LoadColorScheme(const char* path, DWORD unused)
{
    if (!path)
        return LoadColorScheme(static_cast<const wchar_t*>(nullptr), unused);
    wchar_t wide[MAX_PATH];
    if (!NarrowToWide(wide, path, MAX_PATH, CP_ACP))
        wide[0] = 0;
    return LoadColorScheme(static_cast<const wchar_t*>(wide), unused);
}

bool WINAPI LoadColorsScheme(const char* path, DWORD unused)
{
    return LoadColorScheme(path, unused);
}

extern "C" bool WINAPI ISLoadColorsScheme(const char* path, DWORD unused)
{
    return LoadColorScheme(path, unused);
}

int WINAPI ApplyColorScheme(HWND window, int arg, DWORD)
{
    char className[64];
    if (!window || !GetClassNameA(window, className, sizeof(className)))
        return 0;
    if (lstrcmpiA(className, "SysTabControl32") == 0)
        return g_pfnApplyTabControlScheme ? g_pfnApplyTabControlScheme(window, g_Scheme.tabControlFile, arg) : 0;
    if (lstrcmpiA(className, "ExplorerBar") == 0)
        return static_cast<int>(SendMessageW(window, kExplorerBarApplyScheme, 0, 0));
    return 0;
}

extern "C" int WINAPI ISApplyColorScheme(HWND window, int arg, DWORD unused)
{
    return ApplyColorScheme(window, arg, unused);
}

int WINAPI glzDrawBackground(HWND window, HDC dc, const RECT* area, const wchar_t* kind)
{
    RECT reference = {};
    GetClientRect(window, &reference);
    RECT paint = area ? *area : reference;
    if (kind && lstrcmpiW(kind, L"FrameWindow") == 0) {
        FillGradientLines(dc, &g_Scheme.frameWindowBackground, &paint, &reference);
        return 1;
    }
    if (g_Scheme.viewWindowStyle & kStyleTransparent)
        return DrawParentBackground(window, dc, &paint, 0);
    FillGradientLines(dc, &g_Scheme.viewWindowBackground, &paint, &reference);
    return 1;
}

int WINAPI glzDrawBackground(HWND window, HDC dc, const RECT* area, const unsigned short* kind)
{
    return glzDrawBackground(window, dc, area, reinterpret_cast<const wchar_t*>(kind));
}

void WINAPI FillBackground(HWND sizeWindow, HDC dc, HWND target, const char* kind)
{
    RECT rect = {};
    GetClientRect(sizeWindow, &rect);
    CWideString wideKind(kind);
    glzDrawBackground(target, dc, &rect, kind ? wideKind.Get() : static_cast<const wchar_t*>(nullptr));
}

extern "C" void WINAPI ISFillBackground(HWND sizeWindow, HDC dc, HWND target, const char* kind)
{
    FillBackground(sizeWindow, dc, target, kind);
}

int WINAPI DrawParentBackground(HWND child, HDC dc, const RECT* area, UINT flags)
{
    if (!(GetWindowLongW(child, GWL_STYLE) & WS_CHILD))
        return 0;
    HWND parent = GetAncestor(child, GA_PARENT);
    if (!parent)
        return 0;
    POINT origin = {0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    RECT shifted = area ? *area : RECT{};
    OffsetRect(&shifted, origin.x, origin.y);
    POINT previous = {};
    OffsetWindowOrgEx(dc, origin.x, origin.y, &previous);

    int result = static_cast<int>(SendMessageW(parent, WM_GLZ_DRAWBKGND, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(&shifted)));
    if (!result) {
        result = DrawParentBackground(parent, dc, &shifted, 1);
        if (!result && !(flags & 1))
            result = static_cast<int>(SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    }
    SetWindowOrgEx(dc, previous.x, previous.y, nullptr);
    SelectClipRgn(dc, nullptr);
    return result;
}
