#include "dialog_template.h"
#include "gui_test.h"
#include "ole_dispatch_exception.h"
#include "ole_exception.h"
#include "test_browser_page.h"
#include "test_http_server.h"
#include "untrusted_tls_server.h"
#include "unused_port.h"
#include "web_browser_linux.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>

namespace
{

class WebBrowser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CWebBrowser::RegisterControlClass();
        m_server.ServePage("/one", QStringLiteral("Üks"));
        m_server.ServePage("/two", QStringLiteral("Kaks"));
        ASSERT_TRUE(m_page.Create());
        m_page.ShowWindow(SW_SHOW);
    }

    TestHttpServer m_server;
    BrowserTestPage m_page;
};

} // namespace

TEST_F(WebBrowser, NoCacheFlagFetchesThePageAnew)
{
    const int flags = navNoReadFromCache;
    ASSERT_TRUE(m_page.Load(m_server.Url("/one?word=%C3%B5"), &flags));
    ASSERT_TRUE(m_page.Load(m_server.Url("/two")));
    const auto lookups = m_server.RequestsFor("/one");
    ASSERT_EQ(lookups.size(), 1);
    EXPECT_EQ(lookups[0].target, "/one?word=%C3%B5");
    EXPECT_EQ(lookups[0].Header("Cache-Control"), "no-cache");
    const auto plain = m_server.RequestsFor("/two");
    ASSERT_EQ(plain.size(), 1);
    EXPECT_NE(plain[0].Header("Cache-Control"), "no-cache");
    EXPECT_EQ(plain[0].method, "GET");
}

TEST_F(WebBrowser, PostDataAndHeadersGoWithTheRequest)
{
    const std::string post = "sona=%C3%B5un";
    const std::u16string headers = u"X-Quillbridge: 1\r\nAccept-Language: et\r\n";
    const int nBefore = m_page.m_nCompletes;
    m_page.m_browser.Navigate(m_server.Url("/one").toString().toStdU16String(), nullptr, nullptr,
                              &post, &headers);
    ASSERT_TRUE(m_page.WaitForLoads(nBefore + 1));
    const auto requests = m_server.RequestsFor("/one");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "sona=%C3%B5un");
    EXPECT_EQ(requests[0].Header("X-Quillbridge"), "1");
    EXPECT_EQ(requests[0].Header("Accept-Language"), "et");
}

TEST_F(WebBrowser, EventsTellOfLoadingAndOfTheHistory)
{
    ASSERT_TRUE(m_page.Load(m_server.Url("/one")));
    EXPECT_EQ(m_page.m_nBegins, 1);
    EXPECT_EQ(m_page.m_nCompletes, 1);
    ASSERT_TRUE(m_page.Load(m_server.Url("/two")));
    ASSERT_TRUE(WaitFor([&] { return m_page.m_toolBar.IsButtonEnabled(1); }));
    EXPECT_NE(std::find(m_page.m_stateChanges.begin(), m_page.m_stateChanges.end(),
                        std::make_pair(int(CWebBrowser::CSC_NAVIGATEBACK), true)),
              m_page.m_stateChanges.end());

    m_page.m_stateChanges.clear();
    m_page.m_browser.GoBack();
    ASSERT_TRUE(WaitFor([&] { return m_page.CurrentUrl() == m_server.Url("/one"); }));
    ASSERT_TRUE(WaitFor([&] {
        const auto& changes = m_page.m_stateChanges;
        return std::find(changes.begin(), changes.end(),
                         std::make_pair(int(CWebBrowser::CSC_NAVIGATEFORWARD), true)) !=
                   changes.end() &&
               std::find(changes.begin(), changes.end(),
                         std::make_pair(int(CWebBrowser::CSC_NAVIGATEBACK), false)) !=
                   changes.end();
    }));
}

