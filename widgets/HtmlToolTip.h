#pragma once
#include "framework/WindowImpl.h"
#include "render/HtmlDrawer.h"
#include "render/MarkupString.h"

#include <windows.h>
#include <map>
#include <vector>

// One tool of the markup tooltip. The mask selects which of the per-tool values apply; a clear bit
// takes the tooltip's own setting.
struct HtmlToolInfo
{
    enum : DWORD { kMaskHideDelay = 0x01, kMaskEffect = 0x02, kMaskColors = 0x04, kMaskDirection = 0x08,
                   kMaskBehaviour = 0x10, kMaskTransparency = 0x20 };

    HWND window = nullptr;
    UINT id = 0;
    RECT rect = {0, 0, 0, 0};       // client coordinates of the window; empty: the whole client area
    CMarkupString text;
    DWORD mask = 0;
    UINT hideDelay = 0;              // automatic-hide delay of this tool (ms)
    int effect = 0;                  // an effect of the drawing manager's FillEffect
    BYTE granularity = 0;
    COLORREF colors[3] = {0, 0, 0};
    int direction = 0x10;
    DWORD behaviour = 0;
    BYTE transparency = 0;
};

// What the notify window gets when a tip is about to show: it may change the record.
struct HtmlToolTipNotify
{
    NMHDR header;
    UINT toolId;
    POINT anchor;
    HtmlToolInfo* record;
};

// A popup tooltip whose text is markup: balloon or rectangle, anchor pointing at the tool, drop
// shadow, background effect, border, show and hide delays with optional fading. The host registers
// tools (windows or rectangles) and relays the mouse messages of those windows.
class CHtmlToolTip : public CWindowImpl<CHtmlToolTip>
{
public:
    DECLARE_WND_CLASS_EX(L"LyrantHtmlToolTip", CS_SAVEBITS, 0)

    enum Timer : UINT_PTR { kInitialTimer = 256, kHideTimer = 257, kFadeInTimer = 258, kFadeOutTimer = 259,
                            kAnimationTimer = 260 };
    enum DelayKind { kDelayAutoPop = 2, kDelayInitial = 3, kDelayFadeIn = 4, kDelayFadeOut = 5,
                     kDelayAnimation = 6 };
    enum State { kHidden = 0, kAppearing = 1, kShown = 2, kHiding = 3 };
    // Behaviour flags of a tool.
    enum : DWORD { kForgetAfterHide = 0x01, kFollowMouse = 0x02, kStayInTool = 0x04, kStayOverTip = 0x08,
                   kNoAutoHide = 0x10 };
    // Size value indexes.
    enum : int { kCornerWidth = 0, kCornerHeight = 1, kMarginX = 2, kMarginY = 3, kAnchorMargin = 4,
                 kAnchorWidth = 5, kAnchorHeight = 6, kOffsetX = 7, kOffsetY = 8, kSizeCount = 9 };
    static constexpr UINT kNotifyCode = WM_USER + 100;
    static constexpr UINT kHotLinkMessage = WM_USER + 101;
    static constexpr UINT kAnimationPeriod = 100;

    CHtmlToolTip();
    ~CHtmlToolTip() override;

    // The popup window; 0 when it cannot be created.
    HWND Create(HWND parent, BOOL balloon = TRUE);

    // Tools. A null rectangle means the window's whole client area.
    void AddTool(HWND window, const wchar_t* text, const RECT* rect = nullptr, UINT id = 0);
    void AddTool(const HtmlToolInfo& tool);
    void AddToolIcon(HWND window, UINT iconId, int width, int height, const wchar_t* text,
                     const RECT* rect = nullptr, UINT id = 0);
    void AddToolIcon(HWND window, HICON icon, const wchar_t* text, const RECT* rect = nullptr, UINT id = 0);
    void AddToolBitmap(HWND window, UINT bitmapId, COLORREF mask, int width, int height, const wchar_t* text,
                       const RECT* rect = nullptr, UINT id = 0);
    void RemoveTool(HWND window, UINT id);
    void RemoveAllTools();
    BOOL UpdateToolText(HWND window, UINT id, const wchar_t* text);
    BOOL UpdateToolRect(HWND window, UINT id, const RECT& rect);
    BOOL GetTool(HWND window, UINT id, HtmlToolInfo* out) const;
    // The tool under a screen point: registered toolbar buttons first, then the tools.
    BOOL FindTool(POINT screen, HtmlToolInfo* out) const;
    BOOL IsToolWindow(HWND window) const { return m_tools.count(window) != 0; }
    void AddToolBar(HWND toolbar);
    void RemoveToolBar(HWND toolbar);

