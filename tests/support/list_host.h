#pragma once

#include "list_ctrl.h"
#include "wnd.h"

#include <QString>
#include <QWidget>

class QTreeWidget;

// The entry list 1007 of a template (131 or 136) in a plain window, with its
// three columns, for tests of the list and of the rules that work on lists.
struct ListHost {
    explicit ListHost(int nTemplate = 131);
    ~ListHost();
    ListHost(const ListHost&) = delete;
    ListHost& operator=(const ListHost&) = delete;

    // A row at the end; the program address defaults to one made from the name.
    void Add(const QString& strName, const QString& strEncoding = QStringLiteral("utf8"),
             const QString& strProgram = QString());
    QTreeWidget* Tree() const;

    QWidget host;
    CWnd hostWnd;
    CListCtrl list;
};