TEST_F(WebBrowser, AfterManyLoadsAnIdlePageMovesToAFreshProcessKeepingItsHistoryAndZoom)
{
    SetProcessRenewal(m_page.m_browser, 3, 800);
    int nLocationChanges = 0;
    m_page.m_browser.SetLocationChangeHandler([&](const std::u16string&) { ++nLocationChanges; });
    QWebEnginePage* pPage = BrowserView(m_page.m_browser)->page();
    ASSERT_TRUE(m_page.Load(m_server.Url("/two")));
    ASSERT_TRUE(m_page.Load(m_server.Url("/one")));
    const qint64 nFirstProcess = pPage->renderProcessPid();
    QTest::qWait(1500);
    EXPECT_EQ(pPage->renderProcessPid(), nFirstProcess) << "renewed before enough loads";

    ASSERT_TRUE(m_page.Load(m_server.Url("/one?again")));
    m_page.m_browser.SetZoom(1.5);
    const int nCompletes = m_page.m_nCompletes;
    const int nChanges = nLocationChanges;
    ASSERT_TRUE(WaitFor([&] {
        return pPage->renderProcessPid() != nFirstProcess && m_page.m_nCompletes > nCompletes;
    }));
    EXPECT_EQ(m_page.CurrentUrl(), m_server.Url("/one?again"));
    EXPECT_EQ(nLocationChanges, nChanges);
    EXPECT_DOUBLE_EQ(m_page.m_browser.GetZoom(), 1.5);
    ASSERT_TRUE(m_page.m_browser.CanGoBack());
    m_page.m_browser.GoBack();
    ASSERT_TRUE(WaitFor([&] { return m_page.CurrentUrl() == m_server.Url("/one"); }));
    EXPECT_EQ(nLocationChanges, nChanges + 1);
}

namespace
{

// The text the browser shows, once it has answered.
QString PageText(const CWebBrowser& browser)
{
    QString strText;
    bool bDone = false;
    BrowserView(browser)->page()->toPlainText([&](const QString& strResult) {
        strText = strResult;
        bDone = true;
    });
    WaitFor([&] { return bDone; });
    return strText;
}

// What a script run in the page shown gives.
QVariant PageScript(const CWebBrowser& browser, const QString& strScript)
{
    QVariant result;
    bool bDone = false;
    BrowserView(browser)->page()->runJavaScript(strScript, [&](const QVariant& value) {
        result = value;
        bDone = true;
    });
    WaitFor([&] { return bDone; });
    return result;
}

} // namespace

