// The skin-frame exports: thin forwards to the window's frame, found by its property.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "uilib/skin/LibraryEntry.h"
#include "uilib/skin/ShadowSettingsIds.h"
#include "uilib/skin/SkinBtnBase.h"
#include "uilib/skin/SkinFrame.h"
#include "uilib/skin/SkinFrameApi.h"
#include "uilib/skin/SkinTxt.h"
#include "uilib/skin/SkinTxtBtn.h"
#include "uilib/skin/TextConvert.h"
#include "uilib/skin/TextCopy.h"

using namespace FWSkin;

namespace {

constexpr UINT kKeepSkinningQuery = 0x8294;

inline const wchar_t* W(const unsigned short* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* W(unsigned short* text)
{
    return reinterpret_cast<wchar_t*>(text);
}

CSkinFrame* Frame(HWND window)
{
    return CSkinFrame::FromWindow(window);
}

void InvalidateElement(CSkinFrame* frame, CSkinBase* element)
{
    RECT r = element->WindowRect();
    frame->Invalidate(&r);
}

int Clamp(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

int AddChildOf(HWND window, const char* section, UINT id, const wchar_t* text)
{
    CSkinFrame* frame = Frame(window);
    if (!frame || !frame->AddChild(section, static_cast<int>(id), true, text))
        return 0;
    InvalidateElement(frame, frame->Element(frame->ElementCount() - 1));
    return 1;
}

int SetTextOf(HWND window, UINT id, const wchar_t* text)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    if (!element)
        return 0;
    if (auto* label = dynamic_cast<CSkinTxt*>(element)) {
        label->SetText(text);
    } else if (auto* button = dynamic_cast<CSkinTxtBtn*>(element)) {
        InvalidateElement(frame, button);
        button->SetCaption(text);  // re-centred, the button keeps its size
    } else {
        return 0;
    }
    InvalidateElement(frame, element);
    return 1;
}

// The text of a text or HTML element, or a text button's caption; null for other kinds.
const wchar_t* TextOf(HWND window, UINT id)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    if (auto* label = dynamic_cast<CSkinTxt*>(element))
        return label->Text();
    if (auto* button = dynamic_cast<CSkinTxtBtn*>(element))
        return button->Caption();
    return nullptr;
}

int CopyNarrow(const wchar_t* text, char* buffer, int size)
{
    if (buffer && size > 0)
        buffer[0] = 0;
    if (!text || !buffer || size <= 0)
        return 0;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, size, nullptr, nullptr);
    if (bytes <= 0) {
        buffer[0] = 0;  // it did not fit with its terminator
        return 0;
    }
    return bytes - 1;
}

CSkinSbPart* PartOf(HWND window, UINT index, CSkinFrame** frameOut = nullptr)
{
    CSkinFrame* frame = Frame(window);
    CSkinSb* bar = frame ? frame->StatusBar() : nullptr;
    if (frameOut)
        *frameOut = frame;
    return bar ? bar->GetPart(static_cast<int>(index)) : nullptr;
}

int SetPartTextOf(HWND window, UINT index, const wchar_t* text)
{
    CSkinFrame* frame = nullptr;
    CSkinSbPart* part = PartOf(window, index, &frame);
    if (!part || !frame->StatusBar()->SetPartText(part, text))
        return 0;
    frame->StatusBar()->Relayout();
    InvalidateElement(frame, frame->StatusBar());
    return 1;
}

int AddPartOf(HWND window, UINT id, int width, const wchar_t* text, const char* textSection,
              const char* imageSection)
{
    CSkinFrame* frame = Frame(window);
    CSkinSb* bar = frame ? frame->StatusBar() : nullptr;
    if (!bar)
        return -1;
    int index = bar->AddPart(frame->Reader(), static_cast<int>(id), width, text, textSection, imageSection);
    if (index >= 0)
        InvalidateElement(frame, bar);
    return index;
}

