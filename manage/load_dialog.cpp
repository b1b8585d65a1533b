#include "load_dialog.h"

#include "data_exchange.h"
#include "dict_catalogue.h"
#include "list_columns.h"
#include "navigable_address.h"
#include "wait_cursor.h"
#include "win_defs.h"

namespace
{

enum : int {
    IDD_LOAD = 136,
    IDD_WAIT = 139,
    IDC_LIST = 1007,
};

} // namespace

QStringList PreselectNewNames(CListCtrl& list, const CListCtrl& target)
{
    QStringList refused;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (target.FindItem(list.GetItemText(i, 0)) >= 0)
            continue;
        if (!IsNavigableAddress(list.GetItemText(i, 2).toStdU16String()))
            refused << list.GetItemText(i, 0);
        else
            list.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    return refused;
}

QString UnselectedAddressesMessage(const QStringList& names)
{
    return QStringLiteral("Need sõnastikud jäid valimata, sest nende sõnastikuprogrammi aadress "
                          "ei ole http- ega https-aadress:\n") +
           names.join(QLatin1Char('\n'));
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
    published.FillListCtrl(m_list);
    QStringList refused;
    if (m_pTargetList)
        refused = PreselectNewNames(m_list, *m_pTargetList);

    waitWindow.ShowWindow(SW_HIDE);
    if (!refused.isEmpty())
        MessageBox(UnselectedAddressesMessage(refused), QStringLiteral("Viga"), MB_ICONEXCLAMATION);
}

void CLoadDialog::OnItemChangedList()
{
    if (QWidget* pAdd = GetDlgItem(IDOK))
        pAdd->setEnabled(m_list.GetSelectedCount() > 0);
}

void CLoadDialog::OnOK()
{
    if (m_pTargetList)
        AppendSelectedRows(m_list, *m_pTargetList);
    CDialog::OnOK();
}
