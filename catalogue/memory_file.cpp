#include "memory_file.h"

#include <algorithm>

std::size_t CMemoryFile::Read(void* pBuffer, std::size_t nCount)
{
    const std::size_t n = std::min(nCount, m_data.size() - m_nPos);
    std::copy_n(m_data.data() + m_nPos, n, static_cast<char*>(pBuffer));
    m_nPos += n;
    return n;
}

void CMemoryFile::Write(const void* pBuffer, std::size_t nCount)
{
    m_data.append(static_cast<const char*>(pBuffer), nCount);
}
