#include "uilib/skin/tests/SkinTestSupport.h"

#include "tests/support/TestPaths.h"

std::wstring TestSkinPath(const wchar_t* name)
{
    return TestExeFolder() + L"\\skins\\" + name;
}

std::string TestSkinPathA(const char* name)
{
    std::wstring folder = TestExeFolder();
    return std::string(folder.begin(), folder.end()) + "\\skins\\" + name;
}

HRESULT STDMETHODCALLTYPE FakeFrame::QueryInterface(REFIID iid, void** out)
{
    if (IsEqualIID(iid, FWSkin::IID_ISkinToolTipProvider))
        *out = static_cast<FWSkin::ISkinToolTipProvider*>(this);
    else if (IsEqualIID(iid, FWSkin::IID_ISkinFrame) || IsEqualIID(iid, IID_IUnknown))
        *out = static_cast<FWSkin::ISkinFrame*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

FakeFrame::Tool* FakeFrame::Find(int id)
{
    for (Tool& t : tools)
        if (t.id == id && t.present)
            return &t;
    return nullptr;
}

int FakeFrame::AddToolTip(int id, const RECT* rect, const wchar_t* text)
{
    tools.push_back(Tool{id, *rect, text, true});
    return 1;
}

int FakeFrame::RemoveToolTip(int id)
{
    if (Tool* t = Find(id))
        t->present = false;
    return 1;
}

int FakeFrame::SetToolTipRect(int id, const RECT* rect)
{
    if (Tool* t = Find(id))
        t->rect = *rect;
    return 1;
}

int FakeFrame::SetToolTipText(int id, const wchar_t* text)
{
    if (Tool* t = Find(id))
        t->text = text;
    return 1;
}
