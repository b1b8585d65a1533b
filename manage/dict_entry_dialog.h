#pragma once

#include "dialog.h"

#include "text.h"

// The "Sõnastik" dialog: one catalogue entry's name, program address and
// parameter encoding. It only collects them; the caller decides what to do
// with them after OK.
class CDictEntryDialog : public CDialog
{
public:
    CDictEntryDialog(CString strName, const CString& strEncoding, CString strProgram,
                     CWnd* pParentWnd = nullptr);

    // OK refuses an entry without a name or a program address: the catalogue
    // file ends its list at the first empty field, so such an entry would cut
    // off every entry behind it at the next load. It refuses a program address
    // the lookup page would not open, too.
    void OnOK() override;

    // Replaces the OK button's text ("Lisa") when not empty.
    CString m_strOkText;
    CString m_strName;
    CString m_strProgram;
    // Index into the encoding list: 0 "utf8", 1 "baltic", 2 "western".
    int m_nEncoding;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
};

// What is missing from an entry before it may be kept, or what is wrong with
// its program address (the lookup page opens only http and https addresses),
// as told to the user; empty when nothing is.
CString MissingEntryFields(const CString& strName, const CString& strProgram);
