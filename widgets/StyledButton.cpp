#include "widgets/StyledButton.h"
#include "core/ResourceModule.h"
#include "framework/MemoryDC.h"

#include <gdiplus.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <cwchar>
#include <initializer_list>

namespace {

// The visual-styles library, looked up at run time (it may be missing).
struct ThemeApi
{
    using OpenFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(HTHEME);
    using DrawFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    DrawFn draw = nullptr;

    static const ThemeApi& Get()
    {
        static const ThemeApi api = Load();
        return api;
    }
    static ThemeApi Load()
    {
        ThemeApi api;
        HMODULE library = ::LoadLibraryW(L"uxtheme.dll");
        if (library != nullptr) {
            api.open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(::GetProcAddress(library, "OpenThemeData")));
            api.close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(::GetProcAddress(library, "CloseThemeData")));
            api.draw = reinterpret_cast<DrawFn>(reinterpret_cast<void*>(::GetProcAddress(library, "DrawThemeBackground")));
            if (api.open == nullptr || api.close == nullptr || api.draw == nullptr)
                api = ThemeApi();
        }
        return api;
    }
};

constexpr int kPartPushButton = 1;
constexpr int kPartRadioButton = 2;
constexpr int kPartCheckBox = 3;
constexpr int kStateNormal = 1;
constexpr int kStateHot = 2;
constexpr int kStatePressed = 3;
constexpr int kMarkSize = 20;
constexpr int kImageStates = 4;   // normal, hot, pressed, disabled

bool IsOutSentinel(const void* handle)
{
    const INT_PTR value = reinterpret_cast<INT_PTR>(handle);
    return value == -2 || value == -3;
}

bool IsRadioKind(int kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }
bool IsCheckKind(int kind)
{
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}

// A copy of a 32-bit colour bitmap with each pixel turned grey (luma) or 25 % darker; alpha kept.
HBITMAP RecolouredCopy(HBITMAP source, bool grey)
{
    BITMAP info = {};
    if (source == nullptr || ::GetObjectW(source, sizeof(info), &info) == 0)
        return nullptr;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy != nullptr &&
        ::GetDIBits(screen, source, 0, info.bmHeight, bits, &header, DIB_RGB_COLORS) == info.bmHeight) {
        auto* pixel = static_cast<DWORD*>(bits);
        for (int i = 0; i < info.bmWidth * info.bmHeight; ++i) {
            DWORD p = pixel[i];
            DWORD a = p & 0xFF000000;
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (grey) {
                int y = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b + 0.5);
                r = g = b = y > 255 ? 255 : y;
            } else {
                r = r * 3 / 4;
                g = g * 3 / 4;
                b = b * 3 / 4;
            }
            pixel[i] = a | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
        }
    } else if (copy != nullptr) {
        ::DeleteObject(copy);
        copy = nullptr;
    }
    ::ReleaseDC(nullptr, screen);
    return copy;
}

