#pragma once

#include "file.h"

#include <string>

// A byte stream held in memory: the body of a downloaded list.
class CMemoryFile : public CFile
{
public:
    explicit CMemoryFile(std::string data = {}) : m_data(std::move(data)) {}

    std::size_t Read(void* pBuffer, std::size_t nCount) override;
    void Write(const void* pBuffer, std::size_t nCount) override;
    std::size_t GetLength() const override { return m_data.size(); }

    const std::string& GetData() const { return m_data; }

private:
    std::string m_data;
    std::size_t m_nPos = 0;
};
