#include "uilib/skin/DialogSkinning.h"

#include <shlwapi.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "uilib/skin/ClassReplacements.h"
#include "uilib/skin/ColorScheme.h"
#include "uilib/skin/GradientFill.h"
#include "uilib/skin/HookEngine.h"
#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/Skin.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinFrameApi.h"

namespace {

// The border sizes of the skinned frame the dialog got (left, top, right, bottom).
bool FrameBorders(HWND dialog, RECT* borders)
{
    FWSkin::CSkinFrame* frame = FWSkin::CSkinFrame::FromWindow(dialog);
    FWSkin::CSkinLayout* layout = frame ? frame->CurrentLayout() : nullptr;
    if (!layout)
        return false;
    *borders = RECT{layout->BorderLeft(), layout->BorderTop(), layout->BorderRight(), layout->BorderBottom()};
    return true;
}

}  // namespace

int (WINAPI *g_pfnSetDialogFrameSkin)(HWND, const wchar_t*) =
    static_cast<int(WINAPI*)(HWND, const wchar_t*)>(SetWindowSkin);
bool (*g_pfnGetFrameBorders)(HWND, RECT*) = FrameBorders;

namespace {

const wchar_t kFileDialogSizeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\CIDSizeMRU";
constexpr DWORD kMruEnd = 0xFFFFFFFFu;
constexpr int kSizeRecordBytes = 592;
constexpr int kSizeRecordWidthAt = 576;
constexpr int kSizeRecordHeightAt = 580;
constexpr int kFileDialogWidth = 610;
constexpr int kFileDialogHeight = 225;

bool g_installed = false;
HWND g_framedDialog = nullptr;  // the skinned-frame dialog in its WM_INITDIALOG (one at a time)
LONG g_framedStyle = 0, g_framedExStyle = 0;  // its frame styles when the skin was attached

// The style bits that decide the system's frame; the skinned frame is the same whatever they are.
constexpr LONG kFrameStyles = WS_THICKFRAME | WS_DLGFRAME | WS_BORDER;
constexpr LONG kFrameExStyles = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

LPCWSTR PropName()
{
    return MAKEINTATOM(g_atomGlobalSubclassData);
}

bool BackgroundSet()
{
    return g_Colors.DialogBackgroundStart != kNoColor;
}

GRADIENTEX DialogGradient()
{
    return GRADIENTEX{g_Colors.DialogBackgroundStart, g_Colors.DialogBackgroundEnd, false, kNoColor, 0, kNoColor, 0};
}

LRESULT DefaultDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return IsWindowUnicode(dialog) ? DefDlgProcW(dialog, message, wParam, lParam)
                                   : DefDlgProcA(dialog, message, wParam, lParam);
}

// What the dialog's own procedure answers (brushes for WM_CTLCOLOR*); 0 when it has none.
LRESULT AskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
    if (!proc)
        return 0;
    return IsWindowUnicode(dialog) ? CallWindowProcW(proc, dialog, message, wParam, lParam)
                                   : CallWindowProcA(proc, dialog, message, wParam, lParam);
}

// A brush the dialog's procedure chose that is its own (not null, not the plain face colour).
HBRUSH OwnBrush(LRESULT answer)
{
    auto brush = reinterpret_cast<HBRUSH>(answer);
    if (!brush || brush == GetStockObject(NULL_BRUSH) || brush == GetSysColorBrush(COLOR_BTNFACE))
        return nullptr;
    return brush;
}

// The root's client rectangle in window's client coordinates.
RECT RootReference(HWND window)
{
    HWND root = GetAncestor(window, GA_ROOT);
    RECT reference;
    GetClientRect(root ? root : window, &reference);
    if (root && root != window)
        MapWindowPoints(root, window, reinterpret_cast<POINT*>(&reference), 2);
    return reference;
}

bool ClassIs(HWND window, const char* name)
{
    char cls[64];
    return GetClassNameA(window, cls, sizeof(cls)) && lstrcmpiA(cls, name) == 0;
}

