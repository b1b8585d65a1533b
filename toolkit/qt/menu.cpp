#include "menu.h"

#include "menu_platform.h"
#include "qt_text.h"
#include "win_defs.h"
#include "wnd.h"
#include "wnd_platform.h"

#include <QAction>

CMenu::CMenu() : m_pPlatform(std::make_unique<CMenuPlatform>()) {}

CMenu::~CMenu()
{
    delete m_pPlatform->pMenu.data();
}

bool CMenu::CreatePopupMenu()
{
    if (m_pPlatform->pMenu)
        return false;
    m_pPlatform->pMenu = new QMenu;
    m_pPlatform->pMenu->setObjectName(QStringLiteral("popupMenu"));
    return true;
}

bool CMenu::AppendMenu(unsigned nFlags, unsigned nIDNewItem, const CString& strNewItem)
{
    QMenu* pMenu = m_pPlatform->pMenu.data();
    if (!pMenu)
        return false;
    if (nFlags & MF_SEPARATOR) {
        pMenu->addSeparator();
        return true;
    }
    QAction* pAction = pMenu->addAction(ToQString(strNewItem));
    pAction->setData(nIDNewItem);
    pAction->setEnabled(!(nFlags & MF_GRAYED));
    return true;
}

unsigned CMenu::GetMenuItemCount() const
{
    const QMenu* pMenu = m_pPlatform->pMenu.data();
    return pMenu ? static_cast<unsigned>(pMenu->actions().size()) : 0;
}

int CMenu::TrackPopupMenu(unsigned nFlags, int x, int y, CWnd* pWnd)
{
    QMenu* pMenu = m_pPlatform->pMenu.data();
    if (!pMenu)
        return 0;
    m_pPlatform->pMenu = nullptr;
    // Items of the menu's own (those a control puts there) carry no id.
    const auto idOf = [](const QAction* pAction) {
        return pAction && pAction->data().isValid() ? pAction->data().toInt() : 0;
    };
    if (nFlags & TPM_RETURNCMD) {
        const int nID = idOf(pMenu->exec(QPoint(x, y)));
        delete pMenu;
        return nID;
    }
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    if (pWnd && pWnd->IsWindow()) {
        for (QAction* pAction : pMenu->actions()) {
            const int nID = idOf(pAction);
            if (nID != 0)
                QObject::connect(pAction, &QAction::triggered, pWnd->GetPlatform().pReceiver.get(),
                                 [pWnd, nID] { pWnd->SendCommand(nID, nullptr); });
        }
    }
    pMenu->popup(QPoint(x, y));
    return 0;
}
