#pragma once
#include <windows.h>

#include "uilib/skin/LayeredBorder.h"
#include "uilib/skin/Profile.h"
#include "uilib/skin/PtrArray.h"
#include "uilib/skin/ShadowFill.h"
#include "uilib/skin/Skin.h"
#include "uilib/skin/SkinBase.h"
#include "uilib/skin/SkinFrameInterfaces.h"
#include "uilib/skin/SkinLayout.h"
#include "uilib/skin/SkinSb.h"

namespace FWSkin {

// Option bits of a frame.
constexpr DWORD kOptionNotify = 1;
constexpr DWORD kOptionAlwaysActive = 2;
constexpr DWORD kOptionShadow = 4;

// The record sent as the registered message "SFWM_NOTIFY" around each paint (36 bytes in a 32-bit
// process, 40 in a 64-bit one: the DC handle grows).
struct SkinFrameNotify {
    UINT size;
    UINT one;
    UINT zero;
    UINT stage;  // kNotifyBeforePaint, kNotifyAfterPaint
    HDC dc;
    RECT window;  // 0, 0, width, height
};
static_assert(sizeof(SkinFrameNotify) == (sizeof(void*) == 4 ? 36 : 40), "wire format");
constexpr UINT kNotifyBeforePaint = 1;
constexpr UINT kNotifyAfterPaint = 2;

constexpr char kFramePropName[] = "SkinFrameData";
constexpr UINT_PTR kFadeTimerId = 0xABBA;
constexpr UINT kFadeInterval = 20;
constexpr int kCaptionId = -28;
constexpr int kBrandingId = -1;
constexpr int kMaxCaptionChars = 512;
constexpr BYTE kInactiveAlpha = 192;


// The skinned frame of one window: its description, image, layouts and elements, the subclass
// procedure that draws and hit-tests the non-client area, and its companion windows.
class CSkinFrame : public ISkinFrame, public ISkinPainter, public ISkinToolTipProvider {
public:
    CSkinFrame();
    virtual ~CSkinFrame();
    CSkinFrame(const CSkinFrame&) = delete;
    CSkinFrame& operator=(const CSkinFrame&) = delete;

    // IUnknown (the frame's life follows its window: the count only counts).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refCount; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refCount; }
    // ISkinFrame
    HWND GetWindow() override { return m_window; }
    void Invalidate(const RECT* rect) override;
    void DeleteThis() override { delete this; }
    // ISkinPainter
    void DrawBackground(HDC dc, const RECT* rect) override;
    void DrawImage(HDC dc, const RECT* dst, const RECT* src, BYTE alpha) override;
    void DrawImageAt(HDC dc, const POINT* at, const RECT* src, BYTE alpha) override;
    // ISkinToolTipProvider
    int AddToolTip(int id, const RECT* rect, const wchar_t* text) override;
    int RemoveToolTip(int id) override;
    int SetToolTipRect(int id, const RECT* rect) override;
    int SetToolTipText(int id, const wchar_t* text) override;
    int GetToolTipText(int id, wchar_t* buffer, int size) override;

    // Reads the whole description; false leaves the frame as it was (unreadable file) or
    // without a skin (no image, no [Framework]).
    bool LoadSkin(const wchar_t* path);
    // The element a section describes, chosen by the section's name; not put in the list.
    CSkinBase* CreateChild(const char* section, int id, bool visible);
    // CreateChild, the reader of the element's kind, then appended to the element list.
    bool AddChild(const char* section, int id, bool visible, const wchar_t* text);
    void ReleaseSkin();
    // Deletes the frame, or, called from inside one of its window's messages, detaches and
    // releases it at once and deletes it when the outermost message returns.
    void DeleteWhenIdle();
    // Elements back to anchor offsets, the layouts placed for the size, elements laid out.
    void LayoutPass(int width, int height);
    // A layout part at the caller's rectangle (x, y, cx, cy), its elements following it; with
    // redraw the region and the frame follow too.
    void ReplacePartRect(CSkinImg* part, const RECT& xywh, bool redraw);

