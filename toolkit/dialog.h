#pragma once

#include "wnd.h"

class CDataExchange;
class CDialogTemplate;

// A dialog built from a template: modal through DoModal, modeless through
// Create. Buttons send their ids as commands; Enter sends the default id,
// Esc and the close box send IDCANCEL.
class CDialog : public CWnd
{
public:
    explicit CDialog(int nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the window, runs OnInitDialog and then a nested message loop
    // until EndDialog. Returns the end code (IDOK, IDCANCEL, ...), or -1 when
    // the window cannot be created. Without a parent the active window owns
    // the dialog and is disabled while it runs.
    virtual int DoModal();
    // Creates the window modeless and runs OnInitDialog; it shows only if the
    // template says visible. nIDTemplate 0 means the constructor's.
    bool Create(int nIDTemplate = 0, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    int GetTemplateID() const { return m_nIDTemplate; }
    const CDialogTemplate* GetTemplate() const;

    // Runs DoDataExchange; false when a value was refused.
    bool UpdateData(bool bSaveAndValidate = true);

    // The command that Enter sends (DM_SETDEFID / DM_GETDEFID).
    void SetDefID(int nID);
    int GetDefID() const { return m_nDefID; }

    // Base: the data exchange into the controls. True lets the window system
    // give the focus to the first control.
    virtual bool OnInitDialog();
    // Base: data exchange back into the members, then EndDialog(IDOK).
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    bool OnCommand(int nID, HWND hSource) override;

    // Builds the window from the template: a plain child of hParent for a
    // page, a top-level dialog owned by hParent otherwise. Connects the
    // buttons. False when there is no such template.
    bool CreateDlgWindow(HWND hParent, bool bAsChild);

    CWnd* m_pParentWnd;

private:
    void OnEnterKey();
    void OnEscapeKey();
    void OnCloseBox();

    int m_nIDTemplate;
    int m_nDefID = 1;
};
