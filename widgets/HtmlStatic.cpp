// The HTML static control: set-up, content, settings and messages (painting is in HtmlStaticPaint.cpp).
#include "widgets/HtmlStatic.h"

#include <commctrl.h>
#include <algorithm>

namespace {

constexpr COLORREF kDefaultLinkColor = 0xFF0000;
constexpr int kMaxToolTipWidth = 32767;

// The "handle=" attribute carries a GDI or user handle; those are 32-bit significant on 64-bit Windows.
unsigned HandleValue(const void* handle)
{
    return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(handle));
}

CMarkupString ImageListElement(const wchar_t* source, int index, BOOL animated, COLORREF mask, int cx, int cy)
{
    CMarkupString element;
    element.Format(L"<ilst index=%d %s", animated ? 0 : index, source);
    CMarkupString part;
    if (mask != CHtmlStatic::kNoColor) {
        part.Format(L" mask=0x%06X", mask);
        element += part;
    }
    if (cx != 0 || cy != 0) {
        part.Format(L" cx=%d, cy=%d", cx, cy);
        element += part;
    }
    if (animated)
        element += L" speed=1";
    return element;
}

// A target as the value of a quoted attribute: a quote would end the value and a ">" the element,
// and the text's entities are read before its tags, so "&" is written as one.
CMarkupString AttributeValue(const wchar_t* target)
{
    CMarkupString value;
    for (const wchar_t* c = target ? target : L""; *c; ++c) {
        switch (*c) {
        case L'"': value += L"%22"; break;
        case L'>': value += L"%3E"; break;
        case L'&': value += L"&amp;"; break;
        default: value += *c; break;
        }
    }
    return value;
}

}  // namespace

CHtmlStatic::CHtmlStatic()
    : m_textColor(GetSysColor(COLOR_WINDOWTEXT))
{
    m_bkColors[0] = m_bkColors[1] = m_bkColors[2] = GetSysColor(COLOR_BTNFACE);
    InstallLinkStyle(L"a:link", kDefaultLinkColor, FALSE);
    InstallLinkStyle(L"a:hover", kDefaultLinkColor, TRUE);
    SetImageSize(100, 100);
}

CHtmlStatic::~CHtmlStatic()
{
    DropBackgroundCache();
    if (m_ownsFrameBrush && m_frameBrush)
        DeleteObject(m_frameBrush);
    if (m_region)
        DeleteObject(m_region);
}

HWND CHtmlStatic::Create(HWND parent, const RECT& rect, const wchar_t* text, DWORD style, DWORD exStyle, UINT id,
                         void* param)
{
    HWND hWnd = CWindowImpl<CHtmlStatic>::Create(parent, rect, text, style ? style : kDefaultStyle, exStyle, id,
                                                 param);
    if (hWnd)
        SetUp();
    return hWnd;
}

BOOL CHtmlStatic::SubclassWindow(HWND hWnd)
{
    if (!CWindowImpl<CHtmlStatic>::SubclassWindow(hWnd))
        return FALSE;
    SetUp();
    return TRUE;
}

void CHtmlStatic::SetUp()
{
    ModifyStyle(WS_HSCROLL | WS_VSCROLL, SS_NOTIFY);
    m_enabled = (GetStyle() & WS_DISABLED) == 0;
    m_drawer.EnableOutput(m_enabled);
    m_drawer.SetHotLinkCallback(m_hWnd, kHotLinkMessage, 0);

    // The system control still holds the font and text it was created with.
    HFONT font = reinterpret_cast<HFONT>(DefWindowProc(WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    ApplyFont(font);
    wchar_t text[kMaxWindowText + 1] = {};
    DefWindowProc(WM_GETTEXT, kMaxWindowText + 1, reinterpret_cast<LPARAM>(text));
    m_text = text;
    m_isImage = FALSE;

    if (!m_toolTip) {
        m_toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
        if (m_toolTip)
            ::SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, kMaxToolTipWidth);
    }
    Update();
}

void CHtmlStatic::ApplyFont(HFONT font)
{
    m_font = font;
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof(lf), &lf))
        return;
    CMarkupString body;
    body.Format(L"font-size:%dpt; color:0x%06X; font-family:%s; font-weight:%d", static_cast<int>(lf.lfHeight),
                static_cast<unsigned>(GetSysColor(COLOR_WINDOWTEXT)), lf.lfFaceName, static_cast<int>(lf.lfWeight));
    if (lf.lfItalic)
        body += L"; font-style:italic";
    m_drawer.SetStyleClass(L"body", body.c_str());
}