LRESULT OnEraseBackground(HWND dialog, DialogSkinRecord* record, WPARAM wParam, LPARAM lParam)
{
    if (!BackgroundSet())
        return DefaultDialog(dialog, WM_ERASEBKGND, wParam, lParam);
    auto dc = reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(dialog, &client);
    if (HBRUSH own = OwnBrush(AskDialogProc(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)))) {
        FillRect(dc, &client, own);
    } else {
        LONG style = GetWindowLongW(dialog, GWL_STYLE);
        RECT reference = ((style & WS_CHILD) && (style & DS_CONTROL)) ? RootReference(dialog) : client;
        GRADIENTEX gradient = DialogGradient();
        FillGradientLines(dc, &gradient, &client, &reference);
    }
    record->erased = 1;
    if (!IsRectEmpty(&record->imageArea) && g_Scheme.dialogImageFile) {
        Glazier::CSkin image;
        if (image.Load(g_Scheme.dialogImageFile)) {
            const RECT& area = record->imageArea;
            RECT dst = {area.left, area.top, area.right - area.left, area.bottom - area.top};
            image.Draw(dc, &dst, &g_Scheme.dialogImageArea, 255);
        }
    }
    return 1;
}

LRESULT OnCtlColorStatic(HWND dialog, DialogSkinRecord* record, WPARAM wParam, LPARAM lParam)
{
    if (!BackgroundSet() || !record->erased)
        return DefaultDialog(dialog, WM_CTLCOLORSTATIC, wParam, lParam);
    auto dc = reinterpret_cast<HDC>(wParam);
    auto control = reinterpret_cast<HWND>(lParam);
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        if (GetWindowLongW(control, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))
            return DefWindowProcW(dialog, WM_CTLCOLORSTATIC, wParam, lParam);
        PaintDialogBackgroundInto(control, dc);
    } else {
        if (HBRUSH own = OwnBrush(AskDialogProc(dialog, WM_CTLCOLORSTATIC, wParam, lParam)))
            return reinterpret_cast<LRESULT>(own);
        if (IsTrackbar(control)) {
            auto* track = static_cast<TrackbarSkinRecord*>(GetPropW(control, PropName()));
            if (track && track->skipBackground && track->erasedDc == dc)
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        if (SendMessageW(control, kMsgOwnBackground, 0, 0) != kPaintsOwnBackground)
            PaintDialogBackgroundInto(control, dc);
    }
    SetBkMode(dc, TRANSPARENT);
    // A colour the scheme leaves unset keeps the DC's own.
    COLORREF text = IsWindowEnabled(control) ? g_Colors.DialogText : g_Colors.DialogGrayText;
    if (text != kNoColor)
        SetTextColor(dc, text);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

bool IsWindows51()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
}

bool ItemIs(HWND dialog, int id, const char* cls)
{
    HWND item = GetDlgItem(dialog, id);
    return item && ClassIs(item, cls);
}

// The shell's file-operation progress dialog draws its own animation and keeps the system look.
bool IsShellProgressDialog(HWND dialog)
{
    auto module = reinterpret_cast<HMODULE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    wchar_t path[MAX_PATH] = {};
    if (!module || !GetModuleFileNameW(module, path, MAX_PATH))
        return false;
    return lstrcmpiW(PathFindFileNameW(path), L"Shell32.dll") == 0 && ItemIs(dialog, 100, "SysAnimate32") &&
           ItemIs(dialog, 102, "Static") && ItemIs(dialog, 0x3000, "Button");
}

LRESULT OnInitDialog(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    auto* record = static_cast<DialogSkinRecord*>(calloc(1, sizeof(DialogSkinRecord)));
    if (!record)
        return DefaultDialog(dialog, WM_INITDIALOG, wParam, lParam);
    SetPropW(dialog, PropName(), record);
    record->enabled = 1;
    LONG style = GetWindowLongW(dialog, GWL_STYLE);
    if (style & WS_CHILD) {
        DialogSkinRecord* outer = DialogRecordOf(GetParent(dialog));
        if (!outer)
            outer = DialogRecordOf(GetAncestor(dialog, GA_ROOT));
        record->enabled = outer ? outer->enabled : 0;
    }
    DefDlgProcW(dialog, kMsgQuerySkinning, 0, reinterpret_cast<LPARAM>(record));
    if (record->enabled && IsWindows51() && IsShellProgressDialog(dialog))
        record->enabled = 0;
    if (!record->enabled)
        return DefaultDialog(dialog, WM_INITDIALOG, wParam, lParam);

    bool framed = false;
    if (!(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION && g_Scheme.dialogFrameShapeFile &&
        g_pfnSetDialogFrameSkin) {
        wchar_t path[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, g_Scheme.dialogFrameShapeFile, -1, path, MAX_PATH);
        framed = g_pfnSetDialogFrameSkin(dialog, path) != 0;
    }
    if (framed) {
        g_framedDialog = dialog;
        g_framedStyle = GetWindowLongW(dialog, GWL_STYLE) & kFrameStyles;
        g_framedExStyle = GetWindowLongW(dialog, GWL_EXSTYLE) & kFrameExStyles;
    }
    LRESULT result = DefaultDialog(dialog, WM_INITDIALOG, wParam, lParam);
    if (framed)
        g_framedDialog = nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (framed && ClassIs(child, "ScrollBar") && (GetWindowLongW(child, GWL_STYLE) & SBS_SIZEGRIP))
            ShowWindow(child, SW_HIDE);
        else if (ClassIs(child, "NativeFontCtl"))
            ShowWindow(child, SW_HIDE);
    }
    return result;
}

