#include "exception.h"

CException::CException(QString strMessage)
    : m_strMessage(std::move(strMessage)), m_strWhat(m_strMessage.toStdString())
{
}