int SetElementTip(HWND window, UINT id, const wchar_t* text)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    return element && element->SetToolTip(text) ? 1 : 0;
}

int GetElementTip(HWND window, UINT id, wchar_t* buffer, int size)
{
    CSkinFrame* frame = Frame(window);
    if (!frame || !buffer || !frame->FindElement(static_cast<int>(id)))
        return 0;
    return frame->GetToolTipText(static_cast<int>(id), buffer, size);
}

int SetPartTip(HWND window, UINT index, const wchar_t* text)
{
    CSkinSbPart* part = PartOf(window, index);
    return part && part->SetToolTip(text) ? 1 : 0;
}

int GetPartTip(HWND window, UINT index, wchar_t* buffer, int size)
{
    CSkinFrame* frame = nullptr;
    CSkinSbPart* part = PartOf(window, index, &frame);
    if (!part || !buffer)
        return 0;
    return frame->GetToolTipText(part->Id(), buffer, size);
}

int SetSkin(HWND window, const wchar_t* path)
{
    CSkinFrame* frame = Frame(window);
    if (!path) {
        if (!frame)
            return 0;
        frame->Attach(nullptr, true);
        frame->ReleaseSkin();
        frame->DeleteWhenIdle();
        return 1;
    }
    // A frame made for no window would never be attached, nor freed.
    if (!IsWindow(window))
        return 0;
    if (!frame)
        frame = new CSkinFrame;
    if (!frame->LoadSkin(path)) {
        frame->DeleteWhenIdle();  // detaches itself first, without redraw
        return 0;
    }
    return frame->Attach(window, true);
}

}  // namespace

// --- attach ---

TARNUI_API int WINAPI SetWindowSkin(HWND window, const wchar_t* path)
{
    return SetSkin(window, path);
}
TARNUI_API int WINAPI SetWindowSkin(HWND window, const unsigned short* path)
{
    return SetSkin(window, W(path));
}
TARNUI_API int WINAPI SetWindowSkin(HWND window, const char* path)
{
    CWideString wide(path);  // a null path is the empty one, which does not load
    return SetSkin(window, wide);
}

TARNUI_API int WINAPI SetSkinOptions(HWND window, DWORD options)
{
    CSkinFrame* frame = Frame(window);
    if (!frame)
        return 0;
    DWORD before = frame->Options();
    if (frame->LayeredBorder())
        options &= ~kOptionShadow;
    frame->SetOptions(options);
    frame->UpdateShadowWindow();
    if ((before ^ options) & (kOptionNotify | kOptionAlwaysActive | kOptionShadow))
        frame->Invalidate(nullptr);
    return 1;
}

TARNUI_API DWORD WINAPI GetSkinOptions(HWND window)
{
    CSkinFrame* frame = Frame(window);
    return frame ? frame->Options() : 0;
}

TARNUI_API int WINAPI GetSkinRect(HWND window, UINT id, RECT* out)
{
    CSkinFrame* frame = Frame(window);
    if (!frame || !out)
        return 0;
    int signedId = static_cast<int>(id);
    if (CSkinLayout* layout = frame->CurrentLayout()) {
        if (CSkinImg* part = layout->PartById(signedId)) {
            *out = part->WindowRect();
            return 1;
        }
        if (CSkinImgStrech* piece = layout->InnerPieceById(signedId)) {
            *out = piece->WindowRect();  // client coordinates
            return 1;
        }
    }
    if (CSkinBase* element = frame->FindElement(signedId)) {
        *out = element->WindowRect();
        return 1;
    }
    return 0;
}