void CHtmlStatic::InstallLinkStyle(const wchar_t* name, COLORREF colour, BOOL underline)
{
    CMarkupString style;
    style.Format(L"color:0x%06X; text-decoration:%s", static_cast<unsigned>(colour), underline ? L"underline" : L"none");
    m_drawer.SetStyleClass(name, style.c_str());
}

// --- content ---

void CHtmlStatic::SetText(const wchar_t* text)
{
    m_text = text;
    m_isImage = FALSE;
    Update();
}

void CHtmlStatic::SetHyperlink(const wchar_t* text, const wchar_t* target, BOOL sendMessage)
{
    CMarkupString link;
    link.Format(L"<a %s=\"%s\">%s</a>", sendMessage ? L"msg" : L"href", AttributeValue(target).c_str(),
                text ? text : L"");
    SetText(link.c_str());
}

void CHtmlStatic::SetImageElement(const CMarkupString& element)
{
    m_imageElement = element;
    m_isImage = TRUE;
    Update();
}

void CHtmlStatic::SetAnimation(UINT resourceId, UINT periodMs, COLORREF mask, int cx, int cy)
{
    CMarkupString source;
    source.Format(L"idres=%d", static_cast<int>(resourceId));
    SetImageElement(ImageListElement(source.c_str(), 0, TRUE, mask, cx, cy));
    StartAnimation(periodMs);
}

void CHtmlStatic::SetAnimation(HBITMAP strip, UINT periodMs, COLORREF mask, int cx, int cy)
{
    CMarkupString source;
    source.Format(L"handle=0x%X", HandleValue(strip));
    SetImageElement(ImageListElement(source.c_str(), 0, TRUE, mask, cx, cy));
    StartAnimation(periodMs);
}

void CHtmlStatic::SetImageListImage(int index, UINT resourceId, COLORREF mask, int cx, int cy)
{
    CMarkupString source;
    source.Format(L"idres=%d", static_cast<int>(resourceId));
    SetImageElement(ImageListElement(source.c_str(), index, FALSE, mask, cx, cy));
}

void CHtmlStatic::SetImageListImage(int index, HBITMAP strip, COLORREF mask, int cx, int cy)
{
    CMarkupString source;
    source.Format(L"handle=0x%X", HandleValue(strip));
    SetImageElement(ImageListElement(source.c_str(), index, FALSE, mask, cx, cy));
}

void CHtmlStatic::SetBitmap(UINT resourceId, COLORREF mask)
{
    CMarkupString element;
    if (mask == kNoColor)
        element.Format(L"<bmp idres=%d", static_cast<int>(resourceId));
    else
        element.Format(L"<bmp idres=%d mask=0x%06X", static_cast<int>(resourceId), static_cast<unsigned>(mask));
    StopAnimation();
    SetImageElement(element);
}

void CHtmlStatic::SetBitmap(HBITMAP bitmap, COLORREF mask)
{
    CMarkupString element;
    if (mask == kNoColor)
        element.Format(L"<bmp handle=0x%X", HandleValue(bitmap));
    else
        element.Format(L"<bmp handle=0x%X mask=0x%06X", HandleValue(bitmap), static_cast<unsigned>(mask));
    StopAnimation();
    SetImageElement(element);
}

void CHtmlStatic::SetIcon(UINT resourceId)
{
    CMarkupString element;
    element.Format(L"<icon idres=%d", static_cast<int>(resourceId));
    StopAnimation();
    SetImageElement(element);
}

void CHtmlStatic::SetIcon(HICON icon)
{
    CMarkupString element;
    element.Format(L"<icon handle=0x%X", HandleValue(icon));
    StopAnimation();
    SetImageElement(element);
}

void CHtmlStatic::SetImageSize(int width, int height, BOOL percent)
{
    m_imageSize.Format(percent ? L" width=%d%% height=%d%%" : L" width=%d height=%d", width, height);
    if (m_isImage)
        Update();
}

