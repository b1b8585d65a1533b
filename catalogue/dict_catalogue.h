#pragma once

#include "dict_entry.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CCatalogueLocation;
class CFile;
// Window controls the catalogue fills; they belong to the window code, which
// also defines the three operations that take them.
class CComboBox;
class CListCtrl;

// An ordered, user-editable list of dictionary programs with the user's last choice.
class CDictCatalogue
{
public:
    CDictCatalogue(std::u16string strTitle, std::u16string strFileName, int32_t nFixedCount);

    // Empties the catalogue but for the built-in first row " --- " (no
    // pre-dictionary) when fixedCount is 1.
    void Reset();
    // Reads the catalogue from the file that CCatalogueLocation names for it;
    // strSeedFolder holds the installed published lists, read for a catalogue
    // the user has no file of.
    int Load(const std::string& strSeedFolder = {});
    int Load(const CCatalogueLocation& location);
    // Writes the catalogue when it differs from what was read or last saved
    // (0 also when nothing needed writing), merged with what another process
    // saved in the file meanwhile. On -1, GetFailedPath() and GetFailedError()
    // tell which file could not be written and why.
    int Save();
    int Save(const CCatalogueLocation& location);
    // Whether the entries or the selection differ from what was read or last
    // saved; a catalogue that had no file counts as changed once it is not empty.
    bool IsModified() const;
    const std::string& GetFailedPath() const { return m_strFailedPath; }
    int GetFailedError() const { return m_nFailedError; }
    int ReadFrom(CFile& file);
    int WriteTo(CFile& file);
    // The catalogue file beside the library, for showing.
    std::u16string GetFilePath() const;
    // The same path in the system's own bytes, which need not be valid UTF-8.
    // Load and Save use it, or the user's own copy when the library's folder
    // cannot be written (CCatalogueLocation).
    std::string GetDiskPath() const;

    // Load and Save on an explicit path (file name in the system's encoding),
    // the file rewritten whole; pError receives the system's error number.
    int LoadFile(const std::string& strPath);
    int SaveFile(const std::string& strPath, int* pError = nullptr);

    void FillComboBox(CComboBox& combo);
    int FillListCtrl(CListCtrl& list);
    int UpdateFromListCtrl(CListCtrl& list);

    CDictEntry& GetEntry(int nIndex) { return entries[static_cast<std::size_t>(nIndex)]; }
    const CDictEntry& GetEntry(int nIndex) const
    {
        return entries[static_cast<std::size_t>(nIndex)];
    }
    int GetCount() const { return static_cast<int>(entries.size()); }
    int AddEntry(const CDictEntry& entry);
    int AddEntry(CDictEntry&& entry);

    std::u16string title;
    std::u16string fileName;
    std::vector<CDictEntry> entries;
    int32_t selection = 0;
    int32_t fixedCount = 0;

private:
    // Device, inode, size and both change times of a file; none when it is missing.
    using FileSignature = std::optional<std::array<int64_t, 7>>;
    static FileSignature SignatureOf(const std::string& strPath);
    int SaveMerged(const std::string& strPath, int& nError);
    void Store(const std::string& strPath);

    // What was read or last saved: what a save compares with, and where a
    // merge starts from.
    std::vector<CDictEntry> m_storedEntries;
    int32_t m_nStoredSelection = 0;
    bool m_bStored = false;
    // The catalogue's possible files as they were then: one that differs at a
    // save has been saved by another process since.
    std::map<std::string, FileSignature> m_seenFiles;
    std::string m_strFailedPath;
    int m_nFailedError = 0;
};

extern CDictCatalogue g_dictCatalogue;
extern CDictCatalogue g_predictCatalogue;
