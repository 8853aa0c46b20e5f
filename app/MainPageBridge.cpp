#include "app/MainPageBridge.h"

#include <shellapi.h>
#include <new>

namespace {

// Not in every import library: the document's customisation interface.
const IID kIID_ICustomDoc = {0x3050f3f0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

struct ICustomDocLike : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* handler) = 0;
};

enum MainPageDispId : DISPID { kHelloWorld = 1, kSetDefAudioDevice = 2, kRecordAudio = 3 };

const struct
{
    const wchar_t* name;
    DISPID id;
} kMethods[] = {{L"HelloWorld", kHelloWorld}, {L"SetDefAudioDevice", kSetDefAudioDevice}, {L"RecordAudio", kRecordAudio}};

BOOL WINAPI RealGetVersion(OSVERSIONINFOW* info)
{
    return GetVersionExW(info);
}

bool QueryVersion(DWORD& major, DWORD& minor)
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!g_MainPageActions.getVersion(&info))
        return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    return true;
}

void OpenSoundControlPanel()
{
    DWORD major = 0, minor = 0;
    bool known = QueryVersion(major, minor);
    // Vista moved playback to the first tab; XP has the audio tab third.
    const char* command = known && major >= 6 ? "RunDLL32.exe Shell32.dll,Control_RunDLL Mmsys.cpl,,0"
                                              : "RunDLL32.exe Shell32.dll,Control_RunDLL Mmsys.cpl,,2";
    g_MainPageActions.winExec(command, SW_SHOWNORMAL);
}

void StartSoundRecorder()
{
    DWORD major = 0, minor = 0;
    if (!QueryVersion(major, minor) || major < 6) {
        g_MainPageActions.winExec("sndrec32.exe", SW_SHOWNORMAL);
    } else if (major == 6 && minor < 2) {
        if (g_MainPageActions.winExec("SoundRecorder.exe", SW_SHOWNORMAL) == ERROR_FILE_NOT_FOUND) {
            // A 32-bit program on 64-bit Windows finds the recorder only in the native system folder.
            wchar_t path[MAX_PATH + 32];
            UINT length = GetWindowsDirectoryW(path, MAX_PATH);
            if (length > 0 && length < MAX_PATH) {
                lstrcatW(path, L"\\sysnative\\SoundRecorder.exe");
                g_MainPageActions.shellExecute(nullptr, L"open", path, nullptr, L"", SW_SHOWNORMAL);
            }
        }
    } else {
        g_MainPageActions.shellExecute(nullptr, L"open",
                                       L"shell:appsFolder\\Microsoft.WindowsSoundRecorder_8wekyb3d8bbwe!App",
                                       nullptr, nullptr, SW_SHOWNORMAL);
    }
}

}  // namespace

MainPageActions g_MainPageActions = {&RealGetVersion, &WinExec, &ShellExecuteW, &MessageBeep, &MessageBoxW};

// --- MainDlgCmdHandler -------------------------------------------------------------------------

STDMETHODIMP MainDlgCmdHandler::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return S_OK;
}

STDMETHODIMP MainDlgCmdHandler::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MainDlgCmdHandler::GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids)
{
    if (!names)
        return S_FALSE;
    DISPID found = 0;
    for (const auto& method : kMethods)
        if (names[0] && lstrcmpiW(names[0], method.name) == 0)
            found = method.id;
    if (ids)
        ids[0] = found;
    return S_OK;
}

STDMETHODIMP MainDlgCmdHandler::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    if (!m_owner)
        return S_FALSE;
    switch (id) {
    case kHelloWorld:
        g_MainPageActions.messageBox(m_owner->m_hWnd, L"Hello World", L"HTML UI", MB_ICONINFORMATION);
        break;
    case kSetDefAudioDevice:
        OpenSoundControlPanel();
        break;
    case kRecordAudio:
        StartSoundRecorder();
        break;
    default:
        g_MainPageActions.messageBeep(0xFFFFFFFF);
        break;
    }
    return S_OK;
}

// --- MainDlgDocHandler -------------------------------------------------------------------------

STDMETHODIMP MainDlgDocHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }
STDMETHODIMP MainDlgDocHandler::GetHostInfo(DOCHOSTUIINFO*) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                       IOleInPlaceUIWindow*) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::HideUI() { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::UpdateUI() { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP MainDlgDocHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }

STDMETHODIMP MainDlgDocHandler::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    *external = new (std::nothrow) MainDlgCmdHandler(m_owner);
    // A null object is no success: the script would call into nothing.
    return *external ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP MainDlgDocHandler::TranslateUrl(DWORD, OLECHAR*, OLECHAR** translated)
{
    if (translated)
        *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP MainDlgDocHandler::FilterDataObject(IDataObject*, IDataObject** replacement)
{
    if (replacement)
        *replacement = nullptr;
    return E_NOTIMPL;
}

void InstallMainPageBridge(IDispatch* document, CWindow* owner)
{
    if (!document)
        return;
    ICustomDocLike* custom = nullptr;
    if (FAILED(document->QueryInterface(kIID_ICustomDoc, reinterpret_cast<void**>(&custom))) || !custom)
        return;
    MainDlgDocHandler* handler = new (std::nothrow) MainDlgDocHandler(owner);
    if (handler) {
        custom->SetUIHandler(handler);
        handler->Release();
    }
    custom->Release();
}
