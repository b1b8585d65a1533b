#pragma once

#include "edit.h"

#include <functional>
#include <string>
#include <vector>

// The edit box of a word to look up, with what the platform adds to it: a
// list of earlier words that completes what is typed (in any case, from the
// start of a word), Up and Down handed to the page, and one command of the
// page's own in the box's menu.
class CWordBox
{
public:
    CWordBox() = default;
    CWordBox(const CWordBox&) = delete;
    CWordBox& operator=(const CWordBox&) = delete;

    // Takes on the edit control nID of page; false when there is none.
    bool Create(CWnd& page, int nID);

    // The words the box completes from, in the order offered.
    void SetWords(const std::vector<std::u16string>& words);
    // Whether the list of words is open; its keys are then its own.
    bool IsListOpen() const;
    // Opens the list with every word.
    void ListAllWords();
    // The focus to the box, its text selected for typing over.
    void FocusAndSelect();

    // A word chosen from the list, put in the box: look it up. Also Enter
    // with the list open and no word of it chosen, the typed word in the box.
    void SetLookUpHandler(std::function<void()> handler);
    // Up (true) or Down (false) without a modifier, the list closed: true
    // when the key was used.
    void SetUpDownHandler(std::function<bool(bool bUp)> handler);
    // The command under the box's own editing commands in its menu, enabled
    // as isEnabled says when the menu opens.
    void SetMenuCommand(const std::u16string& strText, std::function<bool()> isEnabled,
                        std::function<void()> onChosen);

private:
    CEdit m_edit;
    std::function<void()> m_onLookUp;
    std::function<bool(bool)> m_onUpDown;
    std::u16string m_strCommand;
    std::function<bool()> m_isCommandEnabled;
    std::function<void()> m_onCommand;
};
