#pragma once

#include <string>
#include <string_view>

// The user's one lookup window: a local socket in the runtime folder that the
// program whose window is open serves (the library listens on it while the
// window is up), and that any later run connects to instead of opening a
// second window. What goes through it is CWindowChannel's exchange.
class CWindowSocket
{
public:
    enum class EClaim {
        None,      // no socket can be made here: the run opens a window of its own
        Serving,   // this run's window will serve the socket
        Connected, // a window is open: hand the word to it
    };
    enum class EForward {
        LookedUp,
        Busy,
        NoAnswer, // the window went away or did not answer in time
    };

    CWindowSocket() = default;
    CWindowSocket(const CWindowSocket&) = delete;
    CWindowSocket& operator=(const CWindowSocket&) = delete;
    ~CWindowSocket();

    // The socket of the runtime folder given (XDG_RUNTIME_DIR): connects to
    // the window that serves it, or else binds and listens on it. Runs that
    // start at the same moment take turns, so exactly one of them serves; a
    // run that cannot have its turn within nLockWaitMs (another process hangs
    // holding it) opens a window of its own.
    EClaim Claim(const char* pszRuntimeFolder, int nLockWaitMs = kLockWaitMs);

    // Serving: the listening socket, for the library to serve; the caller owns it.
    int TakeListener();
    // Hands nListener to the library loaded next in this process, through
    // the environment.
    static void PassListener(int nListener);
    // The listening socket that PassListener gave, taken out of the
    // environment so that programs the window starts do not inherit it; -1
    // when there is none, or what is given is no listening socket.
    static int TakeListenerFromEnvironment();
    // Closes a listening socket that is not served after all.
    static void CloseListener(int nListener);

    // Connected: hands strWordUtf8 to the window and waits for its answer.
    EForward Forward(std::string_view strWordUtf8, int nTimeoutMs);

    // A turn takes a connect or a bind; this is long enough for many runs
    // that start at once, and short enough to wait at the start of a window.
    static constexpr int kLockWaitMs = 3000;

private:
    void Close();

    int m_fd = -1;
};
