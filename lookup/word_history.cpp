#include "word_history.h"

#include "catalogue_location.h"
#include "disk_file.h"
#include "file_replacement.h"
#include "utf_text.h"

#include <algorithm>
#include <unistd.h>

namespace
{

// Enough for kMaxWords words of full length; the rest of a larger file is
// not read.
constexpr std::size_t kMaxFileBytes = 2 * 1024 * 1024;

bool IsKeptWord(const std::u16string& word)
{
    return word.size() <= CWordHistory::kMaxWordLength &&
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

std::string CWordHistory::DefaultPath()
{
    const std::string strFolder = CCatalogueLocation::UserDataFolder();
    return strFolder.empty() ? std::string() : strFolder + "history.txt";
}

void CWordHistory::Load()
{
    std::vector<std::u16string> words;
    ReadFile(words);
    m_words = std::move(words);
}

bool CWordHistory::Add(const std::u16string& word)
{
    if (!IsKeptWord(word))
        return false;
    // What another window saved meanwhile counts; a file that is not there
    // (never written, or not writable) leaves this object's own words.
    std::vector<std::u16string> words;
    if (!ReadFile(words))
        words = m_words;
    words.erase(std::remove(words.begin(), words.end(), word), words.end());
    words.insert(words.begin(), word);
    if (words.size() > kMaxWords)
        words.resize(kMaxWords);
    m_words = std::move(words);
    return WriteFile();
}

bool CWordHistory::Clear()
{
    m_words.clear();
    if (WriteFile())
        return true;
    // A file that cannot be rewritten may still be removed.
    return !m_strPath.empty() && ::unlink(m_strPath.c_str()) == 0;
}

bool CWordHistory::ReadFile(std::vector<std::u16string>& words) const
{
    words.clear();
    if (m_strPath.empty())
        return false;
    try {
        CDiskFile file;
        if (!file.Open(m_strPath, CDiskFile::modeRead))
            return false;
        std::string bytes(std::min(file.GetLength(), kMaxFileBytes), '\0');
        bytes.resize(file.Read(bytes.data(), bytes.size()));
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
        return true;
    } catch (...) {
        words.clear();
        return false;
    }
}

bool CWordHistory::WriteFile() const
{
    if (m_strPath.empty())
        return false;
    try {
        const auto nSlash = m_strPath.rfind('/');
        if (nSlash != std::string::npos &&
            CCatalogueLocation(std::string(), m_strPath.substr(0, nSlash + 1)).MakeUserFolder() !=
                0)
            return false;
        std::string text;
        for (const std::u16string& word : m_words)
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
