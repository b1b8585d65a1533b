#pragma once

#include "browser_toolbar.h"
#include "combo_box.h"
#include "find_bar.h"
#include "history_walk.h"
#include "property_page.h"
#include "web_browser.h"
#include "word_box.h"
#include "word_history.h"

#include <string>

// The "Päring" tab: a word, a dictionary and a pre-dictionary, and the answer
// page in the browser below them. The word box follows the page: when the
// page shown is a lookup (after back, forward or a link), it holds that
// page's word. It completes from the words looked up before, and Up in the
// empty box walks back through them.
class CRunDialog : public CPropertyPage
{
public:
    CRunDialog();

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnCancel() override;

    // Puts strWord in the word box and looks it up, as the window does with
    // the host's word when it opens.
    void LookUpWord(const CString& strWord);

    // The word of the edit box; the host's word before the page is shown.
    CString m_word;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID, HWND hSource) override;

private:
    void OnLookupButton();
    int Lookup(bool bReportErrors);
    void RefuseAddress(const std::u16string& strAddress);
    void FillLists();
    void SetUpWordBox();
    // Up and Down in the word box: true when the key walked the history.
    bool WalkHistory(bool bOlder);
    void ShowHistory();
    void FollowPage(const std::u16string& strURL);

    CComboBox m_predictCombo;
    CComboBox m_dictCombo;
    CWebBrowser m_browser;
    CBrowserToolBar m_toolBar;
    CFindBar m_findBar;
    CWordHistory m_history;
    CWordBox m_wordBox;
    CHistoryWalk m_walk;
};
