#pragma once

#include "win_defs.h"

#include <functional>

// One connection to an object's outgoing event interface (a browser's, a
// document's): each event reaches the handler with its dispatch id and its
// arguments, last argument first, as the object passes them. Disconnect
// before the handler's owner goes: the object may hold the sink longer.
class CEventSink : public IDispatch
{
public:
    using Handler = std::function<void(DISPID nEvent, DISPPARAMS& params)>;

    // A sink connected to pSource's events of interface iidEvents, or null
    // when pSource offers no such events.
    static CEventSink* Connect(IUnknown* pSource, REFIID iidEvents, Handler handler);
    // Ends the connection and releases the sink; no event reaches the handler
    // afterwards, also one the object delivers late.
    void Disconnect();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pnCount) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID nEvent, REFIID, LCID, WORD, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO*, UINT*) override;

private:
    CEventSink(REFIID iidEvents, Handler handler);
    virtual ~CEventSink() = default;

    IID m_iidEvents;
    Handler m_handler;
    IConnectionPoint* m_pPoint = nullptr;
    DWORD m_dwCookie = 0;
    ULONG m_nRefs = 1;
};
