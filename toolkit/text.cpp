#include "text.h"

#include "utf_text.h"

CString CStringFromUtf8(std::string_view utf8)
{
    return Utf8ToUtf16(utf8);
}

std::string CStringToUtf8(std::u16string_view text)
{
    return Utf16ToUtf8(text);
}

CString IntToCString(long long n)
{
    const std::string digits = std::to_string(n);
    return CString(digits.begin(), digits.end());
}

CString TrimCString(std::u16string_view text)
{
    const auto isSpace = [](char16_t c) {
        return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0' || c == u'\u2028' ||
               c == u'\u2029' || c == u'\u3000' || (c >= u'\u2000' && c <= u'\u200A') ||
               c == u'\u0085' || c == u'\u1680' || c == u'\u202F' || c == u'\u205F';
    };
    std::size_t nBegin = 0;
    std::size_t nEnd = text.size();
    while (nBegin < nEnd && isSpace(text[nBegin]))
        ++nBegin;
    while (nEnd > nBegin && isSpace(text[nEnd - 1]))
        --nEnd;
    return CString(text.substr(nBegin, nEnd - nBegin));
}

CString FormatCString(std::u16string_view format, std::initializer_list<std::u16string_view> args)
{
    CString strResult;
    strResult.reserve(format.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'%' && i + 1 < format.size() && format[i + 1] >= u'1' && format[i + 1] <= u'9') {
            const auto nArg = static_cast<std::size_t>(format[i + 1] - u'1');
            if (nArg < args.size()) {
                strResult += *(args.begin() + nArg);
                ++i;
                continue;
            }
        }
        strResult += c;
    }
    return strResult;
}
