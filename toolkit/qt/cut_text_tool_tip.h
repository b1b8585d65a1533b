#pragma once

#include <QObject>

class QAbstractItemView;
class QComboBox;
class QHelpEvent;

// A text that its control cuts short shows whole as the control's tool tip:
// the closed box of a drop-down list, the rows of its open list and the cells
// of a list view. A text that fits gets no tip of its own.
class CCutTextToolTip : public QObject
{
public:
    // Watches the control (and a drop-down list's own list) until it goes.
    static void Install(QComboBox* pCombo);
    static void Install(QAbstractItemView* pView);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    using QObject::QObject;
    static bool ShowForCombo(QComboBox* pCombo, const QHelpEvent* pHelp);
    static bool ShowForView(QAbstractItemView* pView, const QHelpEvent* pHelp);
};
