#include "web_browser_windows.h"
#include "web_browser.h"

#include "event_sink_windows.h"
#include "exception_report.h"
#include "load_failure_page.h"
#include "navigable_address.h"
#include "ole_dispatch_exception.h"
#include "ole_exception.h"
#include "page_word_picker.h"
#include "site_address.h"
#include "wnd_platform.h"

#include <docobj.h>
#include <exdispid.h>
#include <mshtml.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <vector>

// The hosting of controls in windows of class "AtlAxWin", from the system's atl.dll.
extern "C" BOOL WINAPI AtlAxWinInit();
extern "C" HRESULT WINAPI AtlAxGetControl(HWND hWnd, IUnknown** ppUnknown);

namespace
{

constexpr std::u16string_view kBlankPage = u"about:blank";
// NewWindow3's flag for a window that the user's click asked for (NWMF_USERINITED).
constexpr long kUserInitiated = 0x2;

const wchar_t* Wide(const std::u16string& str)
{
    return reinterpret_cast<const wchar_t*>(str.c_str());
}

std::u16string FromBstr(BSTR bstr)
{
    return bstr ? std::u16string(reinterpret_cast<const char16_t*>(bstr), SysStringLen(bstr))
                : std::u16string();
}

class CBstr
{
public:
    explicit CBstr(const std::u16string& str)
        : m_bstr(SysAllocStringLen(Wide(str), static_cast<UINT>(str.size())))
    {
    }
    ~CBstr() { SysFreeString(m_bstr); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR Get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

// An event's argument nIndex, counted from the first as the event declares
// them, through the references the control passes.
VARIANT* Argument(DISPPARAMS& params, UINT nIndex)
{
    if (nIndex >= params.cArgs || !params.rgvarg)
        return nullptr;
    VARIANT* pArg = &params.rgvarg[params.cArgs - 1 - nIndex];
    while (pArg && V_VT(pArg) == (VT_BYREF | VT_VARIANT))
        pArg = V_VARIANTREF(pArg);
    return pArg;
}

std::u16string StringArgument(DISPPARAMS& params, UINT nIndex)
{
    VARIANT* pArg = Argument(params, nIndex);
    if (!pArg)
        return std::u16string();
    if (V_VT(pArg) == VT_BSTR)
        return FromBstr(V_BSTR(pArg));
    if (V_VT(pArg) == (VT_BYREF | VT_BSTR) && V_BSTRREF(pArg))
        return FromBstr(*V_BSTRREF(pArg));
    return std::u16string();
}

long LongArgument(DISPPARAMS& params, UINT nIndex)
{
    VARIANT* pArg = Argument(params, nIndex);
    if (!pArg)
        return 0;
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantChangeType(&value, pArg, 0, VT_I4)))
        return 0;
    return V_I4(&value);
}

void CancelEvent(DISPPARAMS& params, UINT nIndex)
{
    VARIANT* pArg = Argument(params, nIndex);
    if (pArg && V_VT(pArg) == (VT_BYREF | VT_BOOL) && V_BOOLREF(pArg))
        *V_BOOLREF(pArg) = VARIANT_TRUE;
}

// The page's own frame, as against the frames inside it.
bool IsSameObject(IUnknown* pFirst, IUnknown* pSecond)
{
    if (!pFirst || !pSecond)
        return false;
    IUnknown* pOne = nullptr;
    IUnknown* pTwo = nullptr;
    pFirst->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pOne));
    pSecond->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pTwo));
    const bool bSame = pOne && pOne == pTwo;
    if (pOne)
        pOne->Release();
    if (pTwo)
        pTwo->Release();
    return bSame;
}

IUnknown* ObjectArgument(DISPPARAMS& params, UINT nIndex)
{
    VARIANT* pArg = Argument(params, nIndex);
    if (!pArg)
        return nullptr;
    if (V_VT(pArg) == VT_DISPATCH)
        return V_DISPATCH(pArg);
    if (V_VT(pArg) == VT_UNKNOWN)
        return V_UNKNOWN(pArg);
    return nullptr;
}

