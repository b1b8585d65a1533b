#include "web_browser.h"

#include "dialog_controls.h"
#include "exception_report.h"
#include "load_failure_page.h"
#include "ole_dispatch_exception.h"
#include "ole_exception.h"
#include "page_word_picker.h"
#include "qt_text.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QAction>
#include <QChildEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QUrl>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace
{

// Esc belongs to the window that holds the browser (it closes the main
// window), also while the focus is inside the page: the engine would keep
// the key. The filter sits on the view and on the widgets the view puts
// inside itself to receive input, which come and go with the page.
class CEscapeToParent : public QObject
{
public:
    explicit CEscapeToParent(QWebEngineView* pView) : QObject(pView), m_pView(pView)
    {
        pView->installEventFilter(this);
        for (QWidget* pChild : pView->findChildren<QWidget*>())
            pChild->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pWatched == m_pView && pEvent->type() == QEvent::ChildAdded) {
            QObject* pChild = static_cast<QChildEvent*>(pEvent)->child();
            if (pChild->isWidgetType())
                pChild->installEventFilter(this);
            return false;
        }
        if (pWatched == m_pView || pEvent->type() != QEvent::KeyPress)
            return false;
        // A menu that the view opens is a child of it too, and Esc there
        // closes only the menu.
        if (static_cast<QWidget*>(pWatched)->isWindow())
            return false;
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() != Qt::Key_Escape ||
            (pKey->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // As the engine passes on a key the page did not use.
        if (QWidget* pParent = m_pView->parentWidget())
            QCoreApplication::sendEvent(pParent, pKey);
        return true;
    }

private:
    QWebEngineView* m_pView;
};

// Only web addresses go to the user's browser: another scheme could start
// any program the desktop has registered for it.
bool IsForUsersBrowser(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

void OpenInUsersBrowser(const QUrl& url)
{
    if (IsForUsersBrowser(url))
        QDesktopServices::openUrl(url);
}

} // namespace

// A literal rather than a QString object: the library registers the class
// while static objects are still being constructed.
const char* const CWebBrowser::kClassId = "{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}";

void CWebBrowser::RegisterControlClass()
{
    CDialogControls::RegisterControlClass(
        kClassId, [](QWidget* pParent) -> QWidget* { return new QWebEngineView(pParent); });
}

bool CWebBrowser::Create(const QRect& rect, QWidget* pParent, int nID)
{
    if (IsWindow() || !pParent)
        return false;
    auto* pView = new QWebEngineView(pParent);
    pView->setObjectName(QStringLiteral("ctl%1").arg(nID));
    SetDlgCtrlID(ToHandle(pView), nID);
    pView->setGeometry(rect);
    pView->show();
    Attach(ToHandle(pView), true);
    return true;
}

QWebEngineView* CWebBrowser::GetView() const
{
    return qobject_cast<QWebEngineView*>(FromHandle(GetSafeHwnd()));
}

QWebEngineView* CWebBrowser::RequireView() const
{
    QWebEngineView* pView = GetView();
    if (!pView)
        throw COleException(COleException::E_NOTCONNECTED_CODE);
    return pView;
}

void CWebBrowser::PreSubclassWindow()
{
    QWebEngineView* pView = GetView();
    if (!pView)
        return;
    new CEscapeToParent(pView);
    // The engine's own menu is English and offers tabs, windows and saving
    // that a lookup window does not have.
    pView->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pView, &QWidget::customContextMenuRequested, GetPlatform().pReceiver.get(),
                     [this](const QPoint& pos) { ShowContextMenu(pos); });
    // A link meant for a new tab or window (a middle click, target="_blank")
    // opens in the user's own web browser.
    QObject::connect(pView->page(), &QWebEnginePage::newWindowRequested,
                     GetPlatform().pReceiver.get(), [](QWebEngineNewWindowRequest& request) {
                         if (request.isUserInitiated())
                             OpenInUsersBrowser(request.requestedUrl());
                     });
    // Nothing shows a page's icon, so the browser does not ask the
    // dictionary program for one after every answer.
    pView->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    // Our own page takes the place of the engine's when an address cannot be
    // loaded; the failed load stays in the history under its address, so the
    // toolbar and reload act on it as on any page.
    QWebEnginePage* pPage = pView->page();
    QObject::connect(pPage, &QWebEnginePage::loadingChanged, GetPlatform().pReceiver.get(),
                     [pPage](const QWebEngineLoadingInfo& info) {
                         if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus ||
                             info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ||
                             !IsLoadFailureShown(info.errorCode()))
                             return;
                         pPage->runJavaScript(QString::fromStdU16String(LoadFailurePageScript(
                             info.url().toDisplayString().toStdU16String(), info.errorCode())));
                     });
    QObject::connect(pView, &QWebEngineView::loadStarted, GetPlatform().pReceiver.get(), [this] {
        if (m_onDownloadBegin)
            AfxCallHandler(GetSafeHwnd(), m_onDownloadBegin);
    });
    QObject::connect(pView, &QWebEngineView::loadFinished, GetPlatform().pReceiver.get(),
                     [this](bool) {
                         if (m_onDownloadComplete)
                             AfxCallHandler(GetSafeHwnd(), m_onDownloadComplete);
                     });
    // The page decides when back and forward are possible; its actions say so.
    const struct {
        QWebEnginePage::WebAction action;
        int nCommand;
    } steps[] = {{QWebEnginePage::Back, CSC_NAVIGATEBACK},
                 {QWebEnginePage::Forward, CSC_NAVIGATEFORWARD}};
    for (const auto& step : steps) {
        QAction* pAction = pView->pageAction(step.action);
        const int nCommand = step.nCommand;
        QObject::connect(
            pAction, &QAction::changed, GetPlatform().pReceiver.get(), [this, pAction, nCommand] {
                if (m_onCommandStateChange)
                    AfxCallHandler(GetSafeHwnd(),
                                   [&] { m_onCommandStateChange(nCommand, pAction->isEnabled()); });
            });
    }
}

