#pragma once

// Where the program's own types meet Qt's: for the toolkit's Qt
// implementation, the Linux platform files and tests.

#include "text.h"
#include "win_defs.h"

#include <QString>
#include <QWidget>

inline QString ToQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline CString FromQString(const QString& strText)
{
    return strText.toStdU16String();
}

// A window handle is the widget itself.
inline QWidget* FromHandle(HWND hWnd)
{
    return reinterpret_cast<QWidget*>(hWnd);
}

inline HWND ToHandle(QWidget* pWidget)
{
    return reinterpret_cast<HWND>(pWidget);
}
