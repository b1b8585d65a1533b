#include "untrusted_tls_server.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>

UntrustedTlsServer::UntrustedTlsServer() : m_pServer(std::make_unique<QSslServer>())
{
    QFile certificate(QStringLiteral(QB_TEST_TLS_CERTIFICATE));
    QFile key(QStringLiteral(QB_TEST_TLS_KEY));
    if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(&certificate, QSsl::Pem));
    configuration.setPrivateKey(QSslKey(&key, QSsl::Rsa, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_pServer->setSslConfiguration(configuration);
    QObject::connect(m_pServer.get(), &QSslServer::startedEncryptionHandshake, m_pServer.get(),
                     [this](QSslSocket*) { ++m_nHandshakes; });
    QObject::connect(m_pServer.get(), &QSslServer::pendingConnectionAvailable, m_pServer.get(),
                     [this] {
                         while (QTcpSocket* pSocket = m_pServer->nextPendingConnection())
                             QObject::connect(pSocket, &QTcpSocket::disconnected, pSocket,
                                              &QObject::deleteLater);
                     });
    if (configuration.localCertificate().isNull() || configuration.privateKey().isNull())
        return;
    m_pServer->listen(QHostAddress::LocalHost, 0);
}

UntrustedTlsServer::~UntrustedTlsServer() = default;

bool UntrustedTlsServer::IsListening() const
{
    return m_pServer->isListening();
}

QUrl UntrustedTlsServer::Url(const QString& strPath) const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(m_pServer->serverPort()).arg(strPath));
}
