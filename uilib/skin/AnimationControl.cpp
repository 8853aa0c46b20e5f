#include "uilib/skin/AnimationControl.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "uilib/skin/ClassReplacements.h"
#include "uilib/skin/DialogSkinning.h"

namespace {

const wchar_t kObjectProp[] = L"glzAnimate";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

CAnimationControl::CAnimationControl(HWND window, const CREATESTRUCTW* create)
    : m_window(window), m_parent(create ? create->hwndParent : GetParent(window)),
      m_style(create ? static_cast<DWORD>(create->style) : 0)
{
    InitializeCriticalSection(&m_lock);
}

CAnimationControl::~CAnimationControl()
{
    Close();
    DeleteCriticalSection(&m_lock);
}

LRESULT CALLBACK CAnimationControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* control = static_cast<CAnimationControl*>(GetPropW(window, kObjectProp));
    if (message == WM_NCCREATE) {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (!result)
            return result;
        control = new (std::nothrow) CAnimationControl(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
        if (!control)
            return FALSE;
        SetPropW(window, kObjectProp, control);
        return result;
    }
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DESTROY) {
        RemovePropW(window, kObjectProp);
        // Destroyed by the parent while it handles a notification: the message that sent it
        // still runs on the object, which goes once that message is done.
        if (control->m_depth)
            control->m_orphaned = true;
        else
            delete control;
        return 0;
    }
    ++control->m_depth;
    LRESULT result = control->Handle(message, wParam, lParam);
    if (--control->m_depth == 0 && control->m_orphaned)
        delete control;
    return result;
}

LRESULT CAnimationControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case ACM_OPENA: {
        auto module = reinterpret_cast<HINSTANCE>(wParam);
        if (lParam && !IS_INTRESOURCE(lParam)) {
            const char* narrow = reinterpret_cast<const char*>(lParam);
            int chars = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
            std::vector<wchar_t> wide(chars > 0 ? chars : 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide.data(), static_cast<int>(wide.size()));
            return Open(module, wide.data());
        }
        return Open(module, reinterpret_cast<const wchar_t*>(lParam));
    }
    case ACM_OPENW:
        return Open(reinterpret_cast<HINSTANCE>(wParam), reinterpret_cast<const wchar_t*>(lParam));
    case ACM_PLAY:
        return Play(static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    case ACM_STOP:
        return m_stream ? Stop() : 0;
    case WM_CREATE:
        return 0;
    case WM_SIZE:
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_window, &ps);
        PaintLast(dc);
        EndPaint(m_window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintLast(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND: {
        if (!IsSkinnedDialog(m_parent))
            break;
        auto dc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(m_parent, WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(m_window)));
        if (brush && brush != GetStockObject(NULL_BRUSH) && brush != GetSysColorBrush(COLOR_BTNFACE)) {
            RECT client;
            GetClientRect(m_window, &client);
            FillRect(dc, &client, brush);
        }
        return 1;
    }
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
            m_style = reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew;
            InvalidateRect(m_window, nullptr, TRUE);
        }
        return 0;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_TIMER:
        if (wParam == kTimerId) {
            Tick();
            return 0;
        }
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

BOOL CAnimationControl::Play(int repeat, int first, int last)
{
    if (!m_stream)
        return FALSE;
    if (Playing())
        return TRUE;
    int count = static_cast<int>(m_frames.size());
    if (last == -1)
        last = count - 1;
    if (first < 0 || last < first || last >= count)
        return FALSE;
    m_first = first;
    m_last = last;
    m_repeat = repeat;
    m_current = first;
    UINT period = m_main.dwMicroSecPerFrame / 1000;
    m_timer = SetTimer(m_window, kTimerId, period, nullptr);
    if (!m_timer)
        return FALSE;
    Notify(ACN_START);
    return TRUE;
}

BOOL CAnimationControl::Stop()
{
    EnterCriticalSection(&m_lock);
    if (m_timer)
        KillTimer(m_window, kTimerId);
    m_timer = 0;
    LeaveCriticalSection(&m_lock);
    // Every stop of an open clip is announced, playing or not, except one the parent makes while
    // it handles that announcement: a parent that stops or opens the next clip on ACN_STOP would
    // otherwise never get out.
    if (m_stream && !m_notifyingStop) {
        m_notifyingStop = true;
        Notify(ACN_STOP);
        m_notifyingStop = false;
    }
    return TRUE;
}

void CAnimationControl::Close()
{
    Stop();
    if (m_stream)
        mmioClose(m_stream, 0);
    m_stream = nullptr;
    m_streamSize = 0;
    m_imageBytes = 0;
    if (m_resource)
        FreeResource(m_resource);
    m_resource = nullptr;
    if (m_decoder) {
        ICDecompressEnd(m_decoder);
        ICClose(m_decoder);
    }
    m_decoder = nullptr;
    m_frames.clear();
    free(m_format);
    m_format = nullptr;
    free(m_outFormat);
    m_outFormat = nullptr;
    m_buffer.clear();
    m_outBuffer.clear();
    if (m_frameBitmap)
        DeleteObject(m_frameBitmap);
    if (m_shown && m_shown != m_frameBitmap)
        DeleteObject(m_shown);
    m_frameBitmap = nullptr;
    m_shown = nullptr;
    m_main = MainAVIHeader{};
    m_header = AVIStreamHeader{};
    m_transparent = CLR_INVALID;
}

