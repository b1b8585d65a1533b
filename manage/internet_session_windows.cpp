#include "internet_session.h"

#include "internet_exception.h"
#include "memory_file.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <windows.h>

#include <wininet.h>

namespace
{

// One read's share of the body: large enough that a list comes in a few
// reads, small enough that the deadline is looked at often.
constexpr DWORD kReadChunk = 64 * 1024;

using Clock = std::chrono::steady_clock;

const wchar_t* Wide(const CString& str)
{
    return reinterpret_cast<const wchar_t*>(str.c_str());
}

// Closes a WinINet handle when it goes out of scope.
class CInternetHandle
{
public:
    explicit CInternetHandle(HINTERNET hInternet = nullptr) : m_hInternet(hInternet) {}
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    ~CInternetHandle() { Reset(nullptr); }
    void Reset(HINTERNET hInternet)
    {
        if (m_hInternet)
            ::InternetCloseHandle(m_hInternet);
        m_hInternet = hInternet;
    }
    HINTERNET Get() const { return m_hInternet; }

private:
    HINTERNET m_hInternet;
};

// The system's description of a WinINet error, in the user's language where
// the system has one; empty when it has none (the exception then says
// "Internal application error.").
CString ErrorText(DWORD dwError)
{
    wchar_t* pszText = nullptr;
    const DWORD nLength =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                             FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         ::GetModuleHandleW(L"wininet.dll"), dwError, 0,
                         reinterpret_cast<wchar_t*>(&pszText), 0, nullptr);
    CString strText;
    if (nLength > 0 && pszText)
        strText.assign(reinterpret_cast<const char16_t*>(pszText), nLength);
    ::LocalFree(pszText);
    while (!strText.empty() && (strText.back() == u'\n' || strText.back() == u'\r'))
        strText.pop_back();
    return strText;
}

bool IsCertificateError(DWORD dwError, CCertificateFault& fault)
{
    switch (dwError) {
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
        fault = CCertificateFault::expired;
        return true;
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
        fault = CCertificateFault::otherName;
        return true;
    case ERROR_INTERNET_SEC_CERT_REVOKED:
        fault = CCertificateFault::revoked;
        return true;
    case ERROR_INTERNET_INVALID_CA:
        fault = CCertificateFault::untrustedIssuer;
        return true;
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_INVALID_CERT:
        fault = CCertificateFault::unknownFault;
        return true;
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
    case 12175: // ERROR_INTERNET_SECURE_FAILURE, not in every SDK
        fault = CCertificateFault::noFault;
        return true;
    default:
        return false;
    }
}

// How long the next wait on the server may take: the idle time-out, but never
// past the deadline; at least a millisecond, since 0 would mean no limit.
DWORD WaitLimitMs(const CDownloadLimits& limits, Clock::time_point deadline)
{
    const auto nLeft =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<DWORD>(
        std::max<long long>(1, std::min<long long>(limits.nIdleTimeoutMs, nLeft)));
}

void SetWaitLimits(HINTERNET hInternet, DWORD dwMs)
{
    for (const DWORD dwOption : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                 INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(hInternet, dwOption, &dwMs, sizeof dwMs);
}

// Opens a GET of strUrl (http or https) on hInternet and sends it, with the
// waits limited to dwWaitMs; ERROR_SUCCESS, or the WinINet error.
DWORD OpenRequest(HINTERNET hInternet, const CString& strUrl, DWORD dwWaitMs,
                  CInternetHandle& connection, CInternetHandle& request)
{
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(Wide(strUrl), 0, 0, &parts))
        return ::GetLastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    connection.Reset(::InternetConnectW(hInternet, host.c_str(), parts.nPort, nullptr, nullptr,
                                        INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection.Get())
        return ::GetLastError();
    DWORD dwFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                    INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;
    request.Reset(::HttpOpenRequestW(connection.Get(), L"GET", object.c_str(), nullptr, nullptr,
                                     nullptr, dwFlags, 1));
    if (!request.Get())
        return ::GetLastError();
    SetWaitLimits(request.Get(), dwWaitMs);
    static const wchar_t kHeaders[] = L"Cache-Control: no-cache\r\n";
    if (!::HttpSendRequestW(request.Get(), kHeaders, static_cast<DWORD>(-1), nullptr, 0))
        return ::GetLastError();
    return ERROR_SUCCESS;
}

} // namespace

