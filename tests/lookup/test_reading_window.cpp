// Reading in the real main window: the browser keys, the find bar, the word
// box that follows the page, and the words of one run completed in the next.
#include "dict_catalogue.h"
#include "gui_test.h"
#include "main_dialog.h"
#include "manage_test.h"
#include "message_box_recorder.h"
#include "page_word_picker.h"
#include "test_http_server.h"
#include "web_browser.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

namespace
{

// The user's own folders, so that nothing touches the real home.
struct UserFolders {
    UserFolders()
    {
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        qputenv("XDG_STATE_HOME", (dir.path() + "/state").toUtf8());
    }
    QTemporaryDir dir;
};

// The dictionary program: each answer names its word twice and links to the
// answer for "õun", as answer pages link to related words.
struct Dictionary {
    Dictionary() : site(server.Url("/quillbridge/").toString())
    {
        server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"));
        TestHttpServer::Reply reply;
        reply.body = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Vastus</title>"
                     "<style>body{margin:0;font:16px/20px sans-serif}p{margin:0}</style></head>"
                     "<body><h1 style='margin:0;font-size:40px;line-height:50px'>sõnaraamat</h1>"
                     "<div id='senses'><p>vaste esimene</p><p>vaste teine</p></div>"
                     "<a id='link' href='os?w=%C3%B5un'>õun</a></body></html>";
        server.Serve("/dict/os", reply);
        g_dictCatalogue.Reset();
        g_dictCatalogue.AddEntry(
            CDictEntry(u"Test", u"utf8", server.Url("/dict/os?w=").toString().toStdU16String()));
        g_predictCatalogue.Reset();
    }
    int RequestsFor(const char* pszWord) const
    {
        int n = 0;
        for (const auto& request : server.RequestsFor("/dict/os"))
            n += request.target.endsWith(QByteArray("?w=") + pszWord);
        return n;
    }
    TestHttpServer server;
    SiteBaseOverride site;
};

QWebEngineView* View(CMainDialog& dlg, int nPage)
{
    // The view stands in the browser control, with the find bar under it.
    return WidgetOf(*dlg.GetPage(nPage))->findChild<QWebEngineView*>(QStringLiteral("ctl1006"));
}

QLineEdit* WordBox(CMainDialog& dlg)
{
    return Control<QLineEdit>(WidgetOf(*dlg.GetPage(0)), 1002);
}

// The answer for strQuery (as the address ends) is shown and loaded.
bool Shows(QWebEngineView* pView, const QString& strEnd)
{
    return WaitFor(
        [&] {
            return pView->url().toString(QUrl::FullyEncoded).endsWith(strEnd) &&
                   !pView->page()->isLoading() && pView->title() == QStringLiteral("Vastus");
        },
        30000);
}

// Keys reach the page's shortcuts only in the active window; Xvfb has no
// window manager to make it so.
void Activate(QWidget* pSheet)
{
    QApplication::setActiveWindow(pSheet);
    ASSERT_TRUE(WaitFor([pSheet] { return pSheet->isActiveWindow(); }));
}

// A double click into the page of pView at pos, as the window system brings
// it, repeated until done() holds: the engine takes clicks only once it has
// drawn the page.
bool DoubleClickPage(QWidget* pView, const QPoint& pos, const std::function<bool()>& done)
{
    QWidget* pTop = pView->window();
    const QPoint at = pView->mapTo(pTop, pos);
    for (int nTry = 0; nTry < 10 && !done(); ++nTry) {
        QTest::mouseMove(pTop->windowHandle(), at);
        QTest::mouseDClick(pTop->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        WaitFor(done, 3000);
    }
    return done();
}

// With QB_SCREENSHOT_DIR set, what the screen shows of the window goes into
// that folder as strName.
void Screenshot(QWidget* pWindow, const char* pszName)
{
    const QString strDir = qEnvironmentVariable("QB_SCREENSHOT_DIR");
    if (strDir.isEmpty())
        return;
    QTest::qWait(800); // painted
    pWindow->grab().save(strDir + "/" + pszName);
}

} // namespace

TEST(ReadingWindow, BrowserKeysFindBarAndTheWordBoxThatFollowsThePage)
{
    ModalWatchdog watchdog(90000);
    CWebBrowser::RegisterControlClass();
    UserFolders folders;
    Dictionary dict;
    CMainDialog dlg(u"KV Quillbridge", u"kass", nullptr, 0);
    bool bStillOpen = false;
    OnNextModal script([&](QWidget* pSheet) {
        Activate(pSheet);
        QWebEngineView* pView = View(dlg, 0);
        QLineEdit* pWord = WordBox(dlg);
        ASSERT_TRUE(Shows(pView, "?w=kass"));
        pWord->setFocus();
        pWord->selectAll();
        QTest::keyClicks(pWord, QStringLiteral("maja"));
        QTest::keyClick(pWord, Qt::Key_Return);
        ASSERT_TRUE(Shows(pView, "?w=maja"));

        // Back and forward by key; the word box says what the page shows.
        QTest::keyClick(pWord, Qt::Key_Left, Qt::AltModifier);
        EXPECT_TRUE(Shows(pView, "?w=kass"));
        EXPECT_EQ(pWord->text(), QStringLiteral("kass"));
        QTest::keyClick(pWord, Qt::Key_Right, Qt::AltModifier);
        EXPECT_TRUE(Shows(pView, "?w=maja"));
        EXPECT_EQ(pWord->text(), QStringLiteral("maja"));
        // A link in the answer to the same program, its word in utf8.
        pView->page()->runJavaScript(QStringLiteral("document.getElementById('link').click()"));
        EXPECT_TRUE(Shows(pView, "?w=%C3%B5un"));
        EXPECT_EQ(pWord->text(), QString::fromUtf8("õun"));

        // Reload from the page itself, by both keys: the server is asked again.
        pView->setFocus();
        QWidget* pInPage = pView->focusProxy() ? pView->focusProxy() : pView;
        for (const auto& key :
             {std::pair(Qt::Key_F5, Qt::NoModifier), std::pair(Qt::Key_R, Qt::ControlModifier)}) {
            const int nBefore = dict.RequestsFor("%C3%B5un");
            QTest::keyClick(pInPage, key.first, key.second);
            EXPECT_TRUE(WaitFor([&] { return dict.RequestsFor("%C3%B5un") > nBefore; }, 30000));
            EXPECT_TRUE(Shows(pView, "?w=%C3%B5un"));
        }
        // Ctrl+L and F6 take the focus to the word, selected for typing over.
        for (const auto& key :
             {std::pair(Qt::Key_L, Qt::ControlModifier), std::pair(Qt::Key_F6, Qt::NoModifier)}) {
            pView->setFocus();
            QTest::keyClick(pInPage, key.first, key.second);
            EXPECT_TRUE(WaitFor([&] { return pWord->hasFocus(); }));
            EXPECT_EQ(pWord->selectedText(), QString::fromUtf8("õun"));
        }

        // Zoom by key: a step in, a step out, back to the page's size.
        QTest::keyClick(pWord, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(pView->zoomFactor(), 1.1);
        QTest::keyClick(pWord, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(pWord, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(pView->zoomFactor(), 0.9);
        QTest::keyClick(pWord, Qt::Key_0, Qt::ControlModifier);
        EXPECT_DOUBLE_EQ(pView->zoomFactor(), 1.0);

        // Ctrl+F: the bar under the page finds the word and counts the matches.
        const QRect browserRoom = pView->geometry();
        QTest::keyClick(pWord, Qt::Key_F, Qt::ControlModifier);
        auto* pBar = WidgetOf(*dlg.GetPage(0))->findChild<QWidget*>("findBar");
        ASSERT_NE(pBar, nullptr);
        EXPECT_TRUE(pBar->isVisible());
        auto* pText = pBar->findChild<QLineEdit*>("findText");
        auto* pCount = pBar->findChild<QLabel*>("findCount");
        EXPECT_TRUE(pText->hasFocus());
        // One edit, as a paste makes it: which match a search typed letter by
        // letter ends on is the engine's own affair.
        pText->setText(QStringLiteral("VASTE"));
        emit pText->textEdited(pText->text());
        EXPECT_TRUE(WaitFor([&] { return pCount->text().endsWith(QStringLiteral("/2")); }))
            << pCount->text().toStdString();
        const QString strFirst = pCount->text();
        const QString strOther = strFirst == QStringLiteral("1/2") ? "2/2" : "1/2";
        QTest::keyClick(pText, Qt::Key_Return);
        EXPECT_TRUE(WaitFor([&] { return pCount->text() == strOther; }))
            << pCount->text().toStdString();
        QTest::keyClick(pText, Qt::Key_Return, Qt::ShiftModifier);
        EXPECT_TRUE(WaitFor([&] { return pCount->text() == strFirst; }));
        Screenshot(pSheet, "find_bar.png");
        EXPECT_EQ(pBar->geometry().top(), pView->geometry().bottom() + 1);
        EXPECT_EQ(pBar->geometry().bottom(), browserRoom.bottom()) << "under the page";
        EXPECT_EQ(dict.RequestsFor("VASTE"), 0) << "Enter in the bar looks nothing up";
        // A larger window: the browser grows, the bar stays under it.
        pSheet->resize(1000, 750);
        EXPECT_TRUE(WaitFor([&] { return pView->width() > browserRoom.width() + 300; }));
        EXPECT_EQ(pBar->geometry().top(), pView->geometry().bottom() + 1);
        EXPECT_EQ(pBar->width(), pView->width());
        EXPECT_GT(pBar->geometry().bottom(), browserRoom.bottom() + 300);
        const QRect grownRoom = pView->geometry().united(pBar->geometry());
        Screenshot(pSheet, "find_bar_resized.png");
        QTest::keyClicks(pText, QStringLiteral("xyz"));
        EXPECT_TRUE(WaitFor([&] { return pCount->text() == QStringLiteral("Ei leitud"); }));
        // Esc closes the bar first, and gives the browser its room back.
        QTest::keyClick(pText, Qt::Key_Escape);
        EXPECT_FALSE(pBar->isVisible());
        EXPECT_EQ(pView->geometry(), grownRoom);
        bStillOpen = pSheet->isVisible() && dlg.ContinueModal();
        // Then Esc closes the window.
        QTest::keyClick(pWord, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Ran());
    EXPECT_TRUE(bStillOpen);
}

TEST(ReadingWindow, WordsLookedUpAndTheZoomComeBackInTheNextRunAndTheWordsCanBeCleared)
{
    ModalWatchdog watchdog(90000);
    CWebBrowser::RegisterControlClass();
    UserFolders folders;
    Dictionary dict;
    for (const char16_t* pszWord : {u"kassikakk", u"maja"}) {
        CMainDialog dlg(u"KV Quillbridge", pszWord, nullptr, 0);
        OnNextModal script([&](QWidget* pSheet) {
            EXPECT_TRUE(Shows(View(dlg, 0), "?w=" + QString::fromStdU16String(pszWord)));
            // Each run zooms a step further in from where the last one left off.
            Activate(pSheet);
            QTest::keyClick(WordBox(dlg), Qt::Key_Plus, Qt::ControlModifier);
            QTest::keyClick(pSheet, Qt::Key_Escape);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }

    CMainDialog dlg(u"KV Quillbridge", u"", nullptr, 0);
    QStringList offered, walked;
    bool bCleared = false;
    OnNextModal script([&](QWidget* pSheet) {
        Activate(pSheet);
        EXPECT_DOUBLE_EQ(View(dlg, 0)->zoomFactor(), 1.25);
        QLineEdit* pWord = WordBox(dlg);
        pWord->setFocus();
        // Case does not matter; only words that begin so are offered.
        QTest::keyClicks(pWord, QStringLiteral("KaS"));
        QCompleter* pCompleter = pWord->completer();
        ASSERT_NE(pCompleter, nullptr);
        EXPECT_TRUE(WaitFor([&] { return pCompleter->popup()->isVisible(); }));
        for (int i = 0; i < pCompleter->completionCount(); ++i) {
            pCompleter->setCurrentRow(i);
            offered << pCompleter->currentCompletion();
        }
        // Choosing a word with Enter looks it up; Enter with nothing chosen
        // looks up what was typed.
        QTest::keyClick(pCompleter->popup(), Qt::Key_Down);
        QTest::keyClick(pCompleter->popup(), Qt::Key_Return);
        EXPECT_TRUE(Shows(View(dlg, 0), "?w=kassikakk"));
        EXPECT_EQ(dict.RequestsFor("kassikakk"), 2);
        pWord->clear();
        QTest::keyClicks(pWord, QStringLiteral("ma"));
        EXPECT_TRUE(WaitFor([&] { return pCompleter->popup()->isVisible(); }));
        QTest::keyClick(pCompleter->popup(), Qt::Key_Return);
        EXPECT_TRUE(Shows(View(dlg, 0), "?w=ma"));
        // Up in the empty box walks back from the newest word, Down forward.
        pWord->clear();
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down,
                                  Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(pWord, key);
            walked << pWord->text();
        }
        // The word box's menu clears the history.
        pWord->clear();
        QMetaObject::invokeMethod(
            pWord, [pWord] { emit pWord->customContextMenuRequested(QPoint(5, 5)); },
            Qt::QueuedConnection);
        const auto clearAction = [] {
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (pMenu)
                for (QAction* pAction : pMenu->actions())
                    if (pAction->text() == QStringLiteral("Kustuta otsitud sõnade ajalugu"))
                        return pAction;
            return static_cast<QAction*>(nullptr);
        };
        ASSERT_TRUE(WaitFor([&] { return clearAction() && clearAction()->isEnabled(); }));
        clearAction()->trigger();
        QApplication::activePopupWidget()->close();
        QTest::keyClick(pWord, Qt::Key_Up);
        bCleared = pWord->text().isEmpty() && pCompleter->model()->rowCount() == 0;
        QTest::keyClick(pSheet, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Ran());
    EXPECT_EQ(offered, QStringList{QStringLiteral("kassikakk")});
    EXPECT_EQ(walked, (QStringList{"ma", "kassikakk", "maja", "maja", "kassikakk", "ma", ""}));
    EXPECT_TRUE(bCleared);
    QFile file(qEnvironmentVariable("XDG_STATE_HOME") + "/quillbridge/history.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray());
}

TEST(ReadingWindow, AWordOfTheAnswerIsLookedUpByADoubleClickAndASelectionFromThePageMenu)
{
    ModalWatchdog watchdog(90000);
    CWebBrowser::RegisterControlClass();
    UserFolders folders;
    Dictionary dict;
    MessageBoxRecorder boxes;
    CMainDialog dlg(u"KV Quillbridge", u"kass", nullptr, 0);
    QString strCommand, strLongCommand;
    OnNextModal script([&](QWidget* pSheet) {
        Activate(pSheet);
        QWebEngineView* pView = View(dlg, 0);
        QLineEdit* pWord = WordBox(dlg);
        ASSERT_TRUE(Shows(pView, "?w=kass"));
        // The heading's word, in the same dictionary, escaped as a typed word is.
        EXPECT_TRUE(DoubleClickPage(pView, QPoint(40, 25),
                                    [&] { return dict.RequestsFor("s%C3%B5naraamat"); }));
        EXPECT_TRUE(Shows(pView, "?w=s%C3%B5naraamat"));
        EXPECT_EQ(pWord->text(), QString::fromUtf8("sõnaraamat"));
        const auto* pWords = qobject_cast<QStringListModel*>(pWord->completer()->model());
        ASSERT_NE(pWords, nullptr);
        EXPECT_EQ(pWords->stringList().value(0), QString::fromUtf8("sõnaraamat"));
        QTest::keyClick(pWord, Qt::Key_Left, Qt::AltModifier);
        EXPECT_TRUE(Shows(pView, "?w=kass"));
        EXPECT_EQ(pWord->text(), QStringLiteral("kass"));

        // A selection over two lines is one text to look up; the test selects
        // it by script, as a drag of the mouse would.
        pView->page()->runJavaScript(
            QStringLiteral("getSelection().selectAllChildren(document.getElementById('senses'))"));
        ASSERT_TRUE(WaitFor([&] { return !pView->page()->selectedText().isEmpty(); }));
        ASSERT_TRUE(RightClickPage(pView, QPoint(20, 60)));
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr);
        QAction* pLookUp = pMenu->findChild<QAction*>("lookUpSelection");
        ASSERT_NE(pLookUp, nullptr);
        strCommand = pLookUp->text();
        pLookUp->trigger();
        pMenu->close();
        EXPECT_TRUE(Shows(pView, "?w=vaste%20esimene%20vaste%20teine"));
        EXPECT_EQ(pWord->text(), QStringLiteral("vaste esimene vaste teine"));

        // A text longer than a word may be is refused as a typed one is, never cut.
        pView->page()->runJavaScript(QStringLiteral(
            "var s = document.getElementById('senses'); s.textContent = 'R&D '.repeat(70);"
            "getSelection().selectAllChildren(s)"));
        ASSERT_TRUE(WaitFor([&] { return pView->page()->selectedText().size() > 255; }));
        ASSERT_TRUE(RightClickPage(pView, QPoint(20, 60)));
        pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr);
        pLookUp = pMenu->findChild<QAction*>("lookUpSelection");
        ASSERT_NE(pLookUp, nullptr);
        strLongCommand = pLookUp->text();
        pLookUp->trigger();
        pMenu->close();
        EXPECT_TRUE(WaitFor([&] { return boxes.Count() > 0; }));
        QTest::keyClick(pWord, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Ran());
    EXPECT_EQ(strCommand, QString::fromUtf8("Otsi „vaste esimene vaste teine“"));
    // Cut short in the menu only; an ampersand shows as itself.
    EXPECT_EQ(strLongCommand, QString::fromUtf8("Otsi „R&&D R&&D R&&D R&&D R&&D R&&D R&&D R…“"));
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].strText.starts_with(u"Sõna on liiga pikk."));
    for (const auto& request : dict.server.RequestsFor("/dict/os"))
        EXPECT_FALSE(request.target.contains("R%26D")) << request.target.constData();
}
