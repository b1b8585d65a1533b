#include "exception_report.h"

#include "application.h"
#include "exception.h"
#include "message_box.h"
#include "win_defs.h"

#include "qt_text.h"

#include <QString>

#include <new>

namespace
{

QString MessageOf(const std::exception_ptr& pException)
{
    try {
        std::rethrow_exception(pException);
    } catch (const CException& e) {
        return ToQString(e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory.");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
    }
    return QString();
}

} // namespace

void AfxReportException(const std::exception_ptr& pException, HWND hOwner) noexcept
{
    try {
        QString strText = pException ? MessageOf(pException) : QString();
        if (strText.isEmpty())
            strText = QStringLiteral("Internal application error.");
        AfxMessageBox(hOwner, FromQString(strText), AfxGetAppName(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}