// A file: address is shown only when the maker's site is a local folder, as
// an installed program's is.
bool IsShownAddress(std::u16string_view address)
{
    if (address == kBlankPage)
        return true;
    static const bool bLocalSite = IsNavigableAddress(SiteBaseAddress(), true) &&
                                   !IsNavigableAddress(SiteBaseAddress(), false);
    return IsNavigableAddress(address, bLocalSite);
}

// Only web addresses go to the user's browser: another scheme could start
// any program registered for it.
void OpenInUsersBrowser(const std::u16string& strURL)
{
    if (IsNavigableAddress(strURL))
        ShellExecuteW(nullptr, L"open", Wide(strURL), nullptr, nullptr, SW_SHOWNORMAL);
}

// A failed call as the toolkit's exceptions tell it: the control's own
// description when it gave one.
[[noreturn]] void ThrowFailure(HRESULT hr)
{
    IErrorInfo* pInfo = nullptr;
    if (GetErrorInfo(0, &pInfo) == S_OK && pInfo) {
        BSTR bstrDescription = nullptr;
        pInfo->GetDescription(&bstrDescription);
        pInfo->Release();
        const std::u16string strDescription = FromBstr(bstrDescription);
        SysFreeString(bstrDescription);
        if (!strDescription.empty())
            throw COleDispatchException(strDescription);
    }
    throw COleException(hr);
}

// Calls made later from the thread's message loop, not from inside the
// control's own event.
std::map<UINT_PTR, std::function<void()>>& LaterCalls()
{
    static std::map<UINT_PTR, std::function<void()>> calls;
    return calls;
}

void CALLBACK RunLater(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    KillTimer(nullptr, nTimer);
    auto& calls = LaterCalls();
    const auto it = calls.find(nTimer);
    if (it == calls.end())
        return;
    const std::function<void()> call = std::move(it->second);
    calls.erase(it);
    call();
}

UINT_PTR CallLater(std::function<void()> call)
{
    const UINT_PTR nTimer = SetTimer(nullptr, 0, 0, RunLater);
    if (nTimer)
        LaterCalls()[nTimer] = std::move(call);
    return nTimer;
}

// A call not made yet is dropped, its timer too: the library may be unloaded
// before the host's loop would run it.
void CancelLater(UINT_PTR nTimer)
{
    if (LaterCalls().erase(nTimer))
        KillTimer(nullptr, nTimer);
}

} // namespace

struct CWebBrowserPlatform {
    IWebBrowser2* pControl = nullptr;
    CEventSink* pEvents = nullptr;
    bool bCanGoBack = false;
    bool bCanGoForward = false;
    double fZoom = 1.0;
    // Our page for a load that failed: the address it failed at, the
    // error, and whether the page is on its way or shown.
    std::u16string strFailedURL;
    int nFailedError = 0;
    bool bFailurePending = false;
    bool bFailureShown = false;
    // Goes with the wrapper: calls made later find it gone.
    std::shared_ptr<bool> pAlive = std::make_shared<bool>(true);
    std::vector<UINT_PTR> laterCalls;

    static CWebBrowserPlatform& Of(const CWebBrowser& browser) { return *browser.m_pPlatform; }
    // What the control's events do: deliver to the page, guard the user.
    static void OnEvent(CWebBrowser& browser, DISPID nEvent, DISPPARAMS& params);
    // Writes our page for the failed load into the blank page loaded for it.
    void ShowFailurePage();

    void Disconnect()
    {
        if (pEvents)
            pEvents->Disconnect();
        pEvents = nullptr;
        if (pControl)
            pControl->Release();
        pControl = nullptr;
    }
    ~CWebBrowserPlatform()
    {
        for (const UINT_PTR nTimer : laterCalls)
            CancelLater(nTimer);
        Disconnect();
    }
};

CWebBrowser::CWebBrowser() : m_pPlatform(std::make_unique<CWebBrowserPlatform>()) {}