// A dialog that changes its frame style while it initialises, and resizes itself in the same
// step, makes room for the system frame of its new style: the resizable file dialog adds a sizing
// border and grows by the right and bottom borders AdjustWindowRectEx reports, which under the
// skin are the skin's bands it already has. The skinned frame does not change with the style, so
// the window keeps its size.
void KeepSizeThroughFrameChange(HWND dialog, WINDOWPOS* pos)
{
    if (!pos || (pos->flags & SWP_NOSIZE) || !(pos->flags & SWP_FRAMECHANGED))
        return;
    if ((GetWindowLongW(dialog, GWL_STYLE) & kFrameStyles) == g_framedStyle &&
        (GetWindowLongW(dialog, GWL_EXSTYLE) & kFrameExStyles) == g_framedExStyle)
        return;
    RECT window;
    GetWindowRect(dialog, &window);
    pos->cx = window.right - window.left;
    pos->cy = window.bottom - window.top;
}

LRESULT CALLBACK DialogClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING && dialog == g_framedDialog)
        KeepSizeThroughFrameChange(dialog, reinterpret_cast<WINDOWPOS*>(lParam));
    if (message == WM_INITDIALOG)
        return OnInitDialog(dialog, wParam, lParam);
    DialogSkinRecord* record = DialogRecordOf(dialog);
    if (record && message == WM_NCDESTROY) {
        RemovePropW(dialog, PropName());
        free(record);
        DefaultDialog(dialog, message, wParam, lParam);
        return 0;
    }
    if (record && record->enabled) {
        switch (message) {
        case WM_ERASEBKGND:
            return OnEraseBackground(dialog, record, wParam, lParam);
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(dialog, record, wParam, lParam);
        case WM_SIZING:
            record->sizing = 1;
            break;
        case WM_EXITSIZEMOVE:
            if (record->sizing) {
                record->sizing = 0;
                RedrawWindow(dialog, nullptr, nullptr, RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
            }
            DefaultDialog(dialog, message, wParam, lParam);
            return 0;
        case kMsgSetImageArea:
            if (lParam)
                record->imageArea = *reinterpret_cast<const RECT*>(lParam);
            return 0;
        }
    }
    return DefaultDialog(dialog, message, wParam, lParam);
}

// Hook replacements. The library's own calls reach the real functions (its tables are left alone).
BOOL WINAPI HookedAdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (g_framedDialog && !(style & WS_CHILD)) {
        RECT borders;
        if (!rect || !g_pfnGetFrameBorders || !g_pfnGetFrameBorders(g_framedDialog, &borders))
            return FALSE;
        rect->left -= borders.left;
        rect->top -= borders.top;
        rect->right += borders.right;
        rect->bottom += borders.bottom;
        return TRUE;
    }
    return AdjustWindowRectEx(rect, style, menu, exStyle);
}

BOOL WINAPI HookedAdjustWindowRect(RECT* rect, DWORD style, BOOL menu)
{
    return HookedAdjustWindowRectEx(rect, style, menu, 0);
}

LONG WINAPI HookedSetWindowLongA(HWND window, int index, LONG value)
{
    return IsWindowUnicode(window) ? SetWindowLongW(window, index, value) : SetWindowLongA(window, index, value);
}

#ifdef _WIN64
// A 64-bit process sets pointers through a function of its own (a 32-bit one has only SetWindowLongA).
LONG_PTR WINAPI HookedSetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    return IsWindowUnicode(window) ? SetWindowLongPtrW(window, index, value)
                                   : SetWindowLongPtrA(window, index, value);
}
#endif

// Replaces a system class's procedure through a hidden window of it; the previous one, or null.
WNDPROC ReplaceDialogClassProc()
{
    HWND sample = CreateWindowExW(0, L"#32770", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!sample)
        return nullptr;
    auto previous = reinterpret_cast<WNDPROC>(
        SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogClassProc)));
    DestroyWindow(sample);
    return previous;
}

bool IsWindows60()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

}  // namespace

