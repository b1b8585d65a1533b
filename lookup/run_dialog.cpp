#include "run_dialog.h"

#include "browser_keys.h"
#include "data_exchange.h"
#include "dict_catalogue.h"
#include "event_hook.h"
#include "navigable_address.h"
#include "property_sheet.h"
#include "qt_text.h"
#include "query_composition.h"
#include "site_address.h"
#include "win_defs.h"
#include "wnd_platform.h"
#include "word_length.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStringListModel>
#include <QWebEngineView>

namespace
{

enum : int {
    IDD_RUN = 129,
    IDC_WORD = 1002,
    IDC_LOOKUP = 1004,
    IDC_PREDICT_COMBO = 1005,
    IDC_BROWSER = 1006,
    IDC_DICT_COMBO = 1007,
    IDC_TOOLBAR_PLACE = 1012,
};

const char16_t* const kError = u"Viga";

} // namespace

CRunDialog::CRunDialog() : CPropertyPage(IDD_RUN), m_history(CWordHistory::DefaultPath())
{
    MapCommand(IDC_LOOKUP, [this] { OnLookupButton(); });
}

void CRunDialog::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PREDICT_COMBO, m_predictCombo);
    DDX_Control(pDX, IDC_DICT_COMBO, m_dictCombo);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
    DDX_Text(pDX, IDC_WORD, m_word);
}

bool CRunDialog::OnInitDialog()
{
    const bool bResult = CPropertyPage::OnInitDialog();
    if (!m_browser.IsWindow()) {
        MessageBox(u"Viga IE initsialiseerimisel", kError, MB_ICONERROR);
        if (CPropertySheet* pSheet = GetParentSheet())
            pSheet->EndDialog(IDCANCEL);
        return bResult;
    }
    m_toolBar.Create(GetDlgItem(IDC_TOOLBAR_PLACE), this);
    m_toolBar.FollowBrowser(m_browser);
    m_findBar.Create(m_browser);
    CBrowserKeys::Create(FromHandle(GetSafeHwnd()), m_browser, m_findBar,
                         QStringLiteral("lookupPage/zoom"), [this] {
                             WordBox()->setFocus(Qt::ShortcutFocusReason);
                             WordBox()->selectAll();
                         });
    SetUpWordBox();
    // A word picked on the answer page is looked up as a typed one is.
    m_browser.SetLookUpHandler([this](const QString& strWord) {
        SetDlgItemText(IDC_WORD, FromQString(strWord));
        Lookup(true);
    });
    QObject::connect(m_browser.GetView(), &QWebEngineView::urlChanged,
                     GetPlatform().pReceiver.get(), [this](const QUrl& url) { FollowPage(url); });
    FillLists();
    Lookup(false);
    return bResult;
}

bool CRunDialog::OnSetActive()
{
    const bool bResult = CPropertyPage::OnSetActive();
    // Entries edited on the catalogue tabs show up here.
    FillLists();
    return bResult;
}

bool CRunDialog::OnKillActive()
{
    g_dictCatalogue.selection = m_dictCombo.GetCurSel();
    g_predictCatalogue.selection = m_predictCombo.GetCurSel();
    return CPropertyPage::OnKillActive();
}

void CRunDialog::OnCancel()
{
    // Closing the window keeps the choices, whichever tab is on show.
    OnKillActive();
    CPropertyPage::OnCancel();
}

bool CRunDialog::OnCommand(int nID, HWND hSource)
{
    if (hSource && hSource == m_toolBar.GetSafeHwnd()) {
        ExecuteBrowserCommand(m_browser, nID);
        return true;
    }
    return CPropertyPage::OnCommand(nID, hSource);
}

void CRunDialog::LookUpWord(const CString& strWord)
{
    SetDlgItemText(IDC_WORD, strWord);
    Lookup(false);
}

void CRunDialog::OnLookupButton()
{
    Lookup(true);
}

int CRunDialog::Lookup(bool bReportErrors)
{
    UpdateData(true);
    const bool bTooLong = !IsWithinWordLength(m_word);
    const auto url = bTooLong ? std::nullopt
                              : ComposeLookupUrl(m_word, g_dictCatalogue, m_dictCombo.GetCurSel(),
                                                 g_predictCatalogue, m_predictCombo.GetCurSel());
    if (url && IsNavigableAddress(*url)) {
        const QVariant flags(static_cast<int>(navNoReadFromCache));
        m_browser.Navigate(ToQString(*url), &flags);
        m_history.AddLater(m_word);
        ShowHistory();
        return 0;
    }
    // A catalogue entry may hold any text; it is refused whether or not the
    // lookup reports missing input.
    // Said also for the host's word: it was not looked up, and is never cut.
    if (bTooLong)
        MessageBox(FormatCString(u"Sõna on liiga pikk. Otsida saab sõna, milles on kuni %1 märki.",
                                 {IntToCString(kMaxWordLength)}),
                   kError, MB_ICONEXCLAMATION);
    else if (url)
        RefuseAddress(*url);
    else if (bReportErrors)
        MessageBox(u"Palun sisestage sõna ja valige sõnastik!", kError, MB_ICONEXCLAMATION);
    const std::u16string strFallback = FallbackPageAddress();
    if (IsNavigableAddress(strFallback, true))
        m_browser.Navigate(ToQString(strFallback));
    else
        RefuseAddress(strFallback);
    return 0;
}