void CWebBrowser::ShowContextMenu(const QPoint& pos)
{
    QWebEngineView* pView = GetView();
    const QWebEngineContextMenuRequest* pRequest =
        pView ? pView->lastContextMenuRequest() : nullptr;
    if (!pRequest)
        return;
    auto* pMenu = new QMenu(pView);
    pMenu->setObjectName(QStringLiteral("browserMenu"));
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [pMenu, pView](const QString& strText, QWebEnginePage::WebAction action,
                                    bool bEnabled) {
        QAction* pAction = pMenu->addAction(strText);
        pAction->setEnabled(bEnabled);
        QObject::connect(pAction, &QAction::triggered, pView,
                         [pView, action] { pView->triggerPageAction(action); });
    };
    const QString strWord = CPageWordPicker::WordFromSelection(pRequest->selectedText());
    if (m_onLookUp && !strWord.isEmpty()) {
        QAction* pLookUp = pMenu->addAction(CPageWordPicker::LookUpCommandText(strWord));
        pLookUp->setObjectName(QStringLiteral("lookUpSelection"));
        QObject::connect(pLookUp, &QAction::triggered, GetPlatform().pReceiver.get(),
                         [this, strWord] { LookUp(strWord); });
        pMenu->addSeparator();
    }
    const QUrl link = pRequest->linkUrl();
    if (link.isValid() && !link.isEmpty()) {
        if (IsForUsersBrowser(link))
            QObject::connect(pMenu->addAction(QStringLiteral("Ava link veebilehitsejas")),
                             &QAction::triggered, pView, [link] { OpenInUsersBrowser(link); });
        add(QStringLiteral("Kopeeri lingi aadress"), QWebEnginePage::CopyLinkToClipboard, true);
        pMenu->addSeparator();
    }
    const auto flags = pRequest->editFlags();
    if (pRequest->isContentEditable()) {
        add(QStringLiteral("Lõika"), QWebEnginePage::Cut,
            flags.testFlag(QWebEngineContextMenuRequest::CanCut));
        add(QStringLiteral("Kopeeri"), QWebEnginePage::Copy,
            flags.testFlag(QWebEngineContextMenuRequest::CanCopy));
        add(QStringLiteral("Kleebi"), QWebEnginePage::Paste,
            flags.testFlag(QWebEngineContextMenuRequest::CanPaste));
    } else {
        if (!pRequest->selectedText().isEmpty())
            add(QStringLiteral("Kopeeri"), QWebEnginePage::Copy, true);
        add(QStringLiteral("Tagasi"), QWebEnginePage::Back, pView->history()->canGoBack());
        add(QStringLiteral("Edasi"), QWebEnginePage::Forward, pView->history()->canGoForward());
        add(QStringLiteral("Laadi uuesti"), QWebEnginePage::Reload, true);
    }
    pMenu->addSeparator();
    add(QStringLiteral("Vali kõik"), QWebEnginePage::SelectAll,
        flags.testFlag(QWebEngineContextMenuRequest::CanSelectAll));
    pMenu->popup(pView->mapToGlobal(pos));
}

