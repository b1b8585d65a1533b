#include "message_filter.h"

#include "debug_output.h"

namespace
{

QtMessageHandler g_pPrevious = nullptr;
bool g_bDebug = false;

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
}
