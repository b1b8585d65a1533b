#include "catalogue_download.h"

#include "internet_exception.h"
#include "memory_file.h"
#include "module_directory.h"
#include "published_list.h"
#include "site_address.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

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

} // namespace

CDictCatalogue FetchPublishedCatalogue(const std::u16string& fileName,
                                       const CDownloadLimits& limits)
{
    const QString strUrl = QString::fromStdU16String(SiteBaseAddress() + fileName);

    QNetworkAccessManager manager;
    manager.setProxyFactory(new CSystemProxyFactory);
    QNetworkRequest request{QUrl(strUrl)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromStdString(ModuleBaseName()));
    // Always from the maker's server, never from a cache on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");

    QNetworkReply* pReply = manager.get(request);
    QByteArray body;
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(limits.nIdleTimeoutMs);
    bool bTimedOut = false;
    bool bTooLarge = false;

    QObject::connect(pReply, &QNetworkReply::readyRead, &loop, [&] {
        idle.start();
        body += pReply->readAll();
        if (body.size() > limits.nMaxBytes) {
            bTooLarge = true;
            pReply->abort();
        }
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
    QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start();
    if (!pReply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // An aborted reply has nothing more to read.
    if (!bTooLarge && !bTimedOut) {
        body += pReply->readAll();
        bTooLarge = body.size() > limits.nMaxBytes;
    }

    const QNetworkReply::NetworkError error = pReply->error();
    const bool bAnswered = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    const QString strError = pReply->errorString();
    delete pReply;

    if (bTimedOut)
        throw CInternetException(
            CInternetException::errorTimeout,
            QStringLiteral("The operation timed out: the server sent nothing for %1 seconds.")
                .arg(limits.nIdleTimeoutMs / 1000.0));
    if (bTooLarge)
        throw CInternetException(CInternetException::errorTooLarge,
                                 QStringLiteral("The server sent more than %1 bytes; this is not "
                                                "a list of dictionaries. The download was stopped.")
                                     .arg(limits.nMaxBytes));
    // The status is not examined: an error page is read like any other body,
    // and a body broken off after the answer began keeps what arrived.
    if (error != QNetworkReply::NoError && !bAnswered)
        throw CInternetException(ErrorNumber(error), strError);

    CMemoryFile file(body.toStdString());
    return ReadPublishedList(file);
}
