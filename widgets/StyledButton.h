#pragma once
#include "framework/WindowImpl.h"
#include "widgets/TransparentControl.h"

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

namespace Gdiplus { class Image; }

// Result codes of CStyledButton's setters.
enum StyledButtonResult : DWORD
{
    kStyledButtonOk = 0,
    kStyledButtonLoadFailed = 1,       // an image or resource could not be loaded or measured
    kStyledButtonMaskFailed = 2,       // a mask could not be built
    kStyledButtonBadColorIndex = 3,
    kStyledButtonBadColorOffset = 5,
    kStyledButtonBadPressedStyle = 6,
};

// An owner-drawn push button, check box or radio button: icons, masked bitmaps or a GDI+ image
// strip, six colours, themed or classic drawing, hover, hand cursor, tooltip, URL, drop-down menu,
// sounds, check-box behaviour and auto-repeat. Attach it to a dialog's button with SubclassWindow;
// the parent must reflect notifications (REFLECT_NOTIFICATIONS) so that drawing and clicks reach it.
class CStyledButton : public CWindowImpl<CStyledButton>, public CTransparentControl<CStyledButton>
{
public:
    DECLARE_WND_SUPERCLASS(L"LyrantStyledButton", L"BUTTON")

    // Colour slots: (background, text) when hovered or pressed, normal, and a third pair.
    enum ColorIndex : BYTE { kBackgroundActive = 0, kTextActive = 1, kBackgroundNormal = 2, kTextNormal = 3,
                             kBackgroundThird = 4, kTextThird = 5, kColorCount = 6 };
    // Image against caption: image left, image on top, image right, image under the caption.
    enum Align : BYTE { kAlignLeft = 0, kAlignTop = 1, kAlignRight = 2, kAlignOver = 3 };
    // Drawing flags.
    enum : BYTE { kShiftPressedImage = 1, kThemed = 2, kToolbarTheme = 4 };
    // "Out" arguments that ask for a copy of "in".
    static HICON GreyIcon() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(-2)); }
    static HICON DarkerIcon() { return reinterpret_cast<HICON>(static_cast<INT_PTR>(-3)); }
    static HBITMAP GreyBitmap() { return reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-2)); }
    static HBITMAP DarkerBitmap() { return reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-3)); }
    static constexpr int kKindUnattached = 15;
    static constexpr UINT_PTR kRepaintTimer = 5;
    static constexpr UINT_PTR kAutoRepeatTimer = 6;
    static constexpr int kDropDownWidth = 20;
    static constexpr int kTextChars = 260;

    CStyledButton();
    ~CStyledButton() override;

    // Attaches to a button: remembers its kind, opens the theme, adds owner-draw.
    BOOL SubclassWindow(HWND hWnd);
    // Creates a button of its own (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style).
    HWND Create(HWND parent, const RECT& rect, const wchar_t* text, UINT id, DWORD style = 0);

    // Icons: out may be another icon, GreyIcon(), DarkerIcon() or null. The button owns them.
    DWORD SetIcon(HICON in, HICON out);
    // Icon ids (16 x 16) from module, or from the resource module when null; out: an id, -2, -3 or 0.
    DWORD SetIconFromResource(int in, int out, HMODULE module = nullptr);
    DWORD SetIconFromImageList(HIMAGELIST list, int in, int out);
    // Bitmaps with the colour that is transparent; out: a bitmap, GreyBitmap(), DarkerBitmap() or null.
    DWORD SetBitmaps(HBITMAP in, COLORREF maskIn, HBITMAP out, COLORREF maskOut);
    DWORD SetBitmapsFromResource(int in, COLORREF maskIn, int out, COLORREF maskOut, HMODULE module = nullptr);
    // A GDI+ image strip, one frame per state (normal, hot, pressed, disabled); the button owns it.
    DWORD SetImage(Gdiplus::Image* image, int frames);
    // A four-frame state image drawn as the background, with alpha below 255 see-through; the
    // button owns it.
    DWORD SetBkImage(Gdiplus::Image* image, BYTE alpha = 255);

    DWORD SetColor(BYTE index, COLORREF color, bool repaint = true);
    DWORD GetColor(BYTE index, COLORREF* color) const;
    DWORD SetDefaultColors(bool repaint = true);
    DWORD OffsetColor(BYTE index, int offset, bool repaint = true);

    DWORD SetFlat(bool flat, bool repaint = true);
    DWORD DrawBorder(bool draw, bool repaint = true);
    DWORD DrawTransparent(bool transparent, bool repaint = true);
    DWORD SetTextAlign(BYTE align, bool repaint = true);
    DWORD SetAlign(BYTE align, bool repaint = true);
    DWORD SetPressedStyle(BYTE style, bool repaint = true);
    DWORD SetCheck(int check, bool repaint = true);
    DWORD SetAutoRepeat(bool repeat, DWORD delayMs = 100);
    DWORD UseToolbarTheme(bool toolbar);
    DWORD SizeToContent();

    DWORD SetURL(const wchar_t* url);
    DWORD SetCursorFromResource(int id, HMODULE module = nullptr);
    DWORD EnableBalloonTooltip();
    // text: a string or a string id (from the resource module).
    DWORD SetTooltipText(const wchar_t* text, bool activate = true);
    DWORD ActivateTooltip(bool activate);
    // The drop-down menu (its first submenu is tracked on click); the caller keeps it.
    DWORD SetMenu(HMENU menu, bool repaint = true);
    // Sent to `window` just before the menu is tracked: message (wParam = the submenu, lParam = param).
    DWORD SetMenuCallback(HWND window, UINT message, LPARAM param);
    // name: a file name or a WAVE resource id (in module); null clears. click: click sound, else hover.
    DWORD SetSound(const wchar_t* name, HMODULE module, bool click);

    BYTE GetAlign() const { return m_align; }
    int GetCheck() const { return m_checked; }
    bool GetDefault() const { return m_default; }
    bool GetFlat() const { return m_flat; }
    UINT GetTextAlign() const { return m_textAlign; }
    int GetKind() const { return m_kind; }
    bool IsCheckBoxMode() const { return m_checkBox; }
    bool IsPushLike() const { return m_pushLike; }
    bool IsHovered() const { return m_hover; }
    HTHEME GetTheme() const { return m_theme; }

    BEGIN_MSG_MAP(CStyledButton)
        MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
        REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnClicked)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MBUTTONDBLCLK, OnMouseMessage)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivateOrEnable)
        MESSAGE_HANDLER(WM_ENABLE, OnActivateOrEnable)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(BM_SETSTYLE, OnSetStyle)
        MESSAGE_HANDLER(BM_GETCHECK, OnGetCheck)
        MESSAGE_HANDLER(BM_SETCHECK, OnSetCheck)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        CHAIN_MSG_MAP(CTransparentControl<CStyledButton>)
    END_MSG_MAP()

    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnActivateOrEnable(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnSetStyle(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetCheck(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCheck(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled);

protected:
    virtual void OnDrawBackground(HDC dc, const RECT& rect);
    virtual void OnDrawBorder(HDC dc, const RECT& rect);
    virtual void DrawButtonIcon(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                const RECT& caption, bool hasCaption, RECT* textRect);
    virtual void DrawButtonBitmap(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                  const RECT& caption, bool hasCaption, RECT* textRect);
    virtual void DrawButtonImage(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                 const RECT& caption, bool hasCaption, RECT* textRect);

private:
    struct ImageSlot { HICON icon = nullptr; HBITMAP bitmap = nullptr; HBITMAP mask = nullptr; int width = 0; int height = 0; };
    struct Sound { wchar_t name[kTextChars] = {}; UINT id = 0; HMODULE module = nullptr; };

    void ReadKind();
    void OpenTheme();
    void CloseTheme();
    void FreeImages();
    void Repaint(bool invalidate = true);
    // Where an image of this size goes, and what is left for the caption.
    POINT PlaceImage(int width, int height, bool pressed, const RECT& content, bool hasCaption, RECT* textRect) const;
    bool ShowsActiveImage(bool hot, bool pressed) const;
    void DrawThemedMark(HDC dc, const RECT& rect, bool hot, bool pressed, bool disabled, RECT* textRect);
    void DrawClassicBorder(HDC dc, const RECT& rect, bool pressed, bool hot);
    void DrawCaption(HDC dc, const RECT& textRect, bool active, bool disabled);
    void DrawBackgroundImage(HDC dc, const RECT& rect, int state);
    void PlaySoundOf(const Sound& sound);
    void TrackMenu();

    COLORREF m_colors[kColorCount];
    ImageSlot m_in;
    ImageSlot m_out;
    Gdiplus::Image* m_image = nullptr;
    int m_imageFrames = 0;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    Gdiplus::Image* m_bkImage = nullptr;
    BYTE m_bkAlpha = 255;

    int m_kind = kKindUnattached;
    bool m_checkBox = false;
    bool m_pushLike = false;
    bool m_default = false;
    int m_checked = 0;
    bool m_flat = true;
    bool m_drawBorder = true;
    bool m_transparent = false;
    POINT m_pressedOffset = {1, 1};
    POINT m_margin = {3, 3};
    int m_extraOffset = 0;
    BYTE m_align = kAlignLeft;
    UINT m_textAlign = DT_CENTER;
    BYTE m_drawFlags = kShiftPressedImage | kThemed | kToolbarTheme;

    HTHEME m_theme = nullptr;
    bool m_hover = false;
    bool m_dropDownHover = false;
    bool m_drawingPressed = false;   // the state of the drawing in progress, for the overridables
    HCURSOR m_cursor = nullptr;
    bool m_ownCursor = false;
    bool m_autoRepeat = false;
    DWORD m_repeatDelay = 100;

    HWND m_tooltip = nullptr;
    DWORD m_tooltipStyle = TTS_ALWAYSTIP | TTS_NOPREFIX;
    wchar_t m_url[kTextChars] = {};
    HMENU m_menu = nullptr;
    bool m_menuShowing = false;
    HWND m_menuCallbackWindow = nullptr;
    UINT m_menuCallbackMessage = 0;
    LPARAM m_menuCallbackParam = 0;
    Sound m_hoverSound;
    Sound m_clickSound;
};