void CAnimationControl::Tick()
{
    EnterCriticalSection(&m_lock);
    bool stop = false;
    if (m_stream && m_current >= 0 && m_current < static_cast<int>(m_frames.size())) {
        const Frame& frame = m_frames[m_current];
        // The frame's own chunk size: never more than the buffer holds. An empty chunk keeps
        // the frame shown before.
        LONG bytes = static_cast<LONG>(frame.size < m_buffer.size() ? frame.size : m_buffer.size());
        bool ok = bytes > 0 && mmioSeek(m_stream, frame.offset, SEEK_SET) == frame.offset &&
                  mmioRead(m_stream, reinterpret_cast<HPSTR>(m_buffer.data()), bytes) == bytes;
        // A compressed frame is read, by GDI or the decoder, only as far as its own bytes go.
        if (ok && !m_imageBytes)
            m_format->bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
        if (ok && m_decoder)
            ok = ICDecompress(m_decoder, 0, &m_format->bmiHeader, m_buffer.data(), &m_outFormat->bmiHeader,
                              m_outBuffer.data()) == ICERR_OK;
        if (ok) {
            HDC dc = GetDC(m_window);
            DrawFrame(dc);
            ReleaseDC(m_window, dc);
        }
        if (++m_current > m_last) {
            m_current = m_first;
            // Only -1 repeats for ever.
            if (m_repeat != -1 && --m_repeat <= 0)
                stop = true;
        }
    }
    LeaveCriticalSection(&m_lock);
    if (stop)
        Stop();
}

void CAnimationControl::DrawFrame(HDC dc)
{
    const BITMAPINFO* format = m_decoder ? m_outFormat : m_format;
    const void* bits = m_decoder ? m_outBuffer.data() : m_buffer.data();
    int cx = format->bmiHeader.biWidth;
    int cy = format->bmiHeader.biHeight < 0 ? -format->bmiHeader.biHeight : format->bmiHeader.biHeight;
    if (!m_frameBitmap)
        m_frameBitmap = CreateCompatibleBitmap(dc, cx, cy);
    if (!m_frameBitmap)
        return;
    SetDIBits(dc, m_frameBitmap, 0, cy, bits, format, DIB_RGB_COLORS);
    HDC frameDc = CreateCompatibleDC(dc);
    HGDIOBJ oldFrame = SelectObject(frameDc, m_frameBitmap);
    if (m_transparent == CLR_INVALID)
        m_transparent = GetPixel(frameDc, 0, 0);
    HBITMAP shown = m_frameBitmap;
    if (m_style & ACS_TRANSPARENT) {
        HBITMAP composed = CreateCompatibleBitmap(dc, cx, cy);
        HDC composeDc = composed ? CreateCompatibleDC(dc) : nullptr;
        if (composeDc) {
            HGDIOBJ oldCompose = SelectObject(composeDc, composed);
            auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
                m_parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(composeDc), reinterpret_cast<LPARAM>(m_window)));
            bool ownBrush = brush && brush != GetStockObject(NULL_BRUSH) && brush != GetSysColorBrush(COLOR_BTNFACE);
            if (brush && (!IsSkinnedDialog(m_parent) || ownBrush)) {
                RECT all = {0, 0, cx, cy};
                FillRect(composeDc, &all, brush);
            }
            TransparentBlt(composeDc, 0, 0, cx, cy, frameDc, 0, 0, cx, cy, m_transparent);
            SelectObject(composeDc, oldCompose);
            DeleteDC(composeDc);
            shown = composed;
        } else if (composed) {
            DeleteObject(composed);
        }
    }
    SelectObject(frameDc, oldFrame);
    DeleteDC(frameDc);
    if (m_shown && m_shown != m_frameBitmap && m_shown != shown)
        DeleteObject(m_shown);
    m_shown = shown;
    PaintLast(dc);
}

void CAnimationControl::PaintLast(HDC dc)
{
    EnterCriticalSection(&m_lock);
    if (m_shown) {
        BITMAP bm = {};
        GetObjectW(m_shown, sizeof(bm), &bm);
        int x = 0, y = 0;
        if (m_style & ACS_CENTER) {
            RECT client;
            GetClientRect(m_window, &client);
            x = (client.right - bm.bmWidth) / 2;
            y = (client.bottom - bm.bmHeight) / 2;
        }
        BlitBitmap(dc, x, y, bm.bmWidth, bm.bmHeight, m_shown);
    }
    LeaveCriticalSection(&m_lock);
}

void CAnimationControl::Notify(WORD code)
{
    if (m_parent && IsWindow(m_parent))
        SendMessageW(m_parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_window), code),
                     reinterpret_cast<LPARAM>(m_window));
}

WNDPROC AnimationReplacementProc()
{
    return CAnimationControl::WindowProc;
}
