#pragma once

#include <exception>
#include <string>

// A failed file operation. m_lOsError is the system's error number, or -1 when
// the failure is the data's own (a string cut off at the end of a stream).
class CFileException : public std::exception
{
public:
    enum Cause { none, generic, fileNotFound, accessDenied, diskFull, endOfFile };

    CFileException(Cause cause, long lOsError);

    const char* what() const noexcept override;

    Cause m_cause;
    long m_lOsError;

private:
    std::string m_strWhat;
};
