#pragma once

#include "exception.h"
#include "text.h"

// The published list could not be fetched: the server was not reached, or the
// transfer broke off before it could be read. Carries the error number in the
// internet client's numbering and a description for the user.
class CInternetException : public CException
{
public:
    // Error numbers of the internet client.
    enum : unsigned long {
        errorTimeout = 12002,
        errorInternal = 12004,
        errorNameNotResolved = 12007,
        errorConnectionAborted = 12030,
        errorCannotConnect = 12029,
        errorConnectionReset = 12031,
        errorSecureFailure = 12157,
        errorTooLarge = 12019,
    };

    // Without a description, the text is "Internal application error.".
    CInternetException(unsigned long dwError, CString strDescription);

    unsigned long m_dwError;
};

// The failures every internet client reports in the same words.

// The server did not complete the header of its answer within nMs.
CInternetException NoAnswerHeaderException(int nMs);
// The server sent more than nMaxBytes, more than any real list holds.
CInternetException TooLargeException(long long nMaxBytes);

// Why a secure connection was not made: the first fault of the server's
// certificate that a user can act on, unknownFault for one that is none of
// those, noFault when the client named none.
enum class CCertificateFault {
    noFault,
    unknownFault,
    expired,
    otherName,
    revoked,
    untrustedIssuer,
};
CInternetException SecureFailureException(CCertificateFault fault);
