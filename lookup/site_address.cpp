#include "site_address.h"

#include "utf_text.h"

#include <cstdlib>

std::u16string SiteBaseAddress()
{
    const char* pszOverride = std::getenv("QUILLBRIDGE_SITE_BASE");
    return Utf8ToUtf16(pszOverride && *pszOverride ? pszOverride : QUILLBRIDGE_SITE_BASE);
}

std::u16string FallbackPageAddress()
{
    return SiteBaseAddress() + u"about.html";
}