    // Subclasses the window and makes its frame elements (NULL detaches). 1 when attached.
    int Attach(HWND window, bool redraw);
    // The whole frame through an off-screen buffer into a window DC, with a constant alpha.
    void Paint(HDC dc, BYTE alpha);
    // The window region the frame wants for its size, or null (maximized, or none).
    HRGN CreateWindowRegion();
    // Hit code for a screen point.
    LRESULT HitTest(POINT screen);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    static CSkinFrame* FromWindow(HWND window);
    CSkinSb* StatusBar() const { return static_cast<CSkinSb*>(FindElement(kStatusBarId)); }
    HWND ToolTipWindow() const { return m_tooltip; }
    bool IsActive() const { return m_active; }
    int LayoutKind() const { return m_layoutKind; }
    CSkinBase* Captured() const { return m_captured; }
    void SetOptions(DWORD options) { m_options = options; }
    void SetShadow(const ShadowParameters& shadow) { m_shadow = shadow; }
    CLayeredBorder* LayeredBorder() const { return m_layeredBorder; }
    // The border window, not its object, draws the frame: it is gone while maximized or minimized.
    HWND BorderWindow() const { return m_layeredBorder ? m_layeredBorder->Window() : nullptr; }
    HWND ShadowWindow() const { return m_shadowWindow; }
    // After an option or parameter change: the shadow window made, placed and painted, or hidden.
    void UpdateShadowWindow();

    CSkinBase* FindElement(int id) const;
    int ElementCount() const { return m_elements.GetCount(); }
    CSkinBase* Element(int index) const { return m_elements.GetAt(index); }
    CSkinLayout* Layout(int kind) const;
    CSkinLayout* CurrentLayout() const { return Layout(m_layoutKind); }
    const wchar_t* Path() const { return m_path; }
    DWORD Options() const { return m_options; }
    const ShadowParameters& Shadow() const { return m_shadow; }
    Glazier::CSkin& Image() { return m_skin; }
    CProfileReader& Reader() { return m_reader; }

    static constexpr int kMaxSectionName = 256;

protected:
    // Steps of CreateChild before the element is turned into anchor offsets.
    CSkinBase* MakeElement(const char* section, int id, bool visible);
    void FinishPlacement(CSkinBase* element);
    void ReadText(class CSkinTxt* text, const wchar_t* value);
    void ReadButton(class CSkinBtn* button, const wchar_t* tip);
    void ReadTextButton(class CSkinTxtBtn* button, const char* section, const wchar_t* caption);
    bool EnsureToolTipWindow();
    void UnanchorElements();
    void LayoutElements();  // against the frame's current size

    // Attach helpers and handlers (SkinFrameWindow.cpp).
    void CreateFrameElements();
    void CreateSizeHandles();
    void CreateStatusBar();
    CSkinImg* MakeImage(const char* section, int id);
    void ApplyCaptionButtonRules();
    void ShowElement(int id, bool show);
    void SetWindowRegion(bool redraw);
    void RefreshCloseButton();
    void SendNotify(UINT stage, HDC dc);
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    // The previous procedure with the caption bits removed while it runs (no system caption drawn).
    LRESULT CallPreviousWithoutCaption(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void OnNcPaint(HRGN update);
    void OnWindowPosChanged(const WINDOWPOS* pos);
    void OnStyleChanged(WPARAM which, const STYLESTRUCT* style);
    LRESULT OnNcRButtonDown(WPARAM hit, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    void StartFadeTimerIf(bool started);
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
    POINT ClientToFrame(LPARAM lParam) const;
    // The drop shadow (SkinFrameShadow.cpp) and the layered border's place.
    void CreateShadowWindow();
    void DestroyShadowWindow();
    void PaintShadow();
    void PlaceShadowWindow(bool repaint);
    bool ShadowShouldShow() const;
    RECT ShadowRect() const;
    bool BorderShouldShow() const;
    void PlaceLayeredBorder(UINT flags);

    HWND m_window = nullptr;
    DWORD m_windowStyle = 0;
    DWORD m_windowExStyle = 0;
    int m_cx = 0;
    int m_cy = 0;
    wchar_t m_path[MAX_PATH] = {};
    CProfileReader m_reader;
    Glazier::CSkin m_skin;
    bool m_dialog = false;
    bool m_active = false;
    HWND m_tooltip = nullptr;
    WNDPROC m_previousProc = nullptr;
    bool m_trackingNonClient = false;
    bool m_changingStyle = false;
    bool m_visualStyles = false;
    CLayeredBorder* m_layeredBorder = nullptr;
    HWND m_shadowWindow = nullptr;
    DWORD m_options = 0;
    ShadowParameters m_shadow;
    CPtrArray<CSkinLayout> m_layouts;
    int m_layoutKind = 1;
    CPtrArray<CSkinBase> m_elements;
    CSkinBase* m_captured = nullptr;
    ULONG m_refCount = 0;
    bool m_unicode = true;
    int m_depth = 0;          // nesting of WindowProc calls
    bool m_dying = false;     // detached or destroyed: deleted when the outermost call returns
    bool m_sizeHandlesMade = false;
};

}  // namespace FWSkin