DialogSkinRecord* DialogRecordOf(HWND dialog)
{
    if (!dialog || !ClassIs(dialog, "#32770"))
        return nullptr;
    return static_cast<DialogSkinRecord*>(GetPropW(dialog, PropName()));
}

bool IsSkinnedDialog(HWND window)
{
    DialogSkinRecord* record = DialogRecordOf(window);
    return record && record->enabled;
}

void PaintDialogBackgroundInto(HWND control, HDC dc)
{
    RECT client;
    GetClientRect(control, &client);
    RECT reference = RootReference(control);
    GRADIENTEX gradient = DialogGradient();
    FillGradientLines(dc, &gradient, &client, &reference);
}

void SeedFileDialogSize(const wchar_t* exeFileName, int width, int height)
{
    if (!exeFileName)
        return;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kFileDialogSizeKey, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<DWORD> list;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, L"MRUListEx", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        type == REG_BINARY && bytes >= sizeof(DWORD)) {
        list.resize(bytes / sizeof(DWORD));
        bytes = static_cast<DWORD>(list.size() * sizeof(DWORD));
        if (RegQueryValueExW(key, L"MRUListEx", nullptr, nullptr, reinterpret_cast<BYTE*>(list.data()), &bytes) !=
            ERROR_SUCCESS)
            list.clear();
    }
    // The listed indices, up to the end marker (a list without one ends where its data ends).
    size_t count = 0;
    while (count < list.size() && list[count] != kMruEnd)
        ++count;
    list.resize(count);
    for (DWORD index : list) {
        wchar_t name[16];
        _snwprintf(name, 16, L"%lu", static_cast<unsigned long>(index));
        name[15] = 0;
        std::vector<BYTE> data;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || !size) {
            RegCloseKey(key);
            return;  // an unreadable record ends the walk without writing
        }
        data.resize(size + sizeof(wchar_t), 0);  // a terminator after the data, always
        if (RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
            RegCloseKey(key);
            return;
        }
        if (lstrcmpiW(reinterpret_cast<const wchar_t*>(data.data()), exeFileName) == 0) {
            RegCloseKey(key);
            return;  // this executable has its record already
        }
    }
    BYTE record[kSizeRecordBytes] = {};
    lstrcpynW(reinterpret_cast<wchar_t*>(record), exeFileName, kSizeRecordWidthAt / sizeof(wchar_t));
    DWORD w = static_cast<DWORD>(width), h = static_cast<DWORD>(height);
    memcpy(record + kSizeRecordWidthAt, &w, sizeof(w));
    memcpy(record + kSizeRecordHeightAt, &h, sizeof(h));
    DWORD next = static_cast<DWORD>(list.size());
    wchar_t name[16];
    _snwprintf(name, 16, L"%lu", static_cast<unsigned long>(next));
    name[15] = 0;
    if (RegSetValueExW(key, name, 0, REG_BINARY, record, sizeof(record)) == ERROR_SUCCESS) {
        list.push_back(next);
        list.push_back(kMruEnd);
        RegSetValueExW(key, L"MRUListEx", 0, REG_BINARY, reinterpret_cast<const BYTE*>(list.data()),
                       static_cast<DWORD>(list.size() * sizeof(DWORD)));
    }
    RegCloseKey(key);
}

void WINAPI GlobalSubclassDialog(void)
{
    // Once per process: a second pass would keep the library's own procedures as the "previous"
    // ones and call itself for ever.
    if (g_installed)
        return;
    g_installed = true;
    // The class procedures and hooks live in this library: it stays loaded for the process, or
    // the next dialog after an unload would run code that is gone.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&DialogClassProc), &self);
    ReplaceDialogClassProc();
    if (BackgroundSet())
        InstallControlReplacements();
    if (IsWindows60()) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        SeedFileDialogSize(PathFindFileNameW(exe), kFileDialogWidth, kFileDialogHeight);
    }
    InstallLoaderHooks();
    InstallHook("User32.dll", "AdjustWindowRectEx", reinterpret_cast<void*>(&HookedAdjustWindowRectEx), true);
    InstallHook("User32.dll", "AdjustWindowRect", reinterpret_cast<void*>(&HookedAdjustWindowRect), true);
    InstallHook("User32.dll", "SetWindowLongA", reinterpret_cast<void*>(&HookedSetWindowLongA), true);
#ifdef _WIN64
    InstallHook("User32.dll", "SetWindowLongPtrA", reinterpret_cast<void*>(&HookedSetWindowLongPtrA), true);
#endif
}

extern "C" void WINAPI ISGlobalSubclassDialog(void)
{
    GlobalSubclassDialog();
}