TEST_F(WebBrowser, AnAddressThatCannotBeLoadedShowsOurPageAndAServersErrorPageIsShownAsSent)
{
    TestHttpServer::Reply missing;
    missing.status = 404;
    missing.body = TestHttpServer::Page(QStringLiteral("Serveri oma"), QStringLiteral("puudub"));
    m_server.Serve("/missing", missing);
    const UnusedPort refusing;
    ASSERT_NE(refusing.Port(), 0);
    // Markup and character references in the address must stay text.
    const QUrl unreachable(
        QStringLiteral("http://127.0.0.1:%1/s%C3%B5na?w=<b id=m>x</b>&amp;&lt;i&gt;")
            .arg(refusing.Port()));
    QWebEngineView* pView = BrowserView(m_page.m_browser);
    const QString strOurTitle = QStringLiteral("Lehte ei saa avada");

    // Each step waits until the browser has finished it and shows that title.
    auto step = [&](const std::function<void()>& go, const QString& strTitle) {
        const int nBefore = m_page.m_nCompletes;
        go();
        return WaitFor([&] { return m_page.m_nCompletes > nBefore && pView->title() == strTitle; },
                       15000);
    };
    ASSERT_TRUE(m_page.Load(m_server.Url("/one")));
    ASSERT_TRUE(step([&] { m_page.m_browser.Navigate(unreachable.toString().toStdU16String()); },
                     strOurTitle))
        << pView->title().toStdString();
    const QString strText = PageText(m_page.m_browser);
    EXPECT_TRUE(strText.contains(unreachable.toDisplayString())) << strText.toStdString();
    EXPECT_TRUE(strText.contains(
        QStringLiteral("Ühendust ei saadud: sellel aadressil ei vasta ükski veebiserver.")));
    EXPECT_TRUE(strText.contains(QStringLiteral("sõnastikuprogrammi aadress")));
    EXPECT_TRUE(strText.contains(QStringLiteral("võrguühendus")));
    EXPECT_EQ(PageScript(m_page.m_browser,
                         QStringLiteral("var a=document.getElementById('address');"
                                        "[a.textContent,a.childElementCount,"
                                        "document.querySelectorAll('#m,i').length].join('|')"))
                  .toString(),
              unreachable.toDisplayString() + QStringLiteral("|0|0"));
    // The failed address is a page of the history like any other.
    EXPECT_EQ(m_page.CurrentUrl(), unreachable);
    ASSERT_TRUE(WaitFor([&] { return m_page.m_toolBar.IsButtonEnabled(1); }));
    ASSERT_TRUE(step([&] { m_page.m_browser.GoBack(); }, QStringLiteral("Üks")));
    ASSERT_TRUE(step([&] { m_page.m_browser.GoForward(); }, strOurTitle));
    ASSERT_TRUE(step([&] { m_page.m_browser.Refresh(); }, strOurTitle));

    ASSERT_TRUE(step(
        [&] { m_page.m_browser.Navigate(m_server.Url("/missing").toString().toStdU16String()); },
        QStringLiteral("Serveri oma")))
        << pView->title().toStdString();

    // A port the browser refuses to open by itself: nothing is sent, and the
    // network is not to blame.
    ASSERT_TRUE(step([&] { m_page.m_browser.Navigate(u"http://127.0.0.1:9/"); }, strOurTitle));
    const QString strRefusal = PageText(m_page.m_browser);
    EXPECT_TRUE(strRefusal.contains(QStringLiteral("selle pordi kasutamine on turvalisuse huvides "
                                                   "keelatud")))
        << strRefusal.toStdString();
    EXPECT_FALSE(strRefusal.contains(QStringLiteral("veakood")));
    EXPECT_FALSE(strRefusal.contains(QStringLiteral("võrguühendus")));
    // A certificate nobody trusts is said in words, as the other failures are.
    const UntrustedTlsServer tls;
    ASSERT_TRUE(tls.IsListening());
    ASSERT_TRUE(step(
        [&] {
            m_page.m_browser.Navigate(tls.Url(QStringLiteral("/")).toString().toStdU16String());
        },
        strOurTitle))
        << pView->title().toStdString();
    EXPECT_TRUE(PageText(m_page.m_browser)
                    .contains(QStringLiteral("Serveri turvasertifikaati ei saanud usaldada "
                                             "(veakood -202)")))
        << PageText(m_page.m_browser).toStdString();
}

TEST_F(WebBrowser, CallsTheBrowserCannotCarryOutRaise)
{
    // No history yet.
    EXPECT_THROW(m_page.m_browser.GoBack(), COleDispatchException);
    EXPECT_THROW(m_page.m_browser.GoForward(), COleDispatchException);
    EXPECT_THROW(m_page.m_browser.Navigate(std::u16string()), COleDispatchException);
    const std::u16string frame = u"left";
    EXPECT_THROW(m_page.m_browser.Navigate(m_server.Url("/one").toString().toStdU16String(),
                                           nullptr, &frame),
                 COleDispatchException);
    EXPECT_NO_THROW(m_page.m_browser.Stop());

    // A wrapper without a live browser.
    CWebBrowser missing;
    EXPECT_THROW(missing.Navigate(m_server.Url("/one").toString().toStdU16String()), COleException);
    EXPECT_THROW(missing.GoBack(), COleException);
    EXPECT_THROW(missing.GoForward(), COleException);
    EXPECT_THROW(missing.Refresh(), COleException);
    EXPECT_THROW(missing.Stop(), COleException);
    EXPECT_TRUE(m_server.Requests().isEmpty());
}

