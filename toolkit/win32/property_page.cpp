#include "property_page.h"

#include "dialog_template.h"
#include "exception_report.h"
#include "page_layout.h"
#include "wnd_platform.h"

// The sheet has made the page's window from its template: the wrapper takes
// it (the sheet destroys it), fills the combo boxes' lists and initialises.
bool CPropertyPage::CreatePage(HWND hPage)
{
    const CDialogTemplate* pTemplate = GetTemplate();
    if (!pTemplate || !hPage)
        return false;
    Attach(hPage, false);
    for (const CDialogTemplate::Item& item : pTemplate->m_items)
        for (const CString& strItem : item.initItems)
            SendDlgItemMessageW(hPage, item.nID, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(strItem.c_str()));
    GetPlatform().pLayout = std::make_shared<CPageLayout>(hPage, *pTemplate);
    m_bFirstSetActive = true;
    AfxCallHandler(hPage, [this] { OnInitDialog(); });
    return true;
}
