#include "exception.h"

CException::CException(CString strMessage)
    : m_strMessage(std::move(strMessage)), m_strWhat(Utf16ToUtf8(m_strMessage))
{
}
