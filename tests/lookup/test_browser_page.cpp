#include "test_browser_page.h"

#include "data_exchange.h"
#include "gui_test.h"
#include "web_browser_linux.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QToolButton>
#include <QWebEngineView>

bool BrowserTestPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_toolBar.Create(GetDlgItem(1012), this);
    m_browser.SetDownloadBeginHandler([this] {
        ++m_nBegins;
        m_toolBar.SetCommandState(3, TRUE);
    });
    m_browser.SetDownloadCompleteHandler([this] {
        ++m_nCompletes;
        m_toolBar.SetCommandState(3, FALSE);
    });
    m_browser.SetCommandStateChangeHandler([this](int nCommand, bool bEnable) {
        m_stateChanges.emplace_back(nCommand, bEnable);
        m_toolBar.SetCommandState(nCommand, bEnable);
    });
    return true;
}

void BrowserTestPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, 1006, m_browser);
}

bool BrowserTestPage::OnCommand(int nID, HWND hSource)
{
    if (hSource && hSource == m_toolBar.GetSafeHwnd()) {
        ExecuteBrowserCommand(m_browser, nID);
        return true;
    }
    return CDialog::OnCommand(nID, hSource);
}

bool BrowserTestPage::Load(const QUrl& url, const int* pFlags)
{
    const int nBefore = m_nCompletes;
    m_browser.Navigate(url.toString().toStdU16String(), pFlags);
    return WaitFor([&] { return m_nCompletes > nBefore && CurrentUrl() == url; }, 15000);
}

bool BrowserTestPage::WaitForLoads(int nCompletes, int timeoutMs)
{
    return WaitFor([&] { return m_nCompletes >= nCompletes; }, timeoutMs);
}

QUrl BrowserTestPage::CurrentUrl() const
{
    QWebEngineView* pView = BrowserView(m_browser);
    return pView ? pView->url() : QUrl();
}

std::vector<bool> BrowserTestPage::ButtonStates() const
{
    std::vector<bool> states;
    for (int nID = 1; nID <= 4; ++nID)
        states.push_back(m_toolBar.IsButtonEnabled(nID));
    return states;
}

QToolButton* BrowserTestPage::Button(int nID) const
{
    return static_cast<QToolButton*>(FromHandle(m_toolBar.GetButton(nID)));
}
