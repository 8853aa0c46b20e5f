#pragma once
#include <windows.h>
#include <commctrl.h>

#include "uilib/skin/TarnUIApi.h"

class CFontSet;

namespace Glazier {

class CSkin;

// The shortcut bar: a vertical strip of large owner-drawn buttons in a pager, between an optional
// top and bottom bitmap. The slot order is the interface: no virtual destructor among the slots
// (GCC gives it two); slot 16 is the deleting destructor.
class IShortcutBar {
public:
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual BOOL Create(HWND parent, UINT id, BOOL largeButtons, HBITMAP top, const RECT* topPart, HBITMAP bottom,
                        const RECT* bottomPart) = 0;
    virtual HWND GetHwnd() = 0;
    virtual BOOL LoadDescriptionW(const wchar_t* file) = 0;
    virtual BOOL HasDescription() = 0;
    virtual int AddItem(int image, const wchar_t* text) = 0;
    virtual int AddIconItem(HICON icon, const wchar_t* text) = 0;
    virtual int AddResourceIconItem(HINSTANCE module, UINT iconId, const wchar_t* text) = 0;
    virtual int InsertIconItem(int index, HICON icon, const wchar_t* text) = 0;
    virtual int InsertResourceIconItem(int index, HINSTANCE module, UINT iconId, const wchar_t* text) = 0;
    virtual BOOL SelectItem(int index, BOOL select) = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual BOOL GetItemText(int index, wchar_t* buffer, int size) = 0;
    virtual void DeleteThis() = 0;
    virtual void RegisterClass() = 0;
    virtual void OnPagerCalcSize(NMPGCALCSIZE* calc) = 0;
    virtual void OnPagerScroll(NMPGSCROLL* scroll) = 0;
    virtual LRESULT OnHotTrack(NMLISTVIEW* track) = 0;
    virtual BOOL OnCreate(HWND window, CREATESTRUCTA* create) = 0;
    virtual LRESULT OnEraseBkgnd(HWND window, HDC dc) = 0;
    virtual LRESULT OnNotify(HWND window, WPARAM wParam, NMHDR* header) = 0;
    virtual void OnSize(HWND window, UINT type, int width, int height) = 0;
    virtual void OnSetFocus(HWND window, HWND previous) = 0;
    virtual void OnMeasureItem(HWND window, MEASUREITEMSTRUCT* measure) = 0;
    virtual void OnDrawItem(HWND window, DRAWITEMSTRUCT* draw) = 0;
    virtual void OnDestroy(HWND window) = 0;
    virtual BOOL LoadDescription(const char* file) = 0;
    virtual int InsertItem(int index, const wchar_t* text, int image) = 0;
    virtual HBITMAP CopyBitmapPart(HBITMAP bitmap, const RECT* part) = 0;
    virtual void GetTextSize(HWND window, const char* text, HFONT font, SIZE* size) = 0;

protected:
    ~IShortcutBar() = default;
};

// The look read from a shortcut-bar description file.
struct ShortcutBarDescription;

constexpr int kShortcutAppend = 0x7FFFFFFE;
constexpr UINT kShortcutPagerId = 101;
constexpr UINT WM_SHORTCUT_SELECTED = 0x44D;  // posted: wParam the item, lParam its lParam

class CShortcutBar : public IShortcutBar {
public:
    CShortcutBar();
    virtual ~CShortcutBar();
    CShortcutBar(const CShortcutBar&) = delete;
    CShortcutBar& operator=(const CShortcutBar&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    BOOL Create(HWND parent, UINT id, BOOL largeButtons, HBITMAP top, const RECT* topPart, HBITMAP bottom,
                const RECT* bottomPart) override;
    HWND GetHwnd() override { return m_window; }
    BOOL LoadDescriptionW(const wchar_t* file) override;
    BOOL HasDescription() override { return m_description != nullptr; }
    int AddItem(int image, const wchar_t* text) override;
    int AddIconItem(HICON icon, const wchar_t* text) override;
    int AddResourceIconItem(HINSTANCE module, UINT iconId, const wchar_t* text) override;
    int InsertIconItem(int index, HICON icon, const wchar_t* text) override;
    int InsertResourceIconItem(int index, HINSTANCE module, UINT iconId, const wchar_t* text) override;
    BOOL SelectItem(int index, BOOL select) override;
    int GetWidth() override;
    int GetHeight() override;
    BOOL GetItemText(int index, wchar_t* buffer, int size) override;
    void DeleteThis() override { delete this; }
    void RegisterClass() override;
    void OnPagerCalcSize(NMPGCALCSIZE* calc) override;
    void OnPagerScroll(NMPGSCROLL* scroll) override;
    LRESULT OnHotTrack(NMLISTVIEW* track) override;
    BOOL OnCreate(HWND window, CREATESTRUCTA* create) override;
    LRESULT OnEraseBkgnd(HWND window, HDC dc) override;
    LRESULT OnNotify(HWND window, WPARAM wParam, NMHDR* header) override;
    void OnSize(HWND window, UINT type, int width, int height) override;
    void OnSetFocus(HWND window, HWND previous) override;
    void OnMeasureItem(HWND window, MEASUREITEMSTRUCT* measure) override;
    void OnDrawItem(HWND window, DRAWITEMSTRUCT* draw) override;
    void OnDestroy(HWND window) override;
    BOOL LoadDescription(const char* file) override;
    int InsertItem(int index, const wchar_t* text, int image) override;
    HBITMAP CopyBitmapPart(HBITMAP bitmap, const RECT* part) override;
    void GetTextSize(HWND window, const char* text, HFONT font, SIZE* size) override;

    HWND Pager() const { return m_pager; }
    HWND List() const { return m_list; }
    int ButtonHeight() const;
    // Sends the posted selection report to the parent (the private message's work).
    void ReportSelection(int item, LPARAM itemParam);

private:
    int ListHeight() const;
    void DrawDescribedButton(HDC dc, const RECT& rect, int item, int state, const wchar_t* text, int image);
    void DrawSchemeButton(HDC dc, const RECT& rect, int item, int state, const wchar_t* text, int image);

    long m_refCount = 0;
    HWND m_window = nullptr;
    HWND m_pager = nullptr;
    HWND m_list = nullptr;
    HIMAGELIST m_images = nullptr;
    BOOL m_large = FALSE;
    int m_textHeight = 0;
    HBITMAP m_top = nullptr;
    int m_topWidth = 0, m_topHeight = 0;
    HBITMAP m_bottom = nullptr;
    int m_bottomWidth = 0, m_bottomHeight = 0;
    HFONT m_font = nullptr;
    ShortcutBarDescription* m_description = nullptr;
    bool m_selectionPending = false;
};

// Button states of the drawing.
enum ShortcutButtonState { kButtonNormal, kButtonHot, kButtonSelected, kButtonHotSelected, kButtonStates };

}  // namespace Glazier
