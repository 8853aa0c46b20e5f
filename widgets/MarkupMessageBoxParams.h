#pragma once
#include <windows.h>

#include <map>

// The markup message box's parameter record and its entry points. A text reference is either a
// pointer to a zero-terminated wide string or a string-resource id (high 16 bits zero), loaded from
// the record's string module.

// Button id (or one of the two further caption keys below) to a text reference, overriding captions.
typedef std::map<UINT, const wchar_t*> MarkupCaptionMap;

// Background and separator of one area of the box.
struct MarkupMessageBoxArea
{
    int separatorStyle;           // 0 none, 1 etched, 2 black line, 3 white line, other: caption only
    int separatorAlignment;       // caption: 0 left, 1 right, 2 centred
    const wchar_t* separatorCaption;
    int effect;                   // CDrawManager::FillEffect number; negative: no fill of its own
    COLORREF beginColor;
    COLORREF midColor;
    COLORREF endColor;
};

// Fifty 32-bit fields in the 32-bit build (200 bytes); pointers and handles grow in the 64-bit one.
struct MarkupMessageBoxParams
{
    HWND owner;
    HINSTANCE stringModule;
    HINSTANCE iconModule;
    const wchar_t* caption;
    const wchar_t* memoryName;      // prefix of the remembered answer's value name; empty: no memory
    const wchar_t* memoryCompany;   // optional key level above the program's name
    int messageId;                  // appended to the memory name
    UINT reportMessage;             // sent to the owner by Report; 0: no Report button
    MarkupMessageBoxArea background;
    int headerHeight;               // minimum header height; 0: no header
    const wchar_t* headerText;
    MarkupMessageBoxArea header;
    const wchar_t* message;
    int buttonAlignment;            // 0 left, 1 right, other centred
    UINT style;
    MarkupMessageBoxArea buttons;
    const wchar_t* footerText;      // non-empty adds More
    MarkupMessageBoxArea footer;
    int timeout;                    // seconds to the automatic click of the default button
    int disabledPeriod;             // seconds the buttons stay disabled
    int periodInCaption;            // non-zero: count the period in the title, disable all but Help
    int reserved;
    const wchar_t* userIcon;        // icon resource of the icon module, for MMB_USERICON
    const wchar_t* customButtons;   // up to four captions, one per line
    const wchar_t* checkBoxText;
    const MarkupCaptionMap* captionMap;
};

#if defined(_WIN64)
static_assert(sizeof(MarkupMessageBoxParams) == 272, "64-bit record layout");
#else
static_assert(sizeof(MarkupMessageBoxParams) == 200, "the record is fifty 32-bit fields");
#endif

// Style flags; the low sixteen bits are those of the system message box.
enum MarkupMessageBoxStyle : UINT
{
    MMB_BUTTONSETMASK = 0x0000000F,
    MMB_ICONMASK = 0x000000F0,
    MMB_USERICON = 0x00000080,
    MMB_DEFBUTTONMASK = 0x00000F00,
    MMB_HELP = 0x00004000,
    MMB_FOREGROUND = 0x00010000,
    MMB_TOPMOST = 0x00040000,
    MMB_RIGHTMESSAGE = 0x00080000,
    MMB_CHECKBOX = 0x01000000,
    MMB_CHECKED = 0x02000000,          // starts ticked; a ticked box adds this to the result
    MMB_CHECKBOXBELOW = 0x04000000,
    MMB_YESTOALL = 0x08000000,
    MMB_NOTOALL = 0x10000000,
    MMB_NORESOURCE = 0x20000000,
    MMB_NOSOUND = 0x40000000,
};

// Button ids beyond the system's IDOK..IDCONTINUE.
enum MarkupMessageBoxButton : UINT
{
    MMB_IDSKIP = 14,
    MMB_IDSKIPALL = 15,
    MMB_IDIGNOREALL = 16,
    MMB_IDYESTOALL = 19,
    MMB_IDNOTOALL = 20,
    MMB_IDREPORT = 21,
    MMB_IDCUSTOM1 = 23,                // custom buttons: 23..26
    MMB_IDLESS = 30,
    MMB_IDMORE = 31,
    MMB_CAPTION_CHECKBOX = 0x01000000, // caption key of the check box
    MMB_CAPTION_PERIOD = 0x80000000,   // caption key of the disabled period's title format
};

// Every field at its default: alignment 2, style 0x30, no fills, button-face colours.
void InitMarkupMessageBoxParams(MarkupMessageBoxParams* params);
// The defaults (or *params) with owner, message, caption and style from the arguments.
int MarkupMessageBox(HWND owner, const wchar_t* message, const wchar_t* caption, UINT style,
                     const MarkupMessageBoxParams* params);
// Shows the box: the closing button's id (with MMB_CHECKED added for a ticked box when the style
// asks for it), or a remembered answer without showing anything.
int MarkupMessageBoxIndirect(const MarkupMessageBoxParams* params);
