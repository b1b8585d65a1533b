#include "site_address.h"

#include "parameter_encoding.h"
#include "utf_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

std::u16string SiteBaseAddress()
{
    const char* pszOverride = std::getenv("QUILLBRIDGE_SITE_BASE");
    return Utf8ToUtf16(pszOverride && *pszOverride ? pszOverride : QUILLBRIDGE_SITE_BASE);
}

std::u16string FallbackPageAddress()
{
    return SiteBaseAddress() + u"about.html";
}

std::string InstalledSiteFolder()
{
    const std::string strBase = Utf16ToUtf8(SiteBaseAddress());
    constexpr std::string_view kScheme = "file://";
    if (strBase.size() < kScheme.size() ||
        !std::equal(kScheme.begin(), kScheme.end(), strBase.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        }))
        return {};
    // Only this machine's files: no host, or "localhost".
    std::string_view rest = std::string_view(strBase).substr(kScheme.size());
    if (rest.starts_with("localhost/"))
        rest.remove_prefix(9);
    if (!rest.starts_with('/') || rest.find_first_of("?#") != std::string_view::npos)
        return {};
    std::string strPath;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto hex = [&](std::size_t n) {
            return HexDigitValue(static_cast<unsigned char>(rest[n]));
        };
        if (rest[i] == '%' && i + 2 < rest.size() && hex(i + 1) >= 0 && hex(i + 2) >= 0) {
            strPath.push_back(static_cast<char>(hex(i + 1) * 16 + hex(i + 2)));
            i += 2;
        } else {
            strPath.push_back(rest[i]);
        }
    }
    // A NUL would cut the path short of what the address names.
    return strPath.find('\0') == std::string::npos ? strPath : std::string();
}

std::u16string HelpPageAddress()
{
    const std::u16string strBase = SiteBaseAddress();
    return InstalledSiteFolder().empty() ? strBase : strBase + u"index.html";
}
