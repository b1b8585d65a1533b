#include "dialog_template.h"

#include "cut_text_tool_tip.h"
#include "resource_loader.h"
#include "wnd.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtGlobal>

#include <algorithm>
#include <map>

namespace
{

std::map<QString, CDialogTemplate::ControlFactory>& ControlFactories()
{
    static std::map<QString, CDialogTemplate::ControlFactory> s_factories;
    return s_factories;
}

// Splits a line into words and double-quoted strings (with \n, \" and \\).
bool Tokenize(const QString& strLine, QStringList& tokens, QString& strError)
{
    int i = 0;
    const int n = strLine.size();
    while (i < n) {
        if (strLine[i].isSpace()) {
            ++i;
            continue;
        }
        QString strToken;
        if (strLine[i] == QLatin1Char('"')) {
            ++i;
            bool bClosed = false;
            while (i < n) {
                const QChar c = strLine[i++];
                if (c == QLatin1Char('"')) {
                    bClosed = true;
                    break;
                }
                if (c == QLatin1Char('\\') && i < n) {
                    const QChar e = strLine[i++];
                    strToken += e == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : e;
                } else {
                    strToken += c;
                }
            }
            if (!bClosed) {
                strError = QStringLiteral("unterminated string");
                return false;
            }
            // Quoted tokens are marked so an empty string still counts.
            tokens << QLatin1Char('"') + strToken;
        } else {
            while (i < n && !strLine[i].isSpace())
                strToken += strLine[i++];
            tokens << strToken;
        }
    }
    return true;
}

bool IsQuoted(const QString& strToken)
{
    return strToken.startsWith(QLatin1Char('"'));
}

QString Unquote(const QString& strToken)
{
    return strToken.mid(1);
}

bool ToInt(const QString& strToken, int& nValue)
{
    bool bOk = false;
    nValue = strToken.toInt(&bOk);
    return bOk && !IsQuoted(strToken);
}

// Rounds like the system's MulDiv.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    const long long q = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
    return static_cast<int>(q);
}

QWidget* CreateControl(const CDialogTemplate::Item& item, QWidget* pHost, const QSize& base)
{
    const QRect rect = CDialogTemplate::MapDialogRect(item.rect, base);
    QWidget* pControl = nullptr;
    if (item.strKind == QLatin1String("static")) {
        auto* pLabel = new QLabel(item.strText, pHost);
        Qt::Alignment align = Qt::AlignLeft;
        if (item.HasStyle(QStringLiteral("right")))
            align = Qt::AlignRight;
        else if (item.HasStyle(QStringLiteral("center")))
            align = Qt::AlignHCenter;
        pLabel->setAlignment(align | Qt::AlignTop);
        pLabel->setWordWrap(item.strText.contains(QLatin1Char('\n')) ||
                            item.HasStyle(QStringLiteral("center")));
        pLabel->setTextFormat(Qt::PlainText);
        pControl = pLabel;
        pControl->setGeometry(rect);
    } else if (item.strKind == QLatin1String("edit")) {
        auto* pEdit = new QLineEdit(pHost);
        pEdit->setFrame(item.HasStyle(QStringLiteral("border")));
        pControl = pEdit;
        pControl->setGeometry(rect);
    } else if (item.strKind == QLatin1String("combo")) {
        auto* pCombo = new QComboBox(pHost);
        pCombo->setEditable(!item.HasStyle(QStringLiteral("dropdownlist")));
        pCombo->setInsertPolicy(QComboBox::NoInsert);
        for (const QString& strItem : item.initItems)
            pCombo->addItem(strItem);
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
    } else if (item.strKind == QLatin1String("button")) {
        auto* pButton = new QPushButton(item.strText, pHost);
        pButton->setDefault(item.HasStyle(QStringLiteral("default")));
        pControl = pButton;
        pControl->setGeometry(rect);
    } else if (item.strKind == QLatin1String("listview")) {
        auto* pList = new QTreeWidget(pHost);
        pList->setColumnCount(0);
        pList->setRootIsDecorated(false);
        pList->setItemsExpandable(false);
        pList->setUniformRowHeights(true);
        pList->setAllColumnsShowFocus(true);
        pList->setSortingEnabled(false);
        pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
        pList->setSelectionBehavior(QAbstractItemView::SelectRows);
        pList->setSelectionMode(item.HasStyle(QStringLiteral("singlesel"))
                                    ? QAbstractItemView::SingleSelection
                                    : QAbstractItemView::ExtendedSelection);
        pList->setFrameShape(item.HasStyle(QStringLiteral("border")) ? QFrame::StyledPanel
                                                                     : QFrame::NoFrame);
        pList->header()->setStretchLastSection(false);
        pList->header()->setSectionsMovable(false);
        pList->header()->setSectionsClickable(false);
        CCutTextToolTip::Install(pList);
        pControl = pList;
        pControl->setGeometry(rect);
    } else if (item.strKind == QLatin1String("control")) {
        const auto it = ControlFactories().find(item.strText.toUpper());
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
        pControl->setFocusPolicy(item.HasStyle(QStringLiteral("tabstop")) ? Qt::StrongFocus
                                                                          : Qt::ClickFocus);
    if (item.HasStyle(QStringLiteral("disabled")))
        pControl->setEnabled(false);
    if (item.HasStyle(QStringLiteral("hidden")))
        pControl->hide();
    return pControl;
}

} // namespace

