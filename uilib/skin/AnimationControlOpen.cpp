// Opening a clip: the stream, its headers, its frame index and its decoder. Every size the file
// gives is checked against the file and against what drawing a frame reads; a clip whose sizes
// disagree is refused as a missing one is.
#include "uilib/skin/AnimationControl.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr DWORD kAviHeaderBytes = 56;
constexpr DWORD kStreamHeaderBytes = 64;
constexpr DWORD kStreamHeaderLeast = 48;  // all but the frame rectangle, which some files write short
constexpr FOURCC kJunk = mmioFOURCC('J', 'U', 'N', 'K');
constexpr FOURCC kRec = mmioFOURCC('r', 'e', 'c', ' ');
constexpr FOURCC kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr FOURCC kRle = mmioFOURCC('R', 'L', 'E', ' ');
constexpr FOURCC kNone = mmioFOURCC('N', 'O', 'N', 'E');

// What a clip may declare. The control plays small silent clips; a frame past these would take
// the frame bitmaps past any sane amount of memory.
constexpr LONG kMaxClipSide = 4096;
constexpr DWORD kMaxFormatBytes = 64 * 1024;  // a header, a palette and a decoder's extra data
constexpr size_t kPaletteRoom = 256 * sizeof(RGBQUAD);  // a full palette past any header

using Bytes = unsigned long long;

// Where a chunk's data ends, never past the stream (a cut file keeps its first sizes).
Bytes EndOf(const MMCKINFO& chunk, LONG streamSize)
{
    return std::min<Bytes>(static_cast<Bytes>(chunk.dwDataOffset) + chunk.cksize, static_cast<Bytes>(streamSize));
}

bool Inside(const MMCKINFO& chunk, Bytes end)
{
    return static_cast<Bytes>(chunk.dwDataOffset) + chunk.cksize <= end;
}

LONG HeightOf(const BITMAPINFOHEADER& h)
{
    return h.biHeight < 0 ? -h.biHeight : h.biHeight;
}

// The bytes of one uncompressed image: rows of whole 32-bit words.
Bytes ImageBytes(const BITMAPINFOHEADER& h)
{
    return (static_cast<Bytes>(h.biWidth) * h.biBitCount + 31) / 32 * 4 * static_cast<Bytes>(HeightOf(h));
}

// Uncompressed and run-length clips are drawn by GDI itself.
bool NeedsNoDecoder(FOURCC handler)
{
    return handler == 0 || handler == kDib || handler == kRle;
}

bool IsUncompressed(const BITMAPINFOHEADER& h)
{
    return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
}

// A bitmap header GDI can be handed: its own size inside the bytes it came in, a frame of a
// bounded size and a bit count a bitmap can have.
bool IsSaneImage(const BITMAPINFOHEADER& h, DWORD formatBytes)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > formatBytes)
        return false;
    if (h.biWidth <= 0 || h.biWidth > kMaxClipSide || h.biHeight == 0 || h.biHeight < -kMaxClipSide ||
        h.biHeight > kMaxClipSide)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    if (h.biCompression == BI_BITFIELDS && h.biBitCount != 16 && h.biBitCount != 32)
        return false;
    return h.biClrUsed <= 256;
}

// A heap copy of a bitmap format with room for a full palette past its header.
BITMAPINFO* AllocateFormat(DWORD bytes)
{
    return static_cast<BITMAPINFO*>(calloc(1, std::max<size_t>(bytes, sizeof(BITMAPINFOHEADER)) + kPaletteRoom));
}

}  // namespace

