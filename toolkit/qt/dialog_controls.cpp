#include "dialog_controls.h"

#include "cut_text_tool_tip.h"
#include "qt_text.h"
#include "wnd.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtGlobal>

#include <map>

namespace
{

std::map<QString, CDialogControls::ControlFactory>& ControlFactories()
{
    static std::map<QString, CDialogControls::ControlFactory> s_factories;
    return s_factories;
}

QWidget* CreateControl(const CDialogTemplate::Item& item, QWidget* pHost, const QSize& base)
{
    const QRect rect = CDialogControls::MapDialogRect(item.rect, base);
    const QString strText = ToQString(item.strText);
    QWidget* pControl = nullptr;
    if (item.strKind == u"static") {
        auto* pLabel = new QLabel(strText, pHost);
        Qt::Alignment align = Qt::AlignLeft;
        if (item.HasStyle(u"right"))
            align = Qt::AlignRight;
        else if (item.HasStyle(u"center"))
            align = Qt::AlignHCenter;
        pLabel->setAlignment(align | Qt::AlignTop);
        pLabel->setWordWrap(strText.contains(QLatin1Char('\n')) || item.HasStyle(u"center"));
        pLabel->setTextFormat(Qt::PlainText);
        pControl = pLabel;
        pControl->setGeometry(rect);
    } else if (item.strKind == u"edit") {
        auto* pEdit = new QLineEdit(pHost);
        pEdit->setFrame(item.HasStyle(u"border"));
        pControl = pEdit;
        pControl->setGeometry(rect);
    } else if (item.strKind == u"combo") {
        auto* pCombo = new QComboBox(pHost);
        pCombo->setEditable(!item.HasStyle(u"dropdownlist"));
        pCombo->setInsertPolicy(QComboBox::NoInsert);
        for (const CString& strItem : item.initItems)
            pCombo->addItem(ToQString(strItem));
        // Adding strings selects nothing; the dialog's data exchange does.
        pCombo->setCurrentIndex(-1);
        // The template's height includes the dropped list; the closed box is
        // as high as its font needs.
        const int nFieldHeight = pCombo->sizeHint().height();
        const int nRowHeight = qMax(1, QFontMetrics(pCombo->font()).height() + 2);
        pCombo->setMaxVisibleItems(qMax(1, (rect.height() - nFieldHeight) / nRowHeight));
        CCutTextToolTip::Install(pCombo);
        pControl = pCombo;
        pControl->setGeometry(rect.x(), rect.y(), rect.width(), nFieldHeight);
    } else if (item.strKind == u"button") {
        auto* pButton = new QPushButton(strText, pHost);
        pButton->setDefault(item.HasStyle(u"default"));
        pControl = pButton;
        pControl->setGeometry(rect);
    } else if (item.strKind == u"listview") {
        auto* pList = new QTreeWidget(pHost);
        pList->setColumnCount(0);
        pList->setRootIsDecorated(false);
        pList->setItemsExpandable(false);
        pList->setUniformRowHeights(true);
        pList->setAllColumnsShowFocus(true);
        pList->setSortingEnabled(false);
        pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
        pList->setSelectionBehavior(QAbstractItemView::SelectRows);
        pList->setSelectionMode(item.HasStyle(u"singlesel") ? QAbstractItemView::SingleSelection
                                                            : QAbstractItemView::ExtendedSelection);
        pList->setFrameShape(item.HasStyle(u"border") ? QFrame::StyledPanel : QFrame::NoFrame);
        pList->header()->setStretchLastSection(false);
        pList->header()->setSectionsMovable(false);
        pList->header()->setSectionsClickable(false);
        CCutTextToolTip::Install(pList);
        pControl = pList;
        pControl->setGeometry(rect);
    } else if (item.strKind == u"control") {
        const auto it = ControlFactories().find(strText.toUpper());
        if (it == ControlFactories().end() || !it->second)
            return nullptr;
        pControl = it->second(pHost);
        if (!pControl)
            return nullptr;
        if (pControl->parentWidget() != pHost)
            pControl->setParent(pHost);
        pControl->setGeometry(rect);
    } else {
        return nullptr;
    }

    if (qobject_cast<QLabel*>(pControl))
        pControl->setFocusPolicy(Qt::NoFocus);
    else
        pControl->setFocusPolicy(item.HasStyle(u"tabstop") ? Qt::StrongFocus : Qt::ClickFocus);
    if (item.HasStyle(u"disabled"))
        pControl->setEnabled(false);
    if (item.HasStyle(u"hidden"))
        pControl->hide();
    return pControl;
}

} // namespace

QFont CDialogControls::DialogFont()
{
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QSize CDialogControls::GetBaseUnits(const QFont& font)
{
    // The system's own measure: the mean advance of the 52 Latin letters, rounded.
    const QFontMetrics metrics(font);
    const int nAlphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((nAlphabet / 26 + 1) / 2, metrics.height());
}

QRect CDialogControls::MapDialogRect(const CRect& rect, const QSize& baseUnits)
{
    const CRect mapped =
        CDialogTemplate::MapDialogRect(rect, CSize(baseUnits.width(), baseUnits.height()));
    return QRect(mapped.left, mapped.top, mapped.Width(), mapped.Height());
}

QSize CDialogControls::GetPixelSize(const CDialogTemplate& dlg, const QFont& font)
{
    return MapDialogRect(CRect(CPoint(0, 0), dlg.m_size), GetBaseUnits(font)).size();
}

void CDialogControls::Create(const CDialogTemplate& dlg, QWidget* pHost)
{
    const QSize base = GetBaseUnits(pHost->font());
    int nIndex = 0;
    for (const CDialogTemplate::Item& item : dlg.m_items) {
        if (QWidget* pControl = CreateControl(item, pHost, base)) {
            pControl->setObjectName(ControlName(item.nID, nIndex));
            CWnd::SetDlgCtrlID(ToHandle(pControl), item.nID);
        }
        ++nIndex;
    }
}

void CDialogControls::RegisterControlClass(const QString& strClassId, ControlFactory factory)
{
    ControlFactories()[strClassId.toUpper()] = std::move(factory);
}

QString CDialogControls::ControlName(int nID, int nIndex)
{
    return nID == -1 ? QStringLiteral("static%1").arg(nIndex) : QStringLiteral("ctl%1").arg(nID);
}
