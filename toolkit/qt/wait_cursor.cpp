#include "wait_cursor.h"

#include <QApplication>

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void CWaitCursor::Restore()
{
    QApplication::changeOverrideCursor(Qt::WaitCursor);
}