const CDialogTemplate::Item* CDialogTemplate::FindItem(int nID) const
{
    for (const Item& item : m_items)
        if (item.nID == nID)
            return &item;
    return nullptr;
}

const CDialogTemplate* CDialogTemplate::Find(int nID)
{
    static const std::vector<CDialogTemplate> s_templates = [] {
        AfxInitResources();
        std::vector<CDialogTemplate> templates;
        QFile file(QStringLiteral(":/quillbridge/dialogs.tpl"));
        QString strError;
        if (!file.open(QIODevice::ReadOnly) ||
            !Parse(QString::fromUtf8(file.readAll()), templates, &strError)) {
            qWarning("dialog templates unreadable: %s", qUtf8Printable(strError));
            templates.clear();
        }
        return templates;
    }();
    for (const CDialogTemplate& dlg : s_templates)
        if (dlg.m_nID == nID)
            return &dlg;
    return nullptr;
}

bool CDialogTemplate::Parse(const QString& strText, std::vector<CDialogTemplate>& templates,
                            QString* pError)
{
    static const QStringList s_kinds = {QStringLiteral("static"),   QStringLiteral("edit"),
                                        QStringLiteral("combo"),    QStringLiteral("button"),
                                        QStringLiteral("listview"), QStringLiteral("control")};
    const QStringList lines = strText.split(QLatin1Char('\n'));
    CDialogTemplate* pCurrent = nullptr;
    int nLine = 0;
    int nDialogLine = 0;
    auto fail = [&](const QString& strReason) {
        if (pError)
            *pError = QStringLiteral("line %1: %2").arg(nLine).arg(strReason);
        return false;
    };
    for (const QString& strRaw : lines) {
        ++nLine;
        const QString strLine = strRaw.trimmed();
        if (strLine.isEmpty() || strLine.startsWith(QLatin1Char('#')))
            continue;
        QStringList tokens;
        QString strError;
        if (!Tokenize(strLine, tokens, strError))
            return fail(strError);
        const QString& strHead = tokens.front();
        if (strHead == QLatin1String("dialog")) {
            if (pCurrent)
                return fail(QStringLiteral("dialog inside a dialog"));
            CDialogTemplate dlg;
            int cx = 0, cy = 0;
            if (tokens.size() < 5 || !ToInt(tokens[1], dlg.m_nID) || !ToInt(tokens[2], cx) ||
                !ToInt(tokens[3], cy) || !IsQuoted(tokens[4]))
                return fail(QStringLiteral("expected: dialog <id> <width> <height> \"caption\""));
            const bool bTwice =
                std::any_of(templates.begin(), templates.end(),
                            [&](const CDialogTemplate& other) { return other.m_nID == dlg.m_nID; });
            if (bTwice)
                return fail(QStringLiteral("dialog %1 twice").arg(dlg.m_nID));
            dlg.m_size = QSize(cx, cy);
            dlg.m_strCaption = Unquote(tokens[4]);
            dlg.m_styles = tokens.mid(5);
            templates.push_back(dlg);
            pCurrent = &templates.back();
            nDialogLine = nLine;
        } else if (strHead == QLatin1String("end")) {
            if (!pCurrent)
                return fail(QStringLiteral("end without dialog"));
            pCurrent = nullptr;
        } else if (strHead == QLatin1String("items")) {
            int nID = 0;
            if (!pCurrent || tokens.size() < 2 || !ToInt(tokens[1], nID))
                return fail(QStringLiteral("expected: items <id> \"text\"..."));
            Item* pItem = nullptr;
            for (Item& item : pCurrent->m_items)
                if (item.nID == nID && item.strKind == QLatin1String("combo"))
                    pItem = &item;
            if (!pItem)
                return fail(QStringLiteral("items for %1, which is no combo box").arg(nID));
            for (int i = 2; i < tokens.size(); ++i) {
                if (!IsQuoted(tokens[i]))
                    return fail(QStringLiteral("items must be quoted"));
                pItem->initItems << Unquote(tokens[i]);
            }
        } else {
            Item item;
            int x = 0, y = 0, cx = 0, cy = 0;
            if (!pCurrent || tokens.size() < 7 || !ToInt(tokens[0], item.nID) ||
                !ToInt(tokens[2], x) || !ToInt(tokens[3], y) || !ToInt(tokens[4], cx) ||
                !ToInt(tokens[5], cy) || !IsQuoted(tokens[6]))
                return fail(QStringLiteral("expected: <id> <kind> <x> <y> <w> <h> \"text\""));
            item.strKind = tokens[1];
            if (!s_kinds.contains(item.strKind))
                return fail(QStringLiteral("unknown kind %1").arg(item.strKind));
            if (item.nID != -1 && pCurrent->FindItem(item.nID))
                return fail(QStringLiteral("control %1 twice").arg(item.nID));
            item.rect = QRect(x, y, cx, cy);
            item.strText = Unquote(tokens[6]);
            item.styles = tokens.mid(7);
            pCurrent->m_items.push_back(item);
        }
    }
    if (pCurrent) {
        nLine = nDialogLine;
        return fail(QStringLiteral("dialog %1 has no end").arg(pCurrent->m_nID));
    }
    return true;
}

