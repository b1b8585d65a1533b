#include "data_exchange.h"
#include "dialog_template.h"
#include "gui_test.h"
#include "property_page.h"
#include "property_sheet.h"
#include "win_defs.h"

#include "dialog_controls.h"
#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Log = std::vector<std::string>;

// A page that writes down every call the sheet makes and the 1004 command.
class LogPage : public CPropertyPage
{
public:
    LogPage(Log& log, std::string strName, int nTemplate)
        : CPropertyPage(nTemplate), m_log(log), m_strName(std::move(strName))
    {
        MapCommand(1004, [this] { Write("1004"); });
    }

    bool OnInitDialog() override
    {
        Write("init");
        CPropertyPage::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return true;
    }
    bool OnSetActive() override
    {
        Write("set");
        return CPropertyPage::OnSetActive();
    }
    bool OnKillActive() override
    {
        Write("kill");
        return m_bMayLeave && CPropertyPage::OnKillActive();
    }
    void OnCancel() override { Write("cancel"); }
    void OnOK() override { Write("ok"); }

    CString m_strWord;
    bool m_bMayLeave = true;
    std::function<void(LogPage&)> m_onInit;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 1002, m_strWord); }

private:
    void Write(const char* pszWhat) { m_log.push_back(m_strName + ":" + pszWhat); }

    Log& m_log;
    std::string m_strName;
};

// The lookup, two catalogue pages and the help page, as the main window has them.
struct Pages {
    Log log;
    LogPage run{log, "run", 129};
    LogPage dict{log, "dict", 131};
    LogPage predict{log, "predict", 131};
    LogPage help{log, "help", 130};

    void AddTo(CPropertySheet& sheet)
    {
        dict.SetTitle(u"Sõnastikud");
        predict.SetTitle(u"Eelsõnastikud");
        for (LogPage* pPage : {&run, &dict, &predict, &help})
            sheet.AddPage(pPage);
    }
    Log Take()
    {
        Log taken;
        taken.swap(log);
        return taken;
    }
};

// A sheet that holds on to 1004 as its default id and can drop its buttons.
class MainLikeSheet : public CPropertySheet
{
public:
    MainLikeSheet() : CPropertySheet(u"KV Quillbridge") {}

    bool OnInitDialog() override
    {
        CPropertySheet::OnInitDialog();
        if (m_bHideButtons) {
            m_nHeightWithButtons = WidgetOf(*this)->sizeHint().height();
            for (int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
                if (QWidget* pButton = DlgItemWidget(*this, nID)) {
                    pButton->hide();
                    pButton->setEnabled(false);
                }
            DlgItemWidget(*this, IDCANCEL)->setEnabled(true);
        }
        SetDefID(1004);
        return true;
    }

    bool m_bHideButtons = false;
    int m_nHeightWithButtons = 0;

protected:
    bool OnSetDefId(int nID) override
    {
        if (nID == 1004)
            return CPropertySheet::OnSetDefId(nID);
        SetDefID(1004);
        return true;
    }
};

void Watchdog(QObject* pContext, CPropertySheet& sheet)
{
    QTimer::singleShot(15000, pContext, [&sheet] { sheet.EndDialog(-99); });
}

} // namespace

TEST(PropertySheet, PagesAreMadeOnFirstShowingAndToldOfEveryTabChange)
{
    QObject context;
    Pages pages;
    CPropertySheet sheet(u"Leht");
    pages.AddTo(sheet);
    Log atStart, toDict, backToRun, toDictAgain;
    QStringList titles;
    WhenModal([&](QWidget*) {
        QTabWidget* pTabs = static_cast<QTabWidget*>(FromHandle(sheet.GetTabControl()));
        for (int i = 0; i < pTabs->count(); ++i)
            titles << pTabs->tabText(i);
        atStart = pages.Take();
        EXPECT_FALSE(pages.dict.IsWindow());
        pTabs->setCurrentIndex(1);
        toDict = pages.Take();
        pTabs->setCurrentIndex(0);
        backToRun = pages.Take();
        pTabs->setCurrentIndex(1);
        toDictAgain = pages.Take();
        EXPECT_EQ(sheet.GetActivePage(), &pages.dict);
        PressKey(WidgetOf(sheet), Qt::Key_Escape);
    });
    Watchdog(&context, sheet);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(titles, QStringList({QStringLiteral("Päring"), QStringLiteral("Sõnastikud"),
                                   QStringLiteral("Eelsõnastikud"), QStringLiteral("Abiinfo")}));
    EXPECT_EQ(atStart, Log({"run:init", "run:set"}));
    EXPECT_EQ(toDict, Log({"run:kill", "dict:init", "dict:set"}));
    EXPECT_EQ(backToRun, Log({"dict:kill", "run:set"}));
    EXPECT_EQ(toDictAgain, Log({"run:kill", "dict:set"}));
    // Cancel reaches the two pages that were made, and no other.
    EXPECT_EQ(pages.Take(), Log({"run:cancel", "dict:cancel"}));
    EXPECT_FALSE(pages.run.IsWindow());
}

TEST(PropertySheet, TheCloseBoxCancelsTheCreatedPages)
{
    QObject context;
    Pages pages;
    CPropertySheet sheet(u"Leht", nullptr, 3);
    pages.AddTo(sheet);
    WhenModal([&](QWidget* pModal) { pModal->close(); });
    Watchdog(&context, sheet);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(pages.Take(), Log({"help:init", "help:set", "help:cancel"}));
}

