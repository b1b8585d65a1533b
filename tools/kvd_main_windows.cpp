#include "kvd_main.h"

#include "utf_text.h"

#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

// The wide command line, so that any file name reaches the tool whole.
int wmain(int argc, wchar_t** argv)
{
    // Output is UTF-8 with "\n" line ends, byte for byte as on Linux.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf16ToUtf8(
            std::u16string_view(reinterpret_cast<const char16_t*>(argv[i]), std::wcslen(argv[i]))));
    return KvdMain(std::move(args));
}
