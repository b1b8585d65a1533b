#include "ole_dispatch_exception.h"

COleDispatchException::COleDispatchException(CString strDescription, int wCode)
    : CException(strDescription), m_strDescription(std::move(strDescription)), m_wCode(wCode)
{
}
