#include "event_sink_windows.h"

#include "exception_report.h"

#include <ocidl.h>

CEventSink::CEventSink(REFIID iidEvents, Handler handler)
    : m_iidEvents(iidEvents), m_handler(std::move(handler))
{
}

CEventSink* CEventSink::Connect(IUnknown* pSource, REFIID iidEvents, Handler handler)
{
    if (!pSource)
        return nullptr;
    IConnectionPointContainer* pContainer = nullptr;
    if (FAILED(pSource->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(&pContainer))))
        return nullptr;
    IConnectionPoint* pPoint = nullptr;
    const HRESULT hr = pContainer->FindConnectionPoint(iidEvents, &pPoint);
    pContainer->Release();
    if (FAILED(hr))
        return nullptr;
    auto* pSink = new CEventSink(iidEvents, std::move(handler));
    if (FAILED(pPoint->Advise(pSink, &pSink->m_dwCookie))) {
        pPoint->Release();
        pSink->Release();
        return nullptr;
    }
    pSink->m_pPoint = pPoint;
    return pSink;
}

void CEventSink::Disconnect()
{
    m_handler = nullptr;
    if (m_pPoint) {
        m_pPoint->Unadvise(m_dwCookie);
        m_pPoint->Release();
        m_pPoint = nullptr;
    }
    Release();
}

HRESULT STDMETHODCALLTYPE CEventSink::QueryInterface(REFIID riid, void** ppObject)
{
    if (!ppObject)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, m_iidEvents)) {
        *ppObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppObject = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CEventSink::AddRef()
{
    return ++m_nRefs;
}

ULONG STDMETHODCALLTYPE CEventSink::Release()
{
    const ULONG nRefs = --m_nRefs;
    if (nRefs == 0)
        delete this;
    return nRefs;
}

HRESULT STDMETHODCALLTYPE CEventSink::GetTypeInfoCount(UINT* pnCount)
{
    if (pnCount)
        *pnCount = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppInfo)
{
    if (ppInfo)
        *ppInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CEventSink::Invoke(DISPID nEvent, REFIID, LCID, WORD, DISPPARAMS* pParams,
                                             VARIANT* pResult, EXCEPINFO*, UINT*)
{
    if (pResult)
        VariantInit(pResult);
    if (!pParams || !m_handler)
        return S_OK;
    // The handler may disconnect this sink; it lives until the call is over.
    AddRef();
    const Handler handler = m_handler;
    // Nothing may pass back into the object that called: a failure goes to
    // the general report, as one of a message handler does.
    AfxCallHandler(nullptr, [&] { handler(nEvent, *pParams); });
    Release();
    return S_OK;
}