BOOL CAnimationControl::Open(HINSTANCE module, const wchar_t* name)
{
    Close();
    if (!name || m_orphaned)
        return FALSE;
    if (!module)
        module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    bool opened = false;
    try {
        opened = OpenStream(module, name) && Parse() && OpenDecoder();
    } catch (const std::bad_alloc&) {
        opened = false;  // a frame index or buffer the memory cannot hold
    }
    if (!opened) {
        Close();
        return FALSE;
    }
    if (!(m_style & ACS_CENTER)) {
        // The size of the frames drawn (the main header's is only what the writer meant).
        const BITMAPINFOHEADER& drawn = (m_decoder ? m_outFormat : m_format)->bmiHeader;
        SetWindowPos(m_window, nullptr, 0, 0, drawn.biWidth, HeightOf(drawn),
                     SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    }
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
        if (!bytes || !size || size > static_cast<DWORD>(LONG_MAX))
            return false;
        MMIOINFO info = {};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = static_cast<HPSTR>(bytes);
        info.cchBuffer = static_cast<LONG>(size);
        m_stream = mmioOpenA(nullptr, &info, MMIO_READ);
        m_streamSize = static_cast<LONG>(size);
        return m_stream != nullptr;
    }
    if (IS_INTRESOURCE(name))
        return false;
    m_stream = mmioOpenW(const_cast<wchar_t*>(name), nullptr, MMIO_READ | MMIO_ALLOCBUF | MMIO_DENYWRITE);
    if (!m_stream)
        return false;
    m_streamSize = mmioSeek(m_stream, 0, SEEK_END);
    return m_streamSize > 0 && mmioSeek(m_stream, 0, SEEK_SET) == 0;
}

bool CAnimationControl::NextChunk(MMCKINFO* chunk, const MMCKINFO* parent)
{
    return mmioDescend(m_stream, chunk, parent, 0) == MMSYSERR_NOERROR && Inside(*chunk, EndOf(*parent, m_streamSize));
}

bool CAnimationControl::FindChunk(MMCKINFO* found, const MMCKINFO* parent, FOURCC id, FOURCC type)
{
    bool inList = parent && (parent->ckid == FOURCC_RIFF || parent->ckid == FOURCC_LIST);
    Bytes at = parent ? static_cast<Bytes>(parent->dwDataOffset) + (inList ? 4 : 0) : 0;
    Bytes end = parent ? EndOf(*parent, m_streamSize) : static_cast<Bytes>(m_streamSize);
    // Each chunk is stepped over by its own size, so the walk only goes forward and ends at the
    // parent's end. (The system's own search wraps around at a size near 4 GB and never ends.)
    while (at + 8 <= end) {
        MMCKINFO chunk = {};
        if (mmioSeek(m_stream, static_cast<LONG>(at), SEEK_SET) != static_cast<LONG>(at) ||
            mmioDescend(m_stream, &chunk, nullptr, 0) != MMSYSERR_NOERROR)
            return false;
        bool list = chunk.ckid == FOURCC_RIFF || chunk.ckid == FOURCC_LIST;
        if (chunk.ckid == id && (!list || chunk.fccType == type)) {
            *found = chunk;
            return true;
        }
        at = static_cast<Bytes>(chunk.dwDataOffset) + chunk.cksize + (chunk.cksize & 1);
    }
    return false;
}

bool CAnimationControl::Parse()
{
    // The lists of a cut file claim more than it holds: their sizes only bound the walks. The
    // chunks read whole must lie inside their list and the file.
    MMCKINFO riff, hdrl, strl, movi, chunk;
    if (!FindChunk(&riff, nullptr, FOURCC_RIFF, formtypeAVI) ||
        !FindChunk(&hdrl, &riff, FOURCC_LIST, listtypeAVIHEADER))
        return false;
    if (!FindChunk(&chunk, &hdrl, ckidAVIMAINHDR) || !Inside(chunk, EndOf(hdrl, m_streamSize)) ||
        chunk.cksize < kAviHeaderBytes ||
        mmioRead(m_stream, reinterpret_cast<HPSTR>(&m_main), kAviHeaderBytes) != static_cast<LONG>(kAviHeaderBytes))
        return false;
    if (!FindChunk(&strl, &hdrl, FOURCC_LIST, listtypeSTREAMHEADER))
        return false;
    if (!FindChunk(&chunk, &strl, ckidSTREAMHEADER) || !Inside(chunk, EndOf(strl, m_streamSize)) ||
        chunk.cksize < kStreamHeaderLeast)
        return false;
    LONG headerBytes = static_cast<LONG>(std::min(chunk.cksize, kStreamHeaderBytes));
    if (mmioRead(m_stream, reinterpret_cast<HPSTR>(&m_header), headerBytes) != headerBytes)
        return false;
    if (!FindChunk(&chunk, &strl, ckidSTREAMFORMAT) || !Inside(chunk, EndOf(strl, m_streamSize)) ||
        chunk.cksize < sizeof(BITMAPINFOHEADER) || chunk.cksize > kMaxFormatBytes)
        return false;
    m_format = AllocateFormat(chunk.cksize);
    LONG formatBytes = static_cast<LONG>(chunk.cksize);
    if (!m_format || mmioRead(m_stream, reinterpret_cast<HPSTR>(m_format), formatBytes) != formatBytes)
        return false;
    if (!FixFormat(chunk.cksize))
        return false;
    return FindChunk(&movi, &riff, FOURCC_LIST, listtypeAVIMOVIE) && IndexFrames(&movi);
}

