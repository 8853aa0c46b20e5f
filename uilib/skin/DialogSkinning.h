#pragma once
#include <windows.h>

#include "uilib/skin/TarnUIApi.h"

// Global dialog skinning: every dialog of the process painted in the colour scheme, its standard
// controls drawn over that background (ClassReplacements.h), some imported calls of other modules
// answered by the library (HookEngine.h).

// Per-dialog record, kept in the window property named by g_atomGlobalSubclassData. Its layout is
// shared with client code: a dialog answers kMsgQuerySkinning by writing 0 to `enabled`.
#pragma pack(push, 1)
struct DialogSkinRecord {
    BYTE enabled;
    BYTE unused1[3];
    RECT imageArea;  // where the background image goes; empty = none
    BYTE sizing;
    BYTE erased;     // set at the first background erase
    BYTE unused2[2];
};
#pragma pack(pop)
static_assert(sizeof(DialogSkinRecord) == 24, "the record's layout is shared with client code");

// Trackbar record, same property name, on each trackbar. The erased DC limits the skip to the
// DC the erase already painted: a trackbar that paints through its own buffer needs it again.
struct TrackbarSkinRecord {
    BYTE erasedBefore;
    BYTE skipBackground;
    HDC erasedDc;
};

constexpr UINT kMsgQuerySkinning = 0x8294;    // lParam: DialogSkinRecord*
constexpr UINT kMsgSetImageArea = 0x8293;     // lParam: const RECT*
constexpr UINT kMsgOwnBackground = 0x82BD;    // a control answering kPaintsOwnBackground paints its own
constexpr LRESULT kPaintsOwnBackground = 0x4D544850;

// The record of a dialog, or null.
DialogSkinRecord* DialogRecordOf(HWND dialog);
// True when window is a dialog whose record has `enabled` set.
bool IsSkinnedDialog(HWND window);
// The scheme's dialog gradient over the control's client area, measured over the root ancestor's
// client rectangle so that it runs on seamlessly across controls.
void PaintDialogBackgroundInto(HWND control, HDC dc);

// The skinned frame of a captioned top-level dialog (SetWindowSkin) and its border sizes (left,
// top, right, bottom; those of the frame attached to the dialog). Replaceable for tests.
extern int (WINAPI *g_pfnSetDialogFrameSkin)(HWND dialog, const wchar_t* path);
extern bool (*g_pfnGetFrameBorders)(HWND dialog, RECT* borders);

// Writes this executable's first file-dialog size record when the list has none (Windows 6.0
// does the seeding; tests call it directly). The key is under the current user.
void SeedFileDialogSize(const wchar_t* exeFileName, int width, int height);

TARNUI_API void WINAPI GlobalSubclassDialog(void);
extern "C" TARNUI_API void WINAPI ISGlobalSubclassDialog(void);