void CHtmlStatic::StartAnimation(UINT periodMs)
{
    m_animationPeriod = periodMs;
    if (m_hWnd && periodMs)
        ::SetTimer(m_hWnd, kAnimationTimer, periodMs, nullptr);
}

void CHtmlStatic::StopAnimation()
{
    m_animationPeriod = 0;
    if (m_hWnd)
        ::KillTimer(m_hWnd, kAnimationTimer);
}

// --- colours, background, frame, shape ---

void CHtmlStatic::SetTextColor(COLORREF colour)
{
    m_textColor = colour;
    Update();
}

void CHtmlStatic::SetBkColor(COLORREF colour)
{
    SetBkColor(colour, colour, colour);
}

void CHtmlStatic::SetBkColor(COLORREF begin, COLORREF end)
{
    SetBkColor(begin, begin, end);
}

void CHtmlStatic::SetBkColor(COLORREF begin, COLORREF mid, COLORREF end)
{
    m_bkColors[0] = begin;
    m_bkColors[1] = mid;
    m_bkColors[2] = end;
    // A transparent control's cache holds the parent, which a colour does not change.
    if (m_bkMode != 1)
        DropBackgroundCache();
    Update();
}

void CHtmlStatic::SetBkEffect(int effect, BYTE granularity)
{
    m_bkEffect = effect;
    m_granularity = granularity;
    if (m_bkMode != 1)
        DropBackgroundCache();
    Update();
}

void CHtmlStatic::SetBkMode(int mode)
{
    m_bkMode = mode;
    DropBackgroundCache();
    Update();
}

void CHtmlStatic::DropBackgroundCache()
{
    if (m_bkCache)
        DeleteObject(m_bkCache);
    m_bkCache = nullptr;
}

void CHtmlStatic::SetFrame(COLORREF colour, int width, int height)
{
    if (width == 0 || height == 0) {
        SetFrame(static_cast<HBRUSH>(nullptr), 0, 0);
        return;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    SetFrame(brush, width, height);
    m_ownsFrameBrush = brush != nullptr;
}

void CHtmlStatic::SetFrame(HBRUSH brush, int width, int height)
{
    if (m_ownsFrameBrush && m_frameBrush && m_frameBrush != brush)
        DeleteObject(m_frameBrush);
    m_ownsFrameBrush = FALSE;
    if (!brush || width == 0 || height == 0) {
        m_frameBrush = nullptr;
        m_frameWidth = m_frameHeight = 0;
    } else {
        m_frameBrush = brush;
        m_frameWidth = width;
        m_frameHeight = height;
    }
    Update();
}

void CHtmlStatic::SetRoundedCorners(int width, int height)
{
    m_cornerWidth = width;
    m_cornerHeight = height;
    RebuildRoundedRegion();
    Update();
}

void CHtmlStatic::RebuildRoundedRegion()
{
    if (!m_hWnd)
        return;
    if (m_cornerWidth <= 0 && m_cornerHeight <= 0) {
        ReplaceRegion(nullptr);
        return;
    }
    RECT client;
    GetClientRect(&client);
    ReplaceRegion(CreateRoundRectRgn(client.left, client.top, client.right + 1, client.bottom + 1, m_cornerWidth,
                                     m_cornerHeight));
}

void CHtmlStatic::SetRegion(HRGN region)
{
    m_cornerWidth = m_cornerHeight = 0;
    ReplaceRegion(region);
    Update();
}

void CHtmlStatic::ReplaceRegion(HRGN region)
{
    if (m_region && m_region != region)
        DeleteObject(m_region);
    m_region = region;
    if (!m_hWnd)
        return;
    // The system owns what SetWindowRgn receives: it gets a copy, ours stays for the frame.
    HRGN handed = nullptr;
    if (region) {
        handed = CreateRectRgn(0, 0, 0, 0);
        if (handed && CombineRgn(handed, region, nullptr, RGN_COPY) == ERROR) {
            DeleteObject(handed);
            handed = nullptr;
        }
    }
    SetWindowRgn(m_hWnd, handed, TRUE);
}

// --- alignment, margins, links ---

void CHtmlStatic::SetAlign(UINT flags)
{
    m_align = flags & 0x0F;
    Update();
}

void CHtmlStatic::SetMargins(int horizontal, int vertical)
{
    m_marginX = horizontal;
    m_marginY = vertical;
    Update();
}

void CHtmlStatic::SetLinkStyle(COLORREF linkColor, BOOL linkUnderline, COLORREF hoverColor, BOOL hoverUnderline)
{
    InstallLinkStyle(L"a:link", linkColor, linkUnderline);
    InstallLinkStyle(L"a:hover", hoverColor, hoverUnderline);
    Update();
}

void CHtmlStatic::SetLinkCallback(UINT message, LPARAM lParam)
{
    m_drawer.SetLinkCallback(m_hWnd ? GetParent() : nullptr, message, lParam);
}

void CHtmlStatic::Update()
{
    if (!m_hWnd)
        return;
    // Through the parent first, so that a transparent control repaints over a fresh background.
    HWND parent = GetParent();
    if (parent) {
        RECT rect;
        GetWindowRect(&rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        ::InvalidateRect(parent, &rect, TRUE);
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    UpdateWindow();
}

// --- messages ---

LRESULT CHtmlStatic::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    POINT point;
    if (m_enabled && GetCursorPos(&point) && ScreenToClient(&point) && m_drawer.OnSetCursor(&point))
        return TRUE;
    bHandled = FALSE;
    return 0;
}

LRESULT CHtmlStatic::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(&client);
    if (m_enabled && PtInRect(&client, point))
        m_drawer.OnLButtonDown(&point);
    bHandled = FALSE;   // the tooltip relay below sees it too
    return 0;
}

LRESULT CHtmlStatic::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_toolTip) {
        MSG relayed = {m_hWnd, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        GetCursorPos(&relayed.pt);
        ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    if (msg != WM_MOUSEMOVE)
        return 0;
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_tracking = TrackMouseEvent(&track);
    }
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(&client);
    if (m_enabled && PtInRect(&client, point))
        m_drawer.UpdateLinkTooltip(&point, &m_toolTip);
    return 0;
}

