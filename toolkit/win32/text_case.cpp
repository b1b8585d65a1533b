#include "text.h"

#include <windows.h>

CString FoldCase(std::u16string_view text)
{
    // The system's lower case of every letter, the Estonian ones too; the
    // length stays, so the text is mapped in place.
    CString strFolded(text);
    if (!strFolded.empty())
        CharLowerBuffW(reinterpret_cast<wchar_t*>(strFolded.data()),
                       static_cast<DWORD>(strFolded.size()));
    return strFolded;
}
