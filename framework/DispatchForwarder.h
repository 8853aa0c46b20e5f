#pragma once
#include <windows.h>
#include <ole2.h>

// Receives the calls of a CDispatchForwarder. `channel` tells several forwarders of one target apart.
class IDispatchTarget
{
public:
    virtual DISPID TargetDispId(int channel, const wchar_t* name) = 0;
    virtual HRESULT TargetInvoke(int channel, DISPID id, DISPPARAMS* params, VARIANT* result) = 0;
};

// A small IDispatch that hands its calls to a C++ target: an event sink for a connection point
// (it also answers the events interface's IID) or a script-visible object. Reference counted; the
// target is not counted: Detach() it before the target goes away.
class CDispatchForwarder final : public IDispatch
{
public:
    CDispatchForwarder(IDispatchTarget* target, int channel, REFIID alsoAnswers = IID_IDispatch);
    void Detach() { m_target = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

private:
    ~CDispatchForwarder() = default;
    LONG m_refs = 1;
    IDispatchTarget* m_target;
    int m_channel;
    IID m_alsoAnswers;
};

// Connects a sink to a source's connection point for `events`; cookie 0 means not connected.
HRESULT ConnectEvents(IUnknown* source, REFIID events, IUnknown* sink, DWORD* cookie);
void DisconnectEvents(IUnknown* source, REFIID events, DWORD* cookie);

// Argument `index` counted from the first (DISPPARAMS holds them last first), through VT_BYREF.
const VARIANT* DispatchArgument(const DISPPARAMS* params, UINT index);
