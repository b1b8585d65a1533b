#include "catalogue_download.h"

#include "internet_exception.h"
#include "memory_file.h"
#include "module_directory.h"
#include "published_list.h"
#include "site_address.h"
#include "utf_text.h"

#include <QEventLoop>
#include <QLocale>
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

// What Qt's network thread may hold beyond what has been read: together with
// the cap this bounds the memory a transfer takes, whatever the server sends.
// Large enough that the network thread seldom waits for this one to read.
constexpr qint64 kReadBufferSize = 1024 * 1024;

QNetworkRequest ListRequest(const std::u16string& fileName)
{
    QNetworkRequest request{QUrl(QString::fromStdU16String(SiteBaseAddress() + fileName))};
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(ModuleBaseName()));
    // Always from the maker's server, never from a cache on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    return request;
}

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

CInternetException NoAnswerHeader(int nMs)
{
    return CInternetException(
        CInternetException::errorTimeout,
        QStringLiteral("Server ei saatnud %1 sekundi jooksul oma vastuse päist lõpuni. "
                       "Laadimine katkestati.")
            .arg(QLocale(QLocale::Estonian).toString(nMs / 1000.0)));
}

// Why a secure connection was not made, in the words of the certificate's
// first fault that a user can act on.
QString SecureFailureText(const QList<QSslError>& errors)
{
    QString strReason = QStringLiteral("Turvalise ühenduse loomine serveriga ebaõnnestus.");
    for (const QSslError& error : errors) {
        switch (error.error()) {
        case QSslError::CertificateExpired:
        case QSslError::CertificateNotYetValid:
            strReason = QStringLiteral("Serveri turvasertifikaat on aegunud või ei kehti veel.");
            break;
        case QSslError::HostNameMismatch:
            strReason = QStringLiteral("Serveri turvasertifikaat on antud teisele nimele.");
            break;
        case QSslError::CertificateRevoked:
            strReason = QStringLiteral("Serveri turvasertifikaat on tühistatud.");
            break;
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            strReason = QStringLiteral("Serveri turvasertifikaati ei ole andnud ükski usaldatav "
                                       "sertifitseerija.");
            break;
        default:
            strReason = QStringLiteral("Serveri turvasertifikaati ei saanud usaldada.");
            continue;
        }
        break;
    }
    return strReason + QStringLiteral(" Turvalist ühendust ei loodud ja sõnastike loendit ei "
                                      "laaditud.");
}

} // namespace

CDictCatalogue FetchPublishedCatalogue(const std::u16string& fileName,
                                       const CDownloadLimits& limits)
{
    QNetworkAccessManager manager;
    manager.setProxyFactory(new CSystemProxyFactory);
    QNetworkReply* pReply = manager.get(ListRequest(fileName));
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
        throw CInternetException(CInternetException::errorTooLarge,
                                 QStringLiteral("Server saatis rohkem kui %1 baiti: nii suurt "
                                                "sõnastike loendit ei ole. Laadimine katkestati.")
                                     .arg(limits.nMaxBytes));
    // Once the answer has begun, a transfer that ends early, for whatever
    // reason, keeps what arrived: the status is not examined, an error page is
    // read like any other body.
    if (bAnswered || error == QNetworkReply::NoError) {
        CMemoryFile file(std::move(body));
        return ReadPublishedList(file);
    }
    // Said so, since the server may have been sending all the while: a header
    // without end is not an answer either.
    if (bOverDeadline)
        throw NoAnswerHeader(limits.nDeadlineMs);
    if (bTimedOut)
        throw NoAnswerHeader(limits.nIdleTimeoutMs);
    // The installed site is a folder of this machine: the file is named, not a server.
    const std::string strFolder = InstalledSiteFolder();
    if (!strFolder.empty())
        throw CInternetException(
            CInternetException::errorInternal,
            QStringLiteral("Nimekirja ei saa lugeda: %1\n%2")
                .arg(QString::fromStdU16String(Utf8ToUtf16(strFolder) + fileName), strError));
    if (error == QNetworkReply::SslHandshakeFailedError)
        throw CInternetException(CInternetException::errorSecureFailure,
                                 SecureFailureText(sslErrors));
    throw CInternetException(ErrorNumber(error), strError);
}
