#include "cut_text_tool_tip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>

void CCutTextToolTip::Install(QComboBox* pCombo)
{
    auto* pFilter = new CCutTextToolTip(pCombo);
    pCombo->installEventFilter(pFilter);
    pCombo->view()->viewport()->installEventFilter(pFilter);
}

void CCutTextToolTip::Install(QAbstractItemView* pView)
{
    pView->viewport()->installEventFilter(new CCutTextToolTip(pView));
}

bool CCutTextToolTip::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ToolTip)
        return false;
    const auto* pHelp = static_cast<const QHelpEvent*>(pEvent);
    if (auto* pCombo = qobject_cast<QComboBox*>(pWatched))
        return ShowForCombo(pCombo, pHelp);
    if (auto* pView = qobject_cast<QAbstractItemView*>(pWatched->parent()))
        return ShowForView(pView, pHelp);
    return false;
}

bool CCutTextToolTip::ShowForCombo(QComboBox* pCombo, const QHelpEvent* pHelp)
{
    const QString strText = pCombo->currentText();
    if (strText.isEmpty() || !pCombo->toolTip().isEmpty())
        return false;
    QStyleOptionComboBox option;
    option.initFrom(pCombo);
    option.editable = pCombo->isEditable();
    option.frame = pCombo->hasFrame();
    option.currentText = strText;
    const QRect field = pCombo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, pCombo);
    // The style draws the text a pixel in from either side of the field.
    if (pCombo->fontMetrics().horizontalAdvance(strText) <= field.width() - 2)
        return false;
    QToolTip::showText(pHelp->globalPos(), strText, pCombo, field);
    return true;
}

bool CCutTextToolTip::ShowForView(QAbstractItemView* pView, const QHelpEvent* pHelp)
{
    const QModelIndex index = pView->indexAt(pHelp->pos());
    const QString strText = index.data(Qt::DisplayRole).toString();
    // A tip that the rows bring along is shown as they say.
    if (!index.isValid() || strText.isEmpty() || index.data(Qt::ToolTipRole).isValid())
        return false;
    const QRect cell = pView->visualRect(index);
    if (pView->sizeHintForIndex(index).width() <= cell.width()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(pHelp->globalPos(), strText, pView->viewport(), cell);
    return true;
}
