#pragma once

#include <QUrl>

#include <memory>

class QSslServer;

// A TLS server on 127.0.0.1 whose certificate nobody trusts: made for the
// test build, signed by itself. Clients that check certificates, as the
// browser and the download do, break off in the handshake; nothing is ever
// answered. Served by the event loop of the thread that made it.
class UntrustedTlsServer
{
public:
    UntrustedTlsServer();
    ~UntrustedTlsServer();
    UntrustedTlsServer(const UntrustedTlsServer&) = delete;
    UntrustedTlsServer& operator=(const UntrustedTlsServer&) = delete;

    // False when the certificate could not be read or nothing listens.
    bool IsListening() const;
    QUrl Url(const QString& strPath) const;
    // Handshakes that clients began.
    int Handshakes() const { return m_nHandshakes; }

private:
    std::unique_ptr<QSslServer> m_pServer;
    int m_nHandshakes = 0;
};
