#include "help_dialog.h"

#include "browser_keys.h"
#include "data_exchange.h"
#include "navigable_address.h"
#include "site_address.h"
#include "win_defs.h"

namespace
{

enum : int {
    IDD_HELP = 130,
    IDC_BROWSER = 1006,
    IDC_TOOLBAR_PLACE = 1012,
};

} // namespace

CHelpDialog::CHelpDialog() : CPropertyPage(IDD_HELP) {}

void CHelpDialog::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
}

bool CHelpDialog::OnInitDialog()
{
    const bool bResult = CPropertyPage::OnInitDialog();
    // The lookup page, created first, has already closed the window if there
    // is no browser; this page relies on that.
    m_toolBar.Create(GetDlgItem(IDC_TOOLBAR_PLACE), this);
    m_toolBar.FollowBrowser(m_browser);
    m_findBar.Create(m_browser);
    CBrowserKeys::Create(*this, m_browser, m_findBar, u"helpPage/zoom");
    const std::u16string strSite = HelpPageAddress();
    if (IsNavigableAddress(strSite, true))
        m_browser.Navigate(strSite);
    else
        MessageBox(RefusedAddressMessage(strSite), u"Viga", MB_ICONERROR);
    return bResult;
}

bool CHelpDialog::OnCommand(int nID, HWND hSource)
{
    if (hSource && hSource == m_toolBar.GetSafeHwnd()) {
        ExecuteBrowserCommand(m_browser, nID);
        return true;
    }
    return CPropertyPage::OnCommand(nID, hSource);
}