TEST(PropertySheet, LeavingAndEnteringExchangesThePageData)
{
    QObject context;
    Pages pages;
    pages.run.m_strWord = u"sõna";
    CPropertySheet sheet(u"Leht");
    pages.AddTo(sheet);
    QString strShown, strSaved, strShownAgain;
    WhenModal([&](QWidget*) {
        strShown = ToQString(pages.run.GetDlgItemText(1002));
        pages.run.SetDlgItemText(1002, u"üks");
        sheet.SetActivePage(1);
        strSaved = ToQString(pages.run.m_strWord);
        pages.run.m_strWord = u"kaks";
        sheet.SetActivePage(&pages.run);
        strShownAgain = ToQString(pages.run.GetDlgItemText(1002));
        sheet.EndDialog(IDCANCEL);
    });
    Watchdog(&context, sheet);
    sheet.DoModal();
    EXPECT_EQ(strShown, QStringLiteral("sõna"));
    EXPECT_EQ(strSaved, QStringLiteral("üks"));
    EXPECT_EQ(strShownAgain, QStringLiteral("kaks"));
}

TEST(PropertySheet, EnterRunsTheActivePagesControlWithTheDefaultId)
{
    QObject context;
    Pages pages;
    MainLikeSheet sheet;
    pages.AddTo(sheet);
    Log onRun, onDict, onDictDisabled, onHelp;
    int nDefAfterPageAsked = 0;
    WhenModal([&](QWidget* pModal) {
        pages.Take();
        DlgItemWidget(pages.run, 1002)->setFocus();
        PressKey(pModal, Qt::Key_Return);
        onRun = pages.Take();

        sheet.SetActivePage(1);
        // A page asking for another default id does not get it.
        sheet.SetDefID(IDOK);
        nDefAfterPageAsked = sheet.GetDefID();
        pages.Take();
        PressKey(pModal, Qt::Key_Enter);
        onDict = pages.Take();
        DlgItemWidget(pages.dict, 1004)->setEnabled(false);
        PressKey(pModal, Qt::Key_Return);
        onDictDisabled = pages.Take();

        // No control 1004 on this page: the command still goes to the page,
        // which may or may not handle it.
        sheet.SetActivePage(3);
        pages.Take();
        PressKey(pModal, Qt::Key_Return);
        onHelp = pages.Take();
        EXPECT_TRUE(pModal->isVisible());
        PressKey(pModal, Qt::Key_Escape);
    });
    Watchdog(&context, sheet);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(onRun, Log({"run:1004"}));
    EXPECT_EQ(nDefAfterPageAsked, 1004);
    EXPECT_EQ(onDict, Log({"dict:1004"}));
    EXPECT_TRUE(onDictDisabled.empty());
    EXPECT_EQ(onHelp, Log({"help:1004"}));
}

TEST(PropertySheet, OkAsksTheActivePageToLetGo)
{
    QObject context;
    Pages pages;
    pages.run.m_bMayLeave = false;
    CPropertySheet sheet(u"Leht");
    pages.AddTo(sheet);
    WhenModal([&](QWidget* pModal) {
        static_cast<QTabWidget*>(FromHandle(sheet.GetTabControl()))
            ->setCurrentIndex(2); // refused: the page stays
        EXPECT_EQ(static_cast<QTabWidget*>(FromHandle(sheet.GetTabControl()))->currentIndex(), 0);
        PressKey(pModal, Qt::Key_Return); // OK, refused as well
        pages.run.m_bMayLeave = true;
        PressKey(pModal, Qt::Key_Return);
    });
    Watchdog(&context, sheet);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(pages.Take(),
              Log({"run:init", "run:set", "run:kill", "run:kill", "run:kill", "run:ok"}));
    EXPECT_FALSE(pages.predict.IsWindow());
}

TEST(PropertySheet, HiddenButtonsLeaveNoStripAndEscStillCloses)
{
    QObject context;
    Pages pages;
    MainLikeSheet sheet;
    sheet.m_bHideButtons = true;
    pages.AddTo(sheet);
    int nHeight = 0, nTabsBottom = 0;
    WhenModal([&](QWidget* pModal) {
        WaitFor([&] { return pModal->height() < sheet.m_nHeightWithButtons; }, 2000);
        nHeight = pModal->height();
        nTabsBottom =
            static_cast<QTabWidget*>(FromHandle(sheet.GetTabControl()))->geometry().bottom() + 1;
        for (int nID : {IDOK, IDCANCEL, ID_APPLY_NOW})
            EXPECT_FALSE(DlgItemWidget(sheet, nID)->isVisible()) << nID;
        PressKey(pModal, Qt::Key_Escape);
    });
    Watchdog(&context, sheet);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_LT(nHeight, sheet.m_nHeightWithButtons);
    // Below the tabs only the window's margin is left, as above them.
    const int nMargin =
        CDialogControls::MapDialogRect(CRect(0, 0, 7, 7),
                                       CDialogControls::GetBaseUnits(CDialogControls::DialogFont()))
            .width();
    EXPECT_EQ(nHeight - nTabsBottom, nMargin);
    EXPECT_EQ(pages.Take().back(), "run:cancel");
}

TEST(PropertySheet, APageCanEndTheSheetWhileItIsMade)
{
    Pages pages;
    pages.run.m_onInit = [](LogPage& page) { page.GetParentSheet()->EndDialog(IDCANCEL); };
    CPropertySheet sheet(u"Leht");
    pages.AddTo(sheet);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    // Ending is not cancelling: no page is told.
    EXPECT_EQ(pages.Take(), Log({"run:init", "run:set"}));

    CPropertySheet empty(u"Tühi");
    EXPECT_EQ(empty.DoModal(), -1);
}
