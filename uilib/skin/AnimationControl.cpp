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
constexpr DWORD kAviHeaderBytes = 56;
constexpr DWORD kStreamHeaderBytes = 64;
constexpr FOURCC kJunk = mmioFOURCC('J', 'U', 'N', 'K');
constexpr FOURCC kRec = mmioFOURCC('r', 'e', 'c', ' ');
constexpr FOURCC kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr FOURCC kRle = mmioFOURCC('R', 'L', 'E', ' ');
constexpr FOURCC kNone = mmioFOURCC('N', 'O', 'N', 'E');

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

BOOL CAnimationControl::Open(HINSTANCE module, const wchar_t* name)
{
    Close();
    if (!name || m_orphaned)
        return FALSE;
    if (!module)
        module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    if (!OpenStream(module, name) || !Parse() || !OpenDecoder()) {
        Close();
        return FALSE;
    }
    if (!(m_style & ACS_CENTER))
        SetWindowPos(m_window, nullptr, 0, 0, m_main.dwWidth, m_main.dwHeight,
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    if (m_style & ACS_AUTOPLAY)
        Play(-1, 0, -1);
    else
        Play(1, 0, 0);
    return TRUE;
}

bool CAnimationControl::OpenStream(HINSTANCE module, const wchar_t* name)
{
    HRSRC found = FindResourceW(module, name, L"AVI");
    if (found) {
        m_resource = LoadResource(module, found);
        void* bytes = m_resource ? LockResource(m_resource) : nullptr;
        DWORD size = SizeofResource(module, found);
        if (!bytes || !size)
            return false;
        MMIOINFO info = {};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = static_cast<HPSTR>(bytes);
        info.cchBuffer = static_cast<LONG>(size);
        m_stream = mmioOpenA(nullptr, &info, MMIO_READ);
        return m_stream != nullptr;
    }
    if (IS_INTRESOURCE(name))
        return false;
    m_stream = mmioOpenW(const_cast<wchar_t*>(name), nullptr, MMIO_READ | MMIO_ALLOCBUF | MMIO_DENYWRITE);
    return m_stream != nullptr;
}

bool CAnimationControl::Parse()
{
    MMCKINFO riff = {}, hdrl = {}, chunk = {}, strl = {};
    riff.fccType = formtypeAVI;
    if (mmioDescend(m_stream, &riff, nullptr, MMIO_FINDRIFF))
        return false;
    hdrl.fccType = listtypeAVIHEADER;
    if (mmioDescend(m_stream, &hdrl, &riff, MMIO_FINDLIST))
        return false;
    chunk.ckid = ckidAVIMAINHDR;
    if (mmioDescend(m_stream, &chunk, &hdrl, MMIO_FINDCHUNK) ||
        mmioRead(m_stream, reinterpret_cast<HPSTR>(&m_main), kAviHeaderBytes) != static_cast<LONG>(kAviHeaderBytes))
        return false;
    mmioAscend(m_stream, &chunk, 0);
    strl.fccType = listtypeSTREAMHEADER;
    if (mmioDescend(m_stream, &strl, &hdrl, MMIO_FINDLIST))
        return false;
    chunk = MMCKINFO{};
    chunk.ckid = ckidSTREAMHEADER;
    if (mmioDescend(m_stream, &chunk, &strl, MMIO_FINDCHUNK) ||
        mmioRead(m_stream, reinterpret_cast<HPSTR>(&m_header), kStreamHeaderBytes) !=
            static_cast<LONG>(kStreamHeaderBytes))
        return false;
    mmioAscend(m_stream, &chunk, 0);
    chunk = MMCKINFO{};
    chunk.ckid = ckidSTREAMFORMAT;
    if (mmioDescend(m_stream, &chunk, &strl, MMIO_FINDCHUNK) || chunk.cksize < sizeof(BITMAPINFOHEADER))
        return false;
    // Room for a full palette whatever the chunk holds, so the colour-count fix-up stays inside.
    size_t bytes = chunk.cksize + 256 * sizeof(RGBQUAD);
    m_format = static_cast<BITMAPINFO*>(calloc(1, bytes));
    if (!m_format || mmioRead(m_stream, reinterpret_cast<HPSTR>(m_format), chunk.cksize) != static_cast<LONG>(chunk.cksize))
        return false;
    mmioAscend(m_stream, &chunk, 0);
    mmioAscend(m_stream, &strl, 0);
    mmioAscend(m_stream, &hdrl, 0);

    BITMAPINFOHEADER& h = m_format->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biBitCount == 0 || h.biClrUsed > 256)
        return false;
    if (h.biClrUsed == 0 && h.biBitCount <= 8)
        h.biClrUsed = 1u << h.biBitCount;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (h.biCompression == BI_RGB && h.biSizeImage == 0)
        h.biSizeImage = ((h.biWidth * h.biBitCount + 31) / 32) * 4 * height;
    if (h.biCompression != BI_RGB && h.biBitCount == 8 && m_header.fccHandler == kRle)
        h.biCompression = BI_RLE8;
    if (h.biCompression == BI_RGB && (m_header.fccHandler == 0 || m_header.fccHandler == kNone))
        m_header.fccHandler = kDib;

    MMCKINFO movi = {};
    movi.fccType = listtypeAVIMOVIE;
    if (mmioDescend(m_stream, &movi, &riff, MMIO_FINDLIST))
        return false;
    return IndexFrames(&movi);
}

