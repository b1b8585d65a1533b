#include "debug_output.h"

#include <cstdlib>
#include <cstring>

bool IsDebugOutputOn()
{
    const char* pszValue = std::getenv("QUILLBRIDGE_DEBUG");
    return pszValue && *pszValue && std::strcmp(pszValue, "0") != 0;
}
