#include "web_browser_linux.h"
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
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineFindTextResult>
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
        // As the engine passes on a key the page did not use, to the page
        // that holds the browser's window.
        QWidget* pBox = m_pView->parentWidget();
        if (QWidget* pPage = pBox ? pBox->parentWidget() : nullptr)
            QCoreApplication::sendEvent(pPage, pKey);
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

// A page's process keeps something of every page it has shown (script
// heaps, caches) and grows over a long session. After many answers, once the
// window has been idle a while, the page moves to a fresh process: the
// engine's discard and reload, which keep the history, the address, the
// place on the page and the zoom. A picture of the page covers the view
// until the fresh process has drawn the page again.
class CProcessRenewal : public QObject
{
public:
    explicit CProcessRenewal(QWebEngineView* pView) : QObject(pView), m_pView(pView)
    {
        setObjectName(QStringLiteral("processRenewal"));
        m_idle.setSingleShot(true);
        connect(&m_idle, &QTimer::timeout, this, [this] { Renew(); });
        connect(pView, &QWebEngineView::loadStarted, this, [this] { m_idle.stop(); });
        // Each page shown counts, also one whose load the next cut short:
        // loads that overlap start and finish only once between them.
        connect(pView, &QWebEngineView::urlChanged, this, [this] {
            if (!m_bRenewing)
                ++m_nLoads;
        });
        connect(pView, &QWebEngineView::loadFinished, this, [this](bool) { OnLoadFinished(); });
    }

    void Set(int nLoads, int nIdleMs)
    {
        m_nLoadsPerProcess = nLoads;
        m_nIdleMs = nIdleMs;
    }

private:
    // About the pages after which the process of small answer pages stops
    // growing much; the idle time lets a reader finish with the page.
    static constexpr int kLoadsPerProcess = 50;
    static constexpr int kIdleMs = 10000;
    // The fresh process's first frame comes a moment after its load ends.
    static constexpr int kCoverAfterLoadMs = 150;

    void OnLoadFinished()
    {
        if (m_bRenewing) {
            m_bRenewing = false;
            if (m_pCover)
                QTimer::singleShot(kCoverAfterLoadMs, m_pCover.data(), &QObject::deleteLater);
            return;
        }
        if (m_nLoads >= m_nLoadsPerProcess)
            m_idle.start(m_nIdleMs);
    }

    void Renew()
    {
        QWebEnginePage* pPage = m_pView->page();
        // A selection, a held button or a load going on is the user's or
        // the page's business; the renewal waits for the next quiet time.
        if (pPage->isLoading() || pPage->hasSelection() || m_pView->url().isEmpty() ||
            QGuiApplication::mouseButtons() != Qt::NoButton) {
            m_idle.start(m_nIdleMs);
            return;
        }
        const bool bShown = m_pView->isVisible();
        if (bShown) {
            m_pCover = new QLabel(m_pView->parentWidget());
            m_pCover->setPixmap(m_pView->grab());
            m_pCover->setGeometry(m_pView->geometry());
            m_pCover->show();
        }
        // Only a page out of sight may be discarded.
        pPage->setVisible(false);
        pPage->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
        const bool bDiscarded =
            pPage->lifecycleState() == QWebEnginePage::LifecycleState::Discarded;
        m_bRenewing = bDiscarded;
        pPage->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        pPage->setVisible(bShown);
        m_nLoads = 0;
        if (!bDiscarded && m_pCover)
            m_pCover->deleteLater();
    }

    QWebEngineView* m_pView;
    QTimer m_idle;
    QPointer<QLabel> m_pCover;
    int m_nLoads = 0;
    int m_nLoadsPerProcess = kLoadsPerProcess;
    int m_nIdleMs = kIdleMs;
    bool m_bRenewing = false;
};

} // namespace

// The view and its connections are children of the browser's window and the
// wrapper's receiver, which go with them.
struct CWebBrowserPlatform {
};

CWebBrowser::CWebBrowser() = default;
CWebBrowser::~CWebBrowser() = default;

