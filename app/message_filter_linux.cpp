#include "message_filter_linux.h"

#include "debug_output.h"

#include <QString>

#include <atomic>

namespace
{

QtMessageHandler g_pPrevious = nullptr;
bool g_bDebug = false;
std::atomic<void (*)()> g_pfnDisplayLost = nullptr;

} // namespace

void CMessageFilter::Install()
{
    g_bDebug = IsDebugOutputOn();
    // Qt hands back its default handler when none was installed before.
    g_pPrevious = qInstallMessageHandler(&CMessageFilter::Handle);
}

void CMessageFilter::Handle(QtMsgType type, const QMessageLogContext& context,
                            const QString& strText)
{
    if (g_bDebug || type == QtCriticalMsg || type == QtFatalMsg)
        g_pPrevious(type, context, strText);
    // The X11 window system has no hook of its own for a lost connection: it
    // says so in these words and then calls exit().
    if (type == QtWarningMsg && strText.startsWith(QLatin1String("The X11 connection broke"))) {
        if (void (*pfnHandler)() = g_pfnDisplayLost.exchange(nullptr))
            pfnHandler();
    }
}

void CMessageFilter::SetDisplayLostHandler(void (*pfnHandler)())
{
    g_pfnDisplayLost = pfnHandler;
}
