#include "wake_forwarder_linux.h"

void CWakeForwarder::wakeUp()
{
    if (m_pTarget)
        m_pTarget->wakeUp();
}

void CWakeForwarder::interrupt()
{
    if (m_pTarget)
        m_pTarget->interrupt();
}
