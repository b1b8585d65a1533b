#include "quillbridge.h"

#include "quillbridge_app.h"
#include "version.h"

// Constructed after the two catalogues, which have an earlier initialisation
// priority, and destroyed before them.
static CQuillbridgeApp theApp;

// Readable in the library file without loading it.
[[gnu::used, gnu::section(".quillbridge.version")]] static const char kFileVersion[] =
    "QUILLBRIDGE_FILE_VERSION=" QUILLBRIDGE_VERSION_STRING;

extern "C" int32_t QUILLBRIDGE_CALL QuillbridgeVersion(void)
{
    return 65538;
}

extern "C" int32_t QUILLBRIDGE_CALL QuillbridgeRun(const char16_t* pszWord)
{
    return theApp.Run(pszWord ? std::u16string(pszWord) : std::u16string());
}