// A literal rather than a QString object: the library registers the class
// while static objects are still being constructed.
const char* const CWebBrowser::kClassId = "{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}";

void CWebBrowser::RegisterControlClass()
{
    CDialogControls::RegisterControlClass(kClassId, [](QWidget* pParent) -> QWidget* {
        // The template places and grows the browser's window; the view and
        // the bars under it share it through the column's layout.
        auto* pBox = new QWidget(pParent);
        auto* pColumn = new QVBoxLayout(pBox);
        pColumn->setContentsMargins(0, 0, 0, 0);
        pColumn->setSpacing(0);
        auto* pView = new QWebEngineView(pBox);
        // Found by the control's name, as the view was when it stood alone.
        pView->setObjectName(CDialogControls::ControlName(1006, 0));
        pColumn->addWidget(pView, 1);
        pBox->setFocusProxy(pView);
        return pBox;
    });
}

QWebEngineView* BrowserView(const CWebBrowser& browser)
{
    QWidget* pBox = WidgetOf(browser);
    return pBox ? pBox->findChild<QWebEngineView*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void SetProcessRenewal(const CWebBrowser& browser, int nLoads, int nIdleMs)
{
    if (QWebEngineView* pView = BrowserView(browser))
        if (auto* pRenewal = pView->findChild<CProcessRenewal*>(QStringLiteral("processRenewal")))
            pRenewal->Set(nLoads, nIdleMs);
}

QBoxLayout* BrowserColumn(const CWebBrowser& browser)
{
    QWidget* pBox = WidgetOf(browser);
    return pBox ? qobject_cast<QBoxLayout*>(pBox->layout()) : nullptr;
}

namespace
{

QWebEngineView* RequireView(const CWebBrowser& browser)
{
    QWebEngineView* pView = BrowserView(browser);
    if (!pView)
        throw COleException(COleException::E_NOTCONNECTED_CODE);
    return pView;
}

} // namespace

void CWebBrowser::PreSubclassWindow()
{
    QWebEngineView* pView = BrowserView(*this);
    if (!pView)
        return;
    new CEscapeToParent(pView);
    new CProcessRenewal(pView);
    // The engine's own menu is English and offers tabs, windows and saving
    // that a lookup window does not have.
    pView->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pView, &QWidget::customContextMenuRequested, GetPlatform().pReceiver.get(),
                     [this](const QPoint& pos) { ShowPageMenu(pos.x(), pos.y()); });
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
                         pPage->runJavaScript(ToQString(LoadFailurePageScript(
                             FromQString(info.url().toDisplayString()), info.errorCode())));
                     });
    QObject::connect(pView, &QWebEngineView::loadStarted, GetPlatform().pReceiver.get(),
                     [this] { Deliver(m_onDownloadBegin); });
    QObject::connect(pView, &QWebEngineView::loadFinished, GetPlatform().pReceiver.get(),
                     [this](bool) {
                         Deliver(m_onDownloadComplete);
                         for (const auto& listener : m_completeListeners)
                             Deliver(listener);
                     });
    QObject::connect(
        pView, &QWebEngineView::urlChanged, GetPlatform().pReceiver.get(), [this](const QUrl& url) {
            if (m_onLocationChange)
                Deliver([&] { m_onLocationChange(FromQString(url.toString(QUrl::FullyEncoded))); });
        });
    QObject::connect(
        pPage, &QWebEnginePage::findTextFinished, GetPlatform().pReceiver.get(),
        [this](const QWebEngineFindTextResult& result) {
            if (m_onFindResult)
                Deliver([&] { m_onFindResult(result.activeMatch(), result.numberOfMatches()); });
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
                    Deliver([&] { m_onCommandStateChange(nCommand, pAction->isEnabled()); });
            });
    }
}

