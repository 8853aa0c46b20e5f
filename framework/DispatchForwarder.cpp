#include "framework/DispatchForwarder.h"

#include <ocidl.h>

CDispatchForwarder::CDispatchForwarder(IDispatchTarget* target, int channel, REFIID alsoAnswers)
    : m_target(target), m_channel(channel), m_alsoAnswers(alsoAnswers)
{
}

STDMETHODIMP CDispatchForwarder::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, m_alsoAnswers)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDispatchForwarder::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CDispatchForwarder::Release()
{
    LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CDispatchForwarder::GetTypeInfoCount(UINT* count)
{
    if (count != nullptr)
        *count = 0;
    return S_OK;
}

STDMETHODIMP CDispatchForwarder::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CDispatchForwarder::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (names == nullptr || ids == nullptr || count == 0)
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = (i == 0 && m_target != nullptr) ? m_target->TargetDispId(m_channel, names[0]) : DISPID_UNKNOWN;
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP CDispatchForwarder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                        EXCEPINFO*, UINT*)
{
    if (m_target == nullptr)
        return S_OK;   // events after the target left are dropped
    AddRef();          // the target may release us while handling the call
    HRESULT hr = m_target->TargetInvoke(m_channel, id, params, result);
    Release();
    return hr;
}

HRESULT ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, DWORD* cookie)
{
    *cookie = 0;
    if (source == nullptr)
        return E_POINTER;
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr))
        return hr;
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(events, &point);
    container->Release();
    if (FAILED(hr))
        return hr;
    hr = point->Advise(sink, cookie);
    point->Release();
    return hr;
}

void DisconnectEvents(IUnknown* source, REFIID events, DWORD* cookie)
{
    if (source == nullptr || *cookie == 0)
        return;
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(events, &point))) {
            point->Unadvise(*cookie);
            point->Release();
        }
        container->Release();
    }
    *cookie = 0;
}

const VARIANT* DispatchArgument(const DISPPARAMS* params, UINT index)
{
    if (params == nullptr || index >= params->cArgs)
        return nullptr;
    const VARIANT* arg = &params->rgvarg[params->cArgs - 1 - index];
    while (arg != nullptr && arg->vt == (VT_BYREF | VT_VARIANT))
        arg = arg->pvarVal;
    return arg;
}
