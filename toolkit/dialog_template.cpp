#include "dialog_template.h"

#include <algorithm>
#include <climits>
#include <string>

namespace
{

bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string_view Trimmed(std::u16string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// A quoted token keeps its opening quote, so that an empty string still counts.
bool IsQuoted(const CString& strToken)
{
    return !strToken.empty() && strToken.front() == u'"';
}

CString Unquote(const CString& strToken)
{
    return strToken.substr(1);
}

// Splits a line into words and double-quoted strings (with \n, \" and \\).
bool Tokenize(std::u16string_view line, std::vector<CString>& tokens, CString& strError)
{
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        if (IsSpace(line[i])) {
            ++i;
            continue;
        }
        CString strToken;
        if (line[i] == u'"') {
            ++i;
            bool bClosed = false;
            while (i < n) {
                const char16_t c = line[i++];
                if (c == u'"') {
                    bClosed = true;
                    break;
                }
                if (c == u'\\' && i < n) {
                    const char16_t e = line[i++];
                    strToken += e == u'n' ? u'\n' : e;
                } else {
                    strToken += c;
                }
            }
            if (!bClosed) {
                strError = u"unterminated string";
                return false;
            }
            tokens.push_back(u'"' + strToken);
        } else {
            while (i < n && !IsSpace(line[i]))
                strToken += line[i++];
            tokens.push_back(strToken);
        }
    }
    return true;
}

bool ToInt(const CString& strToken, int& nValue)
{
    std::size_t i = 0;
    bool bNegative = false;
    if (i < strToken.size() && (strToken[i] == u'+' || strToken[i] == u'-'))
        bNegative = strToken[i++] == u'-';
    if (i == strToken.size())
        return false;
    long long nResult = 0;
    for (; i < strToken.size(); ++i) {
        if (strToken[i] < u'0' || strToken[i] > u'9')
            return false;
        nResult = nResult * 10 + (strToken[i] - u'0');
        if (nResult > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    nResult = bNegative ? -nResult : nResult;
    if (nResult > INT_MAX || nResult < INT_MIN)
        return false;
    nValue = static_cast<int>(nResult);
    return true;
}

// Rounds like the system's MulDiv.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    const long long q = p >= 0 ? (p + c / 2) / c : (p - c / 2) / c;
    return static_cast<int>(q);
}

std::vector<CString> Tail(const std::vector<CString>& tokens, std::size_t nFrom)
{
    return nFrom < tokens.size() ? std::vector<CString>(tokens.begin() + nFrom, tokens.end())
                                 : std::vector<CString>();
}

CString Number(long long n)
{
    return IntToCString(n);
}

} // namespace

const CDialogTemplate::Item* CDialogTemplate::FindItem(int nID) const
{
    for (const Item& item : m_items)
        if (item.nID == nID)
            return &item;
    return nullptr;
}

bool CDialogTemplate::Parse(const CString& strText, std::vector<CDialogTemplate>& templates,
                            CString* pError)
{
    static const std::u16string_view s_kinds[] = {u"static", u"edit",     u"combo",
                                                  u"button", u"listview", u"control"};
    CDialogTemplate* pCurrent = nullptr;
    int nLine = 0;
    int nDialogLine = 0;
    auto fail = [&](const CString& strReason) {
        if (pError)
            *pError = u"line " + Number(nLine) + u": " + strReason;
        return false;
    };
    std::size_t nStart = 0;
    while (nStart <= strText.size()) {
        std::size_t nEnd = strText.find(u'\n', nStart);
        if (nEnd == CString::npos)
            nEnd = strText.size();
        const std::u16string_view line =
            Trimmed(std::u16string_view(strText).substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
        ++nLine;
        if (line.empty() || line.front() == u'#')
            continue;
        std::vector<CString> tokens;
        CString strError;
        if (!Tokenize(line, tokens, strError))
            return fail(strError);
        const CString& strHead = tokens.front();
        if (strHead == u"dialog") {
            if (pCurrent)
                return fail(u"dialog inside a dialog");
            CDialogTemplate dlg;
            int cx = 0, cy = 0;
            if (tokens.size() < 5 || !ToInt(tokens[1], dlg.m_nID) || !ToInt(tokens[2], cx) ||
                !ToInt(tokens[3], cy) || !IsQuoted(tokens[4]))
                return fail(u"expected: dialog <id> <width> <height> \"caption\"");
            const bool bTwice =
                std::any_of(templates.begin(), templates.end(),
                            [&](const CDialogTemplate& other) { return other.m_nID == dlg.m_nID; });
            if (bTwice)
                return fail(u"dialog " + Number(dlg.m_nID) + u" twice");
            dlg.m_size = CSize(cx, cy);
            dlg.m_strCaption = Unquote(tokens[4]);
            dlg.m_styles = Tail(tokens, 5);
            templates.push_back(dlg);
            pCurrent = &templates.back();
            nDialogLine = nLine;
        } else if (strHead == u"end") {
            if (!pCurrent)
                return fail(u"end without dialog");
            pCurrent = nullptr;
        } else if (strHead == u"items") {
            int nID = 0;
            if (!pCurrent || tokens.size() < 2 || !ToInt(tokens[1], nID))
                return fail(u"expected: items <id> \"text\"...");
            Item* pItem = nullptr;
            for (Item& item : pCurrent->m_items)
                if (item.nID == nID && item.strKind == u"combo")
                    pItem = &item;
            if (!pItem)
                return fail(u"items for " + Number(nID) + u", which is no combo box");
            for (std::size_t i = 2; i < tokens.size(); ++i) {
                if (!IsQuoted(tokens[i]))
                    return fail(u"items must be quoted");
                pItem->initItems.push_back(Unquote(tokens[i]));
            }
        } else {
            Item item;
            int x = 0, y = 0, cx = 0, cy = 0;
            if (!pCurrent || tokens.size() < 7 || !ToInt(tokens[0], item.nID) ||
                !ToInt(tokens[2], x) || !ToInt(tokens[3], y) || !ToInt(tokens[4], cx) ||
                !ToInt(tokens[5], cy) || !IsQuoted(tokens[6]))
                return fail(u"expected: <id> <kind> <x> <y> <w> <h> \"text\"");
            item.strKind = tokens[1];
            if (std::find(std::begin(s_kinds), std::end(s_kinds), item.strKind) ==
                std::end(s_kinds))
                return fail(u"unknown kind " + item.strKind);
            if (item.nID != -1 && pCurrent->FindItem(item.nID))
                return fail(u"control " + Number(item.nID) + u" twice");
            item.rect = CRect(CPoint(x, y), CSize(cx, cy));
            item.strText = Unquote(tokens[6]);
            item.styles = Tail(tokens, 7);
            pCurrent->m_items.push_back(item);
        }
    }
    if (pCurrent) {
        nLine = nDialogLine;
        return fail(u"dialog " + Number(pCurrent->m_nID) + u" has no end");
    }
    return true;
}

CRect CDialogTemplate::MapDialogRect(const CRect& rect, const CSize& baseUnits)
{
    return CRect(
        CPoint(MulDiv(rect.left, baseUnits.cx, 4), MulDiv(rect.top, baseUnits.cy, 8)),
        CSize(MulDiv(rect.Width(), baseUnits.cx, 4), MulDiv(rect.Height(), baseUnits.cy, 8)));
}
