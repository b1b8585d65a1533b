#pragma once

#include <QMenu>
#include <QPointer>

// The Qt side of a CMenu: the menu, owned until it is tracked.
struct CMenuPlatform {
    QPointer<QMenu> pMenu;
};
