#include "test_http_server.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <functional>

// Lives on the server's thread: accepts, reads one request per connection,
// answers as the reply for its path says.
class TestHttpServer::Worker : public QObject
{
public:
    explicit Worker(TestHttpServer* pOwner) : m_pOwner(pOwner) {}

    quint16 Listen()
    {
        m_pServer = new QTcpServer(this);
        QObject::connect(m_pServer, &QTcpServer::newConnection, this, [this] { Accept(); });
        if (!m_pServer->listen(QHostAddress::LocalHost, 0))
            return 0;
        return m_pServer->serverPort();
    }

    void Release(const QByteArray& path)
    {
        for (auto it = m_held.begin(); it != m_held.end();) {
            if (it->first == path) {
                SendBody(it->second.first, it->second.second);
                it = m_held.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Shut()
    {
        for (const QPointer<QTcpSocket>& pSocket : m_sockets)
            if (pSocket)
                pSocket->abort();
        delete m_pServer;
        m_pServer = nullptr;
    }

private:
    void Accept()
    {
        while (QTcpSocket* pSocket = m_pServer->nextPendingConnection()) {
            m_sockets << pSocket;
            auto pBuffer = std::make_shared<QByteArray>();
            QObject::connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, pSocket, pBuffer] {
                if (pSocket->property("answered").toBool()) {
                    pSocket->readAll();
                    return;
                }
                *pBuffer += pSocket->readAll();
                Request request;
                if (!Parse(*pBuffer, request))
                    return;
                pSocket->setProperty("answered", true);
                Answer(pSocket, request);
            });
            QObject::connect(pSocket, &QTcpSocket::disconnected, pSocket, &QObject::deleteLater);
        }
    }

    // True once the request line, the headers and the announced body are in.
    static bool Parse(const QByteArray& buffer, Request& request)
    {
        const auto nEnd = buffer.indexOf("\r\n\r\n");
        if (nEnd < 0)
            return false;
        const QList<QByteArray> lines = buffer.left(nEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        request.path = request.target.left(
            request.target.indexOf('?') < 0 ? request.target.size() : request.target.indexOf('?'));
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const auto nColon = line.indexOf(':');
            if (nColon > 0)
                request.headers.append(
                    {line.left(nColon).trimmed(), line.mid(nColon + 1).trimmed()});
        }
        const qsizetype nLength = request.Header("Content-Length").toLongLong();
        if (buffer.size() - (nEnd + 4) < nLength)
            return false;
        request.body = buffer.mid(nEnd + 4, nLength);
        return true;
    }

    void Answer(QTcpSocket* pSocket, const Request& request)
    {
        Reply reply;
        {
            QMutexLocker lock(&m_pOwner->m_mutex);
            m_pOwner->m_requests.append(request);
            const auto it = m_pOwner->m_replies.constFind(request.path);
            if (it != m_pOwner->m_replies.constEnd()) {
                reply = *it;
            } else {
                reply.status = 404;
                reply.body = TestHttpServer::Page(QStringLiteral("Not found"),
                                                  QString::fromLatin1(request.path));
            }
        }
        if (reply.mode == Reply::Mode::Stall)
            return;
        QPointer<QTcpSocket> pGuard(pSocket);
        QTimer::singleShot(
            reply.headerDelayMs, pSocket, [this, pGuard, reply, path = request.path] {
                if (!pGuard)
                    return;
                if (reply.mode == Reply::Mode::Close) {
                    pGuard->disconnectFromHost();
                    return;
                }
                Send(pGuard, Head(reply));
                if (reply.mode == Reply::Mode::HeaderFlood)
                    return Repeat(pGuard, reply.chunkDelayMs, [this, pGuard, n = 0]() mutable {
                        return Send(pGuard, "X-Flood-" + QByteArray::number(++n) + ": " +
                                                QByteArray(64, 'a') + "\r\n");
                    });
                if (reply.mode == Reply::Mode::Endless)
                    return SendEndlessly(pGuard, reply.body.isEmpty() ? QByteArray(65536, 'a')
                                                                      : reply.body);
                if (reply.bHeld) {
                    m_held.append({path, {pGuard, reply}});
                    return;
                }
                QTimer::singleShot(reply.bodyDelayMs, pGuard.data(),
                                   [this, pGuard, reply] { SendBody(pGuard, reply); });
            });
    }

    void SendBody(const QPointer<QTcpSocket>& pSocket, const Reply& reply)
    {
        if (!pSocket)
            return;
        if (reply.mode == Reply::Mode::Trickle)
            return Repeat(pSocket, reply.chunkDelayMs, [this, pSocket, reply, n = 0]() mutable {
                if (!Send(pSocket, reply.body.mid(n, reply.chunkBytes)))
                    return false;
                n += reply.chunkBytes;
                if (n < reply.body.size())
                    return true;
                pSocket->disconnectFromHost();
                return false;
            });
        const bool bCut =
            reply.mode == Reply::Mode::Truncate || reply.mode == Reply::Mode::StallAfter;
        Send(pSocket, bCut ? reply.body.left(reply.truncateAt) : reply.body);
        if (reply.mode != Reply::Mode::StallAfter)
            pSocket->disconnectFromHost();
    }

    static QByteArray Head(const Reply& reply)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                          (reply.status == 200 ? "OK" : "Status") + "\r\n";
        if (reply.mode == Reply::Mode::HeaderFlood)
            return head;
        head += "Content-Type: " + reply.contentType + "\r\n";
        if (reply.mode == Reply::Mode::Endless)
            head += "Transfer-Encoding: chunked\r\n";
        else
            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        head += "Connection: close\r\n";
        for (const auto& header : reply.headers)
            head += header.first + ": " + header.second + "\r\n";
        return head + "\r\n";
    }

