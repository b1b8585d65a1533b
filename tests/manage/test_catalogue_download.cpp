#include "catalogue_download.h"
#include "internet_exception.h"
#include "manage_test.h"
#include "test_http_server.h"
#include "untrusted_tls_server.h"
#include "unused_port.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace
{

const CDictEntry kEkss{u"EKSS", u"utf8", u"http://127.0.0.1/ekss?q="};
const CDictEntry kOs{u"ÕS", u"baltic", u"http://127.0.0.1/os?w="};
const CDictEntry kVene{u"Русско-эстонский", u"western", u"http://127.0.0.1/ru?w="};

// The maker's site on a server of the test's own.
class CatalogueDownloadTest : public ::testing::Test
{
protected:
    void Serve(const QByteArray& body, const QByteArray& fileName = "dict.kvd")
    {
        TestHttpServer::Reply reply;
        reply.contentType = "application/octet-stream";
        reply.body = body;
        m_server.Serve("/quillbridge/" + fileName, reply);
    }

    void Serve(const TestHttpServer::Reply& reply)
    {
        m_server.Serve("/quillbridge/dict.kvd", reply);
    }

    // The failure of a fetch that must fail.
    CInternetException FetchFailure(const CDownloadLimits& limits = {})
    {
        try {
            const CDictCatalogue got = FetchPublishedCatalogue(u"dict.kvd", limits);
            ADD_FAILURE() << "fetched " << got.GetCount() << " entries";
        } catch (const CInternetException& e) {
            return e;
        }
        return CInternetException(0, {});
    }

    static QString Message(const CInternetException& e)
    {
        return QString::fromStdU16String(e.GetErrorMessage());
    }

    TestHttpServer m_server;
    SiteBaseOverride m_site{m_server.Url("/quillbridge/").toString()};
};

} // namespace

TEST_F(CatalogueDownloadTest, ACompleteListComesBackWholeAndInOrder)
{
    const std::vector<CDictEntry> entries = {kEkss, kOs, kVene, kOs};
    Serve(PublishedBody(entries, 2), "predict.kvd");
    const CDictCatalogue got = FetchPublishedCatalogue(u"predict.kvd");
    // A pre-dictionary list too: nothing hidden, no " --- " added.
    EXPECT_EQ(got.entries, entries);
    EXPECT_EQ(got.fixedCount, 0);
    EXPECT_TRUE(got.title.empty());
    ASSERT_EQ(m_server.Requests().size(), 1);
    EXPECT_EQ(m_server.Requests()[0].method, "GET");
    EXPECT_EQ(m_server.Requests()[0].target, "/quillbridge/predict.kvd");
}

TEST_F(CatalogueDownloadTest, TheListEndsAtAnEmptyFieldOrWhereTheBodyBreaksOff)
{
    Serve(PublishedBody({kEkss, kOs, {u"Katki", u"", u"http://x/"}, kVene}));
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, (std::vector<CDictEntry>{kEkss, kOs}));

    // Cut inside the second string of the third entry.
    const QByteArray whole = PublishedBody({kEkss, kOs, kVene});
    const qsizetype nCut = PublishedBody({kEkss, kOs}).size() + 2 * (kVene.name.size() + 1) + 4;
    Serve(whole.left(nCut));
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, (std::vector<CDictEntry>{kEkss, kOs}));

    // The same cut by the connection: the server announced more and closed.
    TestHttpServer::Reply broken;
    broken.body = whole;
    broken.mode = TestHttpServer::Reply::Mode::Truncate;
    broken.truncateAt = static_cast<int>(nCut);
    Serve(broken);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, (std::vector<CDictEntry>{kEkss, kOs}));

    // An odd last byte.
    Serve(PublishedBody({kEkss}) + "A");
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, std::vector<CDictEntry>{kEkss});
}

TEST_F(CatalogueDownloadTest, BodiesWithoutACompleteEntryGiveNoEntries)
{
    for (const QByteArray& body :
         {QByteArray(), QByteArray("\x01\x00\x00", 3), QByteArray("\x01\x00\x00\x00", 4),
          QByteArray("<html><body>Not here</body></html>")}) {
        Serve(body);
        EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").GetCount(), 0) << body.toStdString();
    }
    // An error page is read like any body: the status is not examined.
    TestHttpServer::Reply missing;
    missing.status = 404;
    missing.body = PublishedBody({kOs});
    Serve(missing);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, std::vector<CDictEntry>{kOs});
}

