#include "catalogue_location.h"

#include "file_status.h"
#include "user_folders.h"

namespace
{

bool Exists(const std::string& strPath)
{
    return CFileStatus::Of(strPath).has_value();
}

} // namespace

CCatalogueLocation::CCatalogueLocation(std::string strLibraryFolder, std::string strUserFolder,
                                       std::string strSeedFolder)
    : m_strLibraryFolder(std::move(strLibraryFolder)), m_strUserFolder(std::move(strUserFolder)),
      m_strSeedFolder(std::move(strSeedFolder))
{
}

CCatalogueLocation CCatalogueLocation::ForLibrary(std::string strLibraryFolder,
                                                  std::string strSeedFolder)
{
    return CCatalogueLocation(std::move(strLibraryFolder),
                              CUserFolders::Folder(CUserFolders::kindData),
                              std::move(strSeedFolder));
}

std::string CCatalogueLocation::BesideLibrary(const std::string& strName) const
{
    return m_strLibraryFolder + strName;
}

std::string CCatalogueLocation::InUserFolder(const std::string& strName) const
{
    return m_strUserFolder.empty() ? std::string() : m_strUserFolder + strName;
}

std::string CCatalogueLocation::InSeedFolder(const std::string& strName) const
{
    return m_strSeedFolder.empty() ? std::string() : m_strSeedFolder + strName;
}

std::string CCatalogueLocation::ReadPath(const std::string& strName) const
{
    const std::string strBeside = BesideLibrary(strName);
    const std::string strUser = InUserFolder(strName);
    const auto beside = CFileStatus::Of(strBeside);
    const auto user = CFileStatus::Of(strUser);
    if (!beside && !user) {
        const std::string strSeed = InSeedFolder(strName);
        return Exists(strSeed) ? strSeed : strBeside;
    }
    if (!user)
        return strBeside;
    // A user who cannot write beside the library never saved there: what lies
    // there came from someone else and must not hide the user's own copy.
    if (!beside || !IsLibraryPlaceWritable(strName))
        return strUser;
    // Both were saved by this user: the user's copy when a save beside the
    // library failed, the file beside it when a later save succeeded there.
    const bool bBesideNewer = beside->IsNewerThan(*user);
    return bBesideNewer ? strBeside : strUser;
}

std::string CCatalogueLocation::SavePath(const std::string& strName) const
{
    return IsLibraryPlaceWritable(strName) ? BesideLibrary(strName) : InUserFolder(strName);
}

bool CCatalogueLocation::IsLibraryPlaceWritable(const std::string& strName) const
{
    if (m_strLibraryFolder.empty())
        return false;
    if (CFileStatus::CanWriteFolder(m_strLibraryFolder))
        return true;
    // A writable file in a folder that refuses new files is rewritten in place.
    const std::string strBeside = BesideLibrary(strName);
    return Exists(strBeside) && CFileStatus::CanWriteFile(strBeside);
}