void CWebBrowser::GoBack()
{
    QWebEngineView* pView = RequireView();
    if (!pView->history()->canGoBack())
        throw COleDispatchException(u"There is no previous page.");
    pView->back();
}

void CWebBrowser::GoForward()
{
    QWebEngineView* pView = RequireView();
    if (!pView->history()->canGoForward())
        throw COleDispatchException(u"There is no next page.");
    pView->forward();
}

void CWebBrowser::Navigate(const QString& strURL, const QVariant* Flags,
                           const QVariant* TargetFrameName, const QVariant* PostData,
                           const QVariant* Headers)
{
    QWebEngineView* pView = RequireView();
    const QUrl url = QUrl::fromUserInput(strURL);
    if (!url.isValid() || url.isEmpty())
        throw COleDispatchException(
            FromQString(QStringLiteral("The address is not valid: %1").arg(strURL)));
    if (TargetFrameName && !TargetFrameName->toString().isEmpty())
        throw COleDispatchException(u"A target frame cannot be named.");

    QWebEngineHttpRequest request(url);
    if (Flags && (Flags->toInt() & navNoReadFromCache))
        request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    if (Headers) {
        const QStringList lines = Headers->toString().split(QStringLiteral("\r\n"));
        for (const QString& strLine : lines) {
            const auto nColon = strLine.indexOf(QLatin1Char(':'));
            if (nColon <= 0)
                continue;
            request.setHeader(strLine.left(nColon).trimmed().toLatin1(),
                              strLine.mid(nColon + 1).trimmed().toLatin1());
        }
    }
    if (PostData) {
        request.setMethod(QWebEngineHttpRequest::Post);
        request.setPostData(PostData->toByteArray());
        if (!request.hasHeader(QByteArrayLiteral("Content-Type")))
            request.setHeader(QByteArrayLiteral("Content-Type"),
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
    }
    pView->load(request);
}

void CWebBrowser::Refresh()
{
    RequireView()->reload();
}

void CWebBrowser::Stop()
{
    RequireView()->stop();
}

void CWebBrowser::SetDownloadBeginHandler(std::function<void()> handler)
{
    m_onDownloadBegin = std::move(handler);
}

void CWebBrowser::SetDownloadCompleteHandler(std::function<void()> handler)
{
    m_onDownloadComplete = std::move(handler);
}

void CWebBrowser::SetCommandStateChangeHandler(std::function<void(int, bool)> handler)
{
    m_onCommandStateChange = std::move(handler);
}

void CWebBrowser::SetLookUpHandler(std::function<void(const QString&)> handler)
{
    const bool bFirst = !m_onLookUp;
    m_onLookUp = std::move(handler);
    QWebEngineView* pView = GetView();
    if (!pView || !bFirst || !m_onLookUp)
        return;
    // The picker goes with the view, which may outlive this wrapper.
    QPointer<QObject> pAlive(GetPlatform().pReceiver.get());
    new CPageWordPicker(pView, [this, pAlive](const QString& strWord) {
        if (pAlive)
            LookUp(strWord);
    });
}

void CWebBrowser::LookUp(const QString& strWord)
{
    // From the event loop, not from inside the engine's signal or the closing
    // menu: the lookup may ask something in a message box.
    QMetaObject::invokeMethod(
        GetPlatform().pReceiver.get(),
        [this, strWord] {
            if (m_onLookUp)
                AfxCallHandler(GetSafeHwnd(), [&] { m_onLookUp(strWord); });
        },
        Qt::QueuedConnection);
}
