#pragma once

#include "list_ctrl.h"
#include "property_page.h"

class CDictCatalogue;

// The tab on which one catalogue is edited ("Sõnastikud" or "Eelsõnastikud").
// The list is the working copy: every command changes only the list, and the
// catalogue is rebuilt from its rows whenever the tab is left and when the
// window is closed.
class CDictDialog : public CPropertyPage
{
public:
    CDictDialog();

    // Binds the page to its catalogue, whose title becomes the tab caption.
    // Call before the page is added to the sheet.
    void SetCatalogue(CDictCatalogue* pCatalogue);

    bool OnInitDialog() override;
    bool OnKillActive() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnAdd();
    void OnModify();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();
    void OnDownload();
    void OnItemChangedList();
    // Sets the state of every row button from the rows and the selection;
    // run after each change of either.
    void UpdateButtons();
    void SwapItems(int a, int b);
    int GetSelectedRow() const;

    CListCtrl m_list;
    CDictCatalogue* m_pCatalogue = nullptr;
};

// Which of the page's row commands apply, given how many rows are selected,
// the first selected row and the row count. "Lisa..." and "Laadi..." always do.
struct CDictButtonStates {
    bool bModify = false;
    bool bDelete = false;
    bool bMoveUp = false;
    bool bMoveDown = false;

    bool operator==(const CDictButtonStates&) const = default;
};
CDictButtonStates GetDictButtonStates(unsigned nSelected, int nSelectedRow, int nCount);
