#pragma once

#include "wnd.h"

// A drop-down list, unsorted: item i is the i-th string added.
class CComboBox : public CWnd
{
public:
    void ResetContent();
    // Appends; the current item stays as it was (none stays none).
    // Returns the new item's index, -1 without a window.
    int AddString(const CString& strText);
    // Makes item nSelect current; an index outside the items leaves none
    // current and returns -1.
    int SetCurSel(int nSelect);
    // The current item, -1 for none.
    int GetCurSel() const;
    int GetCount() const;
    CString GetLBText(int nIndex) const;
};
