#include "text.h"

CString IntToCString(long long n)
{
    const std::string digits = std::to_string(n);
    return CString(digits.begin(), digits.end());
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