HICON RecolouredIcon(HICON source, bool grey)
{
    ICONINFO info = {};
    if (!::GetIconInfo(source, &info))
        return nullptr;
    HICON icon = nullptr;
    HBITMAP colour = RecolouredCopy(info.hbmColor, grey);
    if (colour != nullptr) {
        ICONINFO made = info;
        made.fIcon = TRUE;
        made.hbmColor = colour;
        icon = ::CreateIconIndirect(&made);
        ::DeleteObject(colour);
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return icon;
}

// The icon's size as twice its hot spot; false when the icon cannot be measured.
bool MeasureIcon(HICON icon, int* width, int* height)
{
    ICONINFO info = {};
    if (icon == nullptr || !::GetIconInfo(icon, &info))
        return false;
    *width = static_cast<int>(info.xHotspot * 2);
    *height = static_cast<int>(info.yHotspot * 2);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return true;
}

// A monochrome mask (white where the bitmap has the mask colour); the bitmap's masked pixels are
// turned black so that SRCAND then SRCPAINT draws it transparently.
HBITMAP BuildMask(HBITMAP bitmap, COLORREF maskColour, int width, int height)
{
    HBITMAP mask = ::CreateBitmap(width, height, 1, 1, nullptr);
    if (mask == nullptr)
        return nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC source = ::CreateCompatibleDC(screen);
    HDC target = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldSource = ::SelectObject(source, bitmap);
    HGDIOBJ oldTarget = ::SelectObject(target, mask);
    ::SetBkColor(source, maskColour);
    ::BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    // Mask bits 1 come in as white and 0 as black; AND NOT turns the masked pixels black.
    ::SetBkColor(source, RGB(255, 255, 255));
    ::SetTextColor(source, RGB(0, 0, 0));
    ::BitBlt(source, 0, 0, width, height, target, 0, 0, 0x00220326);   // source AND NOT mask
    ::SelectObject(source, oldSource);
    ::SelectObject(target, oldTarget);
    ::DeleteDC(source);
    ::DeleteDC(target);
    return mask;
}

// A one-pixel 3-D frame: top and left in one brush, bottom and right in the other.
void FrameEdges(HDC dc, const RECT& r, HBRUSH topLeft, HBRUSH bottomRight)
{
    RECT top = {r.left, r.top, r.right - 1, r.top + 1};
    RECT left = {r.left, r.top, r.left + 1, r.bottom - 1};
    RECT bottom = {r.left, r.bottom - 1, r.right, r.bottom};
    RECT right = {r.right - 1, r.top, r.right, r.bottom};
    ::FillRect(dc, &top, topLeft);
    ::FillRect(dc, &left, topLeft);
    ::FillRect(dc, &bottom, bottomRight);
    ::FillRect(dc, &right, bottomRight);
}

const wchar_t* TextOrResource(const wchar_t* text)
{
    if (text != nullptr && HIWORD(reinterpret_cast<UINT_PTR>(text)) == 0) {
        static wchar_t loaded[512];
        loaded[0] = 0;
        ::LoadStringW(GetResourceModule(), LOWORD(reinterpret_cast<UINT_PTR>(text)), loaded, 512);
        return loaded;
    }
    return text;
}

void CopyBounded(wchar_t* target, const wchar_t* source, size_t count)
{
    if (source == nullptr) {
        target[0] = 0;
        return;
    }
    std::wcsncpy(target, source, count - 1);
    target[count - 1] = 0;
}

}  // namespace

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
    CWindow button(hWnd);
    m_hWnd = hWnd;   // read the style and open the theme for this window before taking it over
    ReadKind();
    OpenTheme();
    if (m_cursor == nullptr)
        m_cursor = ::LoadCursorW(nullptr, IDC_HAND);
    // Owner-draw replaces the type bits (ORing 11 into a radio or group type would give type 15).
    const DWORD style = button.GetStyle();
    ::SetWindowLongW(hWnd, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | BS_OWNERDRAW));
    m_hWnd = nullptr;
    return CWindowImplRoot::SubclassWindow(hWnd);
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

void CStyledButton::FreeImages()
{
    for (ImageSlot* slot : {&m_in, &m_out}) {
        if (slot->icon != nullptr) ::DestroyIcon(slot->icon);
        if (slot->bitmap != nullptr) ::DeleteObject(slot->bitmap);
        if (slot->mask != nullptr) ::DeleteObject(slot->mask);
        *slot = ImageSlot();
    }
}