bool CAnimationControl::IndexFrames(MMCKINFO* movi)
{
    DWORD largest = 0;
    auto add = [&](const MMCKINFO& ck) {
        if (ck.ckid == kJunk || m_frames.size() >= m_main.dwTotalFrames)
            return;
        m_frames.push_back(Frame{static_cast<LONG>(ck.dwDataOffset), ck.cksize});
        if (ck.cksize > largest)
            largest = ck.cksize;
    };
    MMCKINFO ck = {};
    while (m_frames.size() < m_main.dwTotalFrames && mmioDescend(m_stream, &ck, movi, 0) == 0) {
        if (ck.ckid == FOURCC_LIST && ck.fccType == kRec) {
            MMCKINFO sub = {};
            while (mmioDescend(m_stream, &sub, &ck, 0) == 0) {
                add(sub);
                mmioAscend(m_stream, &sub, 0);
            }
        } else {
            add(ck);
        }
        mmioAscend(m_stream, &ck, 0);
    }
    if (m_frames.empty())
        return false;
    m_buffer.resize(largest > m_main.dwSuggestedBufferSize ? largest : m_main.dwSuggestedBufferSize);
    return true;
}

bool CAnimationControl::OpenDecoder()
{
    FOURCC handler = m_header.fccHandler;
    if (handler == 0 || handler == kDib || handler == kRle)
        return true;
    m_decoder = ICOpen(ICTYPE_VIDEO, handler, ICMODE_DECOMPRESS);
    if (!m_decoder)
        return false;
    LRESULT size = ICDecompressGetFormatSize(m_decoder, m_format);
    if (size <= 0) {
        ICClose(m_decoder);
        m_decoder = nullptr;
        return true;
    }
    m_outFormat = static_cast<BITMAPINFO*>(calloc(1, static_cast<size_t>(size)));
    if (!m_outFormat || ICDecompressGetFormat(m_decoder, m_format, m_outFormat) != ICERR_OK)
        return false;
    if (m_outFormat->bmiHeader.biSizeImage == 0) {
        const BITMAPINFOHEADER& o = m_outFormat->bmiHeader;
        LONG height = o.biHeight < 0 ? -o.biHeight : o.biHeight;
        m_outFormat->bmiHeader.biSizeImage = ((o.biWidth * o.biBitCount + 31) / 32) * 4 * height;
    }
    m_outBuffer.resize(m_outFormat->bmiHeader.biSizeImage);
    return ICDecompressBegin(m_decoder, m_format, m_outFormat) == ICERR_OK;
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
        // The frame's own chunk size: never more than the buffer holds.
        LONG bytes = static_cast<LONG>(frame.size < m_buffer.size() ? frame.size : m_buffer.size());
        bool ok = mmioSeek(m_stream, frame.offset, SEEK_SET) == frame.offset &&
                  mmioRead(m_stream, reinterpret_cast<HPSTR>(m_buffer.data()), bytes) == bytes;
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
