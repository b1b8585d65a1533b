#include "browser_keys.h"

#include "browser_toolbar.h"
#include "find_bar.h"
#include "user_settings.h"
#include "web_browser.h"
#include "zoom_steps.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace
{

enum : int { kBack = 1, kForward = 2, kReload = 4 };

void AddShortcut(QWidget* pPage, const QList<QKeySequence>& keys, std::function<void()> action)
{
    auto* pShortcut = new QShortcut(pPage);
    pShortcut->setKeys(keys);
    // Only while the focus is on this page: each browser page has its own.
    pShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(pShortcut, &QShortcut::activated, pPage, std::move(action));
}

} // namespace

void CBrowserKeys::Create(QWidget* pPage, CWebBrowser& browser, CFindBar& findBar,
                          const QString& strZoomKey, std::function<void()> onWordBox)
{
    QWebEngineView* pView = browser.GetView();
    if (!pPage || !pView)
        return;
    CWebBrowser* pBrowser = &browser;
    AddShortcut(pPage, {QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)},
                [pBrowser, pView] {
                    if (pView->history()->canGoBack())
                        ExecuteBrowserCommand(*pBrowser, kBack);
                });
    AddShortcut(pPage, {QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)},
                [pBrowser, pView] {
                    if (pView->history()->canGoForward())
                        ExecuteBrowserCommand(*pBrowser, kForward);
                });
    AddShortcut(pPage, {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)},
                [pBrowser] { ExecuteBrowserCommand(*pBrowser, kReload); });
    CFindBar* pFindBar = &findBar;
    AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_F)}, [pFindBar] { pFindBar->Open(); });
    // The user's zoom from the last run; the settings file is the user's to
    // edit, so only a factor the browser can show is taken.
    const std::u16string strKey = strZoomKey.toStdU16String();
    const auto fSaved = CUserSettings().DoubleValue(strKey);
    if (fSaved && CZoomSteps::IsWithin(*fSaved))
        pView->setZoomFactor(*fSaved);
    const auto zoom = [pView, strKey](double fFactor) {
        pView->setZoomFactor(fFactor);
        CUserSettings settings;
        if (settings.DoubleValue(strKey) != fFactor)
            settings.SetDoubleValue(strKey, fFactor);
    };
    AddShortcut(pPage,
                {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal)},
                [pView, zoom] { zoom(CZoomSteps::In(pView->zoomFactor())); });
    AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                [pView, zoom] { zoom(CZoomSteps::Out(pView->zoomFactor())); });
    AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_0)}, [zoom] { zoom(CZoomSteps::kNormal); });
    if (onWordBox)
        AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6)},
                    onWordBox);
}
