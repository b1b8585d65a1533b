#include "exception_report.h"

#include "application.h"
#include "exception.h"
#include "message_box.h"
#include "utf_text.h"

#include <new>

namespace
{

CString MessageOf(const std::exception_ptr& pException)
{
    try {
        std::rethrow_exception(pException);
    } catch (const CException& e) {
        return e.GetErrorMessage();
    } catch (const std::bad_alloc&) {
        return u"Out of memory.";
    } catch (const std::exception& e) {
        return Utf8ToUtf16(e.what());
    } catch (...) {
    }
    return CString();
}

} // namespace

void AfxReportException(const std::exception_ptr& pException, HWND hOwner) noexcept
{
    try {
        CString strText = pException ? MessageOf(pException) : CString();
        if (strText.empty())
            strText = u"Internal application error.";
        AfxMessageBox(hOwner, strText, AfxGetAppName(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}
