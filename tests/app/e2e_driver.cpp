// Drives the real library as a host would: loads quillbridge.so, calls its two
// entry points, and works the window from a second thread through the Qt
// application, as a person would with mouse and keys. One scenario per run;
// prints what it saw and exits 0 when everything held.
#include "catalogue_location.h"
#include "quillbridge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace
{

using namespace std::chrono_literals;

decltype(&QuillbridgeVersion) g_pVersion;
decltype(&QuillbridgeRun) g_pRun;
std::filesystem::path g_dir;
int g_nFailures = 0;

void Check(bool bOk, const std::string& strWhat)
{
    std::printf("%s: %s\n", bOk ? "ok" : "FAILED", strWhat.c_str());
    std::fflush(stdout);
    if (!bOk)
        ++g_nFailures;
}

// Runs fn on the thread of the Qt application and waits for it.
template <class F> auto Gui(F fn)
{
    using Result = decltype(fn());
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(qApp, fn, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            qApp, [&] { result = fn(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

// Starts fn on the thread of the Qt application without waiting: for what opens
// a modal window, which the script then answers.
void GuiPost(const std::function<void()>& fn)
{
    QMetaObject::invokeMethod(qApp, fn, Qt::QueuedConnection);
}

// Waits for what must come; the deadline is generous, for a loaded machine,
// and costs nothing when it comes.
bool WaitFor(const std::function<bool()>& pred, std::chrono::milliseconds timeout = 60s)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (qApp && Gui([&] { return pred(); }))
            return true;
        std::this_thread::sleep_for(30ms);
    }
    return false;
}

void WaitForApplication()
{
    while (!qApp)
        std::this_thread::sleep_for(10ms);
}

// What the window consists of, looked up on the GUI thread.
QWidget* Sheet()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->objectName() == "propertySheet" && pWidget->isVisible())
            return pWidget;
    return nullptr;
}

QTabWidget* Tabs()
{
    QWidget* pSheet = Sheet();
    return pSheet ? pSheet->findChild<QTabWidget*>("tabs") : nullptr;
}

template <class T> T* Control(const char* pszPage, const char* pszName)
{
    QWidget* pSheet = Sheet();
    QWidget* pPage = pSheet ? pSheet->findChild<QWidget*>(pszPage) : nullptr;
    return pPage ? pPage->findChild<T*>(pszName) : nullptr;
}

QLineEdit* WordBox()
{
    return Control<QLineEdit>("dialog129", "ctl1002");
}

QString BrowserUrl(const char* pszPage)
{
    auto* pView = Control<QWebEngineView>(pszPage, "ctl1006");
    return pView ? pView->url().toString(QUrl::FullyEncoded) : QString();
}

QMessageBox* ShownMessageBox()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pBox = qobject_cast<QMessageBox*>(pWidget); pBox && pBox->isVisible())
            return pBox;
    return nullptr;
}

bool WaitForUrl(const char* pszPage, const QString& strPart)
{
    const bool bOk = WaitFor([&] { return BrowserUrl(pszPage).contains(strPart); });
    if (!bOk)
        std::printf("browser shows %s\n", qPrintable(Gui([&] { return BrowserUrl(pszPage); })));
    return bOk;
}

// The control that holds the window's focus: where the keyboard's keys go once
// the window is active, which on a display without a window manager comes at
// the display's pace.
QWidget* FocusOfSheet()
{
    QWidget* pSheet = Sheet();
    return pSheet ? pSheet->focusWidget() : nullptr;
}

void PressKey(Qt::Key key)
{
    Gui([key] {
        QWidget* pTarget = FocusOfSheet();
        QTest::keyClick(pTarget && pTarget->isVisible() ? pTarget : Sheet(), key);
    });
}

void TypeWordAndEnter(const QString& strWord)
{
    Gui([&] {
        QLineEdit* pEdit = WordBox();
        pEdit->setFocus();
        pEdit->selectAll();
        QTest::keyClicks(pEdit, strWord);
        QTest::keyClick(pEdit, Qt::Key_Return);
    });
}

