#pragma once
#include <windows.h>
#include <vfw.h>

#include <vector>

// The library's own "SysAnimate32": plays silent AVI clips (resource or file) on a timer and
// draws each frame with the clip's top-left colour as transparent, so clips on skinned dialogs
// play over the dialog's gradient.
class CAnimationControl {
public:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CAnimationControl(HWND window, const CREATESTRUCTW* create);
    ~CAnimationControl();

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL Open(HINSTANCE module, const wchar_t* name);
    bool OpenStream(HINSTANCE module, const wchar_t* name);
    // Descends into the chunk at the stream's position when it lies whole inside parent and the stream.
    bool NextChunk(MMCKINFO* chunk, const MMCKINFO* parent);
    // Finds parent's child (the stream's top level for null) of this id and list type; the stream
    // is left at its data.
    bool FindChunk(MMCKINFO* found, const MMCKINFO* parent, FOURCC id, FOURCC type = 0);
    bool Parse();
    bool FixFormat(DWORD formatBytes);
    bool IndexFrames(MMCKINFO* movi);
    bool OpenDecoder();
    BOOL Play(int repeat, int first, int last);
    BOOL Stop();
    void Close();
    void Tick();
    void DrawFrame(HDC dc);
    void PaintLast(HDC dc);
    void Notify(WORD code);
    bool Playing() const { return m_timer != 0; }

    struct Frame {
        LONG offset;
        DWORD size;
    };

    HWND m_window;
    HWND m_parent;
    DWORD m_style;
    CRITICAL_SECTION m_lock;
    HGLOBAL m_resource = nullptr;
    HMMIO m_stream = nullptr;
    LONG m_streamSize = 0;
    MainAVIHeader m_main = {};
    AVIStreamHeader m_header = {};
    BITMAPINFO* m_format = nullptr;
    std::vector<Frame> m_frames;
    std::vector<BYTE> m_buffer;
    DWORD m_imageBytes = 0;  // what drawing an uncompressed frame reads; 0 for compressed clips
    HIC m_decoder = nullptr;
    BITMAPINFO* m_outFormat = nullptr;
    std::vector<BYTE> m_outBuffer;
    UINT_PTR m_timer = 0;
    int m_first = 0, m_last = 0, m_repeat = 0, m_current = 0;
    HBITMAP m_frameBitmap = nullptr;  // the decoded frame
    HBITMAP m_shown = nullptr;        // what was drawn last (composed over the background)
    COLORREF m_transparent = CLR_INVALID;
    bool m_notifyingStop = false;  // ACN_STOP is being sent
    int m_depth = 0;               // messages of the window running on the object
    bool m_orphaned = false;       // its window is gone: deleted when the last message is done
};

WNDPROC AnimationReplacementProc();