struct CInternetSession::CImpl {
    CString strAgent;
};

CInternetSession::CInternetSession(CString strAgent) : m_pImpl(std::make_unique<CImpl>())
{
    m_pImpl->strAgent = std::move(strAgent);
}

CInternetSession::~CInternetSession() = default;

std::unique_ptr<CFile> CInternetSession::OpenURL(const CString& strUrl,
                                                 const CDownloadLimits& limits)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limits.nDeadlineMs);
    // The system's proxy settings, the application name as the agent.
    CInternetHandle internet(::InternetOpenW(Wide(m_pImpl->strAgent), INTERNET_OPEN_TYPE_PRECONFIG,
                                             nullptr, nullptr, 0));
    if (!internet.Get()) {
        const DWORD dwError = ::GetLastError();
        throw CInternetException(dwError, ErrorText(dwError));
    }
    SetWaitLimits(internet.Get(), WaitLimitMs(limits, deadline));
    // Always from the origin server: not read from the cache, not written to
    // it, and no cache on the way may answer either (Pragma for the old ones,
    // Cache-Control for the rest). Nothing is asked of the user: a transfer
    // that needs an answer fails. The request is opened in its steps rather
    // than by InternetOpenUrlW, so that the wait for its answer is limited:
    // not every WinINet hands the internet handle's time-outs on to the
    // requests that InternetOpenUrlW makes.
    CInternetHandle connection;
    CInternetHandle request;
    const DWORD dwWaitMs = WaitLimitMs(limits, deadline);
    const Clock::time_point sent = Clock::now();
    const DWORD dwError = OpenRequest(internet.Get(), strUrl, dwWaitMs, connection, request);
    if (dwError != ERROR_SUCCESS) {
        if (Clock::now() >= deadline)
            throw NoAnswerHeaderException(limits.nDeadlineMs);
        // Some WinINets report the end of the wait as the connection's end.
        const bool bWaitOver = Clock::now() >= sent + std::chrono::milliseconds(dwWaitMs);
        if (dwError == ERROR_INTERNET_TIMEOUT ||
            (bWaitOver && (dwError == ERROR_INTERNET_CONNECTION_ABORTED ||
                           dwError == ERROR_INTERNET_CONNECTION_RESET)))
            throw NoAnswerHeaderException(limits.nIdleTimeoutMs);
        CCertificateFault fault = CCertificateFault::noFault;
        if (IsCertificateError(dwError, fault))
            throw SecureFailureException(fault);
        throw CInternetException(dwError, ErrorText(dwError));
    }

    // Once the answer has begun, a transfer that breaks off, stalls or runs
    // past the deadline keeps what arrived: the status is not examined, an
    // error page is a body like any other. Never more than one byte past the
    // cap is held.
    std::string body;
    for (;;) {
        if (Clock::now() >= deadline)
            break;
        SetWaitLimits(request.Get(), WaitLimitMs(limits, deadline));
        const auto nHeld = static_cast<long long>(body.size());
        const auto dwWanted =
            static_cast<DWORD>(std::min<long long>(kReadChunk, limits.nMaxBytes + 1 - nHeld));
        body.resize(static_cast<std::size_t>(nHeld) + dwWanted);
        DWORD dwRead = 0;
        const bool bRead =
            ::InternetReadFile(request.Get(), body.data() + nHeld, dwWanted, &dwRead);
        body.resize(static_cast<std::size_t>(nHeld) + (bRead ? dwRead : 0));
        if (static_cast<long long>(body.size()) > limits.nMaxBytes)
            throw TooLargeException(limits.nMaxBytes);
        if (!bRead || dwRead == 0)
            break;
    }
    return std::make_unique<CMemoryFile>(std::move(body));
}
