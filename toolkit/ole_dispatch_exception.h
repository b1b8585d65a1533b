#pragma once

#include "exception.h"

// An automation call that the control rejected, with its description.
class COleDispatchException : public CException
{
public:
    COleDispatchException(CString strDescription, int wCode = 0);

    CString m_strDescription;
    int m_wCode;
};
