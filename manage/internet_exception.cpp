#include "internet_exception.h"

CInternetException::CInternetException(unsigned long dwError, QString strDescription)
    : m_dwError(dwError), m_strDescription(std::move(strDescription))
{
    if (m_strDescription.isEmpty())
        m_strDescription = QStringLiteral("Internal application error.");
    m_strWhat = m_strDescription.toStdString();
}
