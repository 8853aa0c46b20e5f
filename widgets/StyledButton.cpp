// The owner-drawn button: attaching to a button, its colours and its drawing settings.
#include "widgets/StyledButton.h"
#include "widgets/StyledButtonShared.h"

#include <gdiplus.h>

using styled_button::ThemeApi;

CStyledButton::CStyledButton()
{
    SetDefaultColors(false);
}

CStyledButton::~CStyledButton()
{
    FreeImages();
    delete m_image;
    delete m_bkImage;
    if (m_ownCursor && m_cursor != nullptr)
        ::DestroyCursor(m_cursor);
    if (m_tooltip != nullptr && ::IsWindow(m_tooltip))
        ::DestroyWindow(m_tooltip);
    CloseTheme();
}

void CStyledButton::ReadKind()
{
    const DWORD style = GetStyle();
    m_kind = static_cast<int>(style & 0x0F);
    m_checkBox = (style & BS_CHECKBOX) != 0;
    m_pushLike = (style & BS_PUSHLIKE) != 0 && ((m_kind & 4) != 0 || (m_kind & 9) > 8);
    if (!m_checkBox && !m_pushLike) {
        m_kind = BS_PUSHBUTTON;
        m_default = (style & BS_DEFPUSHBUTTON) != 0;
    }
}

void CStyledButton::OpenTheme()
{
    const ThemeApi& api = ThemeApi::Get();
    if ((m_drawFlags & kThemed) == 0 || m_theme != nullptr || api.open == nullptr)
        return;
    m_theme = api.open(m_hWnd, (m_drawFlags & kToolbarTheme) != 0 ? L"TOOLBAR" : L"BUTTON");
}

void CStyledButton::CloseTheme()
{
    if (m_theme != nullptr && ThemeApi::Get().close != nullptr)
        ThemeApi::Get().close(m_theme);
    m_theme = nullptr;
}

BOOL CStyledButton::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != nullptr || !::IsWindow(hWnd))
        return FALSE;
    // Only a button we draw becomes owner-drawn: one we could not take over keeps drawing itself.
    if (!CWindowImplRoot::SubclassWindow(hWnd))
        return FALSE;
    ReadKind();
    OpenTheme();
    if (m_cursor == nullptr)
        m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
    // Owner-draw replaces the type bits (ORing 11 into a radio or group type would give type 15).
    ::SetWindowLongW(hWnd, GWL_STYLE, static_cast<LONG>((GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW));
    return TRUE;
}

HWND CStyledButton::Create(HWND parent, const RECT& rect, const wchar_t* text, UINT id, DWORD style)
{
    return CWindowImpl<CStyledButton>::Create(parent, rect, text,
                                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style, 0, id);
}

LRESULT CStyledButton::OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    ReadKind();
    OpenTheme();
    if (m_cursor == nullptr)
        m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>((GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW));
    return result;
}

void CStyledButton::Repaint(bool invalidate)
{
    if (invalidate && m_hWnd != nullptr && ::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

DWORD CStyledButton::SetColor(BYTE index, COLORREF color, bool repaint)
{
    if (index >= kColorCount)
        return kStyledButtonBadColorIndex;
    m_colors[index] = color;
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::GetColor(BYTE index, COLORREF* color) const
{
    if (index >= kColorCount || color == nullptr)
        return kStyledButtonBadColorIndex;
    *color = m_colors[index];
    return kStyledButtonOk;
}

DWORD CStyledButton::SetDefaultColors(bool repaint)
{
    for (int i = 0; i < kColorCount; i += 2) {
        m_colors[i] = ::GetSysColor(COLOR_BTNFACE);
        m_colors[i + 1] = ::GetSysColor(COLOR_BTNTEXT);
    }
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::OffsetColor(BYTE index, int offset, bool repaint)
{
    if (index >= kColorCount)
        return kStyledButtonBadColorIndex;
    if (offset < -255 || offset > 255)
        return kStyledButtonBadColorOffset;
    auto shift = [offset](int channel) { int v = channel + offset; return v < 0 ? 0 : (v > 255 ? 255 : v); };
    const COLORREF c = m_colors[index];
    m_colors[index] = RGB(shift(GetRValue(c)), shift(GetGValue(c)), shift(GetBValue(c)));
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetFlat(bool flat, bool repaint) { m_flat = flat; Repaint(repaint); return kStyledButtonOk; }
DWORD CStyledButton::DrawBorder(bool draw, bool repaint) { m_drawBorder = draw; Repaint(repaint); return kStyledButtonOk; }

DWORD CStyledButton::DrawTransparent(bool transparent, bool repaint)
{
    m_transparent = transparent;
    if (!transparent)
        FreeBackgroundCopy();
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetTextAlign(BYTE align, bool repaint)
{
    static const UINT kFlags[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    if (align <= 2) {
        m_textAlign = kFlags[align];
        Repaint(repaint);
    }
    return kStyledButtonOk;
}

DWORD CStyledButton::SetAlign(BYTE align, bool repaint)
{
    if (align <= kAlignOver) {
        m_align = align;
        Repaint(repaint);
    }
    return kStyledButtonOk;
}

DWORD CStyledButton::SetPressedStyle(BYTE style, bool repaint)
{
    if (style == 0)
        m_pressedOffset = {1, 1};
    else if (style == 1)
        m_pressedOffset = {0, 2};
    else
        return kStyledButtonBadPressedStyle;
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetCheck(int check, bool repaint)
{
    if (m_checkBox) {
        m_checked = check;
        Repaint(repaint);
    }
    return kStyledButtonOk;
}

DWORD CStyledButton::SetAutoRepeat(bool repeat, DWORD delayMs)
{
    m_autoRepeat = repeat;
    m_repeatDelay = delayMs;
    return 1;
}

DWORD CStyledButton::UseToolbarTheme(bool toolbar)
{
    if (toolbar)
        m_drawFlags |= kToolbarTheme;
    else
        m_drawFlags &= static_cast<BYTE>(~kToolbarTheme);
    return kStyledButtonOk;
}

DWORD CStyledButton::SizeToContent()
{
    int width = 0, height = 0;
    if (m_in.icon != nullptr) { width = m_in.width; height = m_in.height; }
    else if (m_in.bitmap != nullptr) { width = m_in.width; height = m_in.height; }
    else if (m_image != nullptr) { width = m_imageWidth / m_imageFrames; height = m_imageHeight; }
    m_margin = {0, 0};
    if (m_hWnd != nullptr && width > 0)
        SetWindowPos(nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    return kStyledButtonOk;
}
