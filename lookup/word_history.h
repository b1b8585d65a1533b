#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CFileLock;

// The words the user has looked up, newest first, each once, for the word
// box to complete from. They are kept in a small text file of the user's own
// (UTF-8, one word a line). Each change is made under a lock on a file beside
// it: the file is read, the change made to what it holds, and the file
// replaced whole, so that windows open side by side lose none of each other's
// words. When the file cannot be written, cannot be read, or is a link to
// something that is not the user's own file in the user's home folder, it is
// left as it is and the words last for this object only; a history is no
// reason to bother the user.
class CWordHistory
{
public:
    static constexpr std::size_t kMaxWords = 500;

    // strPath in the system's own bytes; empty keeps nothing on disk.
    explicit CWordHistory(std::string strPath);
    CWordHistory(const CWordHistory&) = delete;
    CWordHistory& operator=(const CWordHistory&) = delete;
    // Writes what AddLater still holds before it goes.
    ~CWordHistory();
    // "history.txt" in the user's state folder, moved there from the data
    // folder where earlier versions kept it; empty without a home folder.
    static std::string DefaultPath();

    const std::vector<std::u16string>& GetWords() const { return m_words; }

    // Reads the file; a missing or unreadable one gives no words.
    void Load();
    // Puts word first, taking it out further down, and writes the file. A
    // word that cannot stand on one line, has nothing but blanks, or is
    // longer than a lookup takes, is not kept. Returns whether the file now holds the word.
    bool Add(const std::u16string& word);
    // As Add, but only the words in memory change at once: the file is
    // changed on a thread of the history's own, the words that come while it
    // writes together in one change after. A lookup never waits for the disk.
    // Returns whether the word is kept.
    bool AddLater(const std::u16string& word);
    // Waits until the words given to AddLater are in the file (as far as it
    // can be written).
    void Flush();
    // Forgets every word, also in the file. Returns whether the file is empty.
    bool Clear();

private:
    // The lock on the history's changes, its folder made first; none without a file.
    std::unique_ptr<CFileLock> LockFile() const;
    enum class ERead { Read, Missing, Unreadable };
    // The words of the file, at most kMaxFileBytes of it and never a cut line.
    ERead ReadFile(std::vector<std::u16string>& words) const;
    // Whether the file may be replaced: it is missing, the user's own regular
    // file of one name, or a link to such a file in the user's home folder.
    bool IsWritable() const;
    bool WriteFile(const std::vector<std::u16string>& words) const;
    // Puts each of added first in words, in turn, and writes the file under
    // the lock; base stands for a file that is not there.
    bool Merge(const std::vector<std::u16string>& added, std::vector<std::u16string>& words,
               const std::vector<std::u16string>& base) const;
    void WriteLaterLoop();

    std::string m_strPath;
    std::vector<std::u16string> m_words;

    // Shared with the writing thread, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::u16string> m_pending;     // words not yet taken for the file
    std::vector<std::u16string> m_pendingBase; // m_words after the last of them
    bool m_bWriting = false;                   // the thread is changing the file
    bool m_bStopping = false;
    std::thread m_writer; // started by the first AddLater
};
