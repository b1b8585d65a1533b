#include "find_bar.h"

#include "web_browser.h"
#include "web_browser_windows.h"

#include <docobj.h>

// The browser control has a find dialog of its own, which marks and counts
// the matches and closes with Esc; the bar opens it and holds no text.
struct CFindBarPlatform {
    CWebBrowser* pBrowser = nullptr;
};

CFindBar::CFindBar() = default;
CFindBar::~CFindBar() = default;

bool CFindBar::CreateBar(CWebBrowser& browser)
{
    if (!BrowserControl(browser))
        return false;
    m_pPlatform = std::make_unique<CFindBarPlatform>();
    m_pPlatform->pBrowser = &browser;
    return true;
}

void CFindBar::ShowBar(bool bShow)
{
    if (!bShow || !m_pPlatform)
        return;
    if (IWebBrowser2* pControl = BrowserControl(*m_pPlatform->pBrowser))
        pControl->ExecWB(OLECMDID_FIND, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr);
}

bool CFindBar::IsBarShown() const
{
    return false;
}

std::u16string CFindBar::GetText() const
{
    return std::u16string();
}

void CFindBar::SetCountText(const std::u16string&) {}

void CFindBar::FocusText() {}
