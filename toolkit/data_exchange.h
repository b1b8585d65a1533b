#pragma once

#include "text.h"

class CWnd;

// One data exchange between a dialog's controls and its members: from the
// members into the controls, or with m_bSaveAndValidate back into the members.
class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds a wrapper to the control with id nIDC (once; a missing control leaves
// the wrapper without a window, which its owner can test).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The text of an edit control.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// The index of a combo box's current item, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
