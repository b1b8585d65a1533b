#include "browser_toolbar.h"

#include "ole_dispatch_exception.h"
#include "ole_exception.h"
#include "web_browser.h"
#include "win_defs.h"

namespace
{

const int kBitmapId = 138;
const int kToolBarId = 1;

struct Command {
    const char16_t* pszToolTip;
    const char16_t* pszFailure;
};

// Indexed by command id - 1.
const Command kCommands[] = {
    {u"Eelmine lehekülg", u"Eelmisele leheküljele minek ebaõnnestus!"},
    {u"Järgmine lehekülg", u"Järgmisele leheküljele minek ebaõnnestus!"},
    {u"Stopp", u"Laadimise peatamine ebaõnnestus!"},
    {u"Ülelaadimine", u"Ülelaadimine ebaõnnestus!"},
};
const int kCommandCount = 4;

} // namespace

int CBrowserToolBar::Create(CWnd* pPlaceholder, CWnd* pReceiver)
{
    if (!CToolBarCtrl::Create(WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_BOTTOM,
                              CRect(), pPlaceholder, kToolBarId))
        return 0;
    AddBitmap(kCommandCount, kBitmapId);
    for (int i = 0; i < kCommandCount; ++i) {
        // By name: the system's button has reserved bytes between the style and the data.
        TBBUTTON button{};
        button.iBitmap = i;
        button.idCommand = i + 1;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        AddButtons(1, &button);
    }
    AutoSize();
    SetOwner(pReceiver);
    EnableButton(1, false);
    EnableButton(2, false);
    EnableButton(3, false);
    return 0;
}

void CBrowserToolBar::SetCommandState(int nCode, int bEnable)
{
    int nButton = 0;
    switch (nCode) {
    case 1:
        nButton = 2;
        break;
    case 2:
        nButton = 1;
        break;
    case 3:
        nButton = 3;
        break;
    default:
        return;
    }
    EnableButton(nButton, (bEnable & 0xFFFF) != 0);
}

CString CBrowserToolBar::GetToolTipText(int nID) const
{
    if (nID < 1 || nID > kCommandCount)
        return CString();
    return CString(kCommands[nID - 1].pszToolTip).substr(0, 79);
}

CString CBrowserToolBar::OnNeedToolTipText(int nID)
{
    return GetToolTipText(nID);
}

int ExecuteBrowserCommand(CWebBrowser& browser, int nCommand)
{
    if (nCommand < 1 || nCommand > kCommandCount)
        return -1;
    try {
        switch (nCommand) {
        case 1:
            browser.GoBack();
            break;
        case 2:
            browser.GoForward();
            break;
        case 3:
            browser.Stop();
            break;
        case 4:
            browser.Refresh();
            break;
        }
        return 0;
    } catch (const COleDispatchException&) {
    } catch (const COleException&) {
    }
    browser.MessageBox(kCommands[nCommand - 1].pszFailure, u"Viga", MB_ICONERROR);
    return -1;
}

void CBrowserToolBar::FollowBrowser(CWebBrowser& browser)
{
    browser.SetDownloadBeginHandler([this] { SetCommandState(3, TRUE); });
    browser.SetDownloadCompleteHandler([this] { SetCommandState(3, FALSE); });
    browser.SetCommandStateChangeHandler(
        [this](int nCommand, bool bEnable) { SetCommandState(nCommand, bEnable); });
}
