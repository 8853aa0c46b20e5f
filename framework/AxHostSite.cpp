#include "framework/AxHostSite.h"

void CAxHostSite::Detach()
{
    SetExternal(nullptr);
    SetActiveObject(nullptr);
    m_host = nullptr;
}

void CAxHostSite::SetExternal(IDispatch* external)
{
    if (external != nullptr)
        external->AddRef();
    if (m_external != nullptr)
        m_external->Release();
    m_external = external;
}

void CAxHostSite::SetActiveObject(IOleInPlaceActiveObject* object)
{
    if (object != nullptr)
        object->AddRef();
    if (m_activeObject != nullptr)
        m_activeObject->Release();
    m_activeObject = object;
}

STDMETHODIMP CAxHostSite::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *object = static_cast<IDocHostUIHandler*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CAxHostSite::AddRef()
{
    return static_cast<ULONG>(++m_refs);
}

STDMETHODIMP_(ULONG) CAxHostSite::Release()
{
    LONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CAxHostSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostSite::GetContainer(IOleContainer** container)
{
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CAxHostSite::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = m_host;
    return m_host != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CAxHostSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    ::GetClientRect(m_host, position);
    *clip = *position;
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(m_host, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP CAxHostSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    SetActiveObject(object);
    return S_OK;
}

STDMETHODIMP CAxHostSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!m_hasFlags)
        return E_NOTIMPL;
    if (info == nullptr)
        return E_POINTER;
    info->dwFlags = m_flags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CAxHostSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key != nullptr)
        *key = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostSite::GetDropTarget(IDropTarget*, IDropTarget** target)
{
    if (target != nullptr)
        *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostSite::GetExternal(IDispatch** external)
{
    if (external == nullptr)
        return E_POINTER;
    *external = m_external;
    if (m_external == nullptr)
        return S_FALSE;
    m_external->AddRef();
    return S_OK;
}

STDMETHODIMP CAxHostSite::TranslateUrl(DWORD, OLECHAR*, OLECHAR** out)
{
    if (out != nullptr)
        *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP CAxHostSite::FilterDataObject(IDataObject*, IDataObject** out)
{
    if (out != nullptr)
        *out = nullptr;
    return S_FALSE;
}
