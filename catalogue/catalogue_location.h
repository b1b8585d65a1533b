#pragma once

#include <string>

// Where a catalogue file is read and saved. It lies beside the library; an
// installed library's folder cannot be written by its users, so their saves go
// to the user's data folder, and once the user has a copy there it is the one
// read: the user's data overrides the system's. A user with no file of a
// catalogue anywhere starts from the installed published list, which is only
// ever read.
class CCatalogueLocation
{
public:
    // The folders end in a slash, in the system's own bytes; strSeedFolder is
    // empty when no published list is installed.
    CCatalogueLocation(std::string strLibraryFolder, std::string strUserFolder,
                       std::string strSeedFolder = {});
    // The library's folder, the user's data folder and the installed lists.
    static CCatalogueLocation ForLibrary(std::string strLibraryFolder,
                                         std::string strSeedFolder = {});
    std::string BesideLibrary(const std::string& strName) const;
    // Empty when there is no user data folder.
    std::string InUserFolder(const std::string& strName) const;
    // Empty when no published list is installed.
    std::string InSeedFolder(const std::string& strName) const;
    // The file a catalogue is read from: where the library's place can be
    // written, the newer of the file beside it and the user's copy; otherwise
    // the user's copy, else the file beside the library. When neither exists,
    // the installed list if there is one, else the path beside the library.
    std::string ReadPath(const std::string& strName) const;
    // Where a save goes first: beside the library when the user may write
    // there (the folder, or the file itself), else the user's copy.
    std::string SavePath(const std::string& strName) const;
    // Whether a save beside the library can succeed, as far as permissions tell.
    bool IsLibraryPlaceWritable(const std::string& strName) const;
    // The user's data folder; empty when there is none.
    const std::string& UserFolder() const { return m_strUserFolder; }

private:
    std::string m_strLibraryFolder;
    std::string m_strUserFolder;
    std::string m_strSeedFolder;
};