TARNUI_API int WINAPI SetSkinRect(HWND window, UINT id, const RECT* rect, int redraw)
{
    CSkinFrame* frame = Frame(window);
    if (!frame || !rect || rect->right < rect->left || rect->bottom < rect->top)
        return 0;
    int signedId = static_cast<int>(id);
    RECT xywh = {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
    CSkinLayout* layout = frame->CurrentLayout();
    if (CSkinImg* part = layout ? layout->PartById(signedId) : nullptr) {
        RECT old = part->WindowRect();
        if (!EqualRect(&old, rect))
            frame->ReplacePartRect(part, xywh, redraw != 0);
        return 1;
    }
    if (CSkinImgStrech* piece = layout ? layout->InnerPieceById(signedId) : nullptr) {
        RECT old = piece->WindowRect(), both;
        piece->SetRect(xywh);
        if (redraw) {
            layout->PlaceInnerPieces();
            RECT fresh = piece->WindowRect();
            UnionRect(&both, &old, &fresh);
            InvalidateRect(window, &both, TRUE);
        }
        return 1;
    }
    if (CSkinBase* element = frame->FindElement(signedId)) {
        RECT old = element->WindowRect();
        element->SetRect(xywh);
        if (redraw) {
            frame->Invalidate(&old);
            frame->Invalidate(rect);
        }
        return 1;
    }
    return 0;
}

// --- elements ---

#define TARNUI_ADD_CHILD(name)                                                                       \
    TARNUI_API int WINAPI name(HWND window, const char* section, UINT id, const wchar_t* text)       \
    {                                                                                               \
        return AddChildOf(window, section, id, text);                                               \
    }                                                                                               \
    TARNUI_API int WINAPI name(HWND window, const char* section, UINT id, const unsigned short* text) \
    {                                                                                               \
        return AddChildOf(window, section, id, W(text));                                            \
    }                                                                                               \
    TARNUI_API int WINAPI name(HWND window, const char* section, UINT id, const char* text)          \
    {                                                                                               \
        CWideString wide(text);                                                                     \
        return AddChildOf(window, section, id, wide);                                               \
    }
TARNUI_ADD_CHILD(AddSkinChild)
TARNUI_ADD_CHILD(AddSkinButton)
TARNUI_ADD_CHILD(AddSkinText)

namespace {

int ShowChild(HWND window, UINT id, BOOL show)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    if (!element)
        return 0;
    if (element->HasStyle(kStyleHidden) == !show)
        return 1;
    if (show)
        element->RemoveStyle(kStyleHidden);
    else
        element->AddStyle(kStyleHidden);
    InvalidateElement(frame, element);
    return 1;
}

int IsVisible(HWND window, UINT id)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    return element && !element->HasStyle(kStyleHidden) ? 1 : 0;
}

CSkinBtnBase* ButtonOf(HWND window, UINT id)
{
    CSkinFrame* frame = Frame(window);
    if (!frame)
        return nullptr;
    for (int i = 0; i < frame->ElementCount(); ++i) {
        auto* button = dynamic_cast<CSkinBtnBase*>(frame->Element(i));
        if (button && button->Id() == static_cast<int>(id))
            return button;
    }
    return nullptr;
}

}  // namespace

TARNUI_API int WINAPI ShowSkinChild(HWND window, UINT id, BOOL show)
{
    return ShowChild(window, id, show);
}
TARNUI_API int WINAPI ShowSkinButton(HWND window, UINT id, BOOL show)
{
    return ShowChild(window, id, show);
}
TARNUI_API int WINAPI IsSkinChildVisible(HWND window, UINT id)
{
    return IsVisible(window, id);
}
TARNUI_API int WINAPI IsSkinButtonVisible(HWND window, UINT id)
{
    return IsVisible(window, id);
}

TARNUI_API int WINAPI EnableSkinButton(HWND window, UINT id, BOOL enable)
{
    CSkinBtnBase* button = ButtonOf(window, id);
    if (!button)
        return 0;
    if (button->HasState(kStateDisabled) == !enable)
        return 1;
    if (enable)
        button->RemoveState(kStateDisabled);
    else
        button->AddState(kStateDisabled);
    InvalidateElement(Frame(window), button);
    return 1;
}