QFont CDialogTemplate::DialogFont()
{
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QSize CDialogTemplate::GetBaseUnits(const QFont& font)
{
    // The system's own measure: the mean advance of the 52 Latin letters, rounded.
    const QFontMetrics metrics(font);
    const int nAlphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((nAlphabet / 26 + 1) / 2, metrics.height());
}

QRect CDialogTemplate::MapDialogRect(const QRect& rect, const QSize& baseUnits)
{
    return QRect(MulDiv(rect.x(), baseUnits.width(), 4), MulDiv(rect.y(), baseUnits.height(), 8),
                 MulDiv(rect.width(), baseUnits.width(), 4),
                 MulDiv(rect.height(), baseUnits.height(), 8));
}

QSize CDialogTemplate::GetPixelSize(const QFont& font) const
{
    return MapDialogRect(QRect(QPoint(0, 0), m_size), GetBaseUnits(font)).size();
}

void CDialogTemplate::CreateControls(QWidget* pHost) const
{
    const QSize base = GetBaseUnits(pHost->font());
    int nIndex = 0;
    for (const Item& item : m_items) {
        if (QWidget* pControl = CreateControl(item, pHost, base)) {
            pControl->setObjectName(ControlName(item.nID, nIndex));
            CWnd::SetDlgCtrlID(pControl, item.nID);
        }
        ++nIndex;
    }
}

void CDialogTemplate::RegisterControlClass(const QString& strClassId, ControlFactory factory)
{
    ControlFactories()[strClassId.toUpper()] = std::move(factory);
}

QString CDialogTemplate::ControlName(int nID, int nIndex)
{
    return nID == -1 ? QStringLiteral("static%1").arg(nIndex) : QStringLiteral("ctl%1").arg(nID);
}
