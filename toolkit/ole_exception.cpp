#include "ole_exception.h"

#include <cstdio>

namespace
{

CString OleErrorText(long sc)
{
    char szText[32];
    std::snprintf(szText, sizeof szText, "OLE error 0x%08lx",
                  static_cast<unsigned long>(sc) & 0xFFFFFFFFUL);
    return Utf8ToUtf16(szText);
}

} // namespace

COleException::COleException(long sc) : CException(OleErrorText(sc)), m_sc(sc) {}
