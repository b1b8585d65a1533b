#pragma once

#include "dict_dialog.h"
#include "help_dialog.h"
#include "property_sheet.h"
#include "run_dialog.h"
#include "size.h"

#include <functional>
#include <memory>
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
    void LookUpWord(const CString& strWord);

    // Closes the window as Esc does because the user's session ends: the
    // edits are kept the same way, and nobody is there to answer a question.
    void EndSession();
    bool IsSessionEnding() const { return m_bSessionEnding; }
    // Whether the window has begun to close through Esc, the close box or
    // EndSession (and m_saveEdits has run or runs now).
    bool IsClosing() const { return m_bClosing; }
    // Saves the edits of the page on show and everything left before, the
    // window staying open: the session manager saves before it ends a
    // session, and may not end it after all.
    void SaveEdits();

    // Saves the catalogues, with the pages' edits and choices in them, the
    // window still on show: when it closes, so that a failed save can be
    // asked about before the window goes, and in SaveEdits.
    std::function<void()> m_saveEdits;

protected:
    bool OnSetDefId(int nID) override;
    void OnClosing() override;
    void OnDestroy() override;

private:
    void RestoreWindowSize();
    void SaveWindowSize();

    // Each platform's side. The texts the window system shows by itself in
    // Estonian while the window is open (SPlatform); the hidden OK button
    // without the look of a default button; the least size the pages allow;
    // the room the screen offers, when known; the size the window has, or
    // had before it was maximized; making it that size; maximizing it.
    struct SPlatform;
    static SPlatform* MakePlatform();
    static void DeletePlatform(SPlatform* pPlatform);
    void MakeOkNotDefault();
    CSize LeastSize() const;
    CSize ScreenRoom() const;
    CSize NormalSize() const;
    bool IsMaximized() const;
    void Resize(const CSize& size);
    void Maximize();

    std::unique_ptr<SPlatform, void (*)(SPlatform*)> m_pPlatform{nullptr, &DeletePlatform};
    CRunDialog m_runPage;
    CDictDialog m_dictPage;
    CDictDialog m_predictPage;
    CHelpDialog m_helpPage;
    bool m_bClosing = false;
    bool m_bSessionEnding = false;
};
