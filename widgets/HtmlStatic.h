#pragma once
#include "framework/WindowImpl.h"
#include "render/HtmlDrawer.h"
#include "render/MarkupString.h"

#include <windows.h>

// A static control whose text is markup drawn by its own renderer: styled text, links that open a
// URL or send a message, link tooltips, images and animated image lists, a background colour or
// effect, a frame and rounded corners. Create it, or attach it to a dialog's static with
// SubclassWindow.
class CHtmlStatic : public CWindowImpl<CHtmlStatic>
{
public:
    DECLARE_WND_SUPERCLASS(L"WTL_StaticHtml", L"STATIC")

    static constexpr UINT_PTR kAnimationTimer = 260;
    static constexpr UINT kHotLinkMessage = WM_APP + 100;
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    static constexpr int kMaxWindowText = 1024;
    static constexpr COLORREF kNoColor = 0xFFFFFFFF;
    // Alignment flags: bits 0-1 horizontal, bits 2-3 vertical; 0 in either takes the static style.
    enum : UINT { kAlignLeft = 1, kAlignRight = 2, kAlignHCenter = 3, kAlignTop = 4, kAlignBottom = 8,
                  kAlignVCenter = 12 };

    CHtmlStatic();
    ~CHtmlStatic() override;

    // style 0 means kDefaultStyle.
    HWND Create(HWND parent, const RECT& rect = kDefaultWindowRect, const wchar_t* text = nullptr,
                DWORD style = 0, DWORD exStyle = 0, UINT id = 0, void* param = nullptr);
    BOOL SubclassWindow(HWND hWnd);

    // Content.
    void SetText(const wchar_t* text);
    const CMarkupString& GetText() const { return m_text; }
    void SetHyperlink(const wchar_t* text, const wchar_t* target, BOOL sendMessage);
    // Images; mask -1 and size 0 leave those attributes out. An animation starts the timer with
    // the period; a bitmap or icon stops it.
    void SetAnimation(UINT resourceId, UINT periodMs, COLORREF mask = kNoColor, int cx = 0, int cy = 0);
    void SetAnimation(HBITMAP strip, UINT periodMs, COLORREF mask = kNoColor, int cx = 0, int cy = 0);
    void SetImageListImage(int index, UINT resourceId, COLORREF mask = kNoColor, int cx = 0, int cy = 0);
    void SetImageListImage(int index, HBITMAP strip, COLORREF mask = kNoColor, int cx = 0, int cy = 0);
    void SetBitmap(UINT resourceId, COLORREF mask = kNoColor);
    void SetBitmap(HBITMAP bitmap, COLORREF mask = kNoColor);
    void SetIcon(UINT resourceId);
    void SetIcon(HICON icon);
    void SetImageSize(int width, int height, BOOL percent = TRUE);
    BOOL IsImage() const { return m_isImage; }

    // Colours and background. Mode 1 is transparent (the parent shows), anything else fills.
    void SetTextColor(COLORREF colour);
    void SetBkColor(COLORREF colour);
    void SetBkColor(COLORREF begin, COLORREF end);
    void SetBkColor(COLORREF begin, COLORREF mid, COLORREF end);
    void SetBkEffect(int effect, BYTE granularity);
    void SetBkMode(int mode);

    // Frame and shape. A zero width or height, or no brush, removes the frame. A brush
    // made from a colour is the control's; a brush it is given stays the caller's.
    void SetFrame(COLORREF colour, int width, int height);
    void SetFrame(HBRUSH brush, int width, int height);
    void SetRoundedCorners(int width, int height);
    // The control owns the region from now on.
    void SetRegion(HRGN region);

    void SetAlign(UINT flags);
    void SetMargins(int horizontal, int vertical);
    void SetLinkStyle(COLORREF linkColor, BOOL linkUnderline, COLORREF hoverColor, BOOL hoverUnderline);
    // "msg" links send `message` to the parent: wParam the link's text, lParam `lParam`.
    void SetLinkCallback(UINT message, LPARAM lParam);

    // Forwarders to the renderer.
    void SetStyleSheet(const wchar_t* text) { m_drawer.SetStyleSheet(text); Update(); }
    void SetStyleClass(const wchar_t* name, const wchar_t* declarations)
    { m_drawer.SetStyleClass(name, declarations); Update(); }
    void SetImageList(HBITMAP bitmap, int cx, int cy, int count, COLORREF mask)
    { m_drawer.SetImageList(bitmap, cx, cy, count, mask); Update(); }
    void LoadImageList(UINT id, int cx, int cy, int count, COLORREF mask)
    { m_drawer.LoadImageList(id, cx, cy, count, mask); Update(); }
    CHtmlDrawer& GetDrawer() { return m_drawer; }

    // Where the content was last drawn (client coordinates), and the tooltip for link tips.
    const RECT& GetContentRect() const { return m_contentRect; }
    HWND GetToolTipWindow() const { return m_toolTip; }
    HFONT GetStoredFont() const { return m_font; }

    BEGIN_MSG_MAP(CHtmlStatic)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        MESSAGE_HANDLER(WM_GETTEXT, OnGetText)
        MESSAGE_HANDLER(WM_GETTEXTLENGTH, OnGetTextLength)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_GETFONT, OnGetFont)
        MESSAGE_HANDLER(kHotLinkMessage, OnHotLinkChanged)
        MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
        MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnEnable(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetText(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetText(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetTextLength(UINT, WPARAM, LPARAM, BOOL&) { return m_text.Length(); }
    LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetFont(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(m_font); }
    LRESULT OnHotLinkChanged(UINT, WPARAM, LPARAM, BOOL&);
    // No scrolling: the scroll bar styles are removed at set-up and the messages are swallowed.
    LRESULT OnScroll(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

private:
    void SetUp();
    void ApplyFont(HFONT font);
    void InstallLinkStyle(const wchar_t* name, COLORREF colour, BOOL underline);
    void SetImageElement(const CMarkupString& element);
    void StopAnimation();
    void StartAnimation(UINT periodMs);
    void DropBackgroundCache();
    void RebuildRoundedRegion();
    void ReplaceRegion(HRGN region);
    void Update();
    // Painting (HtmlStaticPaint.cpp).
    void PaintClient(HDC target, HDC paintDC);
    void PaintBackground(HDC dc, HDC paintDC, const RECT& client);
    CMarkupString ContentMarkup() const;
    RECT PlaceContent(const RECT& client, SIZE size) const;
    void DrawFrame(HDC dc, const RECT& client);

    CHtmlDrawer m_drawer;
    CMarkupString m_text;
    CMarkupString m_imageElement;   // the image tag without its size and closing bracket
    CMarkupString m_imageSize;
    BOOL m_isImage = FALSE;
    BOOL m_enabled = TRUE;
    SIZE m_contentSize = {0, 0};
    RECT m_contentRect = {0, 0, 0, 0};
    int m_marginX = 0;
    int m_marginY = 0;
    UINT m_align = 0;

    COLORREF m_textColor;
    COLORREF m_bkColors[3];
    int m_bkMode = 2;
    int m_bkEffect = 0;
    BYTE m_granularity = 5;
    HBITMAP m_bkCache = nullptr;

    HBRUSH m_frameBrush = nullptr;
    BOOL m_ownsFrameBrush = FALSE;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_cornerWidth = 0;
    int m_cornerHeight = 0;
    // Our own copy of the window's region; the window holds another (SetWindowRgn takes it over).
    HRGN m_region = nullptr;

    HFONT m_font = nullptr;
    UINT m_animationPeriod = 0;
    HWND m_toolTip = nullptr;
    BOOL m_tracking = FALSE;
};
