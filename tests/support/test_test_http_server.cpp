#include "test_http_server.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

struct Result {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    qint64 announced = -1;
    QByteArray body;
    qint64 elapsedMs = 0;
};

Result Fetch(const QNetworkRequest& request, const QByteArray& post = {}, int timeoutMs = 5000)
{
    QNetworkAccessManager manager;
    QNetworkRequest req(request);
    req.setTransferTimeout(timeoutMs);
    QElapsedTimer timer;
    timer.start();
    QNetworkReply* pReply = post.isNull() ? manager.get(req) : manager.post(req, post);
    QEventLoop loop;
    QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Result result;
    result.error = pReply->error();
    result.status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.announced = pReply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    result.body = pReply->readAll();
    result.elapsedMs = timer.elapsed();
    delete pReply;
    return result;
}

} // namespace

TEST(TestHttpServer, ServesPagesAndRecordsRequests)
{
    TestHttpServer server;
    server.ServePage("/quillbridge/about.html", QStringLiteral("Teave"), QStringLiteral("õ"));
    QNetworkRequest request(server.Url("/quillbridge/about.html?word=x"));
    request.setRawHeader("Cache-Control", "no-cache");
    const Result got = Fetch(request);
    EXPECT_EQ(got.error, QNetworkReply::NoError);
    EXPECT_EQ(got.status, 200);
    EXPECT_TRUE(got.body.contains("<title>Teave</title>"));
    EXPECT_TRUE(got.body.contains(QStringLiteral("õ").toUtf8()));

    const auto requests = server.RequestsFor("/quillbridge/about.html");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/quillbridge/about.html?word=x");
    EXPECT_EQ(requests[0].Header("cache-control"), "no-cache");
    EXPECT_TRUE(requests[0].HasHeader("Host"));
    EXPECT_FALSE(requests[0].HasHeader("X-None"));

    const Result missing = Fetch(QNetworkRequest(server.Url("/nothing")));
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(server.Requests().size(), 2);
    server.ClearRequests();
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST(TestHttpServer, SlowTruncatedStalledAndClosedAnswers)
{
    TestHttpServer server;
    TestHttpServer::Reply slow;
    slow.body = "slow body";
    slow.bodyDelayMs = 300;
    server.Serve("/slow", slow);
    const Result gotSlow = Fetch(QNetworkRequest(server.Url("/slow")));
    EXPECT_EQ(gotSlow.body, "slow body");
    EXPECT_GE(gotSlow.elapsedMs, 290);

    TestHttpServer::Reply cut;
    cut.body = QByteArray(100, 'x');
    cut.mode = TestHttpServer::Reply::Mode::Truncate;
    cut.truncateAt = 10;
    server.Serve("/cut", cut);
    const Result gotCut = Fetch(QNetworkRequest(server.Url("/cut")));
    EXPECT_EQ(gotCut.announced, 100);
    EXPECT_EQ(gotCut.body.size(), 10);

    TestHttpServer::Reply stall;
    stall.mode = TestHttpServer::Reply::Mode::Stall;
    server.Serve("/stall", stall);
    const Result gotStall = Fetch(QNetworkRequest(server.Url("/stall")), QByteArray(), 400);
    EXPECT_NE(gotStall.error, QNetworkReply::NoError);
    EXPECT_TRUE(gotStall.body.isEmpty());

    TestHttpServer::Reply close;
    close.mode = TestHttpServer::Reply::Mode::Close;
    server.Serve("/close", close);
    const Result gotClose = Fetch(QNetworkRequest(server.Url("/close")));
    EXPECT_NE(gotClose.error, QNetworkReply::NoError);
    // Qt retries a request whose connection closed unanswered.
    EXPECT_GE(server.RequestsFor("/close").size(), 1);
}

// The server answers on its own thread: a client that blocks the test's
// thread still gets its answer.
TEST(TestHttpServer, AnswersWhileTheTestThreadBlocks)
{
    TestHttpServer server;
    server.ServePage("/blocking", QStringLiteral("ok"));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.Port());
    ASSERT_TRUE(socket.waitForConnected(3000));
    socket.write("GET /blocking HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(3000))
        answer += socket.readAll();
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(answer.contains("<title>ok</title>"));
}

// An answer without end stops when its client goes, whenever that is: the
// server neither spins on the closed connection nor keeps others waiting.
TEST(TestHttpServer, AnswersWithoutEndStopWhenTheClientGoes)
{
    TestHttpServer server;
    server.ServePage("/after", QStringLiteral("ok"));
    TestHttpServer::Reply endless;
    endless.mode = TestHttpServer::Reply::Mode::Endless;
    server.Serve("/endless", endless);
    TestHttpServer::Reply flood;
    flood.mode = TestHttpServer::Reply::Mode::HeaderFlood;
    flood.chunkDelayMs = 1;
    server.Serve("/flood", flood);
    for (const QByteArray path : {"/endless", "/flood"}) {
        SCOPED_TRACE(path.constData());
        for (int nRound = 0; nRound < 5; ++nRound) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, server.Port());
            ASSERT_TRUE(socket.waitForConnected(3000));
            socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            QByteArray answer;
            while (answer.size() < 4096 && socket.waitForReadyRead(3000))
                answer += socket.read(4096);
            ASSERT_TRUE(answer.startsWith("HTTP/1.1 200"));
            // Unread bytes make the close a reset, which the next write meets.
            socket.abort();
        }
        QElapsedTimer timer;
        timer.start();
        qint64 nSent = -1;
        while (timer.elapsed() < 3000 && nSent != server.BytesSent()) {
            nSent = server.BytesSent();
            QTest::qWait(200);
        }
        EXPECT_EQ(server.BytesSent(), nSent);
        const Result after = Fetch(QNetworkRequest(server.Url("/after")));
        EXPECT_EQ(after.error, QNetworkReply::NoError);
        EXPECT_LT(after.elapsedMs, 3000);
    }
}
