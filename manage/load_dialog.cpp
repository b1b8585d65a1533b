#include "load_dialog.h"

#include "data_exchange.h"
#include "dict_catalogue.h"
#include "list_columns.h"
#include "navigable_address.h"
#include "utf_text.h"
#include "wait_cursor.h"
#include "win_defs.h"

#include <unordered_set>
#include <vector>

namespace
{

enum : int {
    IDD_LOAD = 136,
    IDD_WAIT = 139,
    IDC_LIST = 1007,
};

} // namespace

std::vector<CString> PreselectNewNames(CListCtrl& list, const CListCtrl& target)
{
    // The page's names are folded once; each row then costs one look-up, and
    // the rows are selected together, so a long list takes no longer than it
    // takes to read.
    // A name is compared as the list's whole-text search compares it: every
    // character folded to one case, so that one look-up in a set finds what
    // FindItem would.
    std::unordered_set<CString> listed;
    listed.reserve(static_cast<std::size_t>(target.GetItemCount()));
    for (int i = 0; i < target.GetItemCount(); ++i)
        listed.insert(FoldCase(target.GetItemText(i, 0)));
    std::vector<CString> refused;
    std::vector<int> chosen;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (listed.count(FoldCase(list.GetItemText(i, 0))) > 0)
            continue;
        if (!IsNavigableAddress(list.GetItemText(i, 2)))
            refused.push_back(list.GetItemText(i, 0));
        else
            chosen.push_back(i);
    }
    list.SelectItems(chosen);
    return refused;
}

CString UnselectedAddressesMessage(const std::vector<CString>& names)
{
    CString strText = u"Need sõnastikud jäid valimata, sest nende "
                      u"sõnastikuprogrammi aadress ei ole http- ega https-aadress:";
    // One line per name, whatever a name holds.
    for (const CString& strName : names)
        strText += u'\n' + WithVisibleControls(strName);
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
        SetWindowText(m_pCatalogue->title + u": laadimine");
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
    std::vector<CString> refused;
    if (m_pTargetList)
        refused = PreselectNewNames(m_list, *m_pTargetList);
    m_list.SetRedraw(true);

    waitWindow.ShowWindow(SW_HIDE);
    if (!refused.empty())
        MessageBox(UnselectedAddressesMessage(refused), u"Viga", MB_ICONEXCLAMATION);
}

void CLoadDialog::OnItemChangedList()
{
    if (CWnd* pAdd = GetDlgItem(IDOK))
        pAdd->EnableWindow(GetLoadButtonStates(m_list.GetSelectedCount()).bAdd);
}

void CLoadDialog::OnOK()
{
    if (m_pTargetList)
        AppendSelectedRows(m_list, *m_pTargetList);
    CDialog::OnOK();
}