TEST(WebBrowserControl, TemplatesHaveABrowserOnlyOnceTheClassIsRegistered)
{
    CDialogControls::RegisterControlClass(CWebBrowser::kClassId, nullptr);
    {
        BrowserTestPage page;
        ASSERT_TRUE(page.Create());
        EXPECT_EQ(DlgItemWidget(page, 1006), nullptr);
        EXPECT_FALSE(page.m_browser.IsWindow());
        // The toolbar does not depend on the browser.
        EXPECT_TRUE(page.m_toolBar.IsWindow());
    }
    CWebBrowser::RegisterControlClass();
    BrowserTestPage page;
    ASSERT_TRUE(page.Create());
    // The control is the browser's window, the view in it.
    QWidget* pBox = DlgItemWidget(page, 1006);
    ASSERT_NE(pBox, nullptr);
    EXPECT_EQ(WidgetOf(page.m_browser), pBox);
    QWebEngineView* pView = BrowserView(page.m_browser);
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->parentWidget(), pBox);
    EXPECT_EQ(pView->objectName(), QStringLiteral("ctl1006"));
}

namespace
{

// Stands in for the user's web browser: QDesktopServices hands it the
// addresses it would open.
class UsersBrowser : public QObject
{
    Q_OBJECT
public:
    UsersBrowser()
    {
        for (const char* pszScheme : {"http", "https", "mailto", "ftp"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(pszScheme), this, "Open");
    }
    ~UsersBrowser() override
    {
        for (const char* pszScheme : {"http", "https", "mailto", "ftp"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(pszScheme));
    }
    QList<QUrl> m_opened;

public slots:
    void Open(const QUrl& url) { m_opened << url; }
};

} // namespace

// The page's menu holds only what works here, and a link the user sends to a
// new window goes to the user's own web browser, a web address only.
TEST_F(WebBrowser, TheMenuOffersWhatWorksAndLinksOpenInTheUsersBrowser)
{
    const QUrl target = m_server.Url("/two");
    TestHttpServer::Reply links;
    links.body = QStringLiteral("<html><head><title>Lingid</title></head><body style=\"margin:0\">"
                                "<a href=\"%1\" style=\"display:block;height:100px\">kaks</a>"
                                "<a href=\"mailto:x@example.com\" style=\"display:block;"
                                "height:100px\">kiri</a></body></html>")
                     .arg(target.toString())
                     .toUtf8();
    m_server.Serve("/links", links);
    UsersBrowser users;
    ASSERT_TRUE(m_page.Load(m_server.Url("/links")));
    QWebEngineView* pView = BrowserView(m_page.m_browser);

    ASSERT_TRUE(RightClickPage(pView, QPoint(30, 30)));
    auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(pMenu, nullptr);
    QStringList items;
    for (QAction* pAction : pMenu->actions())
        if (!pAction->isSeparator())
            items << pAction->text();
    EXPECT_EQ(items, (QStringList{"Ava link veebilehitsejas", "Kopeeri lingi aadress", "Tagasi",
                                  "Edasi", "Laadi uuesti", "Vali kõik"}));
    pMenu->actions().constFirst()->trigger();
    pMenu->close();
    ASSERT_TRUE(WaitFor([&] { return users.m_opened.size() == 1; }));
    EXPECT_EQ(users.m_opened.front(), target);
    ASSERT_TRUE(WaitFor([] { return !QApplication::activePopupWidget(); }));

    // Nothing else for a link that is no web address.
    ASSERT_TRUE(RightClickPage(pView, QPoint(30, 150)));
    pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->actions().constFirst()->text(), QStringLiteral("Kopeeri lingi aadress"));
    pMenu->actions().constFirst()->trigger();
    pMenu->close();
    EXPECT_TRUE(WaitFor([] {
        return QApplication::clipboard()->text() == QStringLiteral("mailto:x@example.com");
    }));

    // A middle click on either link: only the web address leaves.
    QWindow* pWindow = pView->window()->windowHandle();
    for (const int y : {150, 30}) {
        const QPoint at = pView->mapTo(pView->window(), QPoint(30, y));
        QTest::mouseClick(pWindow, Qt::MiddleButton, Qt::NoModifier, at);
    }
    ASSERT_TRUE(WaitFor([&] { return users.m_opened.size() == 2; }));
    EXPECT_EQ(users.m_opened.back(), target);
    EXPECT_EQ(m_page.CurrentUrl(), m_server.Url("/links"));
    EXPECT_TRUE(m_server.RequestsFor("/two").isEmpty());
}

#include "test_browser_web_browser.moc"