TARNUI_API int WINAPI IsSkinButtonEnabled(HWND window, UINT id)
{
    CSkinBtnBase* button = ButtonOf(window, id);
    return button && !button->HasState(kStateDisabled) ? 1 : 0;
}

#define TARNUI_SET_TEXT(name)                                                         \
    TARNUI_API int WINAPI name(HWND window, UINT id, const wchar_t* text)             \
    {                                                                                \
        return SetTextOf(window, id, text);                                          \
    }                                                                                \
    TARNUI_API int WINAPI name(HWND window, UINT id, const unsigned short* text)      \
    {                                                                                \
        return SetTextOf(window, id, W(text));                                       \
    }                                                                                \
    TARNUI_API int WINAPI name(HWND window, UINT id, const char* text)               \
    {                                                                                \
        CWideString wide(text);                                                      \
        return SetTextOf(window, id, wide);                                          \
    }
TARNUI_SET_TEXT(SetSkinChildText)
TARNUI_SET_TEXT(SetSkinText)

#define TARNUI_GET_TEXT(name)                                                        \
    TARNUI_API int WINAPI name(HWND window, UINT id, wchar_t* buffer, int size)      \
    {                                                                               \
        return CopyTextOut(TextOf(window, id), buffer, size);                          \
    }                                                                               \
    TARNUI_API int WINAPI name(HWND window, UINT id, unsigned short* buffer, int size) \
    {                                                                               \
        return CopyTextOut(TextOf(window, id), W(buffer), size);                       \
    }                                                                               \
    TARNUI_API int WINAPI name(HWND window, UINT id, char* buffer, int size)         \
    {                                                                               \
        return CopyNarrow(TextOf(window, id), buffer, size);                        \
    }
TARNUI_GET_TEXT(GetSkinChildText)
TARNUI_GET_TEXT(GetSkinText)

TARNUI_API HBITMAP WINAPI GetSkinChildBitmap(HWND window, UINT id, DWORD)
{
    CSkinFrame* frame = Frame(window);
    CSkinBase* element = frame ? frame->FindElement(static_cast<int>(id)) : nullptr;
    if (!element || element->Rect().right <= 0 || element->Rect().bottom <= 0)
        return nullptr;
    RECT r = element->WindowRect();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = r.right - r.left;
    info.bmiHeader.biHeight = r.bottom - r.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetWindowOrgEx(memory, r.left, r.top, nullptr);
    RECT whole;
    GetWindowRect(window, &whole);
    OffsetRect(&whole, -whole.left, -whole.top);
    frame->DrawBackground(memory, &whole);
    element->Draw(memory, false);
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}

TARNUI_API int WINAPI SetSkinChildToolTip(HWND window, UINT id, const wchar_t* text)
{
    return SetElementTip(window, id, text);
}
TARNUI_API int WINAPI SetSkinChildToolTip(HWND window, UINT id, const unsigned short* text)
{
    return SetElementTip(window, id, W(text));
}
TARNUI_API int WINAPI GetSkinChildToolTip(HWND window, UINT id, wchar_t* buffer, int size)
{
    return GetElementTip(window, id, buffer, size);
}
TARNUI_API int WINAPI GetSkinChildToolTip(HWND window, UINT id, unsigned short* buffer, int size)
{
    return GetElementTip(window, id, W(buffer), size);
}

// --- status bar ---

TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const wchar_t* text, const char* textSection,
                                    const char* imageSection)
{
    return AddPartOf(window, id, width, text, textSection, imageSection);
}
TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const unsigned short* text,
                                    const char* textSection, const char* imageSection)
{
    return AddPartOf(window, id, width, W(text), textSection, imageSection);
}
TARNUI_API int WINAPI AddSkinSbPart(HWND window, UINT id, int width, const char* text, const char* textSection,
                                    const char* imageSection)
{
    CWideString wide(text);
    return AddPartOf(window, id, width, wide, textSection, imageSection);
}