CWebBrowser::~CWebBrowser() = default;

const char* const CWebBrowser::kClassId = "{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}";

void CWebBrowser::RegisterControlClass()
{
    AtlAxWinInit();
}

IWebBrowser2* BrowserControl(const CWebBrowser& browser)
{
    return browser.IsWindow() ? CWebBrowserPlatform::Of(browser).pControl : nullptr;
}

namespace
{

IWebBrowser2* RequireControl(const CWebBrowser& browser)
{
    IWebBrowser2* pControl = BrowserControl(browser);
    if (!pControl)
        throw COleException(COleException::E_NOTCONNECTED_CODE);
    return pControl;
}

} // namespace

void CWebBrowser::PreSubclassWindow()
{
    CWebBrowserPlatform& platform = *m_pPlatform;
    platform.Disconnect();
    IUnknown* pUnknown = nullptr;
    if (FAILED(AtlAxGetControl(GetSafeHwnd(), &pUnknown)) || !pUnknown ||
        FAILED(pUnknown->QueryInterface(IID_IWebBrowser2,
                                        reinterpret_cast<void**>(&platform.pControl)))) {
        if (pUnknown)
            pUnknown->Release();
        // A window without the control is no browser: the page tells the user.
        Detach();
        return;
    }
    pUnknown->Release();
    // Keys typed inside a page go to the control's own keyboard handling
    // first (Tab between links, copying), as a container of the control must
    // give them: the dialog's keyboard handling would take them.
    AfxSetPreTranslateMessage(*this, [this](MSG* pMsg) {
        IWebBrowser2* pControl = BrowserControl(*this);
        if (!pControl || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
            return false;
        IOleInPlaceActiveObject* pActive = nullptr;
        if (FAILED(pControl->QueryInterface(IID_IOleInPlaceActiveObject,
                                            reinterpret_cast<void**>(&pActive))) ||
            !pActive)
            return false;
        const bool bTranslated = pActive->TranslateAccelerator(pMsg) == S_OK;
        pActive->Release();
        return bTranslated;
    });
    platform.pEvents = CEventSink::Connect(platform.pControl, DIID_DWebBrowserEvents2,
                                           [this](DISPID nEvent, DISPPARAMS& params) {
                                               CWebBrowserPlatform::OnEvent(*this, nEvent, params);
                                           });
}

void CWebBrowserPlatform::OnEvent(CWebBrowser& browser, DISPID nEvent, DISPPARAMS& params)
{
    CWebBrowserPlatform& platform = Of(browser);
    switch (nEvent) {
    case DISPID_BEFORENAVIGATE2: {
        // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
        const std::u16string strURL = StringArgument(params, 1);
        if (!IsShownAddress(strURL)) {
            CancelEvent(params, 6);
            return;
        }
        if (IsSameObject(ObjectArgument(params, 0), platform.pControl) && strURL != kBlankPage) {
            platform.bFailurePending = false;
            platform.bFailureShown = false;
            platform.strFailedURL.clear();
        }
        return;
    }
    case DISPID_NEWWINDOW2:
        // (ppDisp, Cancel): no window of the browser's own.
        CancelEvent(params, 1);
        return;
    case DISPID_NEWWINDOW3: {
        // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): a link the
        // user followed into a new window opens in the user's own browser.
        CancelEvent(params, 1);
        if (LongArgument(params, 2) & kUserInitiated)
            OpenInUsersBrowser(StringArgument(params, 4));
        return;
    }
    case DISPID_FILEDOWNLOAD: {
        // (ActiveDocument, Cancel): a file that is not a page is not saved.
        VARIANT* pDocument = Argument(params, 0);
        if (!pDocument || V_VT(pDocument) != VT_BOOL || !V_BOOL(pDocument))
            CancelEvent(params, 1);
        return;
    }
    case DISPID_NAVIGATEERROR: {
        // (pDisp, URL, TargetFrameName, StatusCode, Cancel)
        const int nError = NetErrorOfNavigateStatus(LongArgument(params, 3));
        if (!IsSameObject(ObjectArgument(params, 0), platform.pControl) ||
            !IsLoadFailureShown(nError))
            return;
        CancelEvent(params, 4);
        platform.strFailedURL = StringArgument(params, 1);
        platform.nFailedError = nError;
        platform.bFailurePending = true;
        platform.bFailureShown = false;
        CBstr blank{std::u16string(kBlankPage)};
        platform.pControl->Navigate(blank.Get(), nullptr, nullptr, nullptr, nullptr);
        if (browser.m_onLocationChange)
            browser.Deliver([&] { browser.m_onLocationChange(platform.strFailedURL); });
        return;
    }
    case DISPID_DOCUMENTCOMPLETE:
        // (pDisp, URL)
        if (platform.bFailurePending &&
            IsSameObject(ObjectArgument(params, 0), platform.pControl) &&
            StringArgument(params, 1) == kBlankPage)
            platform.ShowFailurePage();
        return;
    case DISPID_NAVIGATECOMPLETE2: {
        // (pDisp, URL)
        const std::u16string strURL = StringArgument(params, 1);
        if (strURL == kBlankPage || !IsSameObject(ObjectArgument(params, 0), platform.pControl))
            return;
        if (browser.m_onLocationChange)
            browser.Deliver([&] { browser.m_onLocationChange(strURL); });
        return;
    }
    case DISPID_DOWNLOADBEGIN:
        browser.Deliver(browser.m_onDownloadBegin);
        return;
    case DISPID_DOWNLOADCOMPLETE:
        browser.Deliver(browser.m_onDownloadComplete);
        for (const auto& listener : browser.m_completeListeners)
            browser.Deliver(listener);
        return;
    case DISPID_COMMANDSTATECHANGE: {
        // (Command, Enable)
        const int nCommand = static_cast<int>(LongArgument(params, 0));
        const bool bEnable = LongArgument(params, 1) != 0;
        if (nCommand == CSC_NAVIGATEBACK)
            platform.bCanGoBack = bEnable;
        else if (nCommand == CSC_NAVIGATEFORWARD)
            platform.bCanGoForward = bEnable;
        if (browser.m_onCommandStateChange)
            browser.Deliver([&] { browser.m_onCommandStateChange(nCommand, bEnable); });
        return;
    }
    default:
        return;
    }
}

void CWebBrowserPlatform::ShowFailurePage()
{
    CWebBrowserPlatform& platform = *this;
    platform.bFailurePending = false;
    platform.bFailureShown = true;
    IDispatch* pDispatch = nullptr;
    if (FAILED(platform.pControl->get_Document(&pDispatch)) || !pDispatch)
        return;
    IHTMLDocument2* pDocument = nullptr;
    pDispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pDocument));
    pDispatch->Release();
    if (!pDocument)
        return;
    // The page is written whole as markup of our own; nothing of it runs.
    CBstr markup{LoadFailurePageHtml(platform.strFailedURL, platform.nFailedError)};
    if (SAFEARRAY* pLines = SafeArrayCreateVector(VT_VARIANT, 0, 1)) {
        VARIANT* pLine = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(pLines, reinterpret_cast<void**>(&pLine)))) {
            V_VT(pLine) = VT_BSTR;
            V_BSTR(pLine) = SysAllocString(markup.Get());
            SafeArrayUnaccessData(pLines);
            pDocument->write(pLines);
            pDocument->close();
        }
        SafeArrayDestroy(pLines);
    }
    pDocument->Release();
}

