#pragma once

#include <QString>

#include <string>

// The program's text against Qt's, so that a check reads the same whichever
// of the two a window gives.
inline bool operator==(const std::u16string& strText, const QString& strQt)
{
    return strText == std::u16string_view(reinterpret_cast<const char16_t*>(strQt.utf16()),
                                          static_cast<std::size_t>(strQt.size()));
}

inline bool operator==(const QString& strQt, const std::u16string& strText)
{
    return strText == strQt;
}
