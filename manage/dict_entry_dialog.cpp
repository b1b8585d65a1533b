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

QString MissingEntryFields(const QString& strName, const QString& strProgram)
{
    if (strName.isEmpty() && strProgram.isEmpty())
        return QStringLiteral("Palun sisestage sõnastiku nimi ja sõnastikuprogrammi aadress!");
    if (strName.isEmpty())
        return QStringLiteral("Palun sisestage sõnastiku nimi!");
    if (strProgram.isEmpty())
        return QStringLiteral("Palun sisestage sõnastikuprogrammi aadress!");
    if (!IsNavigableAddress(strProgram.toStdU16String()))
        return QStringLiteral("Sõnastikuprogrammi aadress peab olema http- või https-aadress!");
    return QString();
}

CDictEntryDialog::CDictEntryDialog(QString strName, const QString& strEncoding, QString strProgram,
                                   CWnd* pParentWnd)
    : CDialog(IDD_DICT_ENTRY, pParentWnd), m_strName(std::move(strName)),
      m_strProgram(std::move(strProgram)),
      m_nEncoding(EncodingIndexFromName(strEncoding.toStdU16String()))
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
    if (!m_strOkText.isEmpty())
        SetDlgItemText(IDOK, m_strOkText);
    return bResult;
}

void CDictEntryDialog::OnOK()
{
    const QString strName = GetDlgItemText(IDC_NAME);
    const QString strMissing = MissingEntryFields(strName, GetDlgItemText(IDC_PROGRAM));
    if (strMissing.isEmpty()) {
        CDialog::OnOK();
        return;
    }
    // The dialog stays open with what was typed; the caret goes where the
    // user has to type next.
    MessageBox(strMissing, QStringLiteral("Viga"), MB_ICONEXCLAMATION);
    if (QWidget* pEdit = GetDlgItem(strName.isEmpty() ? IDC_NAME : IDC_PROGRAM))
        pEdit->setFocus();
}
