#include "navigable_address.h"

#include "utf_text.h"

namespace
{

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

} // namespace

bool IsNavigableAddress(std::u16string_view address, bool bAllowFile)
{
    // The browser ignores blanks around an address; anything else before the
    // scheme makes it no scheme at all.
    constexpr std::u16string_view kBlanks = u" \t\r\n\f\v";
    const auto nStart = address.find_first_not_of(kBlanks);
    if (nStart == std::u16string_view::npos)
        return false;
    address = address.substr(nStart, address.find_last_not_of(kBlanks) + 1 - nStart);
    const auto nColon = address.find(u':');
    if (nColon == std::u16string_view::npos)
        return false;
    const std::u16string_view scheme = address.substr(0, nColon);
    const std::u16string_view rest = address.substr(nColon + 1);
    if (EqualsIgnoringCase(scheme, u"http") || EqualsIgnoringCase(scheme, u"https")) {
        // "//" and then a host: "http://" alone, or "http:/path", names no server.
        return rest.size() > 2 && rest.starts_with(u"//") && rest[2] != u'/' && rest[2] != u'?' &&
               rest[2] != u'#';
    }
    return bAllowFile && EqualsIgnoringCase(scheme, u"file") && rest.starts_with(u"/");
}

std::u16string RefusedAddressMessage(std::u16string_view address)
{
    return u"Seda aadressi ei avata: " + WithVisibleControls(address) +
           u"\nAvada saab ainult http- ja https-aadresse.";
}
