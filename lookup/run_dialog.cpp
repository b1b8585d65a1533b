#include "run_dialog.h"

#include "browser_keys.h"
#include "data_exchange.h"
#include "dict_catalogue.h"
#include "navigable_address.h"
#include "property_sheet.h"
#include "query_composition.h"
#include "site_address.h"
#include "win_defs.h"
#include "word_length.h"

namespace
{

enum : int {
    IDD_RUN = 129,
    IDC_WORD = 1002,
    IDC_LOOKUP = 1004,
    IDC_PREDICT_COMBO = 1005,
    IDC_BROWSER = 1006,
    IDC_DICT_COMBO = 1007,
    IDC_TOOLBAR_PLACE = 1012,
};

const char16_t* const kError = u"Viga";

} // namespace

CRunDialog::CRunDialog() : CPropertyPage(IDD_RUN), m_history(CWordHistory::DefaultPath())
{
    MapCommand(IDC_LOOKUP, [this] { OnLookupButton(); });
}

void CRunDialog::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PREDICT_COMBO, m_predictCombo);
    DDX_Control(pDX, IDC_DICT_COMBO, m_dictCombo);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
    DDX_Text(pDX, IDC_WORD, m_word);
}

bool CRunDialog::OnInitDialog()
{
    const bool bResult = CPropertyPage::OnInitDialog();
    if (!m_browser.IsWindow()) {
        MessageBox(u"Viga IE initsialiseerimisel", kError, MB_ICONERROR);
        if (CPropertySheet* pSheet = GetParentSheet())
            pSheet->EndDialog(IDCANCEL);
        return bResult;
    }
    m_toolBar.Create(GetDlgItem(IDC_TOOLBAR_PLACE), this);
    m_toolBar.FollowBrowser(m_browser);
    m_findBar.Create(m_browser);
    CBrowserKeys::Create(*this, m_browser, m_findBar, u"lookupPage/zoom",
                         [this] { m_wordBox.FocusAndSelect(); });
    SetUpWordBox();
    // A word picked on the answer page is looked up as a typed one is.
    m_browser.SetLookUpHandler([this](const std::u16string& strWord) {
        SetDlgItemText(IDC_WORD, strWord);
        Lookup(true);
    });
    m_browser.SetLocationChangeHandler(
        [this](const std::u16string& strURL) { FollowPage(strURL); });
    FillLists();
    Lookup(false);
    return bResult;
}

bool CRunDialog::OnSetActive()
{
    const bool bResult = CPropertyPage::OnSetActive();
    // Entries edited on the catalogue tabs show up here.
    FillLists();
    return bResult;
}

bool CRunDialog::OnKillActive()
{
    g_dictCatalogue.selection = m_dictCombo.GetCurSel();
    g_predictCatalogue.selection = m_predictCombo.GetCurSel();
    return CPropertyPage::OnKillActive();
}

void CRunDialog::OnCancel()
{
    // Closing the window keeps the choices, whichever tab is on show.
    OnKillActive();
    CPropertyPage::OnCancel();
}

bool CRunDialog::OnCommand(int nID, HWND hSource)
{
    if (hSource && hSource == m_toolBar.GetSafeHwnd()) {
        ExecuteBrowserCommand(m_browser, nID);
        return true;
    }
    return CPropertyPage::OnCommand(nID, hSource);
}

void CRunDialog::LookUpWord(const CString& strWord)
{
    SetDlgItemText(IDC_WORD, strWord);
    Lookup(false);
}

void CRunDialog::OnLookupButton()
{
    Lookup(true);
}

int CRunDialog::Lookup(bool bReportErrors)
{
    UpdateData(true);
    const bool bTooLong = !IsWithinWordLength(m_word);
    const auto url = bTooLong ? std::nullopt
                              : ComposeLookupUrl(m_word, g_dictCatalogue, m_dictCombo.GetCurSel(),
                                                 g_predictCatalogue, m_predictCombo.GetCurSel());
    if (url && IsNavigableAddress(*url)) {
        const int nFlags = navNoReadFromCache;
        m_browser.Navigate(*url, &nFlags);
        m_history.AddLater(m_word);
        ShowHistory();
        return 0;
    }
    // A catalogue entry may hold any text; it is refused whether or not the
    // lookup reports missing input.
    // Said also for the host's word: it was not looked up, and is never cut.
    if (bTooLong)
        MessageBox(FormatCString(u"Sõna on liiga pikk. Otsida saab sõna, milles on kuni %1 märki.",
                                 {IntToCString(kMaxWordLength)}),
                   kError, MB_ICONEXCLAMATION);
    else if (url)
        RefuseAddress(*url);
    else if (bReportErrors)
        MessageBox(u"Palun sisestage sõna ja valige sõnastik!", kError, MB_ICONEXCLAMATION);
    const std::u16string strFallback = FallbackPageAddress();
    if (IsNavigableAddress(strFallback, true))
        m_browser.Navigate(strFallback);
    else
        RefuseAddress(strFallback);
    return 0;
}

void CRunDialog::RefuseAddress(const std::u16string& strAddress)
{
    MessageBox(RefusedAddressMessage(strAddress), kError, MB_ICONERROR);
}

void CRunDialog::FillLists()
{
    g_dictCatalogue.FillComboBox(m_dictCombo);
    g_predictCatalogue.FillComboBox(m_predictCombo);
}

void CRunDialog::SetUpWordBox()
{
    if (!m_wordBox.Create(*this, IDC_WORD))
        return;
    m_history.Load();
    // A word chosen from the list is looked up, as Enter on a typed one is.
    m_wordBox.SetLookUpHandler([this] { Lookup(true); });
    m_wordBox.SetUpDownHandler([this](bool bUp) { return WalkHistory(bUp); });
    m_wordBox.SetMenuCommand(
        u"Kustuta otsitud sõnade ajalugu", [this] { return !m_history.GetWords().empty(); },
        [this] {
            m_history.Clear();
            ShowHistory();
        });
    ShowHistory();
}

void CRunDialog::ShowHistory()
{
    m_wordBox.SetWords(m_history.GetWords());
    m_walk.Reset();
}

bool CRunDialog::WalkHistory(bool bOlder)
{
    switch (m_walk.Step(m_history.GetWords(), GetDlgItemText(IDC_WORD), bOlder,
                        m_wordBox.IsListOpen())) {
    case CHistoryWalk::EStep::None:
        return false;
    case CHistoryWalk::EStep::ListAll:
        m_wordBox.ListAllWords();
        return true;
    case CHistoryWalk::EStep::Word:
        SetDlgItemText(IDC_WORD, m_walk.GetWord());
        return true;
    }
    return false;
}

void CRunDialog::FollowPage(const std::u16string& strURL)
{
    const auto word = LookupWordFromUrl(strURL, g_dictCatalogue, m_dictCombo.GetCurSel(),
                                        g_predictCatalogue, m_predictCombo.GetCurSel());
    if (!word || !GetDlgItem(IDC_WORD))
        return;
    m_word = *word;
    if (GetDlgItemText(IDC_WORD) != *word)
        SetDlgItemText(IDC_WORD, *word);
}