void CWebBrowser::ShowPageMenu(int nX, int nY)
{
    const QPoint pos(nX, nY);
    QWebEngineView* pView = BrowserView(*this);
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
    const std::u16string strWord =
        CPageWordPicker::WordFromSelection(FromQString(pRequest->selectedText()));
    if (m_onLookUp && !strWord.empty()) {
        QAction* pLookUp = pMenu->addAction(ToQString(CPageWordPicker::LookUpCommandText(strWord)));
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

void CWebBrowser::Deliver(const std::function<void()>& handler)
{
    if (handler)
        AfxCallHandler(GetSafeHwnd(), handler);
}

void CWebBrowser::GoBack()
{
    QWebEngineView* pView = RequireView(*this);
    if (!pView->history()->canGoBack())
        throw COleDispatchException(u"There is no previous page.");
    pView->back();
}

void CWebBrowser::GoForward()
{
    QWebEngineView* pView = RequireView(*this);
    if (!pView->history()->canGoForward())
        throw COleDispatchException(u"There is no next page.");
    pView->forward();
}

void CWebBrowser::Navigate(const std::u16string& strURL, const int* Flags,
                           const std::u16string* TargetFrameName, const std::string* PostData,
                           const std::u16string* Headers)
{
    QWebEngineView* pView = RequireView(*this);
    const QUrl url = QUrl::fromUserInput(ToQString(strURL));
    if (!url.isValid() || url.isEmpty())
        throw COleDispatchException(u"The address is not valid: " + strURL);
    if (TargetFrameName && !TargetFrameName->empty())
        throw COleDispatchException(u"A target frame cannot be named.");

    QWebEngineHttpRequest request(url);
    if (Flags && (*Flags & navNoReadFromCache))
        request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    if (Headers) {
        const QStringList lines = ToQString(*Headers).split(QStringLiteral("\r\n"));
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
        request.setPostData(QByteArray::fromStdString(*PostData));
        if (!request.hasHeader(QByteArrayLiteral("Content-Type")))
            request.setHeader(QByteArrayLiteral("Content-Type"),
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
    }
    pView->load(request);
}

void CWebBrowser::Refresh()
{
    RequireView(*this)->reload();
}

void CWebBrowser::Stop()
{
    RequireView(*this)->stop();
}

bool CWebBrowser::CanGoBack() const
{
    const QWebEngineView* pView = BrowserView(*this);
    return pView && pView->history()->canGoBack();
}

bool CWebBrowser::CanGoForward() const
{
    const QWebEngineView* pView = BrowserView(*this);
    return pView && pView->history()->canGoForward();
}

std::u16string CWebBrowser::GetLocationURL() const
{
    const QWebEngineView* pView = BrowserView(*this);
    return pView ? FromQString(pView->url().toString(QUrl::FullyEncoded)) : std::u16string();
}

void CWebBrowser::FindText(const std::u16string& strText, bool bBackward)
{
    if (QWebEngineView* pView = BrowserView(*this))
        pView->page()->findText(ToQString(strText), bBackward ? QWebEnginePage::FindBackward
                                                              : QWebEnginePage::FindFlags());
}

double CWebBrowser::GetZoom() const
{
    const QWebEngineView* pView = BrowserView(*this);
    return pView ? pView->zoomFactor() : 1.0;
}

void CWebBrowser::SetZoom(double fFactor)
{
    if (QWebEngineView* pView = BrowserView(*this))
        pView->setZoomFactor(fFactor);
}

void CWebBrowser::SetLookUpHandler(std::function<void(const std::u16string&)> handler)
{
    const bool bFirst = !m_onLookUp;
    m_onLookUp = std::move(handler);
    QWebEngineView* pView = BrowserView(*this);
    if (!pView || !bFirst || !m_onLookUp)
        return;
    // The picker goes with the view, which may outlive this wrapper.
    QPointer<QObject> pAlive(GetPlatform().pReceiver.get());
    CPageWordPicker::Watch(*this, [this, pAlive](const std::u16string& strWord) {
        if (pAlive)
            LookUp(strWord);
    });
}

void CWebBrowser::LookUp(const std::u16string& strWord)
{
    QMetaObject::invokeMethod(
        GetPlatform().pReceiver.get(),
        [this, strWord] {
            if (m_onLookUp)
                Deliver([&] { m_onLookUp(strWord); });
        },
        Qt::QueuedConnection);
}