TEST_F(CatalogueDownloadTest, TheRequestCarriesTheApplicationNameAndBypassesCaches)
{
    TestHttpServer::Reply reply;
    reply.body = PublishedBody({kEkss});
    // An answer that any cache would be allowed to keep for an hour.
    reply.headers = {{"Cache-Control", "public, max-age=3600"}};
    m_server.Serve("/quillbridge/dict.kvd", reply);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, std::vector<CDictEntry>{kEkss});
    reply.body = PublishedBody({kOs});
    m_server.Serve("/quillbridge/dict.kvd", reply);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, std::vector<CDictEntry>{kOs});

    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 2);
    for (const TestHttpServer::Request& request : requests) {
        EXPECT_EQ(request.Header("User-Agent"), "quillbridge");
        EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
        EXPECT_FALSE(request.HasHeader("If-Modified-Since"));
        EXPECT_FALSE(request.HasHeader("If-None-Match"));
    }
}

TEST_F(CatalogueDownloadTest, AnUnreachableServerIsAnOpenFailure)
{
    const UnusedPort unused;
    const SiteBaseOverride dead(
        QStringLiteral("http://127.0.0.1:%1/quillbridge/").arg(unused.Port()));
    const CInternetException e = FetchFailure();
    EXPECT_EQ(e.m_dwError, static_cast<unsigned long>(CInternetException::errorCannotConnect));
    EXPECT_FALSE(e.GetErrorMessage().empty());
}

TEST_F(CatalogueDownloadTest, AnInstalledSiteIsReadFromItsFolder)
{
    // The installed program's site base is a local folder, in a path with a
    // blank and an Estonian letter.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("s\u00f5nad ja/quillbridge")));
    const QString strSite = dir.path() + QStringLiteral("/s\u00f5nad ja/quillbridge/");
    const SiteBaseOverride site(QUrl::fromLocalFile(strSite).toString(QUrl::FullyEncoded));
    const std::vector<CDictEntry> entries = {kEkss, kOs, kVene};
    QFile file(strSite + QStringLiteral("predict.kvd"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PublishedBody(entries, 1));
    file.close();
    EXPECT_EQ(FetchPublishedCatalogue(u"predict.kvd").entries, entries);

    // A list missing from the folder is said, naming the file.
    const CInternetException e = FetchFailure();
    EXPECT_TRUE(Message(e).startsWith(QStringLiteral("Nimekirja ei saa lugeda: ") + strSite +
                                      QStringLiteral("dict.kvd\n")))
        << e.what();
    EXPECT_TRUE(m_server.Requests().empty());
}

TEST_F(CatalogueDownloadTest, AnUntrustedCertificateIsASecureFailureSaidInEstonian)
{
    const UntrustedTlsServer tls;
    ASSERT_TRUE(tls.IsListening());
    const SiteBaseOverride secure(tls.Url(QStringLiteral("/quillbridge/")).toString());
    const CInternetException e = FetchFailure();
    EXPECT_GE(tls.Handshakes(), 1);
    EXPECT_EQ(e.m_dwError, static_cast<unsigned long>(CInternetException::errorSecureFailure));
    EXPECT_EQ(Message(e),
              QStringLiteral("Serveri turvasertifikaati ei ole andnud ükski usaldatav "
                             "sertifitseerija. Turvalist ühendust ei loodud ja sõnastike loendit "
                             "ei laaditud."));
}

TEST_F(CatalogueDownloadTest, AStalledServerEndsAfterTheIdleTimeOut)
{
    TestHttpServer::Reply stall;
    stall.mode = TestHttpServer::Reply::Mode::Stall;
    Serve(stall);
    QElapsedTimer timer;
    timer.start();
    const CInternetException e = FetchFailure({500, 4 * 1024 * 1024});
    // Coarse timers may fire a little early, a busy machine late; far
    // sooner than the default time-out all the same.
    EXPECT_GE(timer.elapsed(), 450);
    EXPECT_LT(timer.elapsed(), 15000);
    EXPECT_EQ(e.m_dwError, static_cast<unsigned long>(CInternetException::errorTimeout));
    EXPECT_EQ(Message(e), QStringLiteral("Server ei saatnud 0,5 sekundi jooksul oma "
                                         "vastuse päist lõpuni. Laadimine katkestati."));

    // A header without end is not an answer, and the message does not claim
    // that nothing came.
    TestHttpServer::Reply flood;
    flood.mode = TestHttpServer::Reply::Mode::HeaderFlood;
    flood.chunkDelayMs = 5;
    Serve(flood);
    timer.restart();
    const CInternetException f = FetchFailure({500, 4 * 1024 * 1024, 2000});
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(f.m_dwError, static_cast<unsigned long>(CInternetException::errorTimeout));
    EXPECT_TRUE(Message(f).contains(QStringLiteral("vastuse päist lõpuni"))) << f.what();

    // Progress keeps it going: a body that trickles in slower than the
    // time-out in all, but never pauses that long, arrives. The pauses are
    // well below the time-out, so that a busy machine cannot stretch them past it.
    TestHttpServer::Reply slow;
    slow.body = PublishedBody({kEkss});
    slow.headerDelayMs = 600;
    slow.bodyDelayMs = 600;
    Serve(slow);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd", {1000, 1024}).entries,
              std::vector<CDictEntry>{kEkss});
}

