#pragma once

#include "file.h"
#include "text.h"

#include <memory>
#include <string>

// Limits of one transfer; the defaults suit the maker's server, tests shorten them.
struct CDownloadLimits {
    int nIdleTimeoutMs = 30 * 1000;
    long long nMaxBytes = 4 * 1024 * 1024;
    // All of the transfer, however steadily the server sends.
    int nDeadlineMs = 60 * 1000;
};

// The internet client of the download, one per transfer: requests go out with
// the system's proxy settings, signed with the agent name, and are always
// answered by the origin server, never from a cache. The calling thread waits
// for the transfer; no user input is handled meanwhile.
class CInternetSession
{
public:
    explicit CInternetSession(CString strAgent);
    ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // GETs strUrl (http, https, or a file of this machine) and gives the body
    // of the answer, whatever its status, as a byte stream whose reads never
    // fail. Raises CInternetException when the server cannot be reached or the
    // file read, when the answer's header is not complete before the idle
    // time-out or the deadline, or when the body is over the size cap (no
    // more than that is ever held). A transfer that breaks off, stalls or
    // runs past the deadline after the answer began gives what arrived.
    std::unique_ptr<CFile> OpenURL(const CString& strUrl, const CDownloadLimits& limits);

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};
