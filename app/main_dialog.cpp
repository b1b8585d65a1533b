#include "main_dialog.h"

#include "dict_catalogue.h"
#include "win_defs.h"

#include <QPushButton>

namespace
{

// The id Enter stands for on every page: "Vaata" on the lookup page, "Muuda..." on
// the catalogue pages.
constexpr int kDefaultCommand = 1004;

} // namespace

CMainDialog::CMainDialog(const std::u16string& strCaption, const std::u16string& strWord,
                         CWnd* pParentWnd, int iSelectPage)
    : CPropertySheet(QString::fromStdU16String(strCaption), pParentWnd, iSelectPage)
{
    m_runPage.m_word = QString::fromStdU16String(strWord);
    m_dictPage.SetCatalogue(&g_dictCatalogue);
    m_predictPage.SetCatalogue(&g_predictCatalogue);
    AddPage(&m_runPage);
    AddPage(&m_dictPage);
    AddPage(&m_predictPage);
    AddPage(&m_helpPage);
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
    return bResult;
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