void ShowTab(int nIndex)
{
    Gui([nIndex] { Tabs()->setCurrentIndex(nIndex); });
}

// Answers the message box that must come, and tells what it said.
bool ExpectMessageBox(const QString& strText, const QString& strCaption, QMessageBox::Icon icon)
{
    QString strSeen;
    const bool bShown = WaitFor([&] {
        QMessageBox* pBox = ShownMessageBox();
        if (!pBox)
            return false;
        strSeen = pBox->windowTitle() + " | " + pBox->text();
        const bool bMatch =
            pBox->text() == strText && pBox->windowTitle() == strCaption && pBox->icon() == icon;
        pBox->accept();
        return bMatch;
    });
    std::printf("message box: %s\n", qPrintable(strSeen));
    return bShown;
}

bool NoMessageBoxFor(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        if (Gui([] { return ShownMessageBox() != nullptr; }))
            return false;
        std::this_thread::sleep_for(30ms);
    }
    return true;
}

void CloseWithEsc()
{
    WaitFor([] { return Sheet() != nullptr; });
    PressKey(Qt::Key_Escape);
}

// Runs the window with strWord (or no word) while script works it from another thread.
int Run(const char16_t* pszWord, const std::function<void()>& script)
{
    std::thread driver([&] {
        WaitForApplication();
        Check(WaitFor([] { return Sheet() != nullptr; }), "the window opens");
        script();
    });
    const int nResult = g_pRun(pszWord);
    driver.join();
    return nResult;
}

