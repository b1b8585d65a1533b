#pragma once

#include <QLocalServer>
#include <QPointer>
#include <QString>
#include <QTimer>

class CMainDialog;
class CWindowChannel;
class QLocalSocket;

// Serves the user's window socket while the window is up, for the
// quillbridge program, which hands its listening socket over: a later run of
// the program sends its word (UTF-8, ended by a NUL) and gets "ok\n" once the
// window has taken the word, or "busy\n" while a dialog of the window waits
// for the user: the window then keeps the word and looks it up as soon as
// that dialog closes.
class CWindowServer
{
public:
    // Takes over nListener, a listening local socket; closes it when it
    // cannot be served.
    CWindowServer(CMainDialog& dialog, qintptr nListener);

    // The listening socket the program gave in the environment, taken out of
    // it so that programs the window starts do not inherit it; -1 for none.
    static qintptr TakeListenerFromEnvironment();

private:
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
