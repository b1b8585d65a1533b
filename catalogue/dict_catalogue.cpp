#include "dict_catalogue.h"

#include "catalogue_location.h"
#include "catalogue_merge.h"
#include "disk_file.h"
#include "file_exception.h"
#include "file_lock.h"
#include "file_replacement.h"
#include "file_status.h"
#include "module_directory.h"
#include "user_folders.h"
#include "utf_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Constructed before every ordinary static object, so that the application
// object finds them ready, and destroyed after it.
__attribute__((init_priority(200))) CDictCatalogue g_dictCatalogue(u"Sõnastikud", u"dict.kvd", 0);
__attribute__((init_priority(200)))
CDictCatalogue g_predictCatalogue(u"Eelsõnastikud", u"predict.kvd", 1);

namespace
{

// Bytes asked of the file at a time: large enough that reading costs few calls,
// small enough to stay in the processor's cache while it is parsed.
constexpr std::size_t kChunkBytes = 256 * 1024;

// Index of the first 0x0000 unit in units[0, nCount), or nCount. Eight units
// are compared at once where the processor offers it, four otherwise: a zero
// 16-bit lane sets its top bit in the mask, and the lowest set bit always
// belongs to a true zero lane.
std::size_t FindTerminator(const char16_t* units, std::size_t nCount)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= nCount; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, zero));
        if (mask != 0)
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask))) / 2;
    }
#else
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0001000100010001u;
        constexpr uint64_t kHighs = 0x8000800080008000u;
        for (; i + 4 <= nCount; i += 4) {
            uint64_t word;
            std::memcpy(&word, units + i, sizeof word);
            const uint64_t mask = (word - kOnes) & ~word & kHighs;
            if (mask != 0)
                return i + static_cast<std::size_t>(std::countr_zero(mask)) / 16;
        }
    }
#endif
    for (; i < nCount; ++i) {
        if (units[i] == 0)
            return i;
    }
    return nCount;
}

// The written form of an entry: each string's units up to its first NUL; none
// when one of them is empty, since the reader ends the list at an empty string.
std::optional<std::array<std::u16string_view, 3>> StoredForm(const CDictEntry& entry)
{
    std::array<std::u16string_view, 3> forms;
    const std::u16string* const strings[] = {&entry.name, &entry.encoding, &entry.programUrl};
    for (std::size_t i = 0; i < 3; ++i) {
        forms[i] = std::u16string_view(strings[i]->data(),
                                       FindTerminator(strings[i]->data(), strings[i]->size()));
        if (forms[i].empty())
            return std::nullopt;
    }
    return forms;
}

// Appends stored UTF-16LE units, which on a little-endian machine are already char16_t.
void AppendStored(std::u16string& str, const char16_t* units, std::size_t nCount)
{
    if constexpr (std::endian::native == std::endian::little) {
        str.append(units, nCount);
    } else {
        for (std::size_t i = 0; i < nCount; ++i)
            str.push_back(static_cast<char16_t>((units[i] >> 8) | (units[i] << 8)));
    }
}

// The smallest record on disk: three one-unit strings with their terminators.
constexpr std::size_t kMinRecordBytes = 12;

void AppendString(char*& pOut, std::u16string_view str)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(pOut, str.data(), str.size() * 2);
        pOut += str.size() * 2;
    } else {
        for (const char16_t c : str) {
            *pOut++ = static_cast<char>(c & 0xFF);
            *pOut++ = static_cast<char>(c >> 8);
        }
    }
    *pOut++ = '\0';
    *pOut++ = '\0';
}

} // namespace

CDictCatalogue::CDictCatalogue(std::u16string strTitle, std::u16string strFileName,
                               int32_t nFixedCount)
    : title(std::move(strTitle)), fileName(std::move(strFileName)), fixedCount(nFixedCount)
{
    Reset();
}

void CDictCatalogue::Reset()
{
    std::vector<CDictEntry>().swap(entries);
    if (fixedCount != 0)
        AddEntry(CDictEntry(u" --- ", u"utf8", u""));
}

int CDictCatalogue::AddEntry(const CDictEntry& entry)
{
    entries.push_back(entry);
    return GetCount() - 1;
}

int CDictCatalogue::AddEntry(CDictEntry&& entry)
{
    entries.push_back(std::move(entry));
    return GetCount() - 1;
}

std::u16string CDictCatalogue::GetFilePath() const
{
    return Utf8ToUtf16(GetDiskPath());
}

std::string CDictCatalogue::GetDiskPath() const
{
    return ModuleDirectory() + Utf16ToUtf8(fileName);
}

int CDictCatalogue::Load(const std::string& strSeedFolder)
{
    return Load(CCatalogueLocation::ForLibrary(ModuleDirectory(), strSeedFolder));
}

