#pragma once

#include "browser_toolbar.h"
#include "dialog.h"
#include "web_browser.h"

#include <QUrl>

#include <utility>
#include <vector>

class QToolButton;

// A window built like the help page: template 130 with the toolbar in static
// 1012 above the browser 1006, the browser's events switching the toolbar
// and the toolbar's clicks going to ExecuteBrowserCommand.
class BrowserTestPage : public CDialog
{
public:
    BrowserTestPage() : CDialog(130) {}

    bool OnInitDialog() override;

    // Navigates and waits for the page to be loaded; false on time-out.
    bool Load(const QUrl& url, const int* pFlags = nullptr);
    // Waits until the browser has finished a load that started after now.
    bool WaitForLoads(int nCompletes, int timeoutMs = 15000);
    QUrl CurrentUrl() const;

    // The states of toolbar buttons 1 to 4.
    std::vector<bool> ButtonStates() const;
    QToolButton* Button(int nID) const;

    CWebBrowser m_browser;
    CBrowserToolBar m_toolBar;
    int m_nBegins = 0;
    int m_nCompletes = 0;
    std::vector<std::pair<int, bool>> m_stateChanges;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID, HWND hSource) override;
};