    void RelayEvent(const MSG* msg);
    // A help tooltip: shown at the point (screen) with the record, until hidden.
    void ShowHelpTooltip(POINT screen, const HtmlToolInfo& tool);
    void HideTooltip();

    void SetDelayTime(int kind, UINT milliseconds);
    UINT GetDelayTime(int kind) const;
    void EnableFade(BOOL fadeIn, BOOL fadeOut) { m_fadeIn = fadeIn; m_fadeOut = fadeOut; }

    void SetColorBk(COLORREF colour) { SetColorBk(colour, colour, colour); }
    void SetColorBk(COLORREF begin, COLORREF end) { SetColorBk(begin, begin, end); }
    void SetColorBk(COLORREF begin, COLORREF mid, COLORREF end);
    void SetEffectBk(int effect, BYTE granularity);
    void SetBorder(COLORREF colour, int width, int height);
    void SetBorder(HBRUSH brush, int width, int height);
    void SetImageShadow(int offsetX, int offsetY, BYTE darkness, BOOL enabled, int depthX, int depthY);
    void SetTransparency(BYTE percent);
    void SetSize(int index, int value);
    int GetSize(int index) const { return index >= 0 && index < kSizeCount ? m_sizes[index] : 0; }
    void SetDirection(int code) { m_direction = code; }
    void SetBehaviour(DWORD flags) { m_behaviour = flags; }
    void SetDiagnosticMode(BOOL on) { m_diagnostic = on; }
    // Notifications go to `window` (null: nowhere).
    void SetNotify(HWND window) { m_notify = window; }
    // TRUE: notifications go to the parent; FALSE: nowhere.
    void SetNotify(BOOL toParent) { m_notify = toParent ? m_parent : nullptr; }

    // Forwarders to the renderer.
    void SetStyleSheet(const wchar_t* text) { m_drawer.SetStyleSheet(text); }
    void SetStyleClass(const wchar_t* name, const wchar_t* declarations) { m_drawer.SetStyleClass(name, declarations); }
    void LoadImageList(UINT id, int cx, int cy, int count, COLORREF mask) { m_drawer.LoadImageList(id, cx, cy, count, mask); }
    void SetImageList(HBITMAP bitmap, int cx, int cy, int count, COLORREF mask)
    { m_drawer.SetImageList(bitmap, cx, cy, count, mask); }
    static CMarkupString GetResourceStringLine(UINT id, int line) { return CHtmlDrawer::GetResourceStringLine(id, line); }
    CHtmlDrawer& GetDrawer() { return m_drawer; }

    // A tip for the selected menu item (WM_MENUSELECT's values), beside the open menu.
    void OnMenuSelect(UINT itemId, UINT flags, HMENU menu);

    // State, for hosts and tests.
    int GetState() const { return m_state; }
    int GetTransparency() const { return m_transparency; }
    // The direction the last tip was placed with, after any flip at the screen's edge.
    int GetShownDirection() const { return m_shownDirection; }
    // The last tip's body (window coordinates) and the point its anchor touches (screen).
    const RECT& GetBodyRect() const { return m_bodyRect; }
    POINT GetAnchorPoint() const { return m_anchor; }
    const HtmlToolInfo& GetDisplayedTool() const { return m_displayed; }
    // Builds the diagnostic table of a window (the tip of diagnostic mode).
    CMarkupString BuildDiagnosticText(HWND window, POINT cursor) const;
    // The window rectangle (shadow left out) of a tip whose body has this size, pointing at the
    // target (screen coordinates) from the direction's side, flipped to stay inside `screen`. The
    // resolved direction, the body's rectangle in the window and the anchor's point come back.
    RECT PlaceTip(SIZE body, const RECT& target, const RECT& screen, int* direction, RECT* bodyInWindow,
                  POINT* anchor) const;

