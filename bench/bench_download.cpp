// Downloading a published list of 20,000 entries from a server on 127.0.0.1 in
// this process, beside a plain Qt Network GET of the same body that reads it
// whole and parses nothing; and the selection dialog "Laadi..." shown with a
// list of 50,000 entries, beside the download and reading of that list alone.
#include "bench_data.h"
#include "catalogue_download.h"
#include "list_ctrl.h"
#include "load_dialog.h"
#include "memory_file.h"
#include "published_list.h"
#include "win_defs.h"

#include "qt_text.h"
#include "wnd_platform.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTreeWidget>

#include <arpa/inet.h>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace
{

constexpr int kEntries = 20000;

// Answers every request on 127.0.0.1 with the same list, one connection at a time.
class CListServer
{
public:
    explicit CListServer(const std::string& body)
        : m_answer("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                   "Connection: close\r\nContent-Length: " +
                   std::to_string(body.size()) + "\r\n\r\n" + body)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t nLength = sizeof address;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), nLength) ||
            ::listen(m_listener, 8) ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &nLength))
            std::abort();
        m_nPort = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CListServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    int Port() const { return m_nPort; }

private:
    void Serve()
    {
        for (;;) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                request.append(buffer, static_cast<std::size_t>(n));
            }
            for (std::size_t nDone = 0; nDone < m_answer.size();) {
                const ssize_t n =
                    ::send(fd, m_answer.data() + nDone, m_answer.size() - nDone, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                nDone += static_cast<std::size_t>(n);
            }
            ::close(fd);
        }
    }

    std::string m_answer;
    int m_listener = -1;
    int m_nPort = 0;
    std::thread m_thread;
};

CListServer& Server()
{
    static CListServer server(BenchCatalogueImage(kEntries));
    return server;
}

std::string SiteBase(const CListServer& server = Server())
{
    return "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
}

constexpr int kLongEntries = 50000;

// 50,000 entries under the size cap, as long a list as the cap lets through:
// short names and addresses, about 3 MB.
CListServer& LongListServer()
{
    static CListServer server([] {
        CDictCatalogue list(u"", u"", 0);
        for (int i = 0; i < kLongEntries; ++i) {
            const std::u16string strNumber = QString::number(i).toStdU16String();
            list.AddEntry(CDictEntry(u"Õ" + strNumber, u"utf8", u"http://h/" + strNumber + u"?w="));
        }
        CMemoryFile image;
        list.WriteTo(image);
        return image.GetData();
    }());
    return server;
}

// The dialog up to where it waits for the user, drawn once, then closed.
class CShownLoadDialog : public CLoadDialog
{
public:
    using CLoadDialog::CLoadDialog;
    bool OnInitDialog() override
    {
        const bool bResult = CLoadDialog::OnInitDialog();
        WidgetOf(*this)->grab();
        EndDialog(IDCANCEL);
        return bResult;
    }
};

void BM_SelectionDialog_Ours(benchmark::State& state)
{
    ::setenv("QUILLBRIDGE_SITE_BASE", SiteBase(LongListServer()).c_str(), 1);
    CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
    QTreeWidget page;
    page.setColumnCount(3);
    CListCtrl pageList;
    pageList.Attach(ToHandle(&page));
    for (auto _ : state) {
        CShownLoadDialog dlg(&pageList, nullptr);
        dlg.SetCatalogue(&catalogue);
        dlg.DoModal();
    }
    pageList.Detach();
}
BENCHMARK(BM_SelectionDialog_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

// Our download of the list that server publishes, which must hold nEntries.
void MeasureFetch(benchmark::State& state, const CListServer& server, int nEntries)
{
    ::setenv("QUILLBRIDGE_SITE_BASE", SiteBase(server).c_str(), 1);
    for (auto _ : state) {
        auto list = std::make_unique<CDictCatalogue>(FetchPublishedCatalogue(u"dict.kvd"));
        // Given up by the page that asked for it later, not by the download.
        state.PauseTiming();
        if (list->GetCount() != nEntries)
            state.SkipWithError("the list did not arrive whole");
        list.reset();
        state.ResumeTiming();
    }
}

void BM_SelectionDialog_ReadList(benchmark::State& state)
{
    MeasureFetch(state, LongListServer(), kLongEntries);
}
BENCHMARK(BM_SelectionDialog_ReadList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Download_Ours(benchmark::State& state)
{
    MeasureFetch(state, Server(), kEntries);
}
BENCHMARK(BM_Download_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Download_Reference(benchmark::State& state)
{
    const QUrl url(QString::fromStdString(SiteBase() + "dict.kvd"));
    for (auto _ : state) {
        QNetworkAccessManager manager;
        QNetworkReply* pReply = manager.get(QNetworkRequest(url));
        QEventLoop loop;
        QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!pReply->isFinished())
            loop.exec();
        benchmark::DoNotOptimize(pReply->readAll());
        delete pReply;
    }
}
BENCHMARK(BM_Download_Reference)->Unit(benchmark::kMillisecond)->UseRealTime();

// What of the download is reading the list itself: the same body, from memory.
void BM_ReadPublishedList(benchmark::State& state)
{
    const std::string body = BenchCatalogueImage(kEntries);
    for (auto _ : state) {
        CMemoryFile file(body);
        auto list = std::make_unique<CDictCatalogue>(ReadPublishedList(file));
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadPublishedList)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // No proxy of the environment may take the requests elsewhere.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        ::unsetenv(name);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
