#include "session_end.h"

#include "main_dialog.h"
#include "message_filter_linux.h"
#include "qt_text.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

struct CSessionEnd::SState {
    explicit SState(CMainDialog& dialog);
    ~SState();
    void InstallSignalHandlers();
    void RestoreSignalHandlers();
    void OnSignal();
    void End();
    void CloseOneWindow();
    static void OnDisplayLost();

    CMainDialog& m_dialog;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    // Dialogs and message boxes over the window are closed one at a time
    // until the window's own run is over.
    QTimer m_closer;
    std::vector<int> m_installed;
};

namespace
{

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// Often enough to close a dialog that opened after the last one was closed
// (a download that was still running, say), seldom enough to cost nothing.
constexpr int kCloserIntervalMs = 50;

// Both ends of the pipe from the signal handler to the event loop, made once
// for the process.
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_bEnded = false;
// The run whose window is open, on the window's thread.
CSessionEnd::SState* g_pCurrent = nullptr;

extern "C" void OnEndSignal(int)
{
    const int nSavedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t nWritten = ::write(g_pipe[1], &byte, 1);
    errno = nSavedErrno;
}

bool MakePipe()
{
    if (g_pipe[0] >= 0)
        return true;
    return ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0;
}

void DrainPipe()
{
    char buffer[64];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
}

} // namespace

CSessionEnd::SState::SState(CMainDialog& dialog) : m_dialog(dialog)
{
    g_pCurrent = this;
    m_closer.setInterval(kCloserIntervalMs);
    QObject::connect(&m_closer, &QTimer::timeout, [this] { CloseOneWindow(); });
    CMessageFilter::SetDisplayLostHandler(&SState::OnDisplayLost);
    // The session manager's end of the session reaches the window as a close
    // (Qt closes every window when the session manager says the session
    // ends). Its request to save comes first, and also for a session that
    // goes on: the edits are saved and the window stays.
    if (auto* pApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(pApp, &QGuiApplication::commitDataRequest, &m_closer,
                         [this](QSessionManager&) { m_dialog.SaveEdits(); });
    if (MakePipe()) {
        DrainPipe();
        m_pNotifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, [this] { OnSignal(); });
        // Once the window runs: a signal before then finds nothing to save.
        QTimer::singleShot(0, &m_closer, [this] { InstallSignalHandlers(); });
    }
}

CSessionEnd::SState::~SState()
{
    RestoreSignalHandlers();
    CMessageFilter::SetDisplayLostHandler(nullptr);
    g_pCurrent = nullptr;
}

CSessionEnd::CSessionEnd(CMainDialog& dialog) : m_pState(std::make_unique<SState>(dialog)) {}

CSessionEnd::~CSessionEnd() = default;

bool CSessionEnd::HasEnded()
{
    return g_bEnded;
}

void CSessionEnd::SState::InstallSignalHandlers()
{
    for (const int nSignal : kSignals) {
        struct sigaction current {
        };
        if (::sigaction(nSignal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL)
            continue;
        struct sigaction ours {
        };
        ours.sa_handler = &OnEndSignal;
        sigemptyset(&ours.sa_mask);
        ours.sa_flags = SA_RESTART;
        if (::sigaction(nSignal, &ours, nullptr) == 0)
            m_installed.push_back(nSignal);
    }
}

void CSessionEnd::SState::RestoreSignalHandlers()
{
    for (const int nSignal : m_installed) {
        struct sigaction current {
        };
        // A handler set since then is not ours to take away.
        if (::sigaction(nSignal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != &OnEndSignal)
            continue;
        struct sigaction byDefault {
        };
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        ::sigaction(nSignal, &byDefault, nullptr);
    }
    m_installed.clear();
}

void CSessionEnd::SState::OnSignal()
{
    DrainPipe();
    End();
}

void CSessionEnd::SState::End()
{
    g_bEnded = true;
    CloseOneWindow();
    m_closer.start();
}

void CSessionEnd::SState::CloseOneWindow()
{
    QWidget* pModal = QApplication::activeModalWidget();
    if (!pModal || pModal == FromHandle(m_dialog.GetSafeHwnd())) {
        m_dialog.EndSession();
        return;
    }
    // What is open over the window ends as Esc ends it: an entry not yet
    // confirmed is not added, a question gets its last answer.
    if (auto* pDialog = qobject_cast<QDialog*>(pModal))
        pDialog->reject();
    else
        pModal->close();
}

void CSessionEnd::SState::OnDisplayLost()
{
    if (!g_pCurrent)
        return;
    // The window system ends the process as soon as this returns; the
    // window's widgets still hold the edits, though nothing of them can be
    // shown any more, and they are saved first. The process ends here, as the
    // session's end and not as a failure, and at once: the thread that runs
    // the application cannot take the rest of the process down with it (the
    // host's thread waits for it), and without a display there is nothing
    // left for an orderly shutdown to do.
    g_bEnded = true;
    g_pCurrent->m_dialog.EndSession();
    std::fflush(nullptr);
    ::_exit(0);
}
