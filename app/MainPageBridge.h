#pragma once
#include <windows.h>
#include <mshtmhst.h>
#include <oaidl.h>

#include "framework/Window.h"

// What the main page's script can make the program do, as calls that tests can replace.
struct MainPageActions
{
    BOOL(WINAPI* getVersion)(OSVERSIONINFOW* info);
    UINT(WINAPI* winExec)(LPCSTR commandLine, UINT show);
    HINSTANCE(WINAPI* shellExecute)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                    LPCWSTR folder, INT show);
    BOOL(WINAPI* messageBeep)(UINT type);
    int(WINAPI* messageBox)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
};
extern MainPageActions g_MainPageActions;

// Reference counting (interlocked; the object deletes itself at 0) and QueryInterface for an object
// of one interface besides IUnknown.
template <class Interface, const IID* kInterfaceId>
class CSimpleComObject : public Interface
{
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *kInterfaceId)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return refs;
    }

protected:
    virtual ~CSimpleComObject() = default;   // after the interface's slots: its layout stays intact

private:
    volatile LONG m_refs = 1;
};

// window.external of the main page: HelloWorld (1), SetDefAudioDevice (2), RecordAudio (3).
class MainDlgCmdHandler : public CSimpleComObject<IDispatch, &IID_IDispatch>
{
public:
    explicit MainDlgCmdHandler(CWindow* owner) : m_owner(owner) {}

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    CWindow* m_owner;   // not owned; outlives the page
};

// The document's host UI handler: no context menu, and a fresh MainDlgCmdHandler as window.external.
class MainDlgDocHandler : public CSimpleComObject<IDocHostUIHandler, &IID_IDocHostUIHandler>
{
public:
    explicit MainDlgDocHandler(CWindow* owner) : m_owner(owner) {}

    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                        IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD translate, OLECHAR* url, OLECHAR** translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** replacement) override;

private:
    CWindow* m_owner;
};

// Sets the page's UI handler on a loaded document (its ICustomDoc); nothing when it has none.
void InstallMainPageBridge(IDispatch* document, CWindow* owner);
