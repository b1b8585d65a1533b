#pragma once

#include "dict_entry.h"

#include <cstdint>
#include <string>
#include <vector>

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
    int Load();
    int Save();
    int ReadFrom(CFile& file);
    int WriteTo(CFile& file);
    // The catalogue file beside the library, for showing.
    std::u16string GetFilePath() const;
    // The same path in the system's own bytes, which need not be valid UTF-8.
    // Load and Save use it, or the user's own copy when the library's folder
    // cannot be written (CCatalogueLocation).
    std::string GetDiskPath() const;

    // Load and Save on an explicit path (file name in the system's encoding).
    int LoadFile(const std::string& strPath);
    int SaveFile(const std::string& strPath);

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
};

extern CDictCatalogue g_dictCatalogue;
extern CDictCatalogue g_predictCatalogue;
