#include "run_dialog.h"

#include "data_exchange.h"
#include "dict_catalogue.h"
#include "navigable_address.h"
#include "property_sheet.h"
#include "query_composition.h"
#include "site_address.h"
#include "win_defs.h"

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

const QString kError = QStringLiteral("Viga");

} // namespace

CRunDialog::CRunDialog() : CPropertyPage(IDD_RUN)
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
        MessageBox(QStringLiteral("Viga IE initsialiseerimisel"), kError, MB_ICONERROR);
        if (CPropertySheet* pSheet = GetParentSheet())
            pSheet->EndDialog(IDCANCEL);
        return bResult;
    }
    m_toolBar.Create(GetDlgItem(IDC_TOOLBAR_PLACE), this);
    m_toolBar.FollowBrowser(m_browser);
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

bool CRunDialog::OnCommand(int nID, QWidget* pSource)
{
    if (pSource && pSource == m_toolBar.GetSafeHwnd()) {
        ExecuteBrowserCommand(m_browser, nID);
        return true;
    }
    return CPropertyPage::OnCommand(nID, pSource);
}

void CRunDialog::LookUpWord(const QString& strWord)
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
    const auto url =
        ComposeLookupUrl(m_word.toStdU16String(), g_dictCatalogue, m_dictCombo.GetCurSel(),
                         g_predictCatalogue, m_predictCombo.GetCurSel());
    if (url && IsNavigableAddress(*url)) {
        const QVariant flags(static_cast<int>(navNoReadFromCache));
        m_browser.Navigate(QString::fromStdU16String(*url), &flags);
        return 0;
    }
    // A catalogue entry may hold any text; it is refused whether or not the
    // lookup reports missing input.
    if (url)
        RefuseAddress(*url);
    else if (bReportErrors)
        MessageBox(QStringLiteral("Palun sisestage sõna ja valige sõnastik!"), kError,
                   MB_ICONEXCLAMATION);
    const std::u16string strFallback = FallbackPageAddress();
    if (IsNavigableAddress(strFallback, true))
        m_browser.Navigate(QString::fromStdU16String(strFallback));
    else
        RefuseAddress(strFallback);
    return 0;
}

void CRunDialog::RefuseAddress(const std::u16string& strAddress)
{
    MessageBox(QString::fromStdU16String(RefusedAddressMessage(strAddress)), kError, MB_ICONERROR);
}

void CRunDialog::FillLists()
{
    g_dictCatalogue.FillComboBox(m_dictCombo);
    g_predictCatalogue.FillComboBox(m_predictCombo);
}