TEST_F(CatalogueDownloadTest, ABodyOverTheCapEndsTheDownloadWithNothing)
{
    const CDownloadLimits limits;
    EXPECT_EQ(limits.nMaxBytes, 4 * 1024 * 1024);
    EXPECT_EQ(limits.nIdleTimeoutMs, 30 * 1000);

    // A well-formed list just over the cap is refused whole.
    QByteArray body = PublishedBody({kEkss});
    body += QByteArray(limits.nMaxBytes + 1 - body.size(), 'a');
    Serve(body);
    const CInternetException e = FetchFailure();
    EXPECT_EQ(e.m_dwError, static_cast<unsigned long>(CInternetException::errorTooLarge));
    EXPECT_EQ(Message(e), QStringLiteral("Server saatis rohkem kui 4194304 baiti: nii "
                                         "suurt sõnastike loendit ei ole. Laadimine "
                                         "katkestati."));

    // At the cap exactly it is still a list.
    Serve(body.left(limits.nMaxBytes));
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd").entries, std::vector<CDictEntry>{kEkss});
}

TEST_F(CatalogueDownloadTest, AStallOrTheDeadlineAfterTheAnswerBeganKeepsWhatWasRead)
{
    // The first entry and half of the second, then silence on an open connection.
    const QByteArray body = PublishedBody({kEkss, kOs, kVene});
    TestHttpServer::Reply stalled;
    stalled.mode = TestHttpServer::Reply::Mode::StallAfter;
    stalled.body = body;
    stalled.truncateAt = static_cast<int>(PublishedBody({kEkss}).size() + 6);
    Serve(stalled);
    EXPECT_EQ(FetchPublishedCatalogue(u"dict.kvd", {500, 1024 * 1024, 60000}).entries,
              std::vector<CDictEntry>{kEkss});

    // A server that never pauses long enough for the idle time-out, but would
    // take half a minute in all, is cut off at the deadline.
    const std::vector<CDictEntry> many(300, kOs);
    TestHttpServer::Reply drip;
    drip.mode = TestHttpServer::Reply::Mode::Trickle;
    drip.body = PublishedBody(many);
    drip.chunkBytes = 8;
    drip.chunkDelayMs = 10;
    Serve(drip);
    QElapsedTimer timer;
    timer.start();
    const CDictCatalogue got = FetchPublishedCatalogue(u"dict.kvd", {500, 1024 * 1024, 1000});
    EXPECT_GE(timer.elapsed(), 900);
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_LT(got.GetCount(), static_cast<int>(many.size()));
    EXPECT_EQ(got.entries, std::vector<CDictEntry>(static_cast<std::size_t>(got.GetCount()), kOs));
}

TEST_F(CatalogueDownloadTest, AnEndlessBodyIsStoppedAtTheCapWithoutBeingHeld)
{
    TestHttpServer::Reply endless;
    endless.mode = TestHttpServer::Reply::Mode::Endless;
    Serve(endless);
    const long long nCap = 1024 * 1024;
    const CInternetException e = FetchFailure({30000, nCap, 60000});
    EXPECT_EQ(e.m_dwError, static_cast<unsigned long>(CInternetException::errorTooLarge));
    // Taken from the connection: the cap, the read buffer and what the system
    // buffers on the way; not the hundreds of megabytes a fast server sends
    // while nobody stops reading.
    EXPECT_LT(m_server.BytesSent(), nCap + 15 * 1024 * 1024);
}
