// The lookup page with the real browser: an address from a catalogue that is
// not a web page is refused before the browser sees it, and no script in it
// runs, not even in the dictionary page shown before it.
#include "dict_catalogue.h"
#include "gui_test.h"
#include "message_box_recorder.h"
#include "property_sheet.h"
#include "run_dialog.h"
#include "test_http_server.h"
#include "web_browser.h"
#include "win_defs.h"
#include "word_length.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// The maker's site and one web dictionary, chosen, on server; no pre-dictionary.
void ServeSiteAndDictionary(TestHttpServer& server)
{
    CWebBrowser::RegisterControlClass();
    server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"));
    server.ServePage("/dict", QStringLiteral("Sõnastik"));
    ::setenv("QUILLBRIDGE_SITE_BASE", server.Url("/quillbridge/").toString().toUtf8().constData(),
             1);
    g_dictCatalogue.Reset();
    g_dictCatalogue.AddEntry(
        CDictEntry(u"Veeb", u"utf8", server.Url("/dict?w=").toString().toStdU16String()));
    g_dictCatalogue.selection = 0;
    g_predictCatalogue.Reset();
    g_predictCatalogue.selection = 0;
}

} // namespace

TEST(RunPageAddresses, OnlyWebAddressesAreOpenedAndNoScriptOfAnotherRuns)
{
    TestHttpServer server;
    ServeSiteAndDictionary(server);
    const std::vector<std::u16string> refused = {
        u"javascript:document.title='jooksis '+location.href;//",
        u"JavaScript:document.title='jooksis';//",
        u"data:text/html,<script>document.title='jooksis'</script>",
        u"file:///etc/passwd?w=",
        u"/etc/passwd?w=",
    };
    for (const std::u16string& strAddress : refused)
        g_dictCatalogue.AddEntry(CDictEntry(u"Halb", u"utf8", strAddress));

    CPropertySheet sheet(u"KV Quillbridge");
    CRunDialog page;
    page.m_word = u"maja";
    sheet.AddPage(&page);
    MessageBoxRecorder boxes;
    // Everything the browser ever showed.
    QStringList titles;
    QList<QUrl> urls;
    int nFinished = 0;
    std::vector<int> boxesAfterClick;
    QStringList shownAfterRefusal;
    WhenModal([&](QWidget*) {
        QWidget* pBox = DlgItemWidget(page, 1006);
        auto* pView = pBox ? pBox->findChild<QWebEngineView*>() : nullptr;
        auto* pCombo = qobject_cast<QComboBox*>(DlgItemWidget(page, 1007));
        auto* pLook = qobject_cast<QPushButton*>(DlgItemWidget(page, 1004));
        ASSERT_TRUE(pView && pCombo && pLook);
        QObject::connect(pView, &QWebEngineView::titleChanged,
                         [&](const QString& t) { titles << t; });
        QObject::connect(pView, &QWebEngineView::urlChanged, [&](const QUrl& u) { urls << u; });
        QObject::connect(pView, &QWebEngineView::loadFinished, [&] { ++nFinished; });
        // Each click comes to an idle browser: a navigation while a page still
        // loads joins that load, and its end would be taken for the new one's.
        const auto idle = [&] { return !pView->page()->isLoading(); };
        const auto showDictionary = [&] {
            const int nBefore = nFinished;
            pCombo->setCurrentIndex(0);
            pLook->click();
            return WaitFor(
                [&] { return nFinished > nBefore && idle() && pView->title() == "Sõnastik"; });
        };
        // The host's word opened the web dictionary; each bad entry is tried on top of it.
        ASSERT_TRUE(WaitFor([&] { return pView->title() == "Sõnastik" && idle(); }));
        for (int i = 1; i <= static_cast<int>(refused.size()); ++i) {
            const int nBefore = nFinished;
            pCombo->setCurrentIndex(i);
            pLook->click();
            // The refusal is shown before anything loads.
            boxesAfterClick.push_back(boxes.Count());
            WaitFor([&] {
                return (nFinished > nBefore && idle()) || titles.join("").contains("jooksis");
            });
            shownAfterRefusal << pView->url().path();
            ASSERT_TRUE(showDictionary());
        }
        sheet.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
    ::unsetenv("QUILLBRIDGE_SITE_BASE");

    for (const QString& strTitle : titles)
        EXPECT_FALSE(strTitle.contains("jooksis")) << strTitle.toStdString();
    for (const QUrl& url : urls)
        EXPECT_EQ(url.scheme(), QStringLiteral("http")) << url.toString().toStdString();
    // After each refusal the fallback page, as when input is missing.
    EXPECT_EQ(shownAfterRefusal,
              QStringList(static_cast<int>(refused.size()), "/quillbridge/about.html"));
    EXPECT_EQ(boxesAfterClick, (std::vector<int>{1, 2, 3, 4, 5}));
    ASSERT_EQ(boxes.Count(), static_cast<int>(refused.size()));
    for (int i = 0; i < boxes.Count(); ++i) {
        const MessageBoxRequest& box = boxes.Boxes()[i];
        EXPECT_TRUE(ToQString(box.strText).contains(QString::fromStdU16String(refused[i]) + "maja"))
            << Utf16ToUtf8(box.strText);
        EXPECT_EQ(box.strCaption, QStringLiteral("Viga"));
        EXPECT_EQ(box.nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
    }
}

TEST(RunPageAddresses, AWordOverTheLongestIsSaidNeitherLookedUpNorCut)
{
    TestHttpServer server;
    ServeSiteAndDictionary(server);

    CPropertySheet sheet(u"KV Quillbridge");
    CRunDialog page;
    // The host's word, longer than the edit box holds too.
    page.m_word = CString(40000, u'õ');
    sheet.AddPage(&page);
    MessageBoxRecorder boxes;
    int nBoxesAtOpen = -1;
    qsizetype nKept = -1;
    WhenModal([&](QWidget*) {
        auto* pEdit = qobject_cast<QLineEdit*>(DlgItemWidget(page, 1002));
        auto* pLook = qobject_cast<QPushButton*>(DlgItemWidget(page, 1004));
        ASSERT_TRUE(pEdit && pLook);
        ASSERT_TRUE(
            WaitFor([&] { return !server.RequestsFor("/quillbridge/about.html").isEmpty(); }));
        nBoxesAtOpen = boxes.Count();
        pEdit->setText(QString(kMaxWordLength, u'õ'));
        pLook->click();
        ASSERT_TRUE(WaitFor([&] { return !server.RequestsFor("/dict").isEmpty(); }));
        pEdit->setText(QString(kMaxWordLength + 1, u'a'));
        pLook->click();
        nKept = pEdit->text().size();
        sheet.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
    ::unsetenv("QUILLBRIDGE_SITE_BASE");

    EXPECT_EQ(nBoxesAtOpen, 1);
    EXPECT_EQ(nKept, static_cast<qsizetype>(kMaxWordLength) + 1);
    const QList<TestHttpServer::Request> lookups = server.RequestsFor("/dict");
    ASSERT_EQ(lookups.size(), 1);
    EXPECT_EQ(lookups[0].target, "/dict?w=" + QByteArray("%C3%B5").repeated(255));
    ASSERT_EQ(boxes.Count(), 2);
    for (const MessageBoxRequest& box : boxes.Boxes()) {
        EXPECT_EQ(box.strText, QStringLiteral("Sõna on liiga pikk. Otsida saab sõna, milles on "
                                              "kuni 255 märki."));
        EXPECT_EQ(box.nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONEXCLAMATION));
    }
}
