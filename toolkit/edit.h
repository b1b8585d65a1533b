#pragma once

#include "wnd.h"

#include <functional>
#include <vector>

class CMenu;

// A one-line edit box.
class CEdit : public CWnd
{
public:
    CEdit() = default;
    // Stops listening to the box; the box itself stays, its list goes.
    ~CEdit() override;

    // Selects the characters from nStartChar up to nEndChar; (0, -1) selects all.
    void SetSel(int nStartChar, int nEndChar);

    // Completion: as the user types, the words that begin with the text,
    // whatever the letter case, are offered in a list under the box.
    void SetCompletionWords(const std::vector<CString>& words);
    // Opens the list with every word.
    void ShowAllCompletions();
    bool IsCompletionShown() const;
    // The word chosen from the list, or the text typed when Enter is pressed
    // in the open list with nothing chosen, once the key has been handled.
    void SetCompletionHandler(std::function<void(const CString& strWord)> handler);

    // The box's own menu (undo, cut, copy, paste...) gets, after a separator,
    // the items onMenu appends as it opens; the id of the one chosen of those
    // goes to onCommand.
    void SetContextMenuHandler(std::function<void(CMenu& menu)> onMenu,
                               std::function<void(unsigned nID)> onCommand);

protected:
    bool OnCommand(int nID, HWND hSource) override;

private:
    // The platform's side of the box: its list and its menu.
    friend class CEditHooks;
    // Where the platform keeps the list itself: the words it offers and its window.
    std::vector<CString> m_words;
    HWND m_hCompletionList = nullptr;
    std::function<void(const CString&)> m_onCompletion;
    std::function<void(CMenu&)> m_onMenu;
    std::function<void(unsigned)> m_onMenuCommand;
};