int CDictCatalogue::Load(const CCatalogueLocation& location)
{
    const std::string strName = Utf16ToUtf8(fileName);
    const std::string strPath = location.ReadPath(strName);
    // Looked at before reading: a save that comes between is then seen as a
    // change at the next save, never the other way round.
    m_seenFiles.clear();
    for (const std::string& strFile :
         {location.BesideLibrary(strName), location.InUserFolder(strName)})
        if (!strFile.empty())
            m_seenFiles[strFile] = SignatureOf(strFile);
    const bool bExists = SignatureOf(strPath).has_value();
    int nResult = 0;
    try {
        nResult = LoadFile(strPath);
    } catch (...) {
        nResult = 0;
    }
    m_storedEntries = entries;
    m_nStoredSelection = selection;
    m_bStored = bExists;
    return nResult;
}

bool CDictCatalogue::IsModified() const
{
    if (!m_bStored)
        return GetCount() > fixedCount;
    return selection != m_nStoredSelection || entries != m_storedEntries;
}

int CDictCatalogue::Save()
{
    return Save(CCatalogueLocation::ForLibrary(ModuleDirectory()));
}

int CDictCatalogue::Save(const CCatalogueLocation& location)
{
    m_strFailedPath.clear();
    m_nFailedError = 0;
    // Nothing changed is nothing written: a run that only looks up leaves an
    // installed library's folder and the user's files as they were.
    if (!IsModified())
        return 0;
    const std::string strName = Utf16ToUtf8(fileName);
    int nError = 0;
    // Beside the library where the user may write there; when that fails, or
    // the user may not, in the user's own data folder, so the edits are kept.
    if (location.IsLibraryPlaceWritable(strName) &&
        SaveMerged(location.BesideLibrary(strName), nError) == 0)
        return 0;
    const std::string strUser = location.InUserFolder(strName);
    nError = CUserFolders::Make(location.UserFolder());
    if (nError == 0 && SaveMerged(strUser, nError) == 0)
        return 0;
    m_strFailedPath = strUser.empty() ? location.BesideLibrary(strName) : strUser;
    m_nFailedError = nError;
    return -1;
}

CDictCatalogue::FileSignature CDictCatalogue::SignatureOf(const std::string& strPath)
{
    const auto status = CFileStatus::Of(strPath);
    return status ? FileSignature(status->Signature()) : std::nullopt;
}

int CDictCatalogue::SaveMerged(const std::string& strPath, int& nError)
{
    // The read, the merge and the write of two saves never interleave.
    const CFileLock lock(strPath + ".lock");
    const std::vector<CDictEntry> ours = entries;
    const int32_t nOurSelection = selection;
    const FileSignature now = SignatureOf(strPath);
    const auto seen = m_seenFiles.find(strPath);
    if (now && (seen == m_seenFiles.end() || seen->second != now)) {
        CDictCatalogue theirs(u"", u"", fixedCount);
        theirs.LoadFile(strPath);
        selection = MergeCatalogueEntries(entries, selection, m_storedEntries, m_nStoredSelection,
                                          theirs.entries, theirs.selection,
                                          static_cast<std::size_t>(fixedCount));
    }
    if (SaveFile(strPath, &nError) != 0) {
        entries = ours;
        selection = nOurSelection;
        return -1;
    }
    Store(strPath);
    return 0;
}

void CDictCatalogue::Store(const std::string& strPath)
{
    m_storedEntries = entries;
    m_nStoredSelection = selection;
    m_bStored = true;
    m_seenFiles[strPath] = SignatureOf(strPath);
}

int CDictCatalogue::LoadFile(const std::string& strPath)
{
    // Whatever goes wrong after the file opened keeps the records read so far.
    try {
        Reset();
        CFileReplacement::RemoveLeftovers(strPath);
        CDiskFile file;
        if (!file.Open(strPath, CDiskFile::modeRead))
            return -1;
        return ReadFrom(file);
    } catch (...) {
        return 0;
    }
}

int CDictCatalogue::SaveFile(const std::string& strPath, int* pError)
{
    int nError = 0;
    try {
        // An empty name ends the list for the reader.
        CFileReplacement replacement(strPath, std::string(2, '\0'));
        CDiskFile file;
        if (!replacement.Open(file)) {
            nError = replacement.GetError();
        } else {
            WriteTo(file);
            if (!replacement.Commit(file))
                nError = replacement.GetError();
        }
    } catch (const CFileException& e) {
        nError = e.m_lOsError > 0 ? static_cast<int>(e.m_lOsError) : EIO;
    } catch (const std::bad_alloc&) {
        nError = ENOMEM;
    } catch (...) {
        nError = EIO;
    }
    if (pError)
        *pError = nError;
    return nError == 0 ? 0 : -1;
}

