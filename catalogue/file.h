#pragma once

#include <cstddef>

// The byte stream a catalogue is read from or written to: a disk file, or the
// body of a downloaded list.
class CFile
{
public:
    virtual ~CFile() = default;

    // Delivers up to nCount bytes; fewer only at the end of the data, 0 at the end.
    virtual std::size_t Read(void* pBuffer, std::size_t nCount) = 0;
    // Bytes in the whole stream when it was opened, 0 when not known; readers
    // use it only to size what they build.
    virtual std::size_t GetLength() const = 0;
    // Writes all nCount bytes or raises CFileException.
    virtual void Write(const void* pBuffer, std::size_t nCount) = 0;
};
