#pragma once

#include "exception.h"

// An automation call failed with a status code (the browser control is not
// there, or refused the call without a description of its own).
class COleException : public CException
{
public:
    explicit COleException(long sc);

    static constexpr long E_FAIL_CODE = static_cast<long>(0x80004005L);
    static constexpr long E_NOTCONNECTED_CODE =
        static_cast<long>(0x800401FDL); // CO_E_OBJNOTCONNECTED

    long m_sc;
};
