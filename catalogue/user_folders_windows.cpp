#include "user_folders.h"

#include "windows_path.h"

#include <cerrno>
// The system's headers after windows.h, which they build on.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace
{

std::string KnownFolder(const KNOWNFOLDERID& id)
{
    PWSTR pszFolder = nullptr;
    std::string strFolder;
    if (::SHGetKnownFolderPath(id, 0, nullptr, &pszFolder) == S_OK)
        strFolder = Utf8Path(pszFolder) + "\\";
    ::CoTaskMemFree(pszFolder);
    return strFolder;
}

} // namespace

std::string CUserFolders::Folder(Kind kind)
{
    // Catalogues, settings and the word history all in %APPDATA%\Quillbridge\,
    // the roaming folder of the user's own; Windows has no runtime folder.
    if (kind == kindRuntime)
        return {};
    const std::string strAppData = KnownFolder(FOLDERID_RoamingAppData);
    return strAppData.empty() ? std::string() : strAppData + "Quillbridge\\";
}

std::string CUserFolders::HomeFolder()
{
    return KnownFolder(FOLDERID_Profile);
}

// No earlier version kept files elsewhere on Windows: nothing to move.
std::string CUserFolders::FilePath(Kind kind, const std::string& strName)
{
    const std::string strFolder = Folder(kind);
    return strFolder.empty() ? std::string() : strFolder + strName;
}

int CUserFolders::Make(const std::string& strFolder)
{
    if (strFolder.empty())
        return ENOENT;
    // Each missing folder on the way; under the user's profile it is the
    // user's own by the permissions it inherits. The drive or share it starts
    // with is there or not.
    for (std::size_t nSeparator = strFolder.find_first_of("\\/", 3);
         nSeparator != std::string::npos;
         nSeparator = strFolder.find_first_of("\\/", nSeparator + 1)) {
        const std::wstring folder = WidePath(strFolder.substr(0, nSeparator));
        if (!::CreateDirectoryW(folder.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return ErrnoFromWindowsError(::GetLastError());
    }
    const DWORD nAttributes = ::GetFileAttributesW(WidePath(strFolder).c_str());
    if (nAttributes == INVALID_FILE_ATTRIBUTES)
        return ErrnoFromWindowsError(::GetLastError());
    return (nAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ENOTDIR;
}
