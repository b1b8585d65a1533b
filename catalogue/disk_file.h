#pragma once

#include "file.h"

#include <cstdint>
#include <string>
#include <vector>

// A file on disk, buffered both ways so that small reads and writes do not
// cost a system call each; large ones bypass the buffer.
class CDiskFile : public CFile
{
public:
    enum OpenMode { modeRead, modeOverwrite };
    // The system's own open file: a descriptor on Linux, a HANDLE on Windows.
    using Handle = std::intptr_t;
    static constexpr Handle kNoHandle = -1;

    CDiskFile() = default;
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;
    // Closes without reporting; call Close() to learn whether the last writes reached the disk.
    ~CDiskFile() override;

    // modeRead opens an existing file. modeOverwrite opens or creates one and
    // rewrites it in place without ever making it short first:
    // what is written is held in memory and goes over the old content in one
    // write when the file is flushed, followed by the end mark; only then is the
    // file cut to the new length.
    // Never blocks, and refuses anything but a regular file (a folder, a FIFO, a device).
    // On failure returns false and, when pError is given, stores the system's error number.
    bool Open(const std::string& strPath, OpenMode mode, int* pError = nullptr);
    // Takes over an already open file for writing.
    void AttachForWriting(Handle file);
    // Bytes that end the content for its reader, written after the new content
    // in modeOverwrite so that an old tail not yet cut off is never read.
    void SetEndMark(std::string endMark) { m_endMark = std::move(endMark); }

    std::size_t Read(void* pBuffer, std::size_t nCount) override;
    void Write(const void* pBuffer, std::size_t nCount) override;
    std::size_t GetLength() const override { return m_nLength; }

    // Writes out the buffer and waits until the data is on the disk; raises on failure.
    void Flush();
    // Flushes a written file and closes it; raises CFileException when that fails.
    void Close();

    // System calls made so far, for checking that buffering works.
    std::size_t GetSystemCallCount() const { return m_nSystemCalls; }

private:
    void WriteBuffer();
    void OverwriteHeld();
    [[noreturn]] static void Fail(int nError);

    // Each platform's side. The errors are the system's error numbers (errno
    // values, Windows' own codes turned into them).
    // The file opened as mode asks, or kNoHandle with nError; a file opened
    // for reading tells its length in nLength.
    static Handle OpenHandle(const std::string& strPath, OpenMode mode, std::size_t& nLength,
                             int& nError);
    // Up to nCount bytes, 0 at the end; raises on failure.
    std::size_t ReadSome(unsigned char* pTarget, std::size_t nCount);
    void WriteAll(const unsigned char* pData, std::size_t nCount);
    std::uint64_t Position();
    // Ends the file at nEnd, where the next write then goes.
    void CutAt(std::uint64_t nEnd);
    // Waits until what was written is on the disk.
    void Sync();
    // 0, or the error of the close.
    static int CloseNative(Handle file);

    Handle m_fd = kNoHandle;
    bool m_bWriting = false;
    bool m_bHoldAll = false; // modeOverwrite: the buffer grows to hold everything written
    std::string m_endMark;
    std::vector<unsigned char> m_buffer;
    std::size_t m_nPos = 0; // next byte to deliver (reading)
    std::size_t m_nEnd = 0; // bytes held (reading) or waiting (writing)
    std::size_t m_nSystemCalls = 0;
    std::size_t m_nLength = 0;        // of a file opened for reading
    std::size_t m_nWritten = 0;       // bytes written since the file was opened
    std::size_t m_nWritebackFrom = 0; // of those, the first not yet set writing
};
