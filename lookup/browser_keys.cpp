#include "browser_keys.h"

#include "browser_toolbar.h"
#include "find_bar.h"
#include "user_settings.h"
#include "web_browser.h"
#include "zoom_steps.h"

namespace
{

enum : int { kBack = 1, kForward = 2, kReload = 4 };

} // namespace

void CBrowserKeys::Create(CWnd& page, CWebBrowser& browser, CFindBar& findBar,
                          const std::u16string& strZoomKey, std::function<void()> onWordBox)
{
    if (!page.IsWindow() || !browser.IsWindow())
        return;
    CWebBrowser* pBrowser = &browser;
    AddKeys(page, ECommand::Back, [pBrowser] {
        if (pBrowser->CanGoBack())
            ExecuteBrowserCommand(*pBrowser, kBack);
    });
    AddKeys(page, ECommand::Forward, [pBrowser] {
        if (pBrowser->CanGoForward())
            ExecuteBrowserCommand(*pBrowser, kForward);
    });
    AddKeys(page, ECommand::Reload, [pBrowser] { ExecuteBrowserCommand(*pBrowser, kReload); });
    CFindBar* pFindBar = &findBar;
    AddKeys(page, ECommand::Find, [pFindBar] { pFindBar->Open(); });
    // The user's zoom from the last run; the settings file is the user's to
    // edit, so only a factor the browser can show is taken.
    const auto fSaved = CUserSettings().DoubleValue(strZoomKey);
    if (fSaved && CZoomSteps::IsWithin(*fSaved))
        browser.SetZoom(*fSaved);
    const auto zoom = [pBrowser, strZoomKey](double fFactor) {
        pBrowser->SetZoom(fFactor);
        CUserSettings settings;
        if (settings.DoubleValue(strZoomKey) != fFactor)
            settings.SetDoubleValue(strZoomKey, fFactor);
    };
    AddKeys(page, ECommand::ZoomIn,
            [pBrowser, zoom] { zoom(CZoomSteps::In(pBrowser->GetZoom())); });
    AddKeys(page, ECommand::ZoomOut,
            [pBrowser, zoom] { zoom(CZoomSteps::Out(pBrowser->GetZoom())); });
    AddKeys(page, ECommand::ZoomReset, [zoom] { zoom(CZoomSteps::kNormal); });
    if (onWordBox)
        AddKeys(page, ECommand::WordBox, std::move(onWordBox));
}