TARNUI_API int WINAPI GetSkinSbPartIndex(HWND window, UINT id)
{
    CSkinFrame* frame = Frame(window);
    CSkinSb* bar = frame ? frame->StatusBar() : nullptr;
    return bar ? bar->FindPart(static_cast<int>(id)) : -1;
}

TARNUI_API int WINAPI RemoveSkinSbPart(HWND window, UINT index)
{
    CSkinFrame* frame = Frame(window);
    CSkinSb* bar = frame ? frame->StatusBar() : nullptr;
    if (!bar || !bar->RemovePart(static_cast<int>(index)))
        return 0;
    InvalidateElement(frame, bar);
    return 1;
}

TARNUI_API int WINAPI GetSkinSbPartCount(HWND window)
{
    CSkinFrame* frame = Frame(window);
    CSkinSb* bar = frame ? frame->StatusBar() : nullptr;
    return bar ? bar->PartCount() : 0;
}

TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const wchar_t* text)
{
    return SetPartTextOf(window, index, text);
}
TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const unsigned short* text)
{
    return SetPartTextOf(window, index, W(text));
}
TARNUI_API int WINAPI SetSkinSbPartText(HWND window, UINT index, const char* text)
{
    CWideString wide(text);
    return SetPartTextOf(window, index, wide);
}

TARNUI_API int WINAPI GetSkinSbPartText(HWND window, UINT index, wchar_t* buffer, int size)
{
    CSkinSbPart* part = PartOf(window, index);
    return part ? CSkinSb::GetPartText(part, buffer, size) : 0;
}
TARNUI_API int WINAPI GetSkinSbPartText(HWND window, UINT index, unsigned short* buffer, int size)
{
    return GetSkinSbPartText(window, index, W(buffer), size);
}

TARNUI_API int WINAPI SetSkinSbPartImage(HWND window, UINT index, const char* section)
{
    CSkinFrame* frame = nullptr;
    CSkinSbPart* part = PartOf(window, index, &frame);
    if (!part || !frame->StatusBar()->SetPartImage(part, frame->Reader(), section))
        return 0;
    frame->StatusBar()->Relayout();
    InvalidateElement(frame, frame->StatusBar());
    return 1;
}

TARNUI_API int WINAPI GetSkinSbPartImage(HWND window, UINT index, char* buffer, int size)
{
    return CSkinSb::GetPartImage(PartOf(window, index), buffer, size);
}

TARNUI_API int WINAPI SetSkinSbPartToolTip(HWND window, UINT index, const wchar_t* text)
{
    return SetPartTip(window, index, text);
}
TARNUI_API int WINAPI SetSkinSbPartToolTip(HWND window, UINT index, const unsigned short* text)
{
    return SetPartTip(window, index, W(text));
}
TARNUI_API int WINAPI GetSkinSbPartToolTip(HWND window, UINT index, wchar_t* buffer, int size)
{
    return GetPartTip(window, index, buffer, size);
}
TARNUI_API int WINAPI GetSkinSbPartToolTip(HWND window, UINT index, unsigned short* buffer, int size)
{
    return GetPartTip(window, index, W(buffer), size);
}

// --- shadow ---

TARNUI_API int WINAPI SetSkinShadowParameters(HWND window, int darkness, int sharpness, int size, int xOffset,
                                              int yOffset, COLORREF color)
{
    CSkinFrame* frame = Frame(window);
    if (!frame)
        return 0;
    ShadowParameters shadow;
    shadow.darkness = Clamp(darkness, 0, 255);
    shadow.sharpness = Clamp(sharpness, 0, 20);
    shadow.size = Clamp(size, -20, 20);
    shadow.xOffset = Clamp(xOffset, -20, 20);
    shadow.yOffset = Clamp(yOffset, -20, 20);
    shadow.color = color;
    frame->SetShadow(shadow);
    if (frame->Options() & kOptionShadow)
        frame->UpdateShadowWindow();
    return 1;
}

