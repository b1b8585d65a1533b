#pragma once

#include "browser_toolbar.h"
#include "combo_box.h"
#include "property_page.h"
#include "web_browser.h"

#include <QString>

#include <string>

// The "Päring" tab: a word, a dictionary and a pre-dictionary, and the answer
// page in the browser below them.
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
    void LookUpWord(const QString& strWord);

    // The word of the edit box; the host's word before the page is shown.
    QString m_word;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnCommand(int nID, QWidget* pSource) override;

private:
    void OnLookupButton();
    int Lookup(bool bReportErrors);
    void RefuseAddress(const std::u16string& strAddress);
    void FillLists();

    CComboBox m_predictCombo;
    CComboBox m_dictCombo;
    CWebBrowser m_browser;
    CBrowserToolBar m_toolBar;
};