void CRunDialog::RefuseAddress(const std::u16string& strAddress)
{
    MessageBox(RefusedAddressMessage(strAddress), kError, MB_ICONERROR);
}

void CRunDialog::FillLists()
{
    g_dictCatalogue.FillComboBox(m_dictCombo);
    g_predictCatalogue.FillComboBox(m_predictCombo);
}

QLineEdit* CRunDialog::WordBox() const
{
    return qobject_cast<QLineEdit*>(DlgItemWidget(*this, IDC_WORD));
}

void CRunDialog::SetUpWordBox()
{
    QLineEdit* pEdit = WordBox();
    if (!pEdit)
        return;
    m_history.Load();
    m_pHistoryModel = new QStringListModel(pEdit);
    m_pCompleter = new QCompleter(m_pHistoryModel, pEdit);
    m_pCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    m_pCompleter->setCompletionMode(QCompleter::PopupCompletion);
    m_pCompleter->popup()->setObjectName(QStringLiteral("wordCompletion"));
    pEdit->setCompleter(m_pCompleter);
    // A word chosen from the list is looked up, as Enter on a typed one is.
    QObject::connect(
        m_pCompleter, qOverload<const QString&>(&QCompleter::activated),
        GetPlatform().pReceiver.get(),
        [this](const QString& strWord) {
            SetDlgItemText(IDC_WORD, FromQString(strWord));
            Lookup(true);
        },
        Qt::QueuedConnection);
    // Enter with the list open but no word of it chosen looks up what was
    // typed; the list would only close.
    new CEventHook(m_pCompleter->popup(), [this](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if ((nKey != Qt::Key_Return && nKey != Qt::Key_Enter) ||
            m_pCompleter->popup()->currentIndex().isValid())
            return false;
        m_pCompleter->popup()->hide();
        QMetaObject::invokeMethod(
            GetPlatform().pReceiver.get(), [this] { Lookup(true); }, Qt::QueuedConnection);
        return true;
    });
    ShowHistory();
    new CEventHook(pEdit, [this](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if ((pKey->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
            (pKey->key() != Qt::Key_Up && pKey->key() != Qt::Key_Down))
            return false;
        return WalkHistory(pKey->key() == Qt::Key_Up);
    });
    pEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pEdit, &QWidget::customContextMenuRequested, GetPlatform().pReceiver.get(),
                     [this](const QPoint& pos) { ShowWordBoxMenu(pos); });
}

void CRunDialog::ShowHistory()
{
    if (!m_pHistoryModel)
        return;
    QStringList words;
    for (const std::u16string& word : m_history.GetWords())
        words << ToQString(word);
    m_pHistoryModel->setStringList(words);
    m_walk.Reset();
}

bool CRunDialog::WalkHistory(bool bOlder)
{
    QLineEdit* pEdit = WordBox();
    switch (m_walk.Step(m_history.GetWords(), pEdit->text().toStdU16String(), bOlder,
                        m_pCompleter->popup()->isVisible())) {
    case CHistoryWalk::EStep::None:
        return false;
    case CHistoryWalk::EStep::ListAll:
        m_pCompleter->setCompletionPrefix(QString());
        m_pCompleter->complete();
        return true;
    case CHistoryWalk::EStep::Word:
        pEdit->setText(QString::fromStdU16String(m_walk.GetWord()));
        return true;
    }
    return false;
}

void CRunDialog::ShowWordBoxMenu(const QPoint& pos)
{
    QLineEdit* pEdit = WordBox();
    QMenu* pMenu = pEdit->createStandardContextMenu();
    pMenu->setObjectName(QStringLiteral("wordBoxMenu"));
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    pMenu->addSeparator();
    QAction* pClear = pMenu->addAction(QStringLiteral("Kustuta otsitud sõnade ajalugu"));
    pClear->setObjectName(QStringLiteral("clearHistory"));
    pClear->setEnabled(!m_history.GetWords().empty());
    QObject::connect(pClear, &QAction::triggered, pEdit, [this] {
        m_history.Clear();
        ShowHistory();
    });
    pMenu->popup(pEdit->mapToGlobal(pos));
}

void CRunDialog::FollowPage(const QUrl& url)
{
    const auto word =
        LookupWordFromUrl(url.toString(QUrl::FullyEncoded).toStdU16String(), g_dictCatalogue,
                          m_dictCombo.GetCurSel(), g_predictCatalogue, m_predictCombo.GetCurSel());
    QLineEdit* pEdit = WordBox();
    if (!word || !pEdit)
        return;
    const QString strWord = ToQString(*word);
    m_word = *word;
    if (pEdit->text() != strWord)
        pEdit->setText(strWord);
}
