#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QUrl>

#include <atomic>
#include <memory>

class QThread;

// A small HTTP/1.1 server on 127.0.0.1 for tests, answering on a thread of its
// own so that a client blocking the test's thread is still served. Paths are
// answered as set with Serve (others get 404); every request is recorded
// with its headers and body.
class TestHttpServer
{
public:
    struct Request {
        QByteArray method;
        QByteArray target; // as sent, with the query
        QByteArray path;   // without the query
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;

        // The first header of that name (case-insensitive), empty if none.
        QByteArray Header(const QByteArray& name) const;
        bool HasHeader(const QByteArray& name) const;
    };

    struct Reply {
        enum class Mode {
            Normal,      // the whole answer
            Truncate,    // Content-Length of the whole body, then only truncateAt bytes and close
            Stall,       // nothing at all; the connection stays open
            Close,       // the connection closed without an answer
            Trickle,     // the body chunkBytes at a time, one part every chunkDelayMs, then close
            StallAfter,  // Content-Length of the whole body, then truncateAt bytes; stays open
            Endless,     // a chunked body without end: body again and again, as fast as taken
            HeaderFlood, // the status line, then another header line every chunkDelayMs, for ever
        };
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int headerDelayMs = 0; // before anything is sent
        int bodyDelayMs = 0;   // between the headers and the body
        // The headers at once, the body only on Release: a test sees the
        // client while the answer is on its way, however slow the machine.
        bool bHeld = false;
        Mode mode = Mode::Normal;
        int truncateAt = 0;
        int chunkBytes = 1;
        int chunkDelayMs = 0;
    };

    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    void Serve(const QByteArray& path, const Reply& reply);
    // An HTML page with that title and body text.
    void ServePage(const QByteArray& path, const QString& strTitle, const QString& strText = {},
                   int bodyDelayMs = 0);
    static QByteArray Page(const QString& strTitle, const QString& strText);
    // Sends the bodies held for path; later requests for it get theirs at once.
    void Release(const QByteArray& path);

    quint16 Port() const { return m_nPort; }
    QUrl Url(const QByteArray& path) const;

    QList<Request> Requests() const;
    QList<Request> RequestsFor(const QByteArray& path) const;
    void ClearRequests();
    // Bytes of answers handed to the system so far, headers included.
    qint64 BytesSent() const { return m_nBytesSent; }

private:
    class Worker;
    friend class Worker;

    mutable QMutex m_mutex;
    QMap<QByteArray, Reply> m_replies;
    QList<Request> m_requests;
    std::atomic<qint64> m_nBytesSent = 0;
    quint16 m_nPort = 0;
    std::unique_ptr<QThread> m_pThread;
    Worker* m_pWorker = nullptr;
};