    BEGIN_MSG_MAP(CHtmlToolTip)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_ACTIVATEAPP, OnActivateApp)
        MESSAGE_HANDLER(kHotLinkMessage, OnHotLinkChanged)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnActivateApp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnHotLinkChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

    // The border, framed around the tip's region.
    virtual void DrawBorder(HDC dc, HRGN region, HBRUSH brush, int width, int height);

private:
    // Display cycle (HtmlToolTipRelay.cpp).
    void OnMouseMove();
    void StartCycle(const HtmlToolInfo& tool, BOOL withDelay);
    void ShowNow(BOOL forMenu);
    void OnInitialTimer();
    void OnFadeInTimer();
    void BeginHide();
    void OnFadeOutTimer();
    void ForgetTool();
    BOOL OverVisibleTip(POINT screen) const;
    BOOL FindToolBarButton(HWND toolbar, POINT screen, HtmlToolInfo* out) const;
    BOOL FindToolInWindow(HWND window, POINT screen, HtmlToolInfo* out) const;
    HtmlToolInfo* FindRecord(HWND window, UINT id);
    UINT HideDelay() const;
    void StartHideTimer();
    // Showing and painting (HtmlToolTipShow.cpp).
    BOOL ShowTip(BOOL forMenu);
    void FreeTipGraphics();
    // The screen under a tip of the current size at `at`; with the picture taken at previousAt,
    // the part the tip itself covers is taken from that one.
    HBITMAP SnapshotUnder(POINT at, HBITMAP previous, POINT previousAt) const;
    // Moves a shown tip that follows the mouse, and what it shows under its shadow with it.
    void FollowTo(POINT position);
    void PaintTip(HDC dc);
    void Notify(HtmlToolInfo& record);
    static RECT VirtualScreen();
    RECT Arrange(SIZE body, const RECT& target, int direction, RECT* bodyInWindow, POINT* anchor) const;
    HRGN BuildTipRegion(const RECT& body, int direction) const;
    void FillBackground(const RECT& body, int direction);
    RECT TargetRect() const;

    CHtmlDrawer m_drawer;
    HWND m_parent = nullptr;
    HWND m_notify = nullptr;
    std::map<HWND, std::vector<HtmlToolInfo>> m_tools;
    std::vector<HWND> m_toolBars;

    HtmlToolInfo m_current;          // the tool under the cursor (window null: none)
    HtmlToolInfo m_displayed;        // the record being shown, with the tooltip's values filled in
    HtmlToolInfo m_next;             // the tool waiting for the current tip to end
    BOOL m_hasCurrent = FALSE;
    BOOL m_nextPending = FALSE;
    BOOL m_nextDelayed = FALSE;
    BOOL m_help = FALSE;
    BOOL m_menuTip = FALSE;
    POINT m_cursor = {-100000, -100000};
    POINT m_anchor = {0, 0};
    RECT m_target = {0, 0, 0, 0};    // what a help or menu tip points at (screen)
    BOOL m_initialPending = FALSE;

    int m_state = kHidden;
    UINT m_delays[7] = {0, 0, 5000, 500, 0, 0, kAnimationPeriod};
    BOOL m_fadeIn = TRUE;
    BOOL m_fadeOut = TRUE;
    int m_transparency = 0;
    int m_targetTransparency = 0;

    COLORREF m_colors[3];
    int m_effect = 0;
    BYTE m_granularity = 5;
    HBRUSH m_borderBrush = nullptr;
    int m_borderWidth = 1;
    int m_borderHeight = 1;

    BOOL m_shadow = TRUE;
    int m_shadowX = 6;
    int m_shadowY = 6;
    int m_shadowDepthX = 7;
    int m_shadowDepthY = 7;
    int m_darkness = 50;

    int m_sizes[kSizeCount];
    int m_direction = 0x10;
    int m_shownDirection = 0x10;
    DWORD m_behaviour = 0;
    BOOL m_diagnostic = FALSE;

    // The tip being shown: window-sized pictures and the regions (ours; the window holds its own copy).
    SIZE m_windowSize = {0, 0};
    RECT m_bodyRect = {0, 0, 0, 0};
    RECT m_contentRect = {0, 0, 0, 0};
    HRGN m_bodyRegion = nullptr;      // body and anchor
    HRGN m_shadowRegion = nullptr;    // the same, offset by the shadow
    HBITMAP m_background = nullptr;   // the body's fill
    HBITMAP m_under = nullptr;        // the screen under the tip, for the shadow and the fading
};
