#include "ole_exception.h"

COleException::COleException(long sc)
    : CException(QStringLiteral("OLE error 0x%1")
                     .arg(static_cast<unsigned long>(sc) & 0xFFFFFFFFUL, 8, 16, QLatin1Char('0'))),
      m_sc(sc)
{
}
