#pragma once

#include <QtGlobal>

// While it lives, a port of 127.0.0.1 on which nothing listens: held bound
// but not listening, so that no other server on the machine can take it and
// a connection to it is refused.
class UnusedPort
{
public:
    UnusedPort();
    ~UnusedPort();
    UnusedPort(const UnusedPort&) = delete;
    UnusedPort& operator=(const UnusedPort&) = delete;

    quint16 Port() const { return m_nPort; }

private:
    int m_fd = -1;
    quint16 m_nPort = 0;
};
