#include "template_layout.h"

#include <QWidget>

CTemplateLayout::CTemplateLayout(QWidget* pHost, const QSize& templateSize)
    : QLayout(pHost), m_templateSize(templateSize)
{
    setContentsMargins(0, 0, 0, 0);
    setSizeConstraint(QLayout::SetMinimumSize);
}

CTemplateLayout::~CTemplateLayout()
{
    for (const Entry& entry : m_entries)
        delete entry.pItem;
}

void CTemplateLayout::AddControl(QWidget* pControl, const CDialogTemplate::Item& item)
{
    addChildWidget(pControl);
    m_entries.push_back({new QWidgetItem(pControl), pControl->geometry(),
                         item.HasStyle(u"stretchx"), item.HasStyle(u"stretchy"),
                         item.HasStyle(u"movex"), item.HasStyle(u"movey")});
    invalidate();
}

void CTemplateLayout::addItem(QLayoutItem* pItem)
{
    // A widget added without styles keeps the place it has.
    const QRect rect = pItem->widget() ? pItem->widget()->geometry() : pItem->geometry();
    m_entries.push_back({pItem, rect, false, false, false, false});
    invalidate();
}

int CTemplateLayout::count() const
{
    return static_cast<int>(m_entries.size());
}

QLayoutItem* CTemplateLayout::itemAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < count() ? m_entries[static_cast<std::size_t>(nIndex)].pItem
                                           : nullptr;
}

QLayoutItem* CTemplateLayout::takeAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= count())
        return nullptr;
    QLayoutItem* pItem = m_entries[static_cast<std::size_t>(nIndex)].pItem;
    m_entries.erase(m_entries.begin() + nIndex);
    invalidate();
    return pItem;
}

QSize CTemplateLayout::sizeHint() const
{
    return m_templateSize;
}

QSize CTemplateLayout::minimumSize() const
{
    return m_templateSize;
}

void CTemplateLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const int dx = qMax(0, rect.width() - m_templateSize.width());
    const int dy = qMax(0, rect.height() - m_templateSize.height());
    for (const Entry& entry : m_entries) {
        QRect place = entry.rect;
        if (entry.bMoveX)
            place.translate(dx, 0);
        else if (entry.bStretchX)
            place.setWidth(place.width() + dx);
        if (entry.bMoveY)
            place.translate(0, dy);
        else if (entry.bStretchY)
            place.setHeight(place.height() + dy);
        // QWidgetItem::setGeometry would fit the control to its own size
        // policy; the template's rectangle is what counts.
        if (QWidget* pWidget = entry.pItem->widget())
            pWidget->setGeometry(place.translated(rect.topLeft()));
        else
            entry.pItem->setGeometry(place.translated(rect.topLeft()));
    }
}
