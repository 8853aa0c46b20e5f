#pragma once
#include <string>
#include <vector>

#include "uilib/skin/SkinFrameInterfaces.h"

// The test skins the build copies beside the test programs (build/tests/skins).
std::wstring TestSkinPath(const wchar_t* name);
std::string TestSkinPathA(const char* name);

// A frame stand-in that records what elements ask of it.
class FakeFrame : public FWSkin::ISkinFrame, public FWSkin::ISkinToolTipProvider {
public:
    struct Tool {
        int id;
        RECT rect;
        std::wstring text;
        bool present;
    };
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HWND GetWindow() override { return nullptr; }
    void Invalidate(const RECT* rect) override { invalidated.push_back(*rect); }
    void DeleteThis() override {}
    int AddToolTip(int id, const RECT* rect, const wchar_t* text) override;
    int RemoveToolTip(int id) override;
    int SetToolTipRect(int id, const RECT* rect) override;
    int SetToolTipText(int id, const wchar_t* text) override;
    int GetToolTipText(int, wchar_t*, int) override { return 0; }

    Tool* Find(int id);
    std::vector<Tool> tools;
    std::vector<RECT> invalidated;
    ULONG refs = 0;
};
