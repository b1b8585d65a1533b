#pragma once

#include "wnd.h"

#include <QString>
#include <QVariant>

#include <functional>

class QWebEngineView;

// The embedded web browser of the lookup and help pages. Each call acts on
// the browser's own history and page; a call it cannot carry out raises
// COleDispatchException, a call without a live browser COleException.
// A link meant for a new window opens in the user's own web browser.
class CWebBrowser : public CWnd
{
public:
    // Class id of the browser control in dialog templates.
    static const char* const kClassId;
    // Lets dialog templates create their browser controls. Until this has
    // been called a template's browser control is missing.
    static void RegisterControlClass();

    // A browser window outside a template, as a child of pParent.
    bool Create(const QRect& rect, QWidget* pParent, int nID);

    void GoBack();
    void GoForward();
    // Starts loading strURL and returns; loading goes on in the background.
    // Flags navNoReadFromCache fetches the page anew (Cache-Control: no-cache).
    // PostData makes the request a POST with that body; Headers adds
    // "Name: value" lines. A null pointer means the argument is absent; a
    // target frame cannot be named.
    void Navigate(const QString& strURL, const QVariant* Flags = nullptr,
                  const QVariant* TargetFrameName = nullptr, const QVariant* PostData = nullptr,
                  const QVariant* Headers = nullptr);
    void Refresh();
    void Stop();

    // Events, delivered to the page that holds the browser. CommandStateChange
    // reports whether going forward (command 1) or back (command 2) is possible.
    enum : int { CSC_NAVIGATEFORWARD = 1, CSC_NAVIGATEBACK = 2 };
    void SetDownloadBeginHandler(std::function<void()> handler);
    void SetDownloadCompleteHandler(std::function<void()> handler);
    void SetCommandStateChangeHandler(std::function<void(int nCommand, bool bEnable)> handler);
    // A word the user picked on the page to look up: a double click on it, or
    // "Otsi „WORD“" in the page's menu for a selected text. Without a handler
    // neither offers anything.
    void SetLookUpHandler(std::function<void(const QString& strWord)> handler);

    QWebEngineView* GetView() const;

protected:
    void PreSubclassWindow() override;

private:
    QWebEngineView* RequireView() const;
    void LookUp(const QString& strWord);
    // In Estonian, and only what works here: back, forward, reload, copying,
    // the link's address and opening it in the user's own web browser.
    void ShowContextMenu(const QPoint& pos);

    std::function<void()> m_onDownloadBegin;
    std::function<void()> m_onDownloadComplete;
    std::function<void(int, bool)> m_onCommandStateChange;
    std::function<void(const QString&)> m_onLookUp;
};
