#include "list_ctrl.h"

#include "exception_report.h"
#include "qt_text.h"
#include "wnd_platform.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeWidget>

#include <algorithm>
#include <set>
#include <vector>

namespace
{

// Calls a function for every double click on the list's rows area.
class DblClkFilter : public QObject
{
public:
    DblClkFilter(QObject* pParent, std::function<void()> onDblClk)
        : QObject(pParent), m_onDblClk(std::move(onDblClk))
    {
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::MouseButtonDblClick && m_onDblClk)
            m_onDblClk();
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    std::function<void()> m_onDblClk;
};

QTreeWidget* List(const CListCtrl& list)
{
    return qobject_cast<QTreeWidget*>(FromHandle(list.GetSafeHwnd()));
}

Qt::Alignment AlignmentOf(int nFormat)
{
    switch (nFormat & 3) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

CListCtrl::~CListCtrl() = default;

void CListCtrl::PreSubclassWindow()
{
    QTreeWidget* pList = List(*this);
    if (!pList)
        return;
    QItemSelectionModel* pSelection = pList->selectionModel();
    QObject::connect(pSelection, &QItemSelectionModel::selectionChanged,
                     GetPlatform().pReceiver.get(),
                     [this](const QItemSelection& selected, const QItemSelection& deselected) {
                         if (m_nQuiet > 0 || !m_onItemChanged)
                             return;
                         std::set<int> rows;
                         for (const QItemSelection* pPart : {&selected, &deselected})
                             for (const QModelIndex& index : pPart->indexes())
                                 rows.insert(index.row());
                         for (int nRow : rows)
                             NotifyItemChanged(nRow);
                     });
    QObject::connect(pSelection, &QItemSelectionModel::currentChanged,
                     GetPlatform().pReceiver.get(),
                     [this](const QModelIndex& current, const QModelIndex& previous) {
                         if (previous.isValid())
                             NotifyItemChanged(previous.row());
                         if (current.isValid() && current.row() != previous.row())
                             NotifyItemChanged(current.row());
                     });
    // The filter belongs to the receiver, so it goes when the list is detached.
    auto* pFilter = new DblClkFilter(GetPlatform().pReceiver.get(), [this] {
        if (m_onDblClk)
            AfxCallHandler(GetSafeHwnd(), m_onDblClk);
    });
    pList->viewport()->installEventFilter(pFilter);
}

void CListCtrl::NotifyItemChanged(int nItem)
{
    if (m_nQuiet > 0 || !m_onItemChanged)
        return;
    AfxCallHandler(GetSafeHwnd(), [this, nItem] { m_onItemChanged(nItem); });
}

int CListCtrl::InsertColumn(int nCol, const CString& strHeading, int nFormat, int nWidth,
                            int /*nSubItem*/)
{
    QTreeWidget* pList = List(*this);
    if (!pList || nCol < 0)
        return -1;
    const int nCount = pList->columnCount();
    nCol = qMin(nCol, nCount);
    pList->setColumnCount(nCount + 1);
    QTreeWidgetItem* pHeader = pList->headerItem();
    // Move the later columns one place right, heading and texts.
    for (int c = nCount; c > nCol; --c) {
        pHeader->setText(c, pHeader->text(c - 1));
        pHeader->setTextAlignment(c, Qt::Alignment::fromInt(pHeader->textAlignment(c - 1)));
        for (int r = 0; r < pList->topLevelItemCount(); ++r) {
            QTreeWidgetItem* pItem = pList->topLevelItem(r);
            pItem->setText(c, pItem->text(c - 1));
        }
    }
    pHeader->setText(nCol, ToQString(strHeading));
    pHeader->setTextAlignment(nCol, AlignmentOf(nFormat));
    if (nCol < nCount)
        for (int r = 0; r < pList->topLevelItemCount(); ++r)
            pList->topLevelItem(r)->setText(nCol, QString());
    if (nWidth >= 0)
        pList->header()->resizeSection(nCol, nWidth);
    return nCol;
}

int CListCtrl::GetColumnCount() const
{
    QTreeWidget* pList = List(*this);
    return pList ? pList->columnCount() : 0;
}

bool CListCtrl::SetColumnWidth(int nCol, int cx)
{
    QTreeWidget* pList = List(*this);
    if (!pList || nCol < 0 || nCol >= pList->columnCount())
        return false;
    const int nWidth = static_cast<short>(cx & 0xFFFF);
    int nPixels = nWidth;
    if (nWidth == LVSCW_AUTOSIZE || nWidth == LVSCW_AUTOSIZE_USEHEADER) {
        const QAbstractItemView* pView = pList;
        nPixels = qMax(0, pView->sizeHintForColumn(nCol));
        if (nWidth == LVSCW_AUTOSIZE_USEHEADER)
            nPixels = qMax(nPixels, pList->header()->sectionSizeHint(nCol));
    } else if (nWidth < 0) {
        nPixels = 0;
    }
    pList->header()->resizeSection(nCol, nPixels);
    return true;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    QTreeWidget* pList = List(*this);
    if (!pList || nCol < 0 || nCol >= pList->columnCount())
        return 0;
    return pList->header()->sectionSize(nCol);
}

int CListCtrl::InsertItem(int nItem, const CString& strText)
{
    QTreeWidget* pList = List(*this);
    if (!pList || nItem < 0)
        return -1;
    nItem = qMin(nItem, pList->topLevelItemCount());
    auto* pItem = new QTreeWidgetItem;
    pItem->setText(0, ToQString(strText));
    pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    pList->insertTopLevelItem(nItem, pItem);
    return nItem;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const CString& strText)
{
    QTreeWidget* pList = List(*this);
    QTreeWidgetItem* pItem = pList ? pList->topLevelItem(nItem) : nullptr;
    if (!pItem || nSubItem < 0)
        return false;
    pItem->setText(nSubItem, ToQString(strText));
    return true;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    QTreeWidget* pList = List(*this);
    QTreeWidgetItem* pItem = pList ? pList->topLevelItem(nItem) : nullptr;
    return pItem && nSubItem >= 0 ? FromQString(pItem->text(nSubItem)) : CString();
}

bool CListCtrl::DeleteItem(int nItem)
{
    QTreeWidget* pList = List(*this);
    if (!pList || nItem < 0 || nItem >= pList->topLevelItemCount())
        return false;
    ++m_nQuiet;
    // Qt moves the selection on to a neighbouring row; the list view of the
    // window system leaves the other rows as they were.
    const QList<QTreeWidgetItem*> selected = pList->selectedItems();
    delete pList->takeTopLevelItem(nItem);
    for (int i = 0; i < pList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* pItem = pList->topLevelItem(i);
        pItem->setSelected(selected.contains(pItem));
    }
    --m_nQuiet;
    return true;
}

bool CListCtrl::DeleteAllItems()
{
    QTreeWidget* pList = List(*this);
    if (!pList)
        return false;
    ++m_nQuiet;
    pList->clear();
    --m_nQuiet;
    return true;
}

int CListCtrl::GetItemCount() const
{
    QTreeWidget* pList = List(*this);
    return pList ? pList->topLevelItemCount() : 0;
}

std::vector<int> CListCtrl::RowsTouchedBy(int nItem, unsigned nMask) const
{
    QTreeWidget* pList = List(*this);
    std::vector<int> rows{nItem};
    const QItemSelectionModel* pSelection = pList->selectionModel();
    if ((nMask & LVIS_FOCUSED) && pSelection->currentIndex().isValid())
        rows.push_back(pSelection->currentIndex().row());
    // Selecting a row of a single-selection list clears the one selected before.
    if ((nMask & LVIS_SELECTED) && pList->selectionMode() == QAbstractItemView::SingleSelection)
        for (const QItemSelectionRange& range : pSelection->selection())
            for (int nRow = range.top(); nRow <= range.bottom(); ++nRow)
                rows.push_back(nRow);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CListCtrl::SetItemState(int nItem, unsigned nState, unsigned nMask)
{
    QTreeWidget* pList = List(*this);
    QTreeWidgetItem* pItem = pList ? pList->topLevelItem(nItem) : nullptr;
    if (!pItem)
        return false;
    // One notification per row whose state changed, as the list sends them,
    // however many selection-model signals the change takes. Only the rows
    // the change can reach are compared, so that setting the state of every
    // row in turn stays linear.
    const std::vector<int> rows = RowsTouchedBy(nItem, nMask);
    std::vector<unsigned> before;
    before.reserve(rows.size());
    for (const int nRow : rows)
        before.push_back(GetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED));
    ++m_nQuiet;
    QItemSelectionModel* pSelection = pList->selectionModel();
    const QModelIndex index = pList->indexFromItem(pItem);
    if (nMask & LVIS_SELECTED) {
        QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Rows;
        if (!(nState & LVIS_SELECTED))
            flags |= QItemSelectionModel::Deselect;
        else if (pList->selectionMode() == QAbstractItemView::SingleSelection)
            flags |= QItemSelectionModel::ClearAndSelect;
        else
            flags |= QItemSelectionModel::Select;
        pSelection->select(index, flags);
    }
    if (nMask & LVIS_FOCUSED) {
        if (nState & LVIS_FOCUSED)
            pSelection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        else if (pSelection->currentIndex().row() == nItem)
            pSelection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    --m_nQuiet;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (GetItemState(rows[i], LVIS_SELECTED | LVIS_FOCUSED) != before[i])
            NotifyItemChanged(rows[i]);
    return true;
}

bool CListCtrl::SelectItems(const std::vector<int>& items)
{
    QTreeWidget* pList = List(*this);
    const int nCount = GetItemCount();
    if (!pList || !std::is_sorted(items.begin(), items.end()) ||
        (!items.empty() && (items.front() < 0 || items.back() >= nCount)))
        return false;
    if (items.empty())
        return true;
    if (pList->selectionMode() == QAbstractItemView::SingleSelection)
        return SetItemState(items.back(), LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    // One range per run of neighbouring rows, given to the selection at once:
    // row by row, each new range would be compared with all before it.
    const QAbstractItemModel* pModel = pList->model();
    const int nLastColumn = qMax(0, pList->columnCount() - 1);
    QItemSelection selection;
    for (std::size_t i = 0; i < items.size();) {
        const int nFirst = items[i];
        int nLast = nFirst;
        while (++i < items.size() && items[i] <= nLast + 1)
            nLast = items[i];
        selection.select(pModel->index(nFirst, 0), pModel->index(nLast, nLastColumn));
    }
    ++m_nQuiet;
    QItemSelectionModel* pSelection = pList->selectionModel();
    pSelection->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    pSelection->setCurrentIndex(pModel->index(items.back(), 0), QItemSelectionModel::NoUpdate);
    --m_nQuiet;
    NotifyItemChanged(items.back());
    return true;
}

unsigned CListCtrl::GetItemState(int nItem, unsigned nMask) const
{
    QTreeWidget* pList = List(*this);
    QTreeWidgetItem* pItem = pList ? pList->topLevelItem(nItem) : nullptr;
    if (!pItem)
        return 0;
    unsigned nState = 0;
    if (pItem->isSelected())
        nState |= LVIS_SELECTED;
    if (pList->currentItem() == pItem)
        nState |= LVIS_FOCUSED;
    return nState & nMask;
}

int CListCtrl::GetNextItem(int nItem, unsigned nFlags) const
{
    const int nCount = GetItemCount();
    const unsigned nWanted = nFlags & (LVNI_SELECTED | LVNI_FOCUSED);
    for (int i = qMax(-1, nItem) + 1; i < nCount; ++i) {
        unsigned nState = GetItemState(i, LVIS_SELECTED | LVIS_FOCUSED);
        unsigned nHave = 0;
        if (nState & LVIS_SELECTED)
            nHave |= LVNI_SELECTED;
        if (nState & LVIS_FOCUSED)
            nHave |= LVNI_FOCUSED;
        if ((nHave & nWanted) == nWanted)
            return i;
    }
    return -1;
}

unsigned CListCtrl::GetSelectedCount() const
{
    QTreeWidget* pList = List(*this);
    if (!pList)
        return 0;
    // Rows are selected whole, so each selected row has one range holding its
    // column 0; counted by ranges, not row by row, as handlers ask after every change.
    unsigned nCount = 0;
    for (const QItemSelectionRange& range : pList->selectionModel()->selection())
        if (range.left() == 0)
            nCount += static_cast<unsigned>(range.height());
    return nCount;
}

int CListCtrl::FindItem(const CString& strText, int nStart) const
{
    const int nCount = GetItemCount();
    for (int i = qMax(-1, nStart) + 1; i < nCount; ++i)
        if (QString::compare(ToQString(GetItemText(i, 0)), ToQString(strText),
                             Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void CListCtrl::SetItemChangedHandler(std::function<void(int)> handler)
{
    m_onItemChanged = std::move(handler);
}

void CListCtrl::SetDblClkHandler(std::function<void()> handler)
{
    m_onDblClk = std::move(handler);
}
