#pragma once

#include "text.h"

#include <exception>
#include <string>

// Base of the toolkit's own exceptions. The text is what the general failure
// report shows when the exception escapes a handler.
class CException : public std::exception
{
public:
    explicit CException(CString strMessage = CString());

    virtual CString GetErrorMessage() const { return m_strMessage; }
    const char* what() const noexcept override { return m_strWhat.c_str(); }

private:
    CString m_strMessage;
    std::string m_strWhat;
};
