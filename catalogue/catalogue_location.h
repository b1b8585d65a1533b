#pragma once

#include <string>

// Where a catalogue file is read and saved. It lies beside the library; an
// installed library's folder cannot be written by its users, so a save that
// fails there goes to the user's data folder, and from then on the file there
// is the one read, as long as it is the newer of the two.
class CCatalogueLocation
{
public:
    // Both folders end in a slash, in the system's own bytes.
    CCatalogueLocation(std::string strLibraryFolder, std::string strUserFolder);
    // The library's folder and the user's data folder for catalogues.
    static CCatalogueLocation ForLibrary(std::string strLibraryFolder);
    // $XDG_DATA_HOME/quillbridge/, else ~/.local/share/quillbridge/; empty when
    // there is no home folder either.
    static std::string UserDataFolder();

    std::string BesideLibrary(const std::string& strName) const;
    // Empty when there is no user data folder.
    std::string InUserFolder(const std::string& strName) const;
    // The file a catalogue is read from.
    std::string ReadPath(const std::string& strName) const;
    // Whether a save beside the library can succeed, as far as permissions tell.
    bool IsLibraryFolderWritable() const;
    // Creates the user data folder and its parents; false when that fails.
    bool MakeUserFolder() const;

private:
    std::string m_strLibraryFolder;
    std::string m_strUserFolder;
};
