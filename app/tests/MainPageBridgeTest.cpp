#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/MainPageBridge.h"

namespace {

// What the bridge asked the system to do, recorded instead of done.
struct Recorded
{
    std::vector<std::string> winExec;
    std::vector<std::wstring> shellExecute;
    std::vector<UINT> beeps;
    std::vector<std::wstring> boxes;
    bool versionFails = false;
    DWORD major = 6, minor = 1;
    UINT winExecResult = 33;
};
Recorded g_recorded;

BOOL WINAPI FakeVersion(OSVERSIONINFOW* info)
{
    if (g_recorded.versionFails)
        return FALSE;
    info->dwMajorVersion = g_recorded.major;
    info->dwMinorVersion = g_recorded.minor;
    return TRUE;
}
UINT WINAPI FakeWinExec(LPCSTR line, UINT)
{
    g_recorded.winExec.push_back(line);
    return g_recorded.winExecResult;
}
HINSTANCE WINAPI FakeShellExecute(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_recorded.shellExecute.push_back(std::wstring(verb) + L" " + file);
    return reinterpret_cast<HINSTANCE>(42);
}
BOOL WINAPI FakeBeep(UINT type)
{
    g_recorded.beeps.push_back(type);
    return TRUE;
}
int WINAPI FakeBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type)
{
    g_recorded.boxes.push_back(std::wstring(text) + L"|" + caption + L"|" + std::to_wstring(type));
    return IDOK;
}

class PageBridge : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = g_MainPageActions;
        g_MainPageActions = {&FakeVersion, &FakeWinExec, &FakeShellExecute, &FakeBeep, &FakeBox};
        g_recorded = Recorded();
        owner.m_hWnd = reinterpret_cast<HWND>(0x1234);
    }
    void TearDown() override { g_MainPageActions = saved; }

    DISPID IdOf(IDispatch* external, const wchar_t* name)
    {
        LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
        DISPID id = -7;
        EXPECT_EQ(external->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        return id;
    }
    HRESULT Call(IDispatch* external, DISPID id)
    {
        DISPPARAMS none = {};
        return external->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }

    MainPageActions saved;
    CWindow owner;
};

}  // namespace

TEST_F(PageBridge, NamesMapToTheirIdsWithoutCase)
{
    MainDlgCmdHandler* external = new MainDlgCmdHandler(&owner);
    EXPECT_EQ(IdOf(external, L"helloworld"), 1);
    EXPECT_EQ(IdOf(external, L"SetDefAudioDevice"), 2);
    EXPECT_EQ(IdOf(external, L"RECORDAUDIO"), 3);
    EXPECT_EQ(IdOf(external, L"Unknown"), 0);
    DISPID id = -7;
    EXPECT_EQ(external->GetIDsOfNames(IID_NULL, nullptr, 0, 0, &id), S_FALSE);
    EXPECT_EQ(Call(external, 0), S_OK);
    EXPECT_EQ(g_recorded.beeps, std::vector<UINT>{0xFFFFFFFF});
    EXPECT_EQ(external->Release(), 0u);
}

TEST_F(PageBridge, HelloWorldShowsItsBoxOverTheOwner)
{
    MainDlgCmdHandler* external = new MainDlgCmdHandler(&owner);
    EXPECT_EQ(Call(external, 1), S_OK);
    ASSERT_EQ(g_recorded.boxes.size(), 1u);
    EXPECT_EQ(g_recorded.boxes[0], L"Hello World|HTML UI|" + std::to_wstring(MB_ICONINFORMATION));
    external->Release();
    MainDlgCmdHandler orphan(nullptr);
    EXPECT_EQ(Call(&orphan, 1), S_FALSE);
}

struct LaunchCase
{
    const char* name;
    bool versionFails;
    DWORD major, minor;
    UINT winExecResult;
    DISPID method;
    std::vector<std::string> winExec;
    std::vector<std::wstring> shellExecute;
};