void CWebBrowser::Deliver(const std::function<void()>& handler)
{
    if (handler)
        AfxCallHandler(GetSafeHwnd(), handler);
}

void CWebBrowser::GoBack()
{
    const HRESULT hr = RequireControl(*this)->GoBack();
    if (FAILED(hr))
        ThrowFailure(hr);
}

void CWebBrowser::GoForward()
{
    const HRESULT hr = RequireControl(*this)->GoForward();
    if (FAILED(hr))
        ThrowFailure(hr);
}

void CWebBrowser::Navigate(const std::u16string& strURL, const int* Flags,
                           const std::u16string* TargetFrameName, const std::string* PostData,
                           const std::u16string* Headers)
{
    IWebBrowser2* pControl = RequireControl(*this);
    if (!IsShownAddress(strURL))
        throw COleDispatchException(RefusedAddressMessage(strURL));
    if (TargetFrameName && !TargetFrameName->empty())
        throw COleDispatchException(u"A target frame cannot be named.");

    std::u16string strHeaders = Headers ? *Headers : std::u16string();
    if (!strHeaders.empty() && !strHeaders.ends_with(u"\r\n"))
        strHeaders += u"\r\n";
    const auto hasHeader = [&strHeaders](std::u16string_view name) {
        for (std::size_t nLine = 0; nLine < strHeaders.size();) {
            const std::size_t nEnd = strHeaders.find(u"\r\n", nLine);
            const std::u16string_view line =
                std::u16string_view(strHeaders).substr(nLine, nEnd - nLine);
            if (line.size() > name.size() && line[name.size()] == u':' &&
                CompareStringOrdinal(reinterpret_cast<const wchar_t*>(line.data()),
                                     static_cast<int>(name.size()),
                                     reinterpret_cast<const wchar_t*>(name.data()),
                                     static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
                return true;
            nLine = nEnd == std::u16string::npos ? strHeaders.size() : nEnd + 2;
        }
        return false;
    };
    // The request itself says that no cache may answer it, whatever caches
    // lie between the control and the server.
    if (Flags && (*Flags & navNoReadFromCache) && !hasHeader(u"Cache-Control"))
        strHeaders += u"Cache-Control: no-cache\r\n";
    if (PostData && !hasHeader(u"Content-Type"))
        strHeaders += u"Content-Type: application/x-www-form-urlencoded\r\n";

    VARIANT flags;
    VariantInit(&flags);
    if (Flags) {
        V_VT(&flags) = VT_I4;
        V_I4(&flags) = *Flags;
    }
    VARIANT headers;
    VariantInit(&headers);
    if (!strHeaders.empty()) {
        V_VT(&headers) = VT_BSTR;
        V_BSTR(&headers) =
            SysAllocStringLen(Wide(strHeaders), static_cast<UINT>(strHeaders.size()));
    }
    VARIANT postData;
    VariantInit(&postData);
    if (PostData) {
        SAFEARRAY* pBytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(PostData->size()));
        void* pData = nullptr;
        if (pBytes && SUCCEEDED(SafeArrayAccessData(pBytes, &pData))) {
            std::copy(PostData->begin(), PostData->end(), static_cast<char*>(pData));
            SafeArrayUnaccessData(pBytes);
        }
        V_VT(&postData) = VT_ARRAY | VT_UI1;
        V_ARRAY(&postData) = pBytes;
    }
    CBstr url(strURL);
    const HRESULT hr =
        pControl->Navigate(url.Get(), Flags ? &flags : nullptr, nullptr,
                           PostData ? &postData : nullptr, strHeaders.empty() ? nullptr : &headers);
    VariantClear(&headers);
    VariantClear(&postData);
    if (FAILED(hr))
        ThrowFailure(hr);
}

void CWebBrowser::Refresh()
{
    IWebBrowser2* pControl = RequireControl(*this);
    CWebBrowserPlatform& platform = *m_pPlatform;
    // Our page for a failed load stands for that address: reloading it
    // tries the address again.
    if ((platform.bFailureShown || platform.bFailurePending) && !platform.strFailedURL.empty()) {
        const std::u16string strURL = platform.strFailedURL;
        const int nFlags = navNoReadFromCache;
        Navigate(strURL, &nFlags);
        return;
    }
    const HRESULT hr = pControl->Refresh();
    if (FAILED(hr))
        ThrowFailure(hr);
}

void CWebBrowser::Stop()
{
    const HRESULT hr = RequireControl(*this)->Stop();
    if (FAILED(hr))
        ThrowFailure(hr);
}

bool CWebBrowser::CanGoBack() const
{
    return BrowserControl(*this) && m_pPlatform->bCanGoBack;
}

bool CWebBrowser::CanGoForward() const
{
    return BrowserControl(*this) && m_pPlatform->bCanGoForward;
}

std::u16string CWebBrowser::GetLocationURL() const
{
    IWebBrowser2* pControl = BrowserControl(*this);
    if (!pControl)
        return std::u16string();
    if (m_pPlatform->bFailureShown || m_pPlatform->bFailurePending)
        return m_pPlatform->strFailedURL;
    BSTR bstrURL = nullptr;
    if (FAILED(pControl->get_LocationURL(&bstrURL)))
        return std::u16string();
    std::u16string strURL = FromBstr(bstrURL);
    SysFreeString(bstrURL);
    return strURL;
}

void CWebBrowser::FindText(const std::u16string& strText, bool bBackward)
{
    // The control finds text in its own find dialog (the find bar opens it);
    // this call only takes the marks of an earlier search away.
    static_cast<void>(bBackward);
    if (!strText.empty())
        return;
    IWebBrowser2* pControl = BrowserControl(*this);
    IDispatch* pDispatch = nullptr;
    if (!pControl || FAILED(pControl->get_Document(&pDispatch)) || !pDispatch)
        return;
    IHTMLDocument2* pDocument = nullptr;
    pDispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&pDocument));
    pDispatch->Release();
    if (!pDocument)
        return;
    IHTMLSelectionObject* pSelection = nullptr;
    if (SUCCEEDED(pDocument->get_selection(&pSelection)) && pSelection) {
        pSelection->empty();
        pSelection->Release();
    }
    pDocument->Release();
}

