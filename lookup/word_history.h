#pragma once

#include <string>
#include <vector>

// The words the user has looked up, newest first, each once, for the word
// box to complete from. They are kept in a small text file of the user's own
// (UTF-8, one word a line), which is rewritten whole and replaced only when
// complete, and re-read before each change so that windows open side by side
// lose none of each other's words. When the file cannot be written the words
// last for this object only; a history is no reason to bother the user.
class CWordHistory
{
public:
    static constexpr std::size_t kMaxWords = 500;
    // Longer text is a pasted paragraph rather than a word, and is not kept.
    static constexpr std::size_t kMaxWordLength = 1000;

    // strPath in the system's own bytes; empty keeps nothing on disk.
    explicit CWordHistory(std::string strPath);
    // "history.txt" in the user's data folder; empty without a home folder.
    static std::string DefaultPath();

    const std::vector<std::u16string>& GetWords() const { return m_words; }

    // Reads the file; a missing or unreadable one gives no words.
    void Load();
    // Puts word first, taking it out further down, and writes the file. A
    // word that cannot stand on one line, or has nothing but blanks, is not
    // kept. Returns whether the file now holds the word.
    bool Add(const std::u16string& word);
    // Forgets every word, also in the file. Returns whether the file is empty.
    bool Clear();

private:
    // The words of the file; false when there is no file to read.
    bool ReadFile(std::vector<std::u16string>& words) const;
    bool WriteFile() const;

    std::string m_strPath;
    std::vector<std::u16string> m_words;
};
