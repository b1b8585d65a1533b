#pragma once

#include "wnd.h"

#include <vector>

class CPropertyPage;

// A modal window of tabs, one per page, over a row of OK, Cancel and Apply
// buttons (ids IDOK, IDCANCEL, ID_APPLY_NOW). Hiding every button of the row
// removes the row: the window then ends where the row began.
//
// Enter runs the command with the sheet's default id (DM_SETDEFID) on the
// active page's control of that id, or on the sheet's own button. Esc, the
// close box (while Cancel is enabled) and IDCANCEL cancel the sheet: every
// created page gets OnReset, then the sheet ends with IDCANCEL.
class CPropertySheet : public CWnd
{
public:
    explicit CPropertySheet(CString strCaption, CWnd* pParentWnd = nullptr, int iSelectPage = 0);
    ~CPropertySheet() override;

    // Pages are not owned; add them before DoModal.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;

    // Returns IDOK or IDCANCEL (or the code given to EndDialog), -1 when the
    // sheet cannot be created (no pages).
    virtual int DoModal();
    // Base: shows the first page (creating and activating it). Derived sheets
    // call it first and then reshape the window.
    virtual bool OnInitDialog();
    // Ends the modal run without cancelling the pages.
    void EndDialog(int nEndID);

    bool SetActivePage(int nPage);
    bool SetActivePage(CPropertyPage* pPage);
    int GetActiveIndex() const { return m_nActive; }
    CPropertyPage* GetActivePage() const;

    // Sends DM_SETDEFID to the sheet: OnSetDefId decides.
    void SetDefID(int nID);
    int GetDefID() const { return m_nDefID; }

    // The tab control, null while the sheet has no window.
    HWND GetTabControl() const;

    // A resizable sheet can be made larger than its pages' templates (never
    // smaller) and maximized; its pages grow with it. Set before DoModal.
    void SetResizable(bool bResizable) { m_bResizable = bResizable; }

protected:
    // DM_SETDEFID. Base: records nID as the default id and returns true.
    virtual bool OnSetDefId(int nID);
    // The sheet is ending through OK or Cancel: every created page has had
    // its OnOK or OnReset, and the window is still on show. Base: nothing.
    virtual void OnClosing() {}
    // The window is about to go, its pages still there. Base: nothing.
    virtual void OnDestroy() {}
    bool OnCommand(int nID, HWND hSource) override;

private:
    bool CreateSheetWindow();
    void OnTabChanged(int nIndex);
    bool ActivatePage(int nPage);
    void ShowDefaultButton();
    void OnEnterKey();
    void PressOK();
    void PressCancel();

    CString m_strCaption;
    CWnd* m_pParentWnd;
    int m_nStartPage;
    std::vector<CPropertyPage*> m_pages;
    std::vector<HWND> m_slots;
    HWND m_hTabs = nullptr;
    int m_nActive = -1;
    int m_nDefID = 1;
    bool m_bSwitching = false;
    bool m_bResizable = false;
};
