#include "main_dialog.h"

#include "dict_catalogue.h"
#include "user_settings.h"
#include "win_defs.h"

#include <QCoreApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

namespace
{

// The id Enter stands for on every page: "Vaata" on the lookup page, "Muuda..." on
// the catalogue pages.
constexpr int kDefaultCommand = 1004;

const std::u16string kWidthKey = u"mainWindow/width";
const std::u16string kHeightKey = u"mainWindow/height";
const std::u16string kMaximizedKey = u"mainWindow/maximized";

} // namespace

CMainDialog::CMainDialog(const std::u16string& strCaption, const std::u16string& strWord,
                         CWnd* pParentWnd, int iSelectPage)
    : CPropertySheet(QString::fromStdU16String(strCaption), pParentWnd, iSelectPage)
{
    SetResizable(true);
    QCoreApplication::installTranslator(&m_translator);
    m_runPage.m_word = QString::fromStdU16String(strWord);
    m_dictPage.SetCatalogue(&g_dictCatalogue);
    m_predictPage.SetCatalogue(&g_predictCatalogue);
    AddPage(&m_runPage);
    AddPage(&m_dictPage);
    AddPage(&m_predictPage);
    AddPage(&m_helpPage);
}

CMainDialog::~CMainDialog()
{
    QCoreApplication::removeTranslator(&m_translator);
}

bool CMainDialog::OnInitDialog()
{
    const bool bResult = CPropertySheet::OnInitDialog();
    for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP}) {
        if (QWidget* pButton = GetDlgItem(nID)) {
            pButton->hide();
            pButton->setEnabled(false);
        }
    }
    // Hidden, but Esc and the close box still cancel through it.
    if (QWidget* pCancel = GetDlgItem(IDCANCEL))
        pCancel->setEnabled(true);
    if (auto* pOK = qobject_cast<QPushButton*>(GetDlgItem(IDOK))) {
        pOK->setDefault(false);
        pOK->setAutoDefault(false);
    }
    SetDefID(kDefaultCommand);
    RestoreWindowSize();
    return bResult;
}

void CMainDialog::RestoreWindowSize()
{
    QWidget* pWindow = GetSafeHwnd();
    // The minimum is the templates' size without the button row just hidden;
    // the first run opens at it.
    pWindow->layout()->activate();
    const CUserSettings settings;
    const QSize least = pWindow->minimumSize();
    QSize size(settings.IntValue(kWidthKey, least.width()),
               settings.IntValue(kHeightKey, least.height()));
    if (size != least) {
        if (const QScreen* pScreen = pWindow->screen())
            size = size.boundedTo(pScreen->availableGeometry().size());
        pWindow->resize(size.expandedTo(least));
    }
    if (settings.BoolValue(kMaximizedKey, false))
        pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
}

void CMainDialog::OnDestroy()
{
    const QWidget* pWindow = GetSafeHwnd();
    if (!pWindow)
        return;
    const bool bMaximized = pWindow->isMaximized();
    // A maximized window keeps the size it had before, for when it is made
    // normal again; one that opened maximized may not know it.
    const QSize size = bMaximized ? pWindow->normalGeometry().size() : pWindow->size();
    CUserSettings settings;
    // A window left as it opened writes nothing; without a size kept it
    // opened at its least.
    const QSize least = pWindow->minimumSize();
    if (size.isValid() && !size.isEmpty()) {
        if (settings.IntValue(kWidthKey, least.width()) != size.width())
            settings.SetIntValue(kWidthKey, size.width());
        if (settings.IntValue(kHeightKey, least.height()) != size.height())
            settings.SetIntValue(kHeightKey, size.height());
    }
    if (settings.BoolValue(kMaximizedKey, false) != bMaximized)
        settings.SetBoolValue(kMaximizedKey, bMaximized);
}

bool CMainDialog::OnSetDefId(int nID)
{
    // Whoever asks for another default, the window keeps 1004.
    if (nID == kDefaultCommand)
        return CPropertySheet::OnSetDefId(nID);
    SetDefID(kDefaultCommand);
    return true;
}

void CMainDialog::LookUpWord(const QString& strWord)
{
    SetActivePage(&m_runPage);
    m_runPage.LookUpWord(strWord);
}

void CMainDialog::EndSession()
{
    m_bSessionEnding = true;
    if (!m_bClosing && ContinueModal())
        SendCommand(IDCANCEL, GetDlgItem(IDCANCEL));
}

void CMainDialog::OnClosing()
{
    // Once: a second Esc or an end of the session while a failed save is
    // asked about must not start another close inside this one.
    if (m_bClosing)
        return;
    m_bClosing = true;
    if (m_saveEdits)
        m_saveEdits();
}

void CMainDialog::SaveEdits()
{
    if (m_bClosing || !ContinueModal())
        return;
    // Leaving the page puts its edits into the catalogues; it stays on show.
    if (CPropertyPage* pPage = GetActivePage())
        pPage->OnKillActive();
    if (m_saveEdits)
        m_saveEdits();
}
