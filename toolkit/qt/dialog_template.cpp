#include "dialog_template.h"

#include "qt_text.h"
#include "resource_loader.h"

#include <QFile>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

namespace
{

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

std::vector<CString> FromQStrings(const QStringList& strings)
{
    std::vector<CString> result;
    result.reserve(static_cast<std::size_t>(strings.size()));
    for (const QString& str : strings)
        result.push_back(FromQString(str));
    return result;
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

} // namespace

const CDialogTemplate::Item* CDialogTemplate::FindItem(int nID) const
{
    for (const Item& item : m_items)
        if (item.nID == nID)
            return &item;
    return nullptr;
}

static bool ParseText(const QString& strText, std::vector<CDialogTemplate>& templates,
                      QString* pError)
{
    using Item = CDialogTemplate::Item;
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
            dlg.m_size = CSize(cx, cy);
            dlg.m_strCaption = FromQString(Unquote(tokens[4]));
            dlg.m_styles = FromQStrings(tokens.mid(5));
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
                if (item.nID == nID && item.strKind == u"combo")
                    pItem = &item;
            if (!pItem)
                return fail(QStringLiteral("items for %1, which is no combo box").arg(nID));
            for (int i = 2; i < tokens.size(); ++i) {
                if (!IsQuoted(tokens[i]))
                    return fail(QStringLiteral("items must be quoted"));
                pItem->initItems.push_back(FromQString(Unquote(tokens[i])));
            }
        } else {
            Item item;
            int x = 0, y = 0, cx = 0, cy = 0;
            if (!pCurrent || tokens.size() < 7 || !ToInt(tokens[0], item.nID) ||
                !ToInt(tokens[2], x) || !ToInt(tokens[3], y) || !ToInt(tokens[4], cx) ||
                !ToInt(tokens[5], cy) || !IsQuoted(tokens[6]))
                return fail(QStringLiteral("expected: <id> <kind> <x> <y> <w> <h> \"text\""));
            item.strKind = FromQString(tokens[1]);
            if (!s_kinds.contains(tokens[1]))
                return fail(QStringLiteral("unknown kind %1").arg(tokens[1]));
            if (item.nID != -1 && pCurrent->FindItem(item.nID))
                return fail(QStringLiteral("control %1 twice").arg(item.nID));
            item.rect = CRect(CPoint(x, y), CSize(cx, cy));
            item.strText = FromQString(Unquote(tokens[6]));
            item.styles = FromQStrings(tokens.mid(7));
            pCurrent->m_items.push_back(item);
        }
    }
    if (pCurrent) {
        nLine = nDialogLine;
        return fail(QStringLiteral("dialog %1 has no end").arg(pCurrent->m_nID));
    }
    return true;
}

bool CDialogTemplate::Parse(const CString& strText, std::vector<CDialogTemplate>& templates,
                            CString* pError)
{
    QString strError;
    const bool bParsed = ParseText(ToQString(strText), templates, &strError);
    if (!bParsed && pError)
        *pError = FromQString(strError);
    return bParsed;
}

CRect CDialogTemplate::MapDialogRect(const CRect& rect, const CSize& baseUnits)
{
    return CRect(
        CPoint(MulDiv(rect.left, baseUnits.cx, 4), MulDiv(rect.top, baseUnits.cy, 8)),
        CSize(MulDiv(rect.Width(), baseUnits.cx, 4), MulDiv(rect.Height(), baseUnits.cy, 8)));
}

const CDialogTemplate* CDialogTemplate::Find(int nID)
{
    static const std::vector<CDialogTemplate> s_templates = [] {
        AfxInitResources();
        std::vector<CDialogTemplate> templates;
        QFile file(QStringLiteral(":/quillbridge/dialogs.tpl"));
        QString strError;
        if (!file.open(QIODevice::ReadOnly) ||
            !ParseText(QString::fromUtf8(file.readAll()), templates, &strError)) {
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
