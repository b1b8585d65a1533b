#pragma once

#include "dict_dialog.h"
#include "estonian_translator.h"
#include "help_dialog.h"
#include "property_sheet.h"
#include "run_dialog.h"

#include <string>

// The library's only top-level window: the lookup, catalogue and help tabs,
// without a button row. Esc and the close box close it; Enter always means
// control 1004 of the page on show. The user may make it larger than its
// templates; its size and whether it was maximized come back in the next run.
class CMainDialog : public CPropertySheet
{
public:
    CMainDialog(const std::u16string& strCaption, const std::u16string& strWord, CWnd* pParentWnd,
                int iSelectPage);
    ~CMainDialog() override;

    bool OnInitDialog() override;

    // A word from outside while the window is open: shows the lookup tab and
    // looks the word up there.
    void LookUpWord(const QString& strWord);

protected:
    bool OnSetDefId(int nID) override;
    void OnDestroy() override;

private:
    void RestoreWindowSize();

    // Qt's own texts in Estonian while the window is open.
    CEstonianTranslator m_translator;
    CRunDialog m_runPage;
    CDictDialog m_dictPage;
    CDictDialog m_predictPage;
    CHelpDialog m_helpPage;
};
