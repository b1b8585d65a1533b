#include "internet_session.h"

#include "internet_exception.h"
#include "memory_file.h"
#include "qt_text.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>

#include <algorithm>
#include <string>

namespace
{

// The system's proxy settings for this transfer only, without touching the
// process-wide setting that a host may rely on.
class CSystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

unsigned long ErrorNumber(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return CInternetException::errorCannotConnect;
    case QNetworkReply::HostNotFoundError:
        return CInternetException::errorNameNotResolved;
    case QNetworkReply::TimeoutError:
        return CInternetException::errorTimeout;
    case QNetworkReply::RemoteHostClosedError:
        return CInternetException::errorConnectionReset;
    case QNetworkReply::SslHandshakeFailedError:
        return CInternetException::errorSecureFailure;
    default:
        return CInternetException::errorInternal;
    }
}

// The certificate's first fault that a user can act on.
CCertificateFault FaultOf(const QList<QSslError>& errors)
{
    CCertificateFault fault = CCertificateFault::noFault;
    for (const QSslError& error : errors) {
        switch (error.error()) {
        case QSslError::CertificateExpired:
        case QSslError::CertificateNotYetValid:
            return CCertificateFault::expired;
        case QSslError::HostNameMismatch:
            return CCertificateFault::otherName;
        case QSslError::CertificateRevoked:
            return CCertificateFault::revoked;
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            return CCertificateFault::untrustedIssuer;
        default:
            fault = CCertificateFault::unknownFault;
        }
    }
    return fault;
}

// What Qt's network thread may hold beyond what has been read: together with
// the cap this bounds the memory a transfer takes, whatever the server sends.
// Large enough that the network thread seldom waits for this one to read.
constexpr qint64 kReadBufferSize = 1024 * 1024;

// Takes what has arrived, but never more than one byte past the cap; false once
// the body is over the cap. The bytes go straight into the body that the list
// is read from, copied once.
bool TakeBody(QNetworkReply* pReply, std::string& body, long long nMaxBytes)
{
    const auto nHeld = static_cast<long long>(body.size());
    const long long nTake = std::min(nMaxBytes + 1 - nHeld, pReply->bytesAvailable());
    if (nTake > 0) {
        body.resize(static_cast<std::size_t>(nHeld + nTake));
        const qint64 nRead = pReply->read(body.data() + nHeld, nTake);
        body.resize(static_cast<std::size_t>(nHeld + std::max<qint64>(nRead, 0)));
    }
    return static_cast<long long>(body.size()) <= nMaxBytes;
}

} // namespace

struct CInternetSession::CImpl {
    QNetworkAccessManager manager;
    QString strAgent;
};

CInternetSession::CInternetSession(CString strAgent) : m_pImpl(std::make_unique<CImpl>())
{
    m_pImpl->manager.setProxyFactory(new CSystemProxyFactory);
    m_pImpl->strAgent = ToQString(strAgent);
}

CInternetSession::~CInternetSession() = default;

std::unique_ptr<CFile> CInternetSession::OpenURL(const CString& strUrl,
                                                 const CDownloadLimits& limits)
{
    QNetworkRequest request{QUrl(ToQString(strUrl))};
    request.setHeader(QNetworkRequest::UserAgentHeader, m_pImpl->strAgent);
    // Always from the origin server, never from a cache on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    QNetworkReply* pReply = m_pImpl->manager.get(request);
    pReply->setReadBufferSize(kReadBufferSize);

    std::string body;
    QEventLoop loop;
    // Qt's own transfer time-out does not count the answer's headers as
    // progress, so the idle time-out is a timer restarted by hand.
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(limits.nIdleTimeoutMs);
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setInterval(limits.nDeadlineMs);
    bool bTimedOut = false;
    bool bOverDeadline = false;
    bool bTooLarge = false;
    const auto stopTooLarge = [&] {
        bTooLarge = true;
        pReply->abort();
    };
    QObject::connect(pReply, &QNetworkReply::readyRead, &loop, [&] {
        idle.start();
        if (!bTooLarge && !TakeBody(pReply, body, limits.nMaxBytes))
            stopTooLarge();
    });
    // The count of received bytes can pass the cap before the body is read.
    QObject::connect(pReply, &QNetworkReply::downloadProgress, &loop, [&](qint64 nReceived) {
        if (!bTooLarge && nReceived > limits.nMaxBytes)
            stopTooLarge();
    });
    // Every sign of life counts as progress: the request going out, the
    // answer's headers, and each part of the body.
    const auto restartIdle = [&idle] { idle.start(); };
    QObject::connect(pReply, &QNetworkReply::requestSent, &idle, restartIdle);
    QObject::connect(pReply, &QNetworkReply::metaDataChanged, &idle, restartIdle);
    QObject::connect(pReply, &QNetworkReply::downloadProgress, &idle, restartIdle);
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        bTimedOut = true;
        pReply->abort();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        bOverDeadline = true;
        pReply->abort();
    });
    QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // Not ignored: a certificate that cannot be trusted ends the transfer.
    QList<QSslError> sslErrors;
    QObject::connect(pReply, &QNetworkReply::sslErrors, &loop,
                     [&sslErrors](const QList<QSslError>& errors) { sslErrors = errors; });
    idle.start();
    deadline.start();
    if (!pReply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // An aborted reply has nothing more to read.
    if (!bTooLarge && !bTimedOut && !bOverDeadline && !TakeBody(pReply, body, limits.nMaxBytes))
        bTooLarge = true;

    const QNetworkReply::NetworkError error = pReply->error();
    const bool bAnswered = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    const QString strError = pReply->errorString();
    delete pReply;
    if (bTooLarge)
        throw TooLargeException(limits.nMaxBytes);
    // Once the answer has begun, a transfer that ends early, for whatever
    // reason, keeps what arrived: the status is not examined, an error page is
    // a body like any other.
    if (bAnswered || error == QNetworkReply::NoError)
        return std::make_unique<CMemoryFile>(std::move(body));
    // Said so, since the server may have been sending all the while: a header
    // without end is not an answer either.
    if (bOverDeadline)
        throw NoAnswerHeaderException(limits.nDeadlineMs);
    if (bTimedOut)
        throw NoAnswerHeaderException(limits.nIdleTimeoutMs);
    if (error == QNetworkReply::SslHandshakeFailedError)
        throw SecureFailureException(FaultOf(sslErrors));
    throw CInternetException(ErrorNumber(error), FromQString(strError));
}