    // False once the client has gone: nothing more can be sent on this connection.
    bool Send(QTcpSocket* pSocket, const QByteArray& data)
    {
        if (pSocket->state() != QAbstractSocket::ConnectedState)
            return false;
        const qint64 nWritten = pSocket->write(data);
        if (nWritten < 0)
            return false;
        m_pOwner->m_nBytesSent += nWritten;
        pSocket->flush();
        return pSocket->state() == QAbstractSocket::ConnectedState;
    }

    // step runs every delayMs while the socket lives and step returns true.
    static void Repeat(QTcpSocket* pSocket, int delayMs, std::function<bool()> step)
    {
        auto* pTimer = new QTimer(pSocket);
        pTimer->setInterval(delayMs);
        QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, step] {
            if (!step())
                pTimer->stop();
        });
        pTimer->start();
    }

    // A new chunk whenever the client has taken most of what waits for it.
    void SendEndlessly(QTcpSocket* pSocket, const QByteArray& part)
    {
        const QByteArray chunk = QByteArray::number(part.size(), 16) + "\r\n" + part + "\r\n";
        const auto topUp = [this, pSocket, chunk] {
            while (pSocket->bytesToWrite() < 4 * chunk.size())
                if (!Send(pSocket, chunk))
                    return;
        };
        QObject::connect(pSocket, &QTcpSocket::bytesWritten, pSocket, topUp);
        topUp();
    }

    TestHttpServer* m_pOwner;
    QTcpServer* m_pServer = nullptr;
    QList<QPointer<QTcpSocket>> m_sockets;
    // Answers whose body waits for Release, by path.
    QList<QPair<QByteArray, QPair<QPointer<QTcpSocket>, Reply>>> m_held;
};

QByteArray TestHttpServer::Request::Header(const QByteArray& name) const
{
    for (const auto& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return QByteArray();
}

bool TestHttpServer::Request::HasHeader(const QByteArray& name) const
{
    for (const auto& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

TestHttpServer::TestHttpServer() : m_pThread(std::make_unique<QThread>())
{
    m_pThread->setObjectName(QStringLiteral("TestHttpServer"));
    m_pThread->start();
    m_pWorker = new Worker(this);
    m_pWorker->moveToThread(m_pThread.get());
    QMetaObject::invokeMethod(
        m_pWorker, [this] { m_nPort = m_pWorker->Listen(); }, Qt::BlockingQueuedConnection);
}

TestHttpServer::~TestHttpServer()
{
    QMetaObject::invokeMethod(
        m_pWorker,
        [this] {
            m_pWorker->Shut();
            delete m_pWorker;
        },
        Qt::BlockingQueuedConnection);
    m_pThread->quit();
    m_pThread->wait();
}

void TestHttpServer::Serve(const QByteArray& path, const Reply& reply)
{
    QMutexLocker lock(&m_mutex);
    m_replies.insert(path, reply);
}

void TestHttpServer::Release(const QByteArray& path)
{
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_replies.find(path);
        if (it != m_replies.end())
            it->bHeld = false;
    }
    QMetaObject::invokeMethod(
        m_pWorker, [this, path] { m_pWorker->Release(path); }, Qt::BlockingQueuedConnection);
}

void TestHttpServer::ServePage(const QByteArray& path, const QString& strTitle,
                               const QString& strText, int bodyDelayMs)
{
    Reply reply;
    reply.body = Page(strTitle, strText);
    reply.bodyDelayMs = bodyDelayMs;
    Serve(path, reply);
}

QByteArray TestHttpServer::Page(const QString& strTitle, const QString& strText)
{
    const QString strHtml = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                           "<title>%1</title></head><body><h1>%1</h1><p>%2</p>"
                                           "</body></html>")
                                .arg(strTitle.toHtmlEscaped(), strText.toHtmlEscaped());
    return strHtml.toUtf8();
}

QUrl TestHttpServer::Url(const QByteArray& path) const
{
    return QUrl(
        QStringLiteral("http://127.0.0.1:%1%2").arg(m_nPort).arg(QString::fromLatin1(path)));
}

QList<TestHttpServer::Request> TestHttpServer::Requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

QList<TestHttpServer::Request> TestHttpServer::RequestsFor(const QByteArray& path) const
{
    QMutexLocker lock(&m_mutex);
    QList<Request> found;
    for (const Request& request : m_requests)
        if (request.path == path)
            found << request;
    return found;
}

void TestHttpServer::ClearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}
