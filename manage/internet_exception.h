#pragma once

#include <QString>

#include <exception>
#include <string>

// The published list could not be fetched: the server was not reached, or the
// transfer broke off before it could be read. Carries the error number in the
// internet client's numbering and a description for the user.
class CInternetException : public std::exception
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

    CInternetException(unsigned long dwError, QString strDescription);

    const char* what() const noexcept override { return m_strWhat.c_str(); }
    QString GetErrorMessage() const { return m_strDescription; }

    unsigned long m_dwError;

private:
    QString m_strDescription;
    std::string m_strWhat;
};
