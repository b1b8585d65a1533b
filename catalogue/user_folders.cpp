#include "user_folders.h"

int CUserFolders::MakeFolderOf(const std::string& strPath)
{
    // Windows takes either slash.
    const std::size_t nSlash = strPath.find_last_of("/\\");
    return nSlash == std::string::npos ? 0 : Make(strPath.substr(0, nSlash + 1));
}
