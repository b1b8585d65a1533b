#include "dict_entry_dialog.h"

#include "data_exchange.h"
#include "navigable_address.h"
#include "parameter_encoding.h"
#include "win_defs.h"

namespace
{

enum : int {
    IDD_DICT_ENTRY = 135,
    IDC_NAME = 1008,
    IDC_PROGRAM = 1009,
    IDC_ENCODING = 1015,
};

} // namespace

CString MissingEntryFields(const CString& strName, const CString& strProgram)
{
    if (strName.empty() && strProgram.empty())
        return u"Palun sisestage sõnastiku nimi ja sõnastikuprogrammi aadress!";
    if (strName.empty())
        return u"Palun sisestage sõnastiku nimi!";
    if (strProgram.empty())
        return u"Palun sisestage sõnastikuprogrammi aadress!";
    if (!IsNavigableAddress(strProgram))
        return u"Sõnastikuprogrammi aadress peab olema http- või https-aadress!";
    return CString();
}

CDictEntryDialog::CDictEntryDialog(CString strName, const CString& strEncoding, CString strProgram,
                                   CWnd* pParentWnd)
    : CDialog(IDD_DICT_ENTRY, pParentWnd), m_strName(std::move(strName)),
      m_strProgram(std::move(strProgram)), m_nEncoding(EncodingIndexFromName(strEncoding))
{
}

void CDictEntryDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_PROGRAM, m_strProgram);
    DDX_CBIndex(pDX, IDC_ENCODING, m_nEncoding);
}

bool CDictEntryDialog::OnInitDialog()
{
    const bool bResult = CDialog::OnInitDialog();
    if (!m_strOkText.empty())
        SetDlgItemText(IDOK, m_strOkText);
    return bResult;
}

void CDictEntryDialog::OnOK()
{
    const CString strName = GetDlgItemText(IDC_NAME);
    const CString strMissing = MissingEntryFields(strName, GetDlgItemText(IDC_PROGRAM));
    if (strMissing.empty()) {
        CDialog::OnOK();
        return;
    }
    // The dialog stays open with what was typed; the caret goes where the
    // user has to type next.
    MessageBox(strMissing, u"Viga", MB_ICONEXCLAMATION);
    if (CWnd* pEdit = GetDlgItem(strName.empty() ? IDC_NAME : IDC_PROGRAM))
        pEdit->SetFocus();
}
