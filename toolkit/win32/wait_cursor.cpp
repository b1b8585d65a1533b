#include "wait_cursor.h"

#include "wnd_platform.h"

namespace
{

int g_nWaitCursorCount = 0;

} // namespace

void AfxDoWaitCursor(int nCode)
{
    g_nWaitCursorCount += nCode;
    if (g_nWaitCursorCount < 0)
        g_nWaitCursorCount = 0;
    // Shown now, not at the next mouse move: the caller is about to block.
    SetCursor(LoadCursorW(nullptr, g_nWaitCursorCount > 0 ? IDC_WAIT : IDC_ARROW));
}

bool AfxIsWaitCursorShown()
{
    return g_nWaitCursorCount > 0;
}

CWaitCursor::CWaitCursor()
{
    AfxDoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    AfxDoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    AfxDoWaitCursor(0);
}
