#include "message_filter.h"

#include <cstdlib>
#include <cstring>

namespace
{

QtMessageHandler g_pPrevious = nullptr;
bool g_bDebug = false;

} // namespace

void CMessageFilter::Install()
{
    const char* pszDebug = std::getenv("QUILLBRIDGE_DEBUG");
    g_bDebug = pszDebug && *pszDebug && std::strcmp(pszDebug, "0") != 0;
    // Qt hands back its default handler when none was installed before.
    g_pPrevious = qInstallMessageHandler(&CMessageFilter::Handle);
}

void CMessageFilter::Handle(QtMsgType type, const QMessageLogContext& context,
                            const QString& strText)
{
    if (g_bDebug || type == QtCriticalMsg || type == QtFatalMsg)
        g_pPrevious(type, context, strText);
}
