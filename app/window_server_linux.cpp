#include "window_server.h"

#include "exception_report.h"
#include "main_dialog.h"
#include "qt_text.h"
#include "window_channel.h"
#include "window_socket.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <utility>

namespace
{

// A caller that connects and says nothing is let go.
constexpr int kCallerTimeoutMs = 10000;
// How often a kept word looks for its dialog to have closed.
constexpr int kKeptWordPollMs = 100;

void BringForward(QWidget* pWindow)
{
    if (pWindow->isMinimized())
        pWindow->showNormal();
    pWindow->raise();
    pWindow->activateWindow();
}

} // namespace

struct CWindowServer::SState {
    SState(CMainDialog& dialog, int nListener);
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket, CWindowChannel& request);
    void OnWord(const QPointer<QLocalSocket>& pSocket, const QByteArray& word);
    void LookUpKeptWord();
    QWidget* WaitingDialog() const;

    CMainDialog& m_dialog;
    QLocalServer m_server;
    // The last word that came while a dialog waited, and the timer that
    // watches for the dialog to close.
    QString m_strKeptWord;
    QTimer m_keptWordTimer;
};

CWindowServer::SState::SState(CMainDialog& dialog, int nListener) : m_dialog(dialog)
{
    // Only the last word kept is looked up: each lookup replaces the page.
    m_keptWordTimer.setInterval(kKeptWordPollMs);
    QObject::connect(&m_keptWordTimer, &QTimer::timeout, &m_server, [this] { LookUpKeptWord(); });
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server,
                     [this] { OnNewConnection(); });
    if (!m_server.listen(nListener))
        CWindowSocket::CloseListener(nListener);
}

CWindowServer::CWindowServer(CMainDialog& dialog, int nListener)
    : m_pState(std::make_unique<SState>(dialog, nListener))
{
}

CWindowServer::~CWindowServer() = default;

int CWindowServer::TakeListener()
{
    return CWindowSocket::TakeListenerFromEnvironment();
}

void CWindowServer::CloseListener(int nListener)
{
    CWindowSocket::CloseListener(nListener);
}

void CWindowServer::SState::OnNewConnection()
{
    while (QLocalSocket* pSocket = m_server.nextPendingConnection()) {
        QObject::connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        QTimer::singleShot(kCallerTimeoutMs, pSocket, [pSocket] { pSocket->abort(); });
        QObject::connect(pSocket, &QLocalSocket::readyRead, pSocket,
                         [this, pSocket, pRequest = std::make_shared<CWindowChannel>()] {
                             OnReadyRead(pSocket, *pRequest);
                         });
    }
}

void CWindowServer::SState::OnReadyRead(QLocalSocket* pSocket, CWindowChannel& request)
{
    const QByteArray bytes = pSocket->readAll();
    switch (
        request.Add(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    case CWindowChannel::ERequest::Complete:
        // One word a connection. It is taken from the event loop, after this
        // handler: the lookup may open a modal box, in whose loop the caller
        // can go away and its socket be deleted.
        QObject::disconnect(pSocket, &QLocalSocket::readyRead, nullptr, nullptr);
        QMetaObject::invokeMethod(
            &m_server,
            [this, pCaller = QPointer<QLocalSocket>(pSocket),
             word = QByteArray::fromStdString(request.Word())] { OnWord(pCaller, word); },
            Qt::QueuedConnection);
        break;
    case CWindowChannel::ERequest::Refused:
        pSocket->abort();
        break;
    case CWindowChannel::ERequest::Incomplete:
        break;
    }
}

QWidget* CWindowServer::SState::WaitingDialog() const
{
    // A dialog of the window, or a message box, waits for the user: the page
    // behind it must not change under it.
    QWidget* pModal = QApplication::activeModalWidget();
    return pModal && pModal != FromHandle(m_dialog.GetSafeHwnd()) ? pModal : nullptr;
}

void CWindowServer::SState::OnWord(const QPointer<QLocalSocket>& pSocket, const QByteArray& word)
{
    // A caller that went away before it was answered does not know whether
    // its word was taken, and acts on its own.
    if (!pSocket || pSocket->state() != QLocalSocket::ConnectedState)
        return;
    QWidget* pSheet = FromHandle(m_dialog.GetSafeHwnd());
    if (!pSheet || !pSheet->isVisible()) {
        // The window is closing: the caller opens its own.
        pSocket->abort();
        return;
    }
    QWidget* pWaiting = WaitingDialog();
    // The caller is answered before anything here can open a modal box.
    const std::string_view answer =
        pWaiting ? CWindowChannel::kBusyAnswer : CWindowChannel::kLookedUpAnswer;
    pSocket->write(answer.data(), static_cast<qint64>(answer.size()));
    pSocket->flush();
    pSocket->disconnectFromServer();
    BringForward(pWaiting ? pWaiting : pSheet);
    if (word.isEmpty())
        return;
    m_strKeptWord = QString::fromUtf8(word);
    if (pWaiting)
        m_keptWordTimer.start();
    else
        LookUpKeptWord();
}

void CWindowServer::SState::LookUpKeptWord()
{
    if (WaitingDialog())
        return;
    m_keptWordTimer.stop();
    QWidget* pSheet = FromHandle(m_dialog.GetSafeHwnd());
    const QString strWord = std::exchange(m_strKeptWord, QString());
    if (pSheet && pSheet->isVisible() && !strWord.isEmpty())
        AfxCallHandler(ToHandle(pSheet), [&] { m_dialog.LookUpWord(FromQString(strWord)); });
}
