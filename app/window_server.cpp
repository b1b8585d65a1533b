#include "window_server.h"

#include "exception_report.h"
#include "main_dialog.h"
#include "window_socket.h"

#include <QApplication>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// A word is short; anything longer is not from the program.
constexpr qsizetype kMaxMessage = 64 * 1024;
// A caller that connects and says nothing is let go.
constexpr int kCallerTimeoutMs = 10000;

void BringForward(QWidget* pWindow)
{
    if (pWindow->isMinimized())
        pWindow->showNormal();
    pWindow->raise();
    pWindow->activateWindow();
}

} // namespace

CWindowServer::CWindowServer(CMainDialog& dialog, qintptr nListener) : m_dialog(dialog)
{
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server,
                     [this] { OnNewConnection(); });
    if (!m_server.listen(nListener))
        ::close(static_cast<int>(nListener));
}

qintptr CWindowServer::TakeListenerFromEnvironment()
{
    const char* pszValue = std::getenv(CWindowSocket::kEnvironmentName);
    if (!pszValue)
        return -1;
    char* pszEnd = nullptr;
    const long nValue = std::strtol(pszValue, &pszEnd, 10);
    ::unsetenv(CWindowSocket::kEnvironmentName);
    struct stat info {
    };
    int nListening = 0;
    socklen_t nSize = sizeof(nListening);
    if (pszEnd == pszValue || *pszEnd || nValue < 0 || nValue > 65535 ||
        ::fstat(static_cast<int>(nValue), &info) != 0 || !S_ISSOCK(info.st_mode) ||
        ::getsockopt(static_cast<int>(nValue), SOL_SOCKET, SO_ACCEPTCONN, &nListening, &nSize) !=
            0 ||
        !nListening)
        return -1;
    return nValue;
}

void CWindowServer::OnNewConnection()
{
    while (QLocalSocket* pSocket = m_server.nextPendingConnection()) {
        QObject::connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        QTimer::singleShot(kCallerTimeoutMs, pSocket, [pSocket] { pSocket->abort(); });
        QObject::connect(pSocket, &QLocalSocket::readyRead, pSocket, [this, pSocket] {
            QByteArray message = pSocket->property("message").toByteArray();
            message += pSocket->readAll();
            const qsizetype nEnd = message.indexOf('\0');
            if (nEnd >= 0) {
                pSocket->setProperty("message", QVariant());
                OnWord(pSocket, message.left(nEnd));
            } else if (message.size() > kMaxMessage) {
                pSocket->abort();
            } else {
                pSocket->setProperty("message", message);
            }
        });
    }
}

void CWindowServer::OnWord(QLocalSocket* pSocket, const QByteArray& word)
{
    QWidget* pSheet = m_dialog.GetSafeHwnd();
    if (!pSheet || !pSheet->isVisible()) {
        // The window is closing: the caller opens its own.
        pSocket->abort();
        return;
    }
    // A dialog of the window, or a message box, waits for the user: the page
    // behind it must not change under it.
    QWidget* pModal = QApplication::activeModalWidget();
    const bool bBusy = pModal && pModal != pSheet;
    if (!bBusy && !word.isEmpty())
        AfxCallHandler(pSheet, [&] { m_dialog.LookUpWord(QString::fromUtf8(word)); });
    BringForward(bBusy ? pModal : pSheet);
    const std::string_view answer =
        bBusy ? CWindowSocket::kBusyAnswer : CWindowSocket::kLookedUpAnswer;
    pSocket->write(answer.data(), static_cast<qint64>(answer.size()));
    pSocket->disconnectFromServer();
}