TARNUI_API int WINAPI GetSkinShadowParameters(HWND window, int* darkness, int* sharpness, int* size, int* xOffset,
                                              int* yOffset, COLORREF* color)
{
    CSkinFrame* frame = Frame(window);
    if (!frame)
        return 0;
    const ShadowParameters& s = frame->Shadow();
    if (darkness)
        *darkness = s.darkness;
    if (sharpness)
        *sharpness = s.sharpness;
    if (size)
        *size = s.size;
    if (xOffset)
        *xOffset = s.xOffset;
    if (yOffset)
        *yOffset = s.yOffset;
    if (color)
        *color = s.color;
    return 1;
}

namespace {

struct Slider {
    int id, low, high;
};
const Slider kSliders[] = {
    {IDC_SHADOW_SIZE, -20, 20},     {IDC_SHADOW_OFFSET_X, -20, 20}, {IDC_SHADOW_OFFSET_Y, -20, 20},
    {IDC_SHADOW_SHARPNESS, 0, 20},  {IDC_SHADOW_DARKNESS, 0, 255},  {IDC_SHADOW_RED, 0, 255},
    {IDC_SHADOW_GREEN, 0, 255},     {IDC_SHADOW_BLUE, 0, 255},
};

int Position(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

INT_PTR CALLBACK ShadowDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        HWND skinned = *reinterpret_cast<HWND*>(lParam);
        int values[8] = {};
        COLORREF color = 0;
        GetSkinShadowParameters(skinned, &values[4], &values[3], &values[0], &values[1], &values[2], &color);
        values[5] = GetRValue(color), values[6] = GetGValue(color), values[7] = GetBValue(color);
        for (int i = 0; i < 8; ++i) {
            SendDlgItemMessageW(dialog, kSliders[i].id, TBM_SETRANGEMIN, FALSE, kSliders[i].low);
            SendDlgItemMessageW(dialog, kSliders[i].id, TBM_SETRANGEMAX, FALSE, kSliders[i].high);
            SendDlgItemMessageW(dialog, kSliders[i].id, TBM_SETPOS, TRUE, values[i]);
        }
        return TRUE;
    }
    case WM_HSCROLL: {
        auto* block = reinterpret_cast<HWND*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
        if (!block)
            return FALSE;
        COLORREF color = RGB(Position(dialog, IDC_SHADOW_RED), Position(dialog, IDC_SHADOW_GREEN),
                             Position(dialog, IDC_SHADOW_BLUE));
        SetSkinShadowParameters(*block, Position(dialog, IDC_SHADOW_DARKNESS), Position(dialog, IDC_SHADOW_SHARPNESS),
                                Position(dialog, IDC_SHADOW_SIZE), Position(dialog, IDC_SHADOW_OFFSET_X),
                                Position(dialog, IDC_SHADOW_OFFSET_Y), color);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            // A modeless dialog: ended by destroying it, or every call would leave one behind.
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        LocalFree(reinterpret_cast<HLOCAL>(GetWindowLongPtrW(dialog, GWLP_USERDATA)));
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
        return FALSE;
    case kKeepSkinningQuery:
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = 0;  // this dialog keeps the system's frame
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

TARNUI_API HWND WINAPI SkinShadowSettingsDlg(HWND window)
{
    CSkinFrame* frame = Frame(window);
    if (!frame)
        return nullptr;
    SetSkinOptions(window, frame->Options() | kOptionShadow);
    auto* block = static_cast<HWND*>(LocalAlloc(LMEM_FIXED, sizeof(HWND)));
    if (!block)
        return nullptr;
    *block = window;
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    HWND dialog = CreateDialogParamA(GetLibraryModule(), MAKEINTRESOURCEA(IDD_SHADOW_SETTINGS), window,
                                     ShadowDialogProc, reinterpret_cast<LPARAM>(block));
    if (!dialog)
        LocalFree(block);
    return dialog;
}