LRESULT CHtmlStatic::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_tracking = FALSE;
    POINT point;
    if (GetCursorPos(&point) && ScreenToClient(&point))
        m_drawer.OnSetCursor(&point);
    return 0;
}

LRESULT CHtmlStatic::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != kAnimationTimer) {
        bHandled = FALSE;
        return 0;
    }
    if (m_enabled && m_drawer.OnTimer()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
    return 0;
}

LRESULT CHtmlStatic::OnEnable(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_enabled = wParam != 0;
    m_drawer.EnableOutput(m_enabled);
    Update();
    return 0;
}

LRESULT CHtmlStatic::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    DropBackgroundCache();
    if (m_cornerWidth > 0 || m_cornerHeight > 0)
        RebuildRoundedRegion();
    Invalidate(FALSE);
    return 0;
}

LRESULT CHtmlStatic::OnSetText(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The system copy follows too, for anything that reads the window text behind our back.
    DefWindowProc(msg, wParam, lParam);
    SetText(reinterpret_cast<const wchar_t*>(lParam));
    return TRUE;
}

LRESULT CHtmlStatic::OnGetText(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    wchar_t* buffer = reinterpret_cast<wchar_t*>(lParam);
    if (!buffer || wParam == 0)
        return 0;
    const size_t count = std::min(static_cast<size_t>(wParam) - 1, m_text.size());
    std::copy(m_text.begin(), m_text.begin() + static_cast<ptrdiff_t>(count), buffer);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT CHtmlStatic::OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The font belongs to whoever made it (a dialog's font, a stock font): never deleted here.
    ApplyFont(reinterpret_cast<HFONT>(wParam));
    if (LOWORD(lParam))
        Update();
    return 0;
}

LRESULT CHtmlStatic::OnHotLinkChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    Invalidate(FALSE);
    UpdateWindow();
    return 0;
}

LRESULT CHtmlStatic::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    ::KillTimer(m_hWnd, kAnimationTimer);
    SetWindowRgn(m_hWnd, nullptr, FALSE);
    if (m_region)
        DeleteObject(m_region);
    m_region = nullptr;
    DropBackgroundCache();
    if (m_ownsFrameBrush && m_frameBrush)
        DeleteObject(m_frameBrush);
    m_frameBrush = nullptr;
    m_ownsFrameBrush = FALSE;
    if (m_toolTip)
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    bHandled = FALSE;
    return 0;
}
