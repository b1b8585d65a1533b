#include "word_history.h"

#include "disk_file.h"
#include "file_lock.h"
#include "file_replacement.h"
#include "history_file.h"
#include "user_folders.h"
#include "utf_text.h"
#include "word_length.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace
{

// Enough for kMaxWords words of full length (up to 4 bytes a character); the rest of a larger file
// is not read.
constexpr std::size_t kMaxFileBytes = 2 * 1024 * 1024;

// The word first, once, and the list no longer than the history keeps.
void PutFirst(std::vector<std::u16string>& words, const std::u16string& word)
{
    words.erase(std::remove(words.begin(), words.end(), word), words.end());
    words.insert(words.begin(), word);
    if (words.size() > CWordHistory::kMaxWords)
        words.resize(CWordHistory::kMaxWords);
}

bool IsKeptWord(const std::u16string& word)
{
    return IsWithinWordLength(word) &&
           word.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string::npos &&
           word.find_first_not_of(u" \t\f\v") != std::u16string::npos;
}

// Appends word unless it is there already or the list is full.
void AppendNew(std::vector<std::u16string>& words, std::u16string word)
{
    if (words.size() < CWordHistory::kMaxWords && IsKeptWord(word) &&
        std::find(words.begin(), words.end(), word) == words.end())
        words.push_back(std::move(word));
}

} // namespace

CWordHistory::CWordHistory(std::string strPath) : m_strPath(std::move(strPath)) {}

CWordHistory::~CWordHistory()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    m_changed.notify_all();
    // The thread writes what is pending before it ends.
    if (m_writer.joinable())
        m_writer.join();
}

std::string CWordHistory::DefaultPath()
{
    return CUserFolders::FilePath(CUserFolders::kindState, "history.txt");
}

void CWordHistory::Load()
{
    Flush();
    std::vector<std::u16string> words;
    ReadFile(words);
    m_words = std::move(words);
}

bool CWordHistory::Add(const std::u16string& word)
{
    if (!IsKeptWord(word))
        return false;
    // Words given to AddLater before this one stay older than it.
    Flush();
    std::vector<std::u16string> words;
    const bool bWritten = Merge({word}, words, m_words);
    m_words = std::move(words);
    return bWritten;
}

bool CWordHistory::Merge(const std::vector<std::u16string>& added,
                         std::vector<std::u16string>& words,
                         const std::vector<std::u16string>& base) const
{
    const auto pLock = LockFile();
    // What another window saved meanwhile counts; a file that is not there
    // (never written, or removed) gets this object's own words.
    const ERead read = ReadFile(words);
    if (read != ERead::Read)
        words = base;
    for (const std::u16string& word : added)
        PutFirst(words, word);
    // A file that is there but cannot be read may hold words this one has
    // never seen; it is not replaced.
    return read != ERead::Unreadable && WriteFile(words);
}

bool CWordHistory::AddLater(const std::u16string& word)
{
    if (!IsKeptWord(word))
        return false;
    PutFirst(m_words, word);
    if (m_strPath.empty())
        return true;
    {
        const std::lock_guard lock(m_mutex);
        m_pending.push_back(word);
        m_pendingBase = m_words;
        if (!m_writer.joinable())
            m_writer = std::thread(&CWordHistory::WriteLaterLoop, this);
    }
    m_changed.notify_all();
    return true;
}

void CWordHistory::Flush()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pending.empty() && !m_bWriting; });
}

void CWordHistory::WriteLaterLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bStopping || !m_pending.empty(); });
        if (m_pending.empty())
            return;
        const std::vector<std::u16string> added = std::move(m_pending);
        const std::vector<std::u16string> base = std::move(m_pendingBase);
        m_pending.clear();
        m_pendingBase.clear();
        m_bWriting = true;
        lock.unlock();
        // The words in memory are the window's; the file's merge is only
        // written, and read back at the next Load.
        std::vector<std::u16string> words;
        Merge(added, words, base);
        lock.lock();
        m_bWriting = false;
        m_changed.notify_all();
    }
}

bool CWordHistory::Clear()
{
    // A word still to be written would come back after the clearing.
    Flush();
    m_words.clear();
    if (m_strPath.empty())
        return false;
    const auto pLock = LockFile();
    if (WriteFile({}))
        return true;
    // A file that cannot be rewritten may still be removed; so may a link,
    // which leaves what it points to as it is.
    return CHistoryFile::Remove(m_strPath);
}

std::unique_ptr<CFileLock> CWordHistory::LockFile() const
{
    if (m_strPath.empty())
        return nullptr;
    // The lock file lies beside the history, in a folder that may not be there yet.
    CUserFolders::MakeFolderOf(m_strPath);
    return std::make_unique<CFileLock>(m_strPath + ".lock");
}

CWordHistory::ERead CWordHistory::ReadFile(std::vector<std::u16string>& words) const
{
    words.clear();
    if (m_strPath.empty())
        return ERead::Missing;
    try {
        CDiskFile file;
        int nError = 0;
        if (!file.Open(m_strPath, CDiskFile::modeRead, &nError))
            return nError == ENOENT ? ERead::Missing : ERead::Unreadable;
        // One byte past the cap tells whether the last line read was cut.
        std::string bytes(std::min(file.GetLength(), kMaxFileBytes) + 1, '\0');
        bytes.resize(file.Read(bytes.data(), bytes.size()));
        if (bytes.size() > kMaxFileBytes) {
            const auto nLastEnd = bytes.rfind('\n', kMaxFileBytes - 1);
            bytes.resize(nLastEnd == std::string::npos ? 0 : nLastEnd + 1);
        }
        std::size_t nStart = 0;
        while (nStart < bytes.size() && words.size() < kMaxWords) {
            std::size_t nEnd = bytes.find('\n', nStart);
            if (nEnd == std::string::npos)
                nEnd = bytes.size();
            std::string_view line(bytes.data() + nStart, nEnd - nStart);
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            AppendNew(words, Utf8ToUtf16(line));
            nStart = nEnd + 1;
        }
        return ERead::Read;
    } catch (...) {
        words.clear();
        return ERead::Unreadable;
    }
}

bool CWordHistory::IsWritable() const
{
    return CHistoryFile::IsWritable(m_strPath);
}

bool CWordHistory::WriteFile(const std::vector<std::u16string>& words) const
{
    if (m_strPath.empty())
        return false;
    try {
        if (!IsWritable())
            return false;
        std::string text;
        for (const std::u16string& word : words)
            text += Utf16ToUtf8(word) + '\n';
        CFileReplacement replacement(m_strPath);
        CDiskFile file;
        if (!replacement.Open(file))
            return false;
        file.Write(text.data(), text.size());
        return replacement.Commit(file);
    } catch (...) {
        return false;
    }
}