int CDictCatalogue::ReadFrom(CFile& file)
{
    // A short header replaces only the bytes it delivered, lowest first.
    unsigned char header[4];
    const std::size_t nHeader = file.Read(header, 4);
    uint32_t value = static_cast<uint32_t>(selection);
    for (std::size_t i = 0; i < nHeader && i < 4; ++i)
        value = (value & ~(0xFFu << (8 * i))) | (static_cast<uint32_t>(header[i]) << (8 * i));
    selection = static_cast<int32_t>(value);
    if (nHeader != 4)
        return -1;

    // The records are parsed from large blocks of the stream; a string may run
    // across blocks, and so may a unit when a block ends on an odd byte.
    const std::unique_ptr<char16_t[]> chunk(new char16_t[kChunkBytes / 2]);
    char* const pBytes = reinterpret_cast<char*>(chunk.get());
    const std::size_t nLength = file.GetLength();
    std::u16string fields[3];
    int nField = 0;
    std::size_t nCarry = 0;
    // What the list held before: ReadFrom appends.
    const std::size_t nBefore = entries.size();
    bool bSized = false;
    for (;;) {
        const std::size_t nRead = file.Read(pBytes + nCarry, kChunkBytes - nCarry);
        // The end of the data inside a string, or one stray final byte.
        if (nRead == 0)
            throw CFileException(CFileException::generic, -1);
        const std::size_t nBytes = nCarry + nRead;
        const std::size_t nUnits = nBytes / 2;
        const char16_t* const pUnits = chunk.get();
        std::size_t nPos = 0;
        while (nPos < nUnits) {
            // A record wholly inside the block is built in place; the one
            // that runs across into the next block goes through fields.
            if (nField == 0 && fields[0].empty()) {
                std::size_t ends[3];
                std::size_t nFrom = nPos;
                int nFound = 0;
                for (; nFound < 3; ++nFound) {
                    ends[nFound] = nFrom + FindTerminator(pUnits + nFrom, nUnits - nFrom);
                    if (ends[nFound] == nUnits)
                        break;
                    nFrom = ends[nFound] + 1;
                }
                if (nFound == 3) {
                    // All three strings are read before any is tested.
                    if (ends[0] == nPos || ends[1] == ends[0] + 1 || ends[2] == ends[1] + 1)
                        return 0;
                    CDictEntry& entry = entries.emplace_back();
                    AppendStored(entry.name, pUnits + nPos, ends[0] - nPos);
                    AppendStored(entry.encoding, pUnits + ends[0] + 1, ends[1] - ends[0] - 1);
                    AppendStored(entry.programUrl, pUnits + ends[1] + 1, ends[2] - ends[1] - 1);
                    nPos = ends[2] + 1;
                    continue;
                }
            }
            const std::size_t nEnd = nPos + FindTerminator(pUnits + nPos, nUnits - nPos);
            AppendStored(fields[nField], pUnits + nPos, nEnd - nPos);
            if (nEnd == nUnits)
                break;
            nPos = nEnd + 1;
            if (++nField < 3)
                continue;
            if (fields[0].empty() || fields[1].empty() || fields[2].empty())
                return 0;
            AddEntry(CDictEntry(std::move(fields[0]), std::move(fields[1]), std::move(fields[2])));
            for (std::u16string& field : fields)
                field = std::u16string();
            nField = 0;
        }
        // Once the first block shows how long records are, the list is sized
        // for the whole stream, never beyond what its bytes could hold.
        if (!bSized && nLength > kChunkBytes && entries.size() > nBefore) {
            const std::size_t nExpected = (entries.size() - nBefore) * (nLength / nBytes + 1);
            entries.reserve(nBefore +
                            std::min(nExpected + nExpected / 8, nLength / kMinRecordBytes));
        }
        bSized = true;
        nCarry = nBytes % 2;
        if (nCarry != 0)
            pBytes[0] = pBytes[nBytes - 1];
    }
}

int CDictCatalogue::WriteTo(CFile& file)
{
    // Records are gathered in a block that stays in the processor's cache and
    // written a block at a time; a record larger than the block goes alone.
    const std::unique_ptr<char[]> block(new char[kChunkBytes]);
    char* pOut = block.get();
    const auto flush = [&] {
        if (pOut != block.get())
            file.Write(block.get(), static_cast<std::size_t>(pOut - block.get()));
        pOut = block.get();
    };
    const auto nSelection = static_cast<uint32_t>(selection);
    for (int i = 0; i < 4; ++i)
        *pOut++ = static_cast<char>((nSelection >> (8 * i)) & 0xFF);
    for (int i = fixedCount; i < GetCount(); ++i) {
        // An entry with an empty field would end the list for the reader,
        // dropping it and every one after it; such an entry is left out.
        const auto forms = StoredForm(GetEntry(i));
        if (!forms)
            continue;
        const std::size_t nRecord =
            2 * ((*forms)[0].size() + (*forms)[1].size() + (*forms)[2].size() + 3);
        if (nRecord > kChunkBytes - static_cast<std::size_t>(pOut - block.get()))
            flush();
        if (nRecord > kChunkBytes) {
            const std::unique_ptr<char[]> record(new char[nRecord]);
            char* pRecord = record.get();
            for (const std::u16string_view form : *forms)
                AppendString(pRecord, form);
            file.Write(record.get(), nRecord);
            continue;
        }
        for (const std::u16string_view form : *forms)
            AppendString(pOut, form);
    }
    flush();
    return 0;
}
