#include "page_word_picker.h"

#include "event_sink_windows.h"
#include "web_browser.h"
#include "web_browser_windows.h"

#include <mshtmdid.h>
#include <mshtml.h>

#include <memory>

namespace
{

// The document's events, which the system's import libraries do not name.
constexpr IID kDocumentEvents = {
    0x3050f613, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

template <class Interface> Interface* Query(IUnknown* pObject, REFIID iid)
{
    Interface* pResult = nullptr;
    if (pObject)
        pObject->QueryInterface(iid, reinterpret_cast<void**>(&pResult));
    return pResult;
}

// The text the page has selected, as the control records it: nothing runs
// inside the page to read it.
std::u16string SelectedText(IHTMLDocument2* pDocument)
{
    std::u16string strText;
    IHTMLSelectionObject* pSelection = nullptr;
    if (FAILED(pDocument->get_selection(&pSelection)) || !pSelection)
        return strText;
    IDispatch* pRange = nullptr;
    if (SUCCEEDED(pSelection->createRange(&pRange)) && pRange) {
        if (IHTMLTxtRange* pText = Query<IHTMLTxtRange>(pRange, IID_IHTMLTxtRange)) {
            BSTR bstrText = nullptr;
            if (SUCCEEDED(pText->get_text(&bstrText)) && bstrText)
                strText.assign(reinterpret_cast<const char16_t*>(bstrText), SysStringLen(bstrText));
            SysFreeString(bstrText);
            pText->Release();
        }
        pRange->Release();
    }
    pSelection->Release();
    return strText;
}

// Follows the double clicks on the document the browser shows, moving on to
// each new document when its load ends.
class CDoubleClickWatch
{
public:
    CDoubleClickWatch(CWebBrowser& browser, std::function<void(const std::u16string&)> onWord)
        : m_browser(browser), m_onWord(std::move(onWord))
    {
    }
    ~CDoubleClickWatch() { Stop(); }
    CDoubleClickWatch(const CDoubleClickWatch&) = delete;
    CDoubleClickWatch& operator=(const CDoubleClickWatch&) = delete;

    void FollowDocument()
    {
        IWebBrowser2* pControl = BrowserControl(m_browser);
        IDispatch* pDispatch = nullptr;
        if (!pControl || FAILED(pControl->get_Document(&pDispatch)) || !pDispatch)
            return;
        IHTMLDocument2* pDocument = Query<IHTMLDocument2>(pDispatch, IID_IHTMLDocument2);
        pDispatch->Release();
        if (pDocument == m_pDocument) {
            if (pDocument)
                pDocument->Release();
            return;
        }
        Stop();
        m_pDocument = pDocument;
        if (!m_pDocument)
            return;
        m_pEvents = CEventSink::Connect(m_pDocument, kDocumentEvents,
                                        [this](DISPID nEvent, DISPPARAMS& params) {
                                            if (nEvent == DISPID_HTMLDOCUMENTEVENTS2_ONDBLCLICK)
                                                OnDoubleClick(params);
                                        });
    }

private:
    void OnDoubleClick(DISPPARAMS& params)
    {
        // Shift, Ctrl or Alt with a double click extend or add to a selection.
        if (params.cArgs >= 1 && V_VT(&params.rgvarg[0]) == VT_DISPATCH) {
            if (IHTMLEventObj* pEvent =
                    Query<IHTMLEventObj>(V_DISPATCH(&params.rgvarg[0]), IID_IHTMLEventObj)) {
                VARIANT_BOOL bShift = VARIANT_FALSE, bCtrl = VARIANT_FALSE, bAlt = VARIANT_FALSE;
                pEvent->get_shiftKey(&bShift);
                pEvent->get_ctrlKey(&bCtrl);
                pEvent->get_altKey(&bAlt);
                pEvent->Release();
                if (bShift || bCtrl || bAlt)
                    return;
            }
        }
        const std::u16string strWord =
            CPageWordPicker::WordFromSelection(SelectedText(m_pDocument));
        if (!strWord.empty() && m_onWord)
            m_onWord(strWord);
    }

    void Stop()
    {
        if (m_pEvents)
            m_pEvents->Disconnect();
        m_pEvents = nullptr;
        if (m_pDocument)
            m_pDocument->Release();
        m_pDocument = nullptr;
    }

    CWebBrowser& m_browser;
    std::function<void(const std::u16string&)> m_onWord;
    IHTMLDocument2* m_pDocument = nullptr;
    CEventSink* m_pEvents = nullptr;
};

} // namespace

void CPageWordPicker::Watch(CWebBrowser& browser, std::function<void(const std::u16string&)> onWord)
{
    if (!BrowserControl(browser))
        return;
    // The watch goes with the browser, which holds its listeners.
    auto pWatch = std::make_shared<CDoubleClickWatch>(browser, std::move(onWord));
    pWatch->FollowDocument();
    browser.AddDownloadCompleteListener([pWatch] { pWatch->FollowDocument(); });
}
