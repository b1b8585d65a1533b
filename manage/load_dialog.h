#pragma once

#include "catalogue_download.h"
#include "dialog.h"
#include "list_ctrl.h"

#include "text.h"

#include <vector>

class CDictCatalogue;

// The selection dialog behind "Laadi...": downloads the list the maker
// publishes for a catalogue, preselects the entries whose names the page does
// not list yet, and on "Lisa" appends the chosen rows to the page's list.
class CLoadDialog : public CDialog
{
public:
    CLoadDialog(CListCtrl* pTargetList, CWnd* pParentWnd);

    // Only the catalogue's title (the caption) and fileName (what is fetched)
    // are read.
    void SetCatalogue(CDictCatalogue* pCatalogue) { m_pCatalogue = pCatalogue; }
    void SetDownloadLimits(const CDownloadLimits& limits) { m_limits = limits; }

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void Download();
    void OnItemChangedList();

    CListCtrl m_list;
    CListCtrl* m_pTargetList;
    CDictCatalogue* m_pCatalogue = nullptr;
    CDownloadLimits m_limits;
};

// Selects and focuses every row of list whose name (column 0) target does not
// show yet, compared as whole texts ignoring letter case, unless its program
// address (column 2) is one the lookup page would refuse. Returns the names of
// the new rows left unselected for that reason.
std::vector<CString> PreselectNewNames(CListCtrl& list, const CListCtrl& target);
// The message that says why those rows were not chosen.
CString UnselectedAddressesMessage(const std::vector<CString>& names);

// Appends the selected rows of list to the end of target, in list's order,
// with their three texts and unselected.
void AppendSelectedRows(const CListCtrl& list, CListCtrl& target);

// Which of the selection dialog's buttons apply, given how many rows are
// chosen: "Lisa" only with at least one. "Loobun" always does.
struct CLoadButtonStates {
    bool bAdd = false;

    bool operator==(const CLoadButtonStates&) const = default;
};
CLoadButtonStates GetLoadButtonStates(unsigned nSelected);
