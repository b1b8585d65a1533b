#include "page_word_picker.h"

namespace
{

// A word longer than this is cut short in the menu's command text.
constexpr std::size_t kCommandWordLength = 30;

bool IsWhiteSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

} // namespace

std::u16string CPageWordPicker::WordFromSelection(std::u16string_view selection)
{
    std::u16string word;
    bool bSpace = false;
    for (const char16_t c : selection) {
        if (IsWhiteSpace(c)) {
            bSpace = !word.empty();
            continue;
        }
        if (bSpace)
            word += u' ';
        bSpace = false;
        word += c;
    }
    return word;
}

std::u16string CPageWordPicker::LookUpCommandText(const std::u16string& strWord)
{
    std::u16string strShown = strWord;
    if (strShown.size() > kCommandWordLength) {
        std::size_t nKept = kCommandWordLength - 1;
        // Never half of a character beyond the first plane.
        if (strShown[nKept - 1] >= 0xD800 && strShown[nKept - 1] <= 0xDBFF)
            --nKept;
        strShown = strShown.substr(0, nKept) + u"…";
    }
    // An ampersand would mark the menu's access key instead of showing.
    std::u16string strEscaped;
    for (const char16_t c : strShown) {
        strEscaped += c;
        if (c == u'&')
            strEscaped += u'&';
    }
    return u"Otsi „" + strEscaped + u"“";
}
