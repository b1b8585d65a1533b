#pragma once

#include "wnd.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The platform's side of a browser: its connection to the control, if any.
struct CWebBrowserPlatform;

// The embedded web browser of the lookup and help pages. Each call acts on
// the browser's own history and page; a call it cannot carry out raises
// COleDispatchException, a call without a live browser COleException.
// A link meant for a new window opens in the user's own web browser.
// The browser's window holds the page and, under it, the bars that a page
// adds to it (the find bar), which take their room from the page's.
class CWebBrowser : public CWnd
{
public:
    CWebBrowser();
    ~CWebBrowser() override;

    // Class id of the browser control in dialog templates.
    static const char* const kClassId;
    // Lets dialog templates create their browser controls. Until this has
    // been called a template's browser control is missing.
    static void RegisterControlClass();

    void GoBack();
    void GoForward();
    // Starts loading strURL and returns; loading goes on in the background.
    // Flags navNoReadFromCache fetches the page anew (Cache-Control: no-cache).
    // PostData makes the request a POST with that body; Headers adds
    // "Name: value" lines. A null pointer means the argument is absent; a
    // target frame cannot be named.
    void Navigate(const std::u16string& strURL, const int* Flags = nullptr,
                  const std::u16string* TargetFrameName = nullptr,
                  const std::string* PostData = nullptr, const std::u16string* Headers = nullptr);
    void Refresh();
    void Stop();

    // Whether a step back or forward is possible now; false without a browser.
    bool CanGoBack() const;
    bool CanGoForward() const;
    // The address of the page shown, escaped as it is sent; empty without one.
    std::u16string GetLocationURL() const;

    // Marks the matches of strText on the page and goes to the next one, or
    // the previous one; an empty text takes the marks away. The result comes
    // later, to the find result handler.
    void FindText(const std::u16string& strText, bool bBackward = false);
    // The page's zoom factor, 1 for its own size.
    double GetZoom() const;
    void SetZoom(double fFactor);

    // Events, delivered to the page that holds the browser. CommandStateChange
    // reports whether going forward (command 1) or back (command 2) is possible.
    enum : int { CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };
    void SetDownloadBeginHandler(std::function<void()> handler);
    void SetDownloadCompleteHandler(std::function<void()> handler);
    void SetCommandStateChangeHandler(std::function<void(int nCommand, bool bEnable)> handler);
    // The page shown has another address: a new page, back, forward, a link.
    void SetLocationChangeHandler(std::function<void(const std::u16string& strURL)> handler);
    // What FindText found: the match gone to (from 1) and the number of matches.
    void SetFindResultHandler(std::function<void(int nActive, int nMatches)> handler);
    // A load ended, well or not.
    void AddDownloadCompleteListener(std::function<void()> listener);
    // A word the user picked on the page to look up: a double click on it, or
    // "Otsi „WORD“" in the page's menu for a selected text. Without a handler
    // neither offers anything.
    void SetLookUpHandler(std::function<void(const std::u16string& strWord)> handler);

protected:
    void PreSubclassWindow() override;

private:
    friend struct CWebBrowserPlatform;

    // From the event loop, not from inside the browser's own event: the
    // lookup may ask something in a message box.
    void LookUp(const std::u16string& strWord);
    // The page's own menu at nX, nY in the browser's view, in Estonian, and
    // only what works here: looking up the selected text, back, forward,
    // reload, copying, the link's address and opening it in the user's own
    // web browser.
    void ShowPageMenu(int nX, int nY);
    // Runs an event's handler as a message handler, failures to the general report.
    void Deliver(const std::function<void()>& handler);

    std::function<void()> m_onDownloadBegin;
    std::function<void()> m_onDownloadComplete;
    std::function<void(int, bool)> m_onCommandStateChange;
    std::function<void(const std::u16string&)> m_onLocationChange;
    std::function<void(int, int)> m_onFindResult;
    std::vector<std::function<void()>> m_completeListeners;
    std::function<void(const std::u16string&)> m_onLookUp;
    std::unique_ptr<CWebBrowserPlatform> m_pPlatform;
};
