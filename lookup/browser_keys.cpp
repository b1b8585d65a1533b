#include "browser_keys.h"

#include "browser_toolbar.h"
#include "find_bar.h"
#include "user_settings.h"
#include "web_browser.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace
{

constexpr double kZoomSteps[] = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                 1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
// A factor set by Ctrl+wheel lies between the steps; near enough is on one.
constexpr double kNear = 0.005;

enum : int { kBack = 1, kForward = 2, kReload = 4 };

void AddShortcut(QWidget* pPage, const QList<QKeySequence>& keys, std::function<void()> action)
{
    auto* pShortcut = new QShortcut(pPage);
    pShortcut->setKeys(keys);
    // Only while the focus is on this page: each browser page has its own.
    pShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(pShortcut, &QShortcut::activated, pPage, std::move(action));
}

// The steps of the zoom, as browsers offer them.
double ZoomIn(double fFactor)
{
    for (const double fStep : kZoomSteps)
        if (fStep > fFactor + kNear)
            return fStep;
    return fFactor;
}

double ZoomOut(double fFactor)
{
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < fFactor - kNear)
            return *it;
    return fFactor;
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
    bool bNumber = false;
    const double fSaved = CUserSettings().Value(strZoomKey).toDouble(&bNumber);
    if (bNumber && fSaved >= kZoomSteps[0] && fSaved <= kZoomSteps[std::size(kZoomSteps) - 1])
        pView->setZoomFactor(fSaved);
    const auto zoom = [pView, strZoomKey](double fFactor) {
        pView->setZoomFactor(fFactor);
        CUserSettings settings;
        if (settings.Value(strZoomKey).toDouble() != fFactor)
            settings.SetValue(strZoomKey, fFactor);
    };
    AddShortcut(pPage,
                {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal)},
                [pView, zoom] { zoom(ZoomIn(pView->zoomFactor())); });
    AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                [pView, zoom] { zoom(ZoomOut(pView->zoomFactor())); });
    AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_0)}, [zoom] { zoom(1.0); });
    if (onWordBox)
        AddShortcut(pPage, {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6)},
                    onWordBox);
}
