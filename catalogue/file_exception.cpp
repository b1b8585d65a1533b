#include "file_exception.h"

#include <cstring>

CFileException::CFileException(Cause cause, long lOsError) : m_cause(cause), m_lOsError(lOsError)
{
    m_strWhat = "file error " + std::to_string(static_cast<int>(cause));
    if (lOsError > 0)
        m_strWhat += std::string(": ") + std::strerror(static_cast<int>(lOsError));
}

const char* CFileException::what() const noexcept
{
    return m_strWhat.c_str();
}
