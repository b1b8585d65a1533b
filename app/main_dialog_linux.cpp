#include "main_dialog.h"

#include "estonian_translator.h"
#include "qt_text.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QCoreApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

// Qt's own texts (the browser's page menu, the find bar's buttons, a line
// edit's menu) in Estonian while the window is open.
struct CMainDialog::SPlatform {
    SPlatform() { QCoreApplication::installTranslator(&translator); }
    ~SPlatform() { QCoreApplication::removeTranslator(&translator); }
    SPlatform(const SPlatform&) = delete;
    SPlatform& operator=(const SPlatform&) = delete;

    CEstonianTranslator translator;
};

namespace
{

QWidget* WindowOf(const CMainDialog& dialog)
{
    return FromHandle(dialog.GetSafeHwnd());
}

} // namespace

CMainDialog::SPlatform* CMainDialog::MakePlatform()
{
    return new SPlatform;
}

void CMainDialog::DeletePlatform(SPlatform* pPlatform)
{
    delete pPlatform;
}

void CMainDialog::MakeOkNotDefault()
{
    if (auto* pOK = qobject_cast<QPushButton*>(DlgItemWidget(*this, IDOK))) {
        pOK->setDefault(false);
        pOK->setAutoDefault(false);
    }
}

CSize CMainDialog::LeastSize() const
{
    QWidget* pWindow = WindowOf(*this);
    // The layout takes the hidden button row out only when it next runs.
    pWindow->layout()->activate();
    return {pWindow->minimumWidth(), pWindow->minimumHeight()};
}

CSize CMainDialog::ScreenRoom() const
{
    const QScreen* pScreen = WindowOf(*this)->screen();
    if (!pScreen)
        return {};
    const QSize room = pScreen->availableGeometry().size();
    return {room.width(), room.height()};
}

CSize CMainDialog::NormalSize() const
{
    const QWidget* pWindow = WindowOf(*this);
    const QSize size = pWindow->isMaximized() ? pWindow->normalGeometry().size() : pWindow->size();
    return size.isValid() ? CSize{size.width(), size.height()} : CSize{};
}

bool CMainDialog::IsMaximized() const
{
    return WindowOf(*this)->isMaximized();
}

void CMainDialog::Resize(const CSize& size)
{
    WindowOf(*this)->resize(size.cx, size.cy);
}

void CMainDialog::Maximize()
{
    QWidget* pWindow = WindowOf(*this);
    pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
}
