#pragma once

#include "text.h"

#include <string>

// The program's text as the wide API takes it: on Windows wchar_t is the same
// 16-bit unit as char16_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* WideText(const CString& strText)
{
    return reinterpret_cast<const wchar_t*>(strText.c_str());
}

inline CString FromWide(const wchar_t* pszText)
{
    return pszText ? CString(reinterpret_cast<const char16_t*>(pszText)) : CString();
}
