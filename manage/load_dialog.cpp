#include "load_dialog.h"

#include "data_exchange.h"
#include "dict_catalogue.h"
#include "list_columns.h"
#include "navigable_address.h"
#include "utf_text.h"
#include "wait_cursor.h"
#include "win_defs.h"

#include <QSet>

#include <vector>

namespace
{

enum : int {
    IDD_LOAD = 136,
    IDD_WAIT = 139,
    IDC_LIST = 1007,
};

// A name as the list's whole-text search compares it: every character folded
// to one case, so that one look-up in a set finds what FindItem would.
QString FoldedName(const QString& strName)
{
    QString strFolded;
    strFolded.reserve(strName.size());
    for (const char32_t ch : strName.toUcs4()) {
        const char32_t folded = QChar::toCaseFolded(ch);
        if (QChar::requiresSurrogates(folded)) {
            strFolded.append(QChar(QChar::highSurrogate(folded)));
            strFolded.append(QChar(QChar::lowSurrogate(folded)));
        } else {
            strFolded.append(QChar(static_cast<char16_t>(folded)));
        }
    }
    return strFolded;
}

} // namespace

QStringList PreselectNewNames(CListCtrl& list, const CListCtrl& target)
{
    // The page's names are folded once; each row then costs one look-up, and
    // the rows are selected together, so a long list takes no longer than it
    // takes to read.
    QSet<QString> listed;
    listed.reserve(target.GetItemCount());
    for (int i = 0; i < target.GetItemCount(); ++i)
        listed.insert(FoldedName(target.GetItemText(i, 0)));
    QStringList refused;
    std::vector<int> chosen;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (listed.contains(FoldedName(list.GetItemText(i, 0))))
            continue;
        if (!IsNavigableAddress(list.GetItemText(i, 2).toStdU16String()))
            refused << list.GetItemText(i, 0);
        else
            chosen.push_back(i);
    }
    list.SelectItems(chosen);
    return refused;
}

QString UnselectedAddressesMessage(const QStringList& names)
{
    QString strText = QStringLiteral("Need sõnastikud jäid valimata, sest nende "
                                     "sõnastikuprogrammi aadress ei ole http- ega https-aadress:");
    // One line per name, whatever a name holds.
    for (const QString& strName : names)
        strText += QLatin1Char('\n') +
                   QString::fromStdU16String(WithVisibleControls(strName.toStdU16String()));
    return strText;
}

void AppendSelectedRows(const CListCtrl& list, CListCtrl& target)
{
    int nEnd = target.GetItemCount();
    for (int r = list.GetNextItem(-1, LVNI_SELECTED); r >= 0;
         r = list.GetNextItem(r, LVNI_SELECTED)) {
        nEnd = target.InsertItem(nEnd, list.GetItemText(r, 0));
        target.SetItemText(nEnd, 1, list.GetItemText(r, 1));
        target.SetItemText(nEnd, 2, list.GetItemText(r, 2));
        ++nEnd;
    }
}

CLoadButtonStates GetLoadButtonStates(unsigned nSelected)
{
    CLoadButtonStates states;
    states.bAdd = nSelected > 0;
    return states;
}

CLoadDialog::CLoadDialog(CListCtrl* pTargetList, CWnd* pParentWnd)
    : CDialog(IDD_LOAD, pParentWnd), m_pTargetList(pTargetList)
{
}

void CLoadDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_list);
}

bool CLoadDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SetItemChangedHandler([this](int) { OnItemChangedList(); });
    if (m_pCatalogue)
        SetWindowText(QString::fromStdU16String(m_pCatalogue->title) +
                      QStringLiteral(": laadimine"));
    InsertListColumns(m_list);
    SizeListColumns(m_list);
    // The download blocks the window; it must be on the screen before.
    CenterWindow();
    ShowWindow(SW_SHOW);
    UpdateWindow();
    Download();
    SizeListColumns(m_list);
    return true;
}

void CLoadDialog::Download()
{
    if (!m_pCatalogue)
        return;
    // Both end with this step, also when the fetch fails.
    CWaitCursor wait;
    CDialog waitWindow(IDD_WAIT, this);
    waitWindow.Create();
    waitWindow.CenterWindow();
    waitWindow.ShowWindow(SW_SHOW);
    waitWindow.UpdateWindow();

    CDictCatalogue published = FetchPublishedCatalogue(m_pCatalogue->fileName, m_limits);
    // Drawn once, when all rows are in and chosen.
    m_list.SetRedraw(false);
    published.FillListCtrl(m_list);
    QStringList refused;
    if (m_pTargetList)
        refused = PreselectNewNames(m_list, *m_pTargetList);
    m_list.SetRedraw(true);

    waitWindow.ShowWindow(SW_HIDE);
    if (!refused.isEmpty())
        MessageBox(UnselectedAddressesMessage(refused), QStringLiteral("Viga"), MB_ICONEXCLAMATION);
}

void CLoadDialog::OnItemChangedList()
{
    if (QWidget* pAdd = GetDlgItem(IDOK))
        pAdd->setEnabled(GetLoadButtonStates(m_list.GetSelectedCount()).bAdd);
}

void CLoadDialog::OnOK()
{
    if (m_pTargetList)
        AppendSelectedRows(m_list, *m_pTargetList);
    CDialog::OnOK();
}