DWORD CStyledButton::SetIcon(HICON in, HICON out)
{
    FreeImages();
    m_in.icon = in;
    if (!MeasureIcon(in, &m_in.width, &m_in.height)) {
        FreeImages();
        return kStyledButtonLoadFailed;
    }
    if (out == GreyIcon() || out == DarkerIcon())
        out = RecolouredIcon(in, out == GreyIcon());
    if (out != nullptr) {
        m_out.icon = out;
        if (!MeasureIcon(out, &m_out.width, &m_out.height)) {
            FreeImages();
            return kStyledButtonLoadFailed;
        }
    }
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetIconFromResource(int in, int out, HMODULE module)
{
    HINSTANCE from = module != nullptr ? module : GetResourceModule();
    HICON iconIn = static_cast<HICON>(::LoadImageW(from, MAKEINTRESOURCEW(in), IMAGE_ICON, 16, 16, 0));
    HICON iconOut = nullptr;
    if (out == -2 || out == -3)
        iconOut = reinterpret_cast<HICON>(static_cast<INT_PTR>(out));
    else if (out != 0)
        iconOut = static_cast<HICON>(::LoadImageW(from, MAKEINTRESOURCEW(out), IMAGE_ICON, 16, 16, 0));
    return SetIcon(iconIn, iconOut);
}

DWORD CStyledButton::SetIconFromImageList(HIMAGELIST list, int in, int out)
{
    HICON iconIn = ImageList_GetIcon(list, in, ILD_NORMAL);
    HICON iconOut = out == -2 || out == -3 ? reinterpret_cast<HICON>(static_cast<INT_PTR>(out))
                                           : ImageList_GetIcon(list, out, ILD_NORMAL);
    return SetIcon(iconIn, iconOut);
}

DWORD CStyledButton::SetBitmaps(HBITMAP in, COLORREF maskIn, HBITMAP out, COLORREF maskOut)
{
    FreeImages();
    const bool copyOut = IsOutSentinel(out);
    BITMAP info = {};
    if (in == nullptr || ::GetObjectW(in, sizeof(info), &info) == 0) {
        if (in != nullptr) ::DeleteObject(in);
        if (out != nullptr && !copyOut) ::DeleteObject(out);
        return kStyledButtonLoadFailed;
    }
    m_in.bitmap = in;
    m_in.width = info.bmWidth;
    m_in.height = info.bmHeight;
    m_in.mask = BuildMask(in, maskIn, m_in.width, m_in.height);
    if (m_in.mask == nullptr) {
        if (out != nullptr && !copyOut) ::DeleteObject(out);
        FreeImages();
        return kStyledButtonMaskFailed;
    }
    if (copyOut) {
        // The copy is made after masking: its masked pixels are black already and share the mask.
        m_out.bitmap = RecolouredCopy(in, out == GreyBitmap());
        m_out.mask = static_cast<HBITMAP>(::CopyImage(m_in.mask, IMAGE_BITMAP, 0, 0, 0));
        if (m_out.bitmap == nullptr || m_out.mask == nullptr) {
            FreeImages();
            return m_out.bitmap == nullptr ? kStyledButtonLoadFailed : kStyledButtonMaskFailed;
        }
        m_out.width = m_in.width;
        m_out.height = m_in.height;
    } else if (out != nullptr) {
        m_out.bitmap = out;
        if (::GetObjectW(out, sizeof(info), &info) == 0) {
            FreeImages();
            return kStyledButtonLoadFailed;
        }
        m_out.width = info.bmWidth;
        m_out.height = info.bmHeight;
        m_out.mask = BuildMask(out, maskOut, m_out.width, m_out.height);
        if (m_out.mask == nullptr) {
            FreeImages();
            return kStyledButtonMaskFailed;
        }
    }
    Repaint();
    return kStyledButtonOk;
}

DWORD CStyledButton::SetBitmapsFromResource(int in, COLORREF maskIn, int out, COLORREF maskOut, HMODULE module)
{
    HINSTANCE from = module != nullptr ? module : GetResourceModule();
    HBITMAP bitmapIn = static_cast<HBITMAP>(::LoadImageW(from, MAKEINTRESOURCEW(in), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP bitmapOut = nullptr;
    if (out == -2 || out == -3)
        bitmapOut = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(out));
    else if (out != 0)
        bitmapOut = static_cast<HBITMAP>(::LoadImageW(from, MAKEINTRESOURCEW(out), IMAGE_BITMAP, 0, 0, 0));
    return SetBitmaps(bitmapIn, maskIn, bitmapOut, maskOut);
}

DWORD CStyledButton::SetImage(Gdiplus::Image* image, int frames)
{
    delete m_image;
    m_image = image;
    // A strip with no frames is drawn as one frame (no division by zero).
    m_imageFrames = frames < 1 ? 1 : frames;
    m_imageWidth = image != nullptr ? static_cast<int>(image->GetWidth()) : 0;
    m_imageHeight = image != nullptr ? static_cast<int>(image->GetHeight()) : 0;
    if (image != nullptr && (m_imageWidth == 0 || m_imageHeight == 0)) {
        delete m_image;
        m_image = nullptr;
        return kStyledButtonLoadFailed;
    }
    if (m_imageFrames > 1)
        m_drawFlags &= static_cast<BYTE>(~kThemed);
    Repaint();
    return kStyledButtonOk;
}

DWORD CStyledButton::SetBkImage(Gdiplus::Image* image)
{
    delete m_bkImage;
    m_bkImage = image;
    m_drawFlags &= static_cast<BYTE>(~kThemed);
    Repaint();
    return kStyledButtonOk;
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

DWORD CStyledButton::SetURL(const wchar_t* url)
{
    CopyBounded(m_url, url, kTextChars);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetCursorFromResource(int id, HMODULE module)
{
    HCURSOR cursor = static_cast<HCURSOR>(::LoadImageW(module != nullptr ? module : GetResourceModule(),
                                                       MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, 0));
    if (cursor == nullptr)
        return kStyledButtonLoadFailed;
    if (m_ownCursor && m_cursor != nullptr)
        ::DestroyCursor(m_cursor);
    m_cursor = cursor;
    m_ownCursor = true;
    return kStyledButtonOk;
}

DWORD CStyledButton::EnableBalloonTooltip()
{
    m_tooltipStyle |= TTS_BALLOON;
    return kStyledButtonOk;
}

DWORD CStyledButton::SetTooltipText(const wchar_t* text, bool activate)
{
    if (m_hWnd == nullptr)
        return kStyledButtonOk;
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = 1;
    if (m_tooltip == nullptr) {
        m_tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | m_tooltipStyle, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
        if (m_tooltip == nullptr)
            return kStyledButtonLoadFailed;
        ::SendMessageW(m_tooltip, TTM_ACTIVATE, FALSE, 0);
        ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
        GetClientRect(&tool.rect);
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tool.lpszText = const_cast<wchar_t*>(TextOrResource(text) != nullptr ? TextOrResource(text) : L"");
    ::SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(m_tooltip, TTM_ACTIVATE, activate, 0);
    return kStyledButtonOk;
}

DWORD CStyledButton::ActivateTooltip(bool activate)
{
    if (m_tooltip != nullptr)
        ::SendMessageW(m_tooltip, TTM_ACTIVATE, activate, 0);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetMenu(HMENU menu, bool repaint)
{
    m_menu = menu;
    Repaint(repaint);
    return kStyledButtonOk;
}

DWORD CStyledButton::SetMenuCallback(HWND window, UINT message, LPARAM param)
{
    m_menuCallbackWindow = window;
    m_menuCallbackMessage = message;
    m_menuCallbackParam = param;
    return kStyledButtonOk;
}

DWORD CStyledButton::SetSound(const wchar_t* name, HMODULE module, bool click)
{
    Sound& sound = click ? m_clickSound : m_hoverSound;
    sound = Sound();
    if (name != nullptr && HIWORD(reinterpret_cast<UINT_PTR>(name)) == 0) {
        sound.id = LOWORD(reinterpret_cast<UINT_PTR>(name));
        sound.module = module != nullptr ? module : GetResourceModule();
    } else {
        CopyBounded(sound.name, name, kTextChars);
    }
    return kStyledButtonOk;
}

void CStyledButton::PlaySoundOf(const Sound& sound)
{
    if (sound.id != 0)
        ::PlaySoundW(MAKEINTRESOURCEW(sound.id), sound.module, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    else if (sound.name[0] != 0)
        ::PlaySoundW(sound.name, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

// --- drawing ---

void CStyledButton::OnDrawBackground(HDC dc, const RECT& rect)
{
    const bool pressed = m_drawingPressed;
    const COLORREF colour = m_hover || pressed ? m_colors[kBackgroundActive] : m_colors[kBackgroundNormal];
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void CStyledButton::OnDrawBorder(HDC dc, const RECT& rect)
{
    const bool pressed = m_drawingPressed;
    RECT r = rect;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF topLeft = pressed ? dark : light;
    const COLORREF bottomRight = pressed ? light : dark;
    HBRUSH a = ::CreateSolidBrush(topLeft);
    HBRUSH b = ::CreateSolidBrush(bottomRight);
    FrameEdges(dc, r, a, b);
    ::DeleteObject(a);
    ::DeleteObject(b);
}

bool CStyledButton::ShowsActiveImage(bool hot, bool pressed) const
{
    if (m_checkBox || m_pushLike)
        return pressed || m_checked != 0;
    return hot || pressed;
}

POINT CStyledButton::PlaceImage(int width, int height, bool pressed, const RECT& content, bool hasCaption,
                                RECT* textRect) const
{
    POINT at;
    const int contentWidth = content.right - content.left;
    const int contentHeight = content.bottom - content.top;
    *textRect = content;
    if (!hasCaption) {
        at.x = content.left + (contentWidth - width) / 2;
        at.y = content.top + (contentHeight - height) / 2;
    } else {
        switch (m_align) {
        case kAlignTop:
            at.x = content.left + (contentWidth - width) / 2;
            at.y = content.top + m_margin.y + m_extraOffset;
            textRect->top = at.y + height;
            break;
        case kAlignRight:
            at.x = content.right - m_extraOffset - m_margin.x - width;
            at.y = content.top + (contentHeight - height) / 2;
            textRect->right = at.x - m_margin.x;
            break;
        case kAlignOver:
            at.x = content.left + m_margin.x;
            at.y = content.top + m_margin.y;
            break;
        default:
            at.x = content.left + m_margin.x + m_extraOffset;
            at.y = content.top + (contentHeight - height) / 2;
            textRect->left = at.x + width + m_margin.x;
            break;
        }
    }
    if (pressed && !m_checkBox && !m_pushLike && (m_drawFlags & kShiftPressedImage) != 0) {
        at.x += m_pressedOffset.x;
        at.y += m_pressedOffset.y;
    }
    return at;
}

void CStyledButton::DrawButtonIcon(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                   const RECT&, bool hasCaption, RECT* textRect)
{
    const ImageSlot& slot = ShowsActiveImage(hot, pressed) || m_out.icon == nullptr ? m_in : m_out;
    POINT at = PlaceImage(slot.width, slot.height, pressed, content, hasCaption, textRect);
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(slot.icon), 0, at.x, at.y, slot.width, slot.height,
                 DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void CStyledButton::DrawButtonBitmap(HDC dc, bool hot, bool pressed, bool, const RECT& content,
                                     const RECT&, bool hasCaption, RECT* textRect)
{
    const ImageSlot& slot = ShowsActiveImage(hot, pressed) || m_out.bitmap == nullptr ? m_in : m_out;
    POINT at = PlaceImage(slot.width, slot.height, pressed, content, hasCaption, textRect);
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, slot.mask);
    // The monochrome mask comes in as the target's text (0) and background (1) colours.
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    ::BitBlt(dc, at.x, at.y, slot.width, slot.height, memory, 0, 0, SRCAND);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::SelectObject(memory, slot.bitmap);
    ::BitBlt(dc, at.x, at.y, slot.width, slot.height, memory, 0, 0, SRCPAINT);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void CStyledButton::DrawButtonImage(HDC dc, bool hot, bool pressed, bool disabled, const RECT& content,
                                    const RECT&, bool hasCaption, RECT* textRect)
{
    const int frameWidth = m_imageWidth / m_imageFrames;
    const int state = disabled ? 3 : (pressed ? 2 : (hot ? 1 : 0));
    POINT at = PlaceImage(frameWidth, m_imageHeight, pressed, content, hasCaption, textRect);
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Rect target(at.x, at.y, frameWidth, m_imageHeight);
    if (state < m_imageFrames) {
        graphics.DrawImage(m_image, target, state * frameWidth, 0, frameWidth, m_imageHeight, Gdiplus::UnitPixel);
        return;
    }
    // No frame of its own: frame 0 recoloured for the state.
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
    if (state == 1) {
        matrix.m[0][0] = 1.2f; matrix.m[1][1] = 1.2f; matrix.m[2][2] = 1.1f;
    } else if (state == 2) {
        matrix.m[0][0] = 0.9f; matrix.m[1][1] = 0.9f; matrix.m[2][2] = 0.8f;
    } else if (state == 3) {
        const float luma[3] = {0.299f, 0.587f, 0.114f};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                matrix.m[row][col] = luma[row];
        matrix.m[3][3] = 0.6f;
    }
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    graphics.DrawImage(m_image, target, 0, 0, frameWidth, m_imageHeight, Gdiplus::UnitPixel, &attributes);
}

void CStyledButton::DrawBackgroundImage(HDC dc, const RECT& rect, int state)
{
    const int frameWidth = static_cast<int>(m_bkImage->GetWidth()) / kImageStates;
    const int height = static_cast<int>(m_bkImage->GetHeight());
    const int width = rect.right - rect.left;
    if (frameWidth <= 0 || height <= 0 || width <= 0)
        return;
    const int source = state * frameWidth;
    int half = frameWidth / 2;
    if (half > width / 2)
        half = width / 2;
    const int rectHeight = rect.bottom - rect.top;
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.left, rect.top, half, rectHeight), source, 0, half, height,
                       Gdiplus::UnitPixel);
    graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.right - half, rect.top, half, rectHeight),
                       source + frameWidth - half, 0, half, height, Gdiplus::UnitPixel);
    const int gap = width - 2 * half;
    if (gap > 0)
        graphics.DrawImage(m_bkImage, Gdiplus::Rect(rect.left + half, rect.top, gap, rectHeight),
                           source + frameWidth / 2, 0, 1, height, Gdiplus::UnitPixel);
}

void CStyledButton::DrawThemedMark(HDC dc, const RECT& rect, bool hot, bool pressed, bool disabled, RECT* textRect)
{
    const bool radio = IsRadioKind(m_kind);
    const bool checked = m_checked != 0;
    int state;
    if (disabled)
        state = checked ? 8 : 4;
    else if (checked)
        state = hot ? 6 + (pressed ? 1 : 0) : 5;
    else
        state = hot ? 2 + (pressed ? 1 : 0) : 1;
    RECT mark = rect;
    if (m_align == kAlignRight) {
        mark.left = rect.right - kMarkSize;
        textRect->right = mark.left;
    } else {
        mark.right = rect.left + kMarkSize;
        textRect->left = mark.right;
    }
    ThemeApi::Get().draw(m_theme, dc, radio ? kPartRadioButton : kPartCheckBox, state, &mark, nullptr);
}

void CStyledButton::DrawClassicBorder(HDC dc, const RECT& rect, bool pressed, bool hot)
{
    if (pressed) {
        if (!m_flat) {
            HBRUSH shadow = ::GetSysColorBrush(COLOR_BTNSHADOW);
            ::FrameRect(dc, &rect, shadow);
        } else if (m_drawBorder) {
            OnDrawBorder(dc, rect);
        }
        return;
    }
    if (!m_flat) {
        // Classic bevel: outer highlight / dark shadow, inner light / shadow.
        struct Edge { int inset; int topLeft; int bottomRight; };
        const Edge edges[] = {{0, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW}, {1, COLOR_3DLIGHT, COLOR_BTNSHADOW}};
        for (const Edge& e : edges) {
            RECT r = rect;
            ::InflateRect(&r, -e.inset, -e.inset);
            FrameEdges(dc, r, ::GetSysColorBrush(e.topLeft), ::GetSysColorBrush(e.bottomRight));
        }
    } else if (hot && m_drawBorder) {
        OnDrawBorder(dc, rect);   // raised while hovered
    }
}

void CStyledButton::DrawCaption(HDC dc, const RECT& textRect, bool active, bool disabled)
{
    const int length = GetWindowTextLength();
    if (length <= 0)
        return;
    wchar_t* text = new wchar_t[length + 1];
    GetWindowText(text, length + 1);
    HGDIOBJ oldFont = ::SelectObject(dc, GetFont() != nullptr ? GetFont() : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT measured = textRect;
    ::DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_WORDBREAK | m_textAlign);
    const int textWidth = measured.right - measured.left;
    const int textHeight = measured.bottom - measured.top;
    RECT centred = textRect;
    centred.top = textRect.top + ((textRect.bottom - textRect.top) - textHeight) / 2;
    centred.bottom = centred.top + textHeight;
    if (m_textAlign == DT_CENTER) {
        centred.left = textRect.left + ((textRect.right - textRect.left) - textWidth) / 2;
        centred.right = centred.left + textWidth;
    }
    if (disabled) {
        RECT raised = centred;
        ::OffsetRect(&raised, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextW(dc, text, -1, &raised, DT_WORDBREAK | m_textAlign);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        ::DrawTextW(dc, text, -1, &centred, DT_WORDBREAK | m_textAlign);
    } else {
        ::SetTextColor(dc, active ? m_colors[kTextActive] : m_colors[kTextNormal]);
        ::DrawTextW(dc, text, -1, &centred, DT_WORDBREAK | m_textAlign);
    }
    ::SelectObject(dc, oldFont);
    delete[] text;
}

LRESULT CStyledButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CMemoryDC dc(item->hDC, item->rcItem);
    ::SetBkMode(dc, TRANSPARENT);

    const bool pressed = (item->itemState & ODS_SELECTED) != 0 || (m_checkBox && m_checked != 0);
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool hot = m_hover;
    m_drawingPressed = pressed;
    const bool hasContent = m_in.icon != nullptr || m_in.bitmap != nullptr || m_image != nullptr;
    const bool themed = m_theme != nullptr && (m_drawFlags & kThemed) != 0;

    RECT rect = item->rcItem;
    if (!m_flat && (focused || m_default)) {
        ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&rect, -1, -1);
    }

    if (m_transparent) {
        if (!HasBackgroundCopy())
            ::SendMessageW(m_hWnd, kMakeBackgroundCopyMessage, 0, 0);
        if (HasBackgroundCopy())
            ::BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, BackgroundCopy(),
                     rect.left, rect.top, SRCCOPY);
    } else {
        OnDrawBackground(dc, rect);
    }
    if (m_bkImage != nullptr)
        DrawBackgroundImage(dc, rect, disabled ? 3 : (pressed ? 2 : (hot ? 1 : 0)));

    RECT textRect = rect;
    if (themed && !hasContent && (IsCheckKind(m_kind) || IsRadioKind(m_kind))) {
        DrawThemedMark(dc, rect, hot, pressed, disabled, &textRect);
    } else if (themed) {
        const int state = pressed ? kStatePressed : (hot ? kStateHot : kStateNormal);
        ThemeApi::Get().draw(m_theme, dc, kPartPushButton, state, &rect, nullptr);
    } else if (m_kind == BS_PUSHBUTTON || m_pushLike || !m_checkBox) {
        DrawClassicBorder(dc, rect, pressed, hot);
    }

    RECT content = rect;
    if (m_menu != nullptr)
        content.right -= kDropDownWidth;
    const bool hasCaption = GetWindowTextLength() > 0;
    if (hasContent) {
        if (m_in.icon != nullptr)
            DrawButtonIcon(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
        else if (m_in.bitmap != nullptr)
            DrawButtonBitmap(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
        else
            DrawButtonImage(dc, hot, pressed, disabled, content, textRect, hasCaption, &textRect);
    } else if (m_menu != nullptr) {
        textRect.right = content.right;
    }
    if (hasCaption)
        DrawCaption(dc, textRect, hot || pressed, disabled);

    if (m_menu != nullptr) {
        RECT arrow = {rect.right - kDropDownWidth, rect.top + 2, rect.right, rect.bottom - 2};
        ::DrawEdge(dc, &arrow, EDGE_ETCHED, BF_LEFT);
        const int cx = (arrow.left + arrow.right) / 2;
        const int cy = (arrow.top + arrow.bottom) / 2;
        POINT triangle[3] = {{cx - 3, cy - 1}, {cx + 4, cy - 1}, {cx, cy + 3}};
        HBRUSH brush = ::CreateSolidBrush(disabled ? ::GetSysColor(COLOR_3DSHADOW) : m_colors[kTextNormal]);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, triangle, 3);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
    }
    if (focused) {
        RECT focus = rect;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
    return TRUE;
}

// --- input ---

LRESULT CStyledButton::OnClicked(WORD, WORD, HWND, BOOL&)
{
    PlaySoundOf(m_clickSound);
    if (m_checkBox)
        PostMessage(BM_SETCHECK, m_checked == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_menu != nullptr) {
        TrackMenu();
    } else if (m_url[0] != 0) {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = m_url;
        info.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExW(&info);
    }
    return 0;
}

void CStyledButton::TrackMenu()
{
    HMENU submenu = ::GetSubMenu(m_menu, 0);
    if (submenu == nullptr)
        return;
    m_menuShowing = true;
    Invalidate();
    UpdateWindow();
    if (m_menuCallbackWindow != nullptr)
        ::SendMessageW(m_menuCallbackWindow, m_menuCallbackMessage, reinterpret_cast<WPARAM>(submenu),
                       m_menuCallbackParam);
    RECT window;
    GetWindowRect(&window);
    HWND parent = GetParent();
    const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(submenu, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                                             window.left, window.bottom, parent, nullptr));
    m_menuShowing = false;
    Invalidate();
    UpdateWindow();
    if (chosen != 0)
        ::PostMessageW(parent, WM_COMMAND, chosen, 0);
}

LRESULT CStyledButton::OnMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_tooltip != nullptr) {
        MSG relay = {m_hWnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {0, 0}};
        DWORD pos = ::GetMessagePos();
        relay.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    if (msg == WM_LBUTTONDOWN && m_autoRepeat) {
        LRESULT result = DefWindowProc(msg, wParam, lParam);
        SetTimer(m_hWnd, kAutoRepeatTimer, m_repeatDelay, nullptr);
        return result;
    }
    if (msg == WM_LBUTTONUP && m_autoRepeat)
        ::KillTimer(m_hWnd, kAutoRepeatTimer);
    if (msg != WM_MOUSEMOVE) {
        bHandled = FALSE;
        return 0;
    }

    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if ((wParam & MK_LBUTTON) != 0 && !m_hover)
        return result;
    if (!m_flat)
        return result;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(&client);
    m_dropDownHover = point.x >= client.right - kDropDownWidth;
    if (::GetCapture() != m_hWnd) {
        m_hover = true;
        ::SetCapture(m_hWnd);
        Invalidate();
        PlaySoundOf(m_hoverSound);
    } else {
        POINT screen = point;
        ClientToScreen(&screen);
        if (::WindowFromPoint(screen) != m_hWnd) {
            m_hover = false;
            m_dropDownHover = false;
            Invalidate();
            if ((wParam & MK_LBUTTON) == 0)
                ::ReleaseCapture();
        }
    }
    return result;
}

LRESULT CStyledButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    ::KillTimer(m_hWnd, kAutoRepeatTimer);
    if (m_hover) {
        ::ReleaseCapture();
        Invalidate();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (m_flat) {
        m_hover = false;
        Invalidate();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnActivateOrEnable(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (m_flat && m_hover && LOWORD(wParam) == 0) {
        m_hover = false;
        Invalidate();
    }
    return result;
}

LRESULT CStyledButton::OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT CStyledButton::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (m_cursor == nullptr) {
        bHandled = FALSE;
        return 0;
    }
    ::SetCursor(m_cursor);
    return TRUE;
}

LRESULT CStyledButton::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam == kRepaintTimer) {
        Invalidate();
        return 0;
    }
    if (wParam == kAutoRepeatTimer) {
        // Only while the button is held down under the mouse.
        if ((::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0)
            ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                           reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CStyledButton::OnSetStyle(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
        m_default = type == BS_DEFPUSHBUTTON;
    return DefWindowProc(msg, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CStyledButton::OnGetCheck(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_checkBox || m_pushLike ? m_checked : 0;
}

LRESULT CStyledButton::OnSetCheck(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_checked = static_cast<int>(wParam);
    if (IsRadioKind(m_kind) && m_checked != 0) {
        HWND parent = GetParent();
        for (HWND other = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE); other != nullptr && other != m_hWnd;
             other = ::GetNextDlgGroupItem(parent, other, FALSE))
            ::SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    Invalidate();
    return 0;
}