double CWebBrowser::GetZoom() const
{
    IWebBrowser2* pControl = BrowserControl(*this);
    if (!pControl)
        return 1.0;
    VARIANT percent;
    VariantInit(&percent);
    if (SUCCEEDED(pControl->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr,
                                   &percent)) &&
        V_VT(&percent) == VT_I4 && V_I4(&percent) > 0)
        return V_I4(&percent) / 100.0;
    return m_pPlatform->fZoom;
}

void CWebBrowser::SetZoom(double fFactor)
{
    IWebBrowser2* pControl = BrowserControl(*this);
    if (!pControl)
        return;
    m_pPlatform->fZoom = fFactor;
    VARIANT percent;
    VariantInit(&percent);
    V_VT(&percent) = VT_I4;
    V_I4(&percent) = static_cast<LONG>(fFactor * 100.0 + 0.5);
    pControl->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &percent, nullptr);
}

void CWebBrowser::SetLookUpHandler(std::function<void(const std::u16string&)> handler)
{
    const bool bFirst = !m_onLookUp;
    m_onLookUp = std::move(handler);
    if (!BrowserControl(*this) || !bFirst || !m_onLookUp)
        return;
    std::weak_ptr<bool> pAlive = m_pPlatform->pAlive;
    CPageWordPicker::Watch(*this, [this, pAlive](const std::u16string& strWord) {
        if (!pAlive.expired())
            LookUp(strWord);
    });
}

void CWebBrowser::LookUp(const std::u16string& strWord)
{
    std::weak_ptr<bool> pAlive = m_pPlatform->pAlive;
    auto& laterCalls = m_pPlatform->laterCalls;
    std::erase_if(laterCalls, [](UINT_PTR nTimer) { return !LaterCalls().contains(nTimer); });
    if (const UINT_PTR nTimer = CallLater([this, pAlive, strWord] {
            if (!pAlive.expired() && m_onLookUp)
                Deliver([&] { m_onLookUp(strWord); });
        }))
        laterCalls.push_back(nTimer);
}