bool CAnimationControl::FixFormat(DWORD formatBytes)
{
    BITMAPINFOHEADER& h = m_format->bmiHeader;
    if (h.biCompression != BI_RGB && h.biBitCount == 8 && m_header.fccHandler == kRle)
        h.biCompression = BI_RLE8;
    if (!IsSaneImage(h, formatBytes) || (h.biCompression == BI_RLE8 && h.biBitCount != 8) ||
        (h.biCompression == BI_RLE4 && h.biBitCount != 4))
        return false;
    if (h.biClrUsed == 0 && h.biBitCount <= 8)
        h.biClrUsed = 1u << h.biBitCount;
    // An uncompressed frame is read whole by the drawing, whatever the header says it holds.
    m_imageBytes = IsUncompressed(h) ? static_cast<DWORD>(ImageBytes(h)) : 0;
    if (IsUncompressed(h) && h.biSizeImage == 0)
        h.biSizeImage = m_imageBytes;
    if (h.biCompression == BI_RGB && (m_header.fccHandler == 0 || m_header.fccHandler == kNone))
        m_header.fccHandler = kDib;
    return true;
}

bool CAnimationControl::IndexFrames(MMCKINFO* movi)
{
    // An uncompressed clip drawn without a decoder reads a whole image from every frame.
    DWORD least = NeedsNoDecoder(m_header.fccHandler) ? m_imageBytes : 0;
    DWORD largest = 0;
    bool sane = true;
    auto add = [&](const MMCKINFO& ck) {
        if (ck.ckid == kJunk || m_frames.size() >= m_main.dwTotalFrames)
            return;
        // An empty chunk repeats the frame before it; a short one would be read past its end.
        if (ck.cksize != 0 && ck.cksize < least)
            sane = false;
        m_frames.push_back(Frame{static_cast<LONG>(ck.dwDataOffset), ck.cksize});
        largest = std::max(largest, ck.cksize);
    };
    // A chunk that reaches past its list or the file ends the index: the rest of a cut file.
    MMCKINFO ck = {};
    while (sane && m_frames.size() < m_main.dwTotalFrames && NextChunk(&ck, movi)) {
        if (ck.ckid == FOURCC_LIST && ck.fccType == kRec) {
            MMCKINFO sub = {};
            while (sane && NextChunk(&sub, &ck)) {
                add(sub);
                mmioAscend(m_stream, &sub, 0);
            }
        } else {
            add(ck);
        }
        mmioAscend(m_stream, &ck, 0);
    }
    if (!sane || m_frames.empty())
        return false;
    // The suggested size counts only as far as the file could fill it.
    DWORD suggested = std::min<DWORD>(m_main.dwSuggestedBufferSize, static_cast<DWORD>(m_streamSize));
    m_buffer.assign(std::max({largest, suggested, m_imageBytes}), 0);
    return true;
}

bool CAnimationControl::OpenDecoder()
{
    FOURCC handler = m_header.fccHandler;
    if (NeedsNoDecoder(handler))
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
    if (size > static_cast<LRESULT>(kMaxFormatBytes))
        return false;
    m_outFormat = AllocateFormat(static_cast<DWORD>(size));
    if (!m_outFormat || ICDecompressGetFormat(m_decoder, m_format, m_outFormat) != ICERR_OK)
        return false;
    // The decoder's frames are drawn as they are: they must be bitmaps GDI reads whole.
    BITMAPINFOHEADER& o = m_outFormat->bmiHeader;
    if (!IsSaneImage(o, static_cast<DWORD>(size)) || !IsUncompressed(o))
        return false;
    DWORD image = static_cast<DWORD>(ImageBytes(o));
    if (o.biSizeImage < image)
        o.biSizeImage = image;
    else if (o.biSizeImage > 2 * image)
        return false;  // room for far more than one frame: not a frame format
    m_outBuffer.assign(o.biSizeImage, 0);
    return ICDecompressBegin(m_decoder, m_format, m_outFormat) == ICERR_OK;
}
