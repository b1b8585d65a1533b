#pragma once

#include "browser_toolbar.h"
#include "find_bar.h"
#include "property_page.h"
#include "web_browser.h"

// The "Abiinfo" tab: the maker's pages in a browser of its own.
class CHelpDialog : public CPropertyPage
{
public:
    CHelpDialog();

    bool OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID, HWND hSource) override;

private:
    CWebBrowser m_browser;
    CBrowserToolBar m_toolBar;
    CFindBar m_findBar;
};
