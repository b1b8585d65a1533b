#pragma once

#include "dialog_template.h"

#include <QLayout>
#include <QRect>

#include <vector>

// Lays out the controls of a page built from a template: each stays where the
// template puts it, at the template's size, which is also the page's minimum.
// A page made larger hands the extra room to the controls whose template
// styles ask for it: "stretchx" and "stretchy" move a control's right or
// bottom edge with the page's, "movex" and "movey" move the whole control.
class CTemplateLayout : public QLayout
{
public:
    // templateSize is the template's size in pixels.
    CTemplateLayout(QWidget* pHost, const QSize& templateSize);
    ~CTemplateLayout() override;

    // pControl at its present geometry, following the page as its template
    // styles say.
    void AddControl(QWidget* pControl, const CDialogTemplate::Item& item);

    void addItem(QLayoutItem* pItem) override;
    int count() const override;
    QLayoutItem* itemAt(int nIndex) const override;
    QLayoutItem* takeAt(int nIndex) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* pItem;
        QRect rect; // at the template's size
        bool bStretchX, bStretchY, bMoveX, bMoveY;
    };
    std::vector<Entry> m_entries;
    QSize m_templateSize;
};