long FileSize(const char* pszName)
{
    struct stat st {
    };
    // The file the next load reads: beside the library, or the user's own copy.
    const std::string strPath =
        CCatalogueLocation::ForLibrary(g_dir.string() + "/").ReadPath(pszName);
    return ::stat(strPath.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// Whether a library of this process has strPart in its file name.
bool LoadedLibrary(const std::string& strPart)
{
    std::ifstream maps("/proc/self/maps");
    std::string strLine;
    while (std::getline(maps, strLine))
        if (strLine.find(strPart) != std::string::npos)
            return true;
    return false;
}

// ---- scenarios ----------------------------------------------------------

void LookupWithWord()
{
    const int nResult = Run(u"õun", [] {
        // õun in utf8, directly or through the pre-dictionary: one wait, which
        // ends as soon as the page is asked for.
        Check(WaitForUrl("dialog129", "%C3%B5un"), "the host's word is looked up without a click");
        Check(NoMessageBoxFor(200ms), "no message box");
        // The browser is kept off the GPU here, so the window draws its pages
        // without loading an OpenGL driver.
        Check(!LoadedLibrary("_dri.so"), "no OpenGL driver is loaded");
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

void NoWord()
{
    const int nResult = Run(nullptr, [] {
        Check(WaitForUrl("dialog129", "/quillbridge/about.html"), "the fallback page is shown");
        Check(NoMessageBoxFor(500ms), "no message box without a word");
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

void LookButtonWithoutInput()
{
    const int nResult = Run(u"maja", [] {
        Check(WaitForUrl("dialog129", "/quillbridge/about.html"), "the fallback page is shown");
        Check(NoMessageBoxFor(300ms), "the opening lookup reports nothing");
        // Every page load from here on is counted, to see the fallback page come again.
        static std::atomic<int> s_nLoads = 0;
        Gui([] {
            QObject::connect(Control<QWebEngineView>("dialog129", "ctl1006"),
                             &QWebEngineView::loadStarted, [] { ++s_nLoads; });
        });
        // Once with the word (the catalogue may be empty), once with an empty word.
        for (const char* pszWord : {"maja", ""}) {
            // The browser idle first: a navigation while a page still loads
            // joins that load and starts none of its own.
            Check(WaitFor([] {
                      return !Control<QWebEngineView>("dialog129", "ctl1006")->page()->isLoading();
                  }),
                  "the browser has finished loading");
            const int nLoadsBefore = s_nLoads;
            GuiPost([pszWord] {
                WordBox()->setText(QString::fromUtf8(pszWord));
                Control<QPushButton>("dialog129", "ctl1004")->click();
            });
            Check(ExpectMessageBox("Palun sisestage sõna ja valige sõnastik!", "Viga",
                                   QMessageBox::Warning),
                  std::string("\"Vaata\" with word '") + pszWord + "' asks for input");
            Check(WaitFor([&] { return s_nLoads > nLoadsBefore; }) &&
                      WaitForUrl("dialog129", "/quillbridge/about.html"),
                  "then the fallback page is shown");
        }
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

void KeysAndTabs()
{
    const int nResult = Run(u"maja", [] {
        Check(WaitForUrl("dialog129", "w=maja"), "the host's word is looked up");
        const QStringList tabs = Gui([] {
            QStringList titles;
            for (int i = 0; i < Tabs()->count(); ++i)
                titles << Tabs()->tabText(i);
            return titles;
        });
        std::printf("tabs: %s\n", qPrintable(tabs.join(", ")));
        Check(tabs == QStringList({"Päring", "Sõnastikud", "Eelsõnastikud", "Abiinfo"}),
              "the tabs are in order");
        Check(Gui([] { return Tabs()->currentIndex(); }) == 0, "\"Päring\" is shown first");
        Check(Gui([] {
                  for (const char* pszName : {"ctl1", "ctl2", "ctl12321", "ctl9"}) {
                      auto* pButton = Sheet()->findChild<QPushButton*>(pszName);
                      if (pButton && pButton->isVisible())
                          return false;
                  }
                  return true;
              }),
              "no standard button is visible");
        Check(Gui([] {
                  const QRect tabs = Tabs()->geometry();
                  return Sheet()->height() - tabs.bottom() - 1 <= tabs.left();
              }),
              "no empty strip below the tabs");
        Check(Gui([] { return FocusOfSheet() == WordBox(); }), "the word box has the focus");

        TypeWordAndEnter("kass");
        Check(WaitForUrl("dialog129", "w=kass"), "Enter in the word box looks up");
        const int nHelp = Gui([] { return Tabs()->count() - 1; });
        for (int nTimes = 0; nTimes < 2; ++nTimes) {
            ShowTab(nHelp);
            Check(WaitForUrl("dialog130", "/quillbridge/"), "the help tab shows the site");
            ShowTab(0);
        }
        TypeWordAndEnter("koer");
        Check(WaitForUrl("dialog129", "w=koer"), "Enter looks up after switching back");
        ShowTab(1);
        ShowTab(0);
        Gui([] { QTest::keyClick(Tabs()->tabBar(), Qt::Key_Return); });
        Check(WaitFor([] { return Sheet() && WordBox(); }),
              "Enter on the tab strip keeps the window");
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

void EscFromPage(int nPage)
{
    const int nResult = Run(u"maja", [nPage] {
        // Esc once the page has settled: a browser page has shown its page.
        Check(WaitForUrl("dialog129", "w=maja"), "the host's word is looked up");
        ShowTab(nPage);
        if (nPage == Gui([] { return Tabs()->count() - 1; }))
            Check(WaitForUrl("dialog130", "/quillbridge/"), "the help tab shows the site");
        PressKey(Qt::Key_Escape);
        Check(WaitFor([] { return Sheet() == nullptr; }), "Esc closes the window");
    });
    Check(nResult == 0, "the run returns 0");
}

// Esc while the page itself has the keys, after a click into it: the
// browser's input widget gets the key first.
void EscInsidePage(int nPage)
{
    const int nResult = Run(u"maja", [nPage] {
        ShowTab(nPage);
        const char* pszPage = nPage == 0 ? "dialog129" : "dialog130";
        Check(WaitFor([pszPage] {
                  auto* pView = Control<QWebEngineView>(pszPage, "ctl1006");
                  return pView && !pView->title().isEmpty() && pView->focusProxy();
              }),
              "the page is loaded");
        Gui([pszPage] {
            QWidget* pInput = Control<QWebEngineView>(pszPage, "ctl1006")->focusProxy();
            QTest::mouseClick(pInput, Qt::LeftButton, {}, QPoint(20, 20));
            QTest::keyClick(pInput, Qt::Key_Escape);
        });
        Check(WaitFor([] { return Sheet() == nullptr; }), "Esc closes the window");
        if (Gui([] { return Sheet() != nullptr; }))
            Gui([] { Tabs()->window()->close(); });
    });
    Check(nResult == 0, "the run returns 0");
}

// A control on the page of tab nTab (both catalogue tabs are built from one template).
template <class T> T* TabControl(int nTab, const char* pszName)
{
    QTabWidget* pTabs = Tabs();
    QWidget* pPage = pTabs ? pTabs->widget(nTab) : nullptr;
    return pPage ? pPage->findChild<T*>(pszName) : nullptr;
}

// "Laadi..." on a catalogue tab, then "Lisa" for the rows offered.
void DownloadPublishedList(int nTab)
{
    ShowTab(nTab);
    Check(WaitFor([nTab] { return TabControl<QPushButton>(nTab, "ctl1015") != nullptr; }),
          "the catalogue tab opens");
    GuiPost([nTab] { TabControl<QPushButton>(nTab, "ctl1015")->click(); });
    Check(WaitFor([] {
              for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                  if (pWidget->objectName() != "dialog136" || !pWidget->isVisible())
                      continue;
                  auto* pList = pWidget->findChild<QTreeWidget*>("ctl1007");
                  auto* pAdd = pWidget->findChild<QPushButton*>("ctl1");
                  if (!pList || pList->topLevelItemCount() == 0 || !pAdd->isEnabled())
                      return false;
                  pAdd->click();
                  return true;
              }
              return false;
          }),
          "the published list is offered and added");
    Check(WaitFor([nTab] {
              auto* pList = TabControl<QTreeWidget>(nTab, "ctl1007");
              return pList && pList->topLevelItemCount() > 0;
          }),
          "the catalogue tab lists the added entries");
}

// With QB_SCREENSHOT_DIR set, what the screen shows of the window goes into
// that folder as strName.
void Screenshot(const char* pszName)
{
    const char* pszDir = std::getenv("QB_SCREENSHOT_DIR");
    if (!pszDir)
        return;
    std::this_thread::sleep_for(800ms); // painted
    Gui([&] {
        const QRect frame = Sheet()->frameGeometry();
        QGuiApplication::primaryScreen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .save(QString::fromLocal8Bit(pszDir) + "/" + pszName);
    });
}

// Screenshots of the help tab, the fallback page and the page for an
// address that cannot be loaded, taken after the answer.
void MoreScreenshots()
{
    if (!std::getenv("QB_SCREENSHOT_DIR"))
        return;
    auto* pView = Gui([] { return Control<QWebEngineView>("dialog129", "ctl1006"); });
    Gui([pView] {
        pView->setUrl(QUrl(qEnvironmentVariable("QUILLBRIDGE_SITE_BASE") + "about.html"));
    });
    WaitFor([pView] { return pView->title() == "KV Quillbridge"; });
    Screenshot("fallback.png");
    Gui([pView] { pView->setUrl(QUrl("http://127.0.0.1:1/sonastik/otsi?sona=kass")); });
    WaitFor([pView] { return pView->title() == "Lehte ei saa avada"; });
    Screenshot("unreachable.png");
    ShowTab(3);
    WaitFor([] {
        auto* pHelp = Control<QWebEngineView>("dialog130", "ctl1006");
        return pHelp && pHelp->title().contains("abiinfo");
    });
    Screenshot("help.png");
}

// From no catalogue files: both published lists downloaded and added, then an
// inflected word through the demo pre-dictionary into the baltic dictionary.
void PublishedSite()
{
    const int nResult = Run(nullptr, [] {
        DownloadPublishedList(1);
        DownloadPublishedList(2);
        ShowTab(0);
        Check(Gui([] {
                  auto* pDict = Control<QComboBox>("dialog129", "ctl1007");
                  auto* pPredict = Control<QComboBox>("dialog129", "ctl1005");
                  const int nBaltic = pDict->findText("(baltic)", Qt::MatchContains);
                  pDict->setCurrentIndex(nBaltic);
                  pPredict->setCurrentIndex(1);
                  return nBaltic >= 0 && pPredict->count() == 2;
              }),
              "the baltic dictionary and the pre-dictionary are chosen");
        // Typed keys know only ASCII; the word goes into the box as text.
        Gui([] {
            WordBox()->setText(QString::fromUtf8("päevale"));
            QTest::keyClick(WordBox(), Qt::Key_Return);
        });
        Check(WaitForUrl("dialog129", "/demo/seletav.html?w=p%E4ev"),
              "the pre-dictionary goes on with the base form escaped in baltic");
        const QString strWanted = QString::fromUtf8("päev – Demo: eesti seletav sõnastik");
        const bool bAnswer = WaitFor(
            [&] { return Control<QWebEngineView>("dialog129", "ctl1006")->title() == strWanted; });
        std::printf("answer page: %s\n", qPrintable(Gui([] {
                        return Control<QWebEngineView>("dialog129", "ctl1006")->title();
                    })));
        Check(bAnswer, "the dictionary answers for the base form, its letters decoded");
        Screenshot("predictionary_answer.png");
        MoreScreenshots();
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

// A new entry through the catalogue tab and its entry dialog, then back to the lookup tab.
void AddEntry(const QString& strName, const QString& strProgram)
{
    ShowTab(1);
    Check(WaitFor([] { return Control<QPushButton>("dialog131", "ctl1010") != nullptr; }),
          "the catalogue tab opens");
    GuiPost([] { Control<QPushButton>("dialog131", "ctl1010")->click(); });
    Check(WaitFor([&] {
              for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                  if (pWidget->objectName() != "dialog135" || !pWidget->isVisible())
                      continue;
                  pWidget->findChild<QLineEdit*>("ctl1008")->setText(strName);
                  pWidget->findChild<QLineEdit*>("ctl1009")->setText(strProgram);
                  pWidget->findChild<QPushButton*>("ctl1")->click();
                  return true;
              }
              return false;
          }),
          "the entry dialog is filled in");
    ShowTab(0);
}

// One of two processes on one catalogue: it says when its window is open,
// adds strName once strGo exists (the other has opened its window by then), and closes.
void AddWhenTold(const QString& strName, const std::filesystem::path& go)
{
    const int nResult = Run(nullptr, [&] {
        std::printf("open\n");
        std::fflush(stdout);
        Check(WaitFor([&] { return std::filesystem::exists(go); }, 120s), "told to go on");
        AddEntry(strName, "http://" + strName + "/");
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
}

// The question about a failed save of strFile: asked while the window is
// still open, with the file, the reason and the two answers. Answers it with
// the button named strButton, after running beforeAnswer.
void AnswerSaveQuestion(const QString& strFile, const QString& strButton,
                        const std::function<void()>& beforeAnswer = {})
{
    QString strSeen;
    QMessageBox* pQuestion = nullptr;
    Check(WaitFor([&] {
              QMessageBox* pBox = ShownMessageBox();
              if (!pBox)
                  return false;
              QStringList buttons;
              for (QAbstractButton* pButton : pBox->buttons())
                  buttons << pButton->text();
              strSeen = pBox->windowTitle() + " | " + pBox->text() + " | " + buttons.join(", ");
              pQuestion = pBox;
              return Sheet() != nullptr && pBox->windowTitle() == "Viga" &&
                     pBox->icon() == QMessageBox::Critical &&
                     pBox->text().startsWith("Faili ei saanud salvestada: " + strFile + "\n") &&
                     pBox->text().contains("\nPõhjus: ") &&
                     pBox->text().endsWith("Kas proovida uuesti või sulgeda aken ilma kataloogi "
                                           "\"Sõnastikud\" muudatusi salvestamata?") &&
                     buttons == QStringList({"Proovi uuesti", "Sulge salvestamata"});
          }),
          "the failed save is asked about while the window is open");
    std::printf("message box: %s\n", qPrintable(strSeen));
    if (beforeAnswer)
        beforeAnswer();
    Gui([&] {
        if (ShownMessageBox() != pQuestion)
            return;
        for (QAbstractButton* pButton : pQuestion->buttons())
            if (pButton->text() == strButton)
                pButton->click();
    });
}

// An entry that cannot be saved: the close asks, once more after "Proovi
// uuesti", and the window closes only with the answer. Without blocker the
// second answer is "Sulge salvestamata"; with it, blocker (what keeps the
// save from its place) is removed first, and trying again saves.
void UnsavableEntry(const QString& strFile, const std::filesystem::path& blocker)
{
    const int nResult = Run(nullptr, [&] {
        AddEntry("Uus sõnastik", "http://uus/");
        // The close asks and waits for the answer: Esc without waiting for it.
        GuiPost([] { QTest::keyClick(Sheet(), Qt::Key_Escape); });
        AnswerSaveQuestion(strFile, "Proovi uuesti", [] { Screenshot("save_question.png"); });
        if (blocker.empty())
            AnswerSaveQuestion(strFile, "Sulge salvestamata");
        else
            AnswerSaveQuestion(strFile, "Proovi uuesti", [&] { std::filesystem::remove(blocker); });
        Check(WaitFor([] { return Sheet() == nullptr; }), "the window closes after the answer");
        Check(NoMessageBoxFor(300ms), "nothing more is asked");
    });
    Check(nResult == 0, "the run returns 0");
}

std::atomic<int> g_nHostSignals = 0;

extern "C" void OnHostSignal(int)
{
    ++g_nHostSignals;
}

bool HandledAsBefore()
{
    struct sigaction term {
    }, hangUp{};
    ::sigaction(SIGTERM, nullptr, &term);
    ::sigaction(SIGHUP, nullptr, &hangUp);
    return term.sa_handler == &OnHostSignal && hangUp.sa_handler == SIG_IGN;
}

// A host with its own SIGTERM handler that ignores SIGHUP keeps both while
// the window is open: the test sends both once the window runs.
void HostSignals()
{
    struct sigaction own {
    };
    own.sa_handler = &OnHostSignal;
    sigemptyset(&own.sa_mask);
    ::sigaction(SIGTERM, &own, nullptr);
    ::signal(SIGHUP, SIG_IGN);
    const int nResult = Run(nullptr, [] {
        Check(WaitForUrl("dialog129", "/quillbridge/about.html"), "the fallback page is shown");
        std::printf("open\n");
        std::fflush(stdout);
        Check(WaitFor([] { return g_nHostSignals > 0; }), "the host's handler has SIGTERM");
        std::this_thread::sleep_for(300ms);
        Check(Gui([] { return Sheet() != nullptr; }), "the window stays open");
        Check(HandledAsBefore(), "both signals are handled as the host set them");
        CloseWithEsc();
    });
    Check(nResult == 0, "the run returns 0");
    Check(HandledAsBefore(), "and after the run");
}

// Two runs in one process: the second sees the first's choice and its new entry.
void TwoRuns(bool bSecondOnOtherThread)
{
    Check(g_pVersion() == 65538, "version word before any run");
    const long nDictBefore = FileSize("dict.kvd");
    int nResult = Run(u"maja", [] {
        Check(WaitForUrl("dialog129", "w=maja"), "first run looks up");
        Gui([] { Control<QComboBox>("dialog129", "ctl1007")->setCurrentIndex(1); });
        AddEntry("Uus sõnastik", "http://uus/");
        CloseWithEsc();
    });
    Check(nResult == 0, "first run returns 0");
    Check(FileSize("dict.kvd") > nDictBefore, "the new entry is saved when the run returns");

    auto second = [] {
        return Run(u"maja", [] {
            Check(WaitFor([] {
                      auto* pCombo = Control<QComboBox>("dialog129", "ctl1007");
                      return pCombo && pCombo->currentIndex() == 1;
                  }),
                  "the second run has the first run's dictionary chosen");
            Check(Gui([] {
                      auto* pCombo = Control<QComboBox>("dialog129", "ctl1007");
                      return pCombo->findText("Uus sõnastik") >= 0;
                  }),
                  "the entry added in the first run is listed");
            CloseWithEsc();
        });
    };
    if (bSecondOnOtherThread) {
        std::thread other([&] { nResult = second(); });
        other.join();
    } else {
        nResult = second();
    }
    Check(nResult == 0, "second run returns 0");
    Check(g_pVersion() == 65538, "version word after the runs");
}

// With no files, a run without edits writes none, neither when it returns nor at exit.
void FilesWithoutCatalogues()
{
    Check(FileSize("dict.kvd") == -1 && FileSize("predict.kvd") == -1, "no files to start with");
    const int nResult = Run(nullptr, [] { CloseWithEsc(); });
    Check(nResult == 0, "the run returns 0");
    Check(FileSize("dict.kvd") == -1 && FileSize("predict.kvd") == -1, "no file after the run");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: e2e_driver LIBRARY SCENARIO [qt-host | ARGUMENTS]\n");
        return 2;
    }
    const std::string strScenario = argv[2];
    // A host with a Qt application of its own gets the run on its thread.
    static int s_argc = 1;
    static char* s_argv[] = {argv[0], nullptr};
    std::unique_ptr<QApplication> pHostApp;
    if (argc > 3 && std::string(argv[3]) == "qt-host") {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        pHostApp = std::make_unique<QApplication>(s_argc, s_argv);
    }

    g_dir = std::filesystem::path(argv[1]).parent_path();
    void* pLibrary = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!pLibrary) {
        std::fprintf(stderr, "cannot load: %s\n", ::dlerror());
        return 2;
    }
    g_pVersion = reinterpret_cast<decltype(g_pVersion)>(::dlsym(pLibrary, "QuillbridgeVersion"));
    g_pRun = reinterpret_cast<decltype(g_pRun)>(::dlsym(pLibrary, "QuillbridgeRun"));

    if (strScenario == "word")
        LookupWithWord();
    else if (strScenario == "noword")
        NoWord();
    else if (strScenario == "missing-input")
        LookButtonWithoutInput();
    else if (strScenario == "keys")
        KeysAndTabs();
    else if (strScenario.rfind("escin", 0) == 0)
        EscInsidePage(std::stoi(strScenario.substr(5)));
    else if (strScenario.rfind("esc", 0) == 0)
        EscFromPage(std::stoi(strScenario.substr(3)));
    else if (strScenario == "site")
        PublishedSite();
    else if (strScenario == "two-runs")
        TwoRuns(false);
    else if (strScenario == "two-threads")
        TwoRuns(true);
    else if (strScenario == "add" && argc > 4)
        AddWhenTold(QString::fromUtf8(argv[3]), argv[4]);
    else if (strScenario == "unsavable" && argc > 3)
        UnsavableEntry(QString::fromLocal8Bit(argv[3]), argc > 4 ? argv[4] : "");
    else if (strScenario == "host-signals")
        HostSignals();
    else if (strScenario == "files")
        FilesWithoutCatalogues();
    else if (strScenario == "nodisplay")
        Check(g_pRun(u"maja") == -1, "without a display the run returns -1");
    else {
        std::fprintf(stderr, "unknown scenario %s\n", strScenario.c_str());
        return 2;
    }
    ::dlclose(pLibrary);
    std::printf("%d failed\n", g_nFailures);
    return g_nFailures == 0 ? 0 : 1;
}
