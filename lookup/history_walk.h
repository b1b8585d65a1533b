#pragma once

#include <string>
#include <vector>

// Up and Down in an empty word box walk through the words looked up before:
// Up goes back from the newest word, Down forward again to the empty box, and
// Down in the empty box lists every word. The walk goes on only while the box
// holds the word it put there; once the user types, the keys are the box's own.
class CHistoryWalk
{
public:
    enum class EStep {
        None,    // the key is not the walk's
        Word,    // the box is to show GetWord()
        ListAll, // the box is to list every word
    };

    // One key: bOlder for Up, else Down. strBoxText is what the box holds;
    // bListOpen tells that the box shows its list, whose keys these are.
    EStep Step(const std::vector<std::u16string>& words, const std::u16string& strBoxText,
               bool bOlder, bool bListOpen);
    // The word of the last step: a word of the history, or empty for the
    // empty box.
    const std::u16string& GetWord() const { return m_strWord; }
    // The words changed: the next step starts from the newest again.
    void Reset() { m_nWalk = -1; }

private:
    int m_nWalk = -1; // the history's word the walk put in the box, -1 for none
    std::u16string m_strWord;
};
