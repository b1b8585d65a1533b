#include "text.h"

#include "qt_text.h"

#include <QChar>

CString FoldCase(std::u16string_view text)
{
    QString strFolded;
    strFolded.reserve(static_cast<qsizetype>(text.size()));
    for (const char32_t ch : ToQString(text).toUcs4()) {
        const char32_t folded = QChar::toCaseFolded(ch);
        if (QChar::requiresSurrogates(folded)) {
            strFolded.append(QChar(QChar::highSurrogate(folded)));
            strFolded.append(QChar(QChar::lowSurrogate(folded)));
        } else {
            strFolded.append(QChar(static_cast<char16_t>(folded)));
        }
    }
    return FromQString(strFolded);
}