class PageBridgeLaunch : public PageBridge, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(PageBridgeLaunch, RunsTheCommandOfThatWindowsVersion)
{
    const LaunchCase& c = GetParam();
    g_recorded.versionFails = c.versionFails;
    g_recorded.major = c.major;
    g_recorded.minor = c.minor;
    g_recorded.winExecResult = c.winExecResult;
    MainDlgCmdHandler* external = new MainDlgCmdHandler(&owner);
    EXPECT_EQ(Call(external, c.method), S_OK);
    external->Release();
    EXPECT_EQ(g_recorded.winExec, c.winExec);
    ASSERT_EQ(g_recorded.shellExecute.size(), c.shellExecute.size());
    for (size_t i = 0; i < c.shellExecute.size(); ++i) {
        const std::wstring& got = g_recorded.shellExecute[i];
        EXPECT_EQ(got.substr(got.size() - c.shellExecute[i].size()), c.shellExecute[i]);
    }
}

const char* const kPanel0 = "RunDLL32.exe Shell32.dll,Control_RunDLL Mmsys.cpl,,0";
const char* const kPanel2 = "RunDLL32.exe Shell32.dll,Control_RunDLL Mmsys.cpl,,2";

INSTANTIATE_TEST_SUITE_P(
    Versions, PageBridgeLaunch,
    ::testing::Values(
        LaunchCase{"PanelOnXp", false, 5, 1, 33, 2, {kPanel2}, {}},
        LaunchCase{"PanelOnVista", false, 6, 0, 33, 2, {kPanel0}, {}},
        LaunchCase{"PanelWhenVersionUnknown", true, 0, 0, 33, 2, {kPanel2}, {}},
        LaunchCase{"RecorderOnXp", false, 5, 1, 33, 3, {"sndrec32.exe"}, {}},
        LaunchCase{"RecorderUnknownVersion", true, 0, 0, 33, 3, {"sndrec32.exe"}, {}},
        LaunchCase{"RecorderOn7", false, 6, 1, 33, 3, {"SoundRecorder.exe"}, {}},
        LaunchCase{"RecorderOn7FromSysnative", false, 6, 1, 2, 3, {"SoundRecorder.exe"},
                   {L"\\sysnative\\SoundRecorder.exe"}},
        LaunchCase{"RecorderOn8", false, 6, 2, 33, 3, {},
                   {L"open shell:appsFolder\\Microsoft.WindowsSoundRecorder_8wekyb3d8bbwe!App"}},
        LaunchCase{"RecorderOn10", false, 10, 0, 33, 3, {},
                   {L"open shell:appsFolder\\Microsoft.WindowsSoundRecorder_8wekyb3d8bbwe!App"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageBridge, DocHandlerHandsOutAFreshExternalEachTime)
{
    MainDlgDocHandler* handler = new MainDlgDocHandler(&owner);
    IDispatch* first = nullptr;
    IDispatch* second = nullptr;
    EXPECT_EQ(handler->GetExternal(&first), S_OK);
    EXPECT_EQ(handler->GetExternal(&second), S_OK);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(second->Release(), 0u);

    EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(handler->EnableModeless(TRUE), E_NOTIMPL);
    EXPECT_EQ(handler->GetHostInfo(nullptr), E_NOTIMPL);
    OLECHAR* translated = reinterpret_cast<OLECHAR*>(1);
    EXPECT_EQ(handler->TranslateUrl(0, const_cast<OLECHAR*>(L"x"), &translated), S_FALSE);
    EXPECT_EQ(translated, nullptr);
    EXPECT_EQ(handler->Release(), 0u);
}

TEST_F(PageBridge, InterfacesAndReferenceCounts)
{
    MainDlgDocHandler* handler = new MainDlgDocHandler(&owner);
    void* object = nullptr;
    EXPECT_EQ(handler->QueryInterface(IID_IDocHostUIHandler, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDocHostUIHandler*>(handler));
    EXPECT_EQ(handler->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(handler->QueryInterface(IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(handler->AddRef(), 4u);
    EXPECT_EQ(handler->Release(), 3u);
    handler->Release();
    handler->Release();
    EXPECT_EQ(handler->Release(), 0u);

    MainDlgCmdHandler* external = new MainDlgCmdHandler(&owner);
    EXPECT_EQ(external->QueryInterface(IID_IDispatch, &object), S_OK);
    EXPECT_EQ(external->QueryInterface(IID_IDocHostUIHandler, &object), E_NOINTERFACE);
    UINT count = 7;
    EXPECT_EQ(external->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(external->GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(external->Release(), 1u);
    EXPECT_EQ(external->Release(), 0u);
}
