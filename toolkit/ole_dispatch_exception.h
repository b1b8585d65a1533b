#pragma once

#include "exception.h"

// An automation call that the control rejected, with its description.
class COleDispatchException : public CException
{
public:
    COleDispatchException(QString strDescription, int wCode = 0);

    QString m_strDescription;
    int m_wCode;
};
