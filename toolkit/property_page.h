#pragma once

#include "dialog.h"

class CPropertySheet;

// One tab of a property sheet, built from a child dialog template. The sheet
// creates its window the first time the tab is shown (OnInitDialog runs then,
// once), calls OnSetActive and OnKillActive as the tab is entered and left,
// and OnCancel when the sheet is cancelled or closed after the page was created.
class CPropertyPage : public CDialog
{
public:
    explicit CPropertyPage(int nIDTemplate);

    // The tab caption; without one the template's caption is used.
    void SetTitle(const CString& strTitle) { m_strTitle = strTitle; }
    CString GetTitle() const;

    // The sheet the page was added to, or null.
    CPropertySheet* GetParentSheet() const { return m_pSheet; }

    // Base: from the second activation on, the data exchange into the
    // controls. False keeps the sheet from showing the page.
    virtual bool OnSetActive();
    // Base: the data exchange back into the members. False keeps the page shown.
    virtual bool OnKillActive();
    // Base: nothing; a page does not end the sheet.
    void OnOK() override;
    void OnCancel() override;
    // The sheet's reset of a created page when it is cancelled: calls OnCancel.
    virtual void OnReset();

    // A page runs inside its sheet only.
    int DoModal() override { return -1; }

private:
    friend class CPropertySheet;
    // Builds the page's window inside hSlot and initialises it.
    bool CreatePage(HWND hSlot);

    CPropertySheet* m_pSheet = nullptr;
    CString m_strTitle;
    bool m_bFirstSetActive = true;
};
