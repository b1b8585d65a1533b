#include "dict_dialog.h"

#include "data_exchange.h"
#include "dict_catalogue.h"
#include "dict_entry_dialog.h"
#include "list_columns.h"
#include "load_dialog.h"
#include "parameter_encoding.h"
#include "property_sheet.h"
#include "win_defs.h"

namespace
{

enum : int {
    IDD_DICT = 131,
    IDC_MODIFY = 1004,
    IDC_LIST = 1007,
    IDC_ADD = 1010,
    IDC_DELETE = 1011,
    IDC_MOVE_UP = 1012,
    IDC_MOVE_DOWN = 1013,
    IDC_DOWNLOAD = 1015,
};

constexpr int kColumnCount = 3;

CString EncodingText(int nEncoding)
{
    return EncodingNameFromIndex(nEncoding);
}

} // namespace

CDictButtonStates GetDictButtonStates(unsigned nSelected, int nSelectedRow, int nCount)
{
    CDictButtonStates states;
    if (nSelected == 0)
        return states;
    states.bModify = states.bDelete = true;
    states.bMoveUp = nSelectedRow > 0;
    states.bMoveDown = nSelectedRow < nCount - 1;
    return states;
}

CDictDialog::CDictDialog() : CPropertyPage(IDD_DICT)
{
    // Every command may change the rows or the selection (a deleted row takes
    // its selection along without a notification, rows added by "Lisa..." or
    // "Laadi..." change what "Allapoole" can do): the buttons follow each one.
    const auto command = [this](void (CDictDialog::*pCommand)()) {
        return [this, pCommand] {
            (this->*pCommand)();
            UpdateButtons();
        };
    };
    MapCommand(IDC_DELETE, command(&CDictDialog::OnDelete));
    MapCommand(IDC_ADD, command(&CDictDialog::OnAdd));
    MapCommand(IDC_MOVE_DOWN, command(&CDictDialog::OnMoveDown));
    MapCommand(IDC_MOVE_UP, command(&CDictDialog::OnMoveUp));
    MapCommand(IDC_MODIFY, command(&CDictDialog::OnModify));
    MapCommand(IDC_DOWNLOAD, command(&CDictDialog::OnDownload));
}

void CDictDialog::SetCatalogue(CDictCatalogue* pCatalogue)
{
    m_pCatalogue = pCatalogue;
    SetTitle(pCatalogue ? pCatalogue->title : CString());
}

void CDictDialog::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_list);
}

bool CDictDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.SetItemChangedHandler([this](int) { OnItemChangedList(); });
    // A double click means "Muuda..." on the selected row, if there is one.
    m_list.SetDblClkHandler([this] {
        OnModify();
        UpdateButtons();
    });
    InsertListColumns(m_list);
    if (m_pCatalogue)
        m_pCatalogue->FillListCtrl(m_list);
    SizeListColumns(m_list);
    UpdateButtons();
    return true;
}

int CDictDialog::GetSelectedRow() const
{
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CDictDialog::UpdateButtons()
{
    const CDictButtonStates states =
        GetDictButtonStates(m_list.GetSelectedCount(), GetSelectedRow(), m_list.GetItemCount());
    const struct {
        int nID;
        bool bEnable;
    } buttons[] = {{IDC_DELETE, states.bDelete},
                   {IDC_MODIFY, states.bModify},
                   {IDC_MOVE_UP, states.bMoveUp},
                   {IDC_MOVE_DOWN, states.bMoveDown}};
    for (const auto& button : buttons)
        if (CWnd* pButton = GetDlgItem(button.nID))
            pButton->EnableWindow(button.bEnable);
}

void CDictDialog::OnItemChangedList()
{
    UpdateButtons();
    // With a row to act on, Enter means "Muuda..." whatever asked otherwise.
    if (m_list.GetSelectedCount() > 0)
        if (CPropertySheet* pSheet = GetParentSheet())
            pSheet->SetDefID(IDC_MODIFY);
}

void CDictDialog::OnAdd()
{
    CDictEntryDialog dlg(CString(), u"utf8", u"http://");
    if (dlg.DoModal() != IDOK)
        return;
    const int s = GetSelectedRow();
    const int nPos = s >= 0 ? s + 1 : m_list.GetItemCount();
    const int r = m_list.InsertItem(nPos, dlg.m_strName);
    m_list.SetItemText(r, 1, EncodingText(dlg.m_nEncoding));
    m_list.SetItemText(r, 2, dlg.m_strProgram);
}

void CDictDialog::OnModify()
{
    const int s = GetSelectedRow();
    if (s < 0)
        return;
    CDictEntryDialog dlg(m_list.GetItemText(s, 0), m_list.GetItemText(s, 1),
                         m_list.GetItemText(s, 2));
    dlg.m_strOkText = u"Muuda";
    if (dlg.DoModal() != IDOK)
        return;
    m_list.SetItemText(s, 0, dlg.m_strName);
    m_list.SetItemText(s, 1, EncodingText(dlg.m_nEncoding));
    m_list.SetItemText(s, 2, dlg.m_strProgram);
}

void CDictDialog::OnDelete()
{
    const int s = GetSelectedRow();
    if (s >= 0)
        m_list.DeleteItem(s);
}

void CDictDialog::OnMoveUp()
{
    const int s = GetSelectedRow();
    if (s > 0)
        SwapItems(s, s - 1);
}

void CDictDialog::OnMoveDown()
{
    const int s = GetSelectedRow();
    if (s >= 0 && s < m_list.GetItemCount() - 1)
        SwapItems(s, s + 1);
}

void CDictDialog::SwapItems(int a, int b)
{
    for (int nCol = 0; nCol < kColumnCount; ++nCol) {
        const CString strA = m_list.GetItemText(a, nCol);
        const CString strB = m_list.GetItemText(b, nCol);
        m_list.SetItemText(a, nCol, strB);
        m_list.SetItemText(b, nCol, strA);
    }
    // The selection moves with the entry; single selection clears row a.
    m_list.SetItemState(b, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CDictDialog::OnDownload()
{
    CLoadDialog dlg(&m_list, this);
    dlg.SetCatalogue(m_pCatalogue);
    dlg.DoModal();
}

bool CDictDialog::OnKillActive()
{
    if (m_pCatalogue && m_list.IsWindow())
        m_pCatalogue->UpdateFromListCtrl(m_list);
    return CPropertyPage::OnKillActive();
}

void CDictDialog::OnCancel()
{
    // Closing the window keeps the edits, as leaving the tab does.
    OnKillActive();
    CPropertyPage::OnCancel();
}
