#include "module_directory.h"

#include "utf_text.h"

#include <windows.h>

// The image this code is linked into: the library when it is one, else the program.
extern "C" IMAGE_DOS_HEADER __ImageBase;

std::string ModuleFilePath()
{
    wchar_t szPath[1024];
    const DWORD nLength =
        ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), szPath, 1024);
    // A path cut off at the buffer's end names some other file.
    if (nLength == 0 || nLength >= 1024)
        return {};
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(szPath), nLength));
}
