#include "main_dialog.h"

#include "dict_catalogue.h"
#include "user_settings.h"
#include "win_defs.h"

#include <algorithm>

namespace
{

// The id Enter stands for on every page: "Vaata" on the lookup page, "Muuda..." on
// the catalogue pages.
constexpr int kDefaultCommand = 1004;

const std::u16string kWidthKey = u"mainWindow/width";
const std::u16string kHeightKey = u"mainWindow/height";
const std::u16string kMaximizedKey = u"mainWindow/maximized";

} // namespace

CMainDialog::CMainDialog(const std::u16string& strCaption, const std::u16string& strWord,
                         CWnd* pParentWnd, int iSelectPage)
    : CPropertySheet(strCaption, pParentWnd, iSelectPage)
{
    SetResizable(true);
    m_pPlatform.reset(MakePlatform());
    m_runPage.m_word = strWord;
    m_dictPage.SetCatalogue(&g_dictCatalogue);
    m_predictPage.SetCatalogue(&g_predictCatalogue);
    AddPage(&m_runPage);
    AddPage(&m_dictPage);
    AddPage(&m_predictPage);
    AddPage(&m_helpPage);
}

CMainDialog::~CMainDialog() = default;

bool CMainDialog::OnInitDialog()
{
    const bool bResult = CPropertySheet::OnInitDialog();
    for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP}) {
        if (CWnd* pButton = GetDlgItem(nID)) {
            pButton->ShowWindow(SW_HIDE);
            pButton->EnableWindow(false);
        }
    }
    // Hidden, but Esc and the close box still cancel through it.
    if (CWnd* pCancel = GetDlgItem(IDCANCEL))
        pCancel->EnableWindow(true);
    MakeOkNotDefault();
    SetDefID(kDefaultCommand);
    RestoreWindowSize();
    return bResult;
}

void CMainDialog::RestoreWindowSize()
{
    // The least is the templates' size without the button row just hidden;
    // the first run opens at it.
    const CUserSettings settings;
    const CSize least = LeastSize();
    CSize size{settings.IntValue(kWidthKey, least.cx), settings.IntValue(kHeightKey, least.cy)};
    if (size != least) {
        // A size kept on a larger screen fits this one, never below the least.
        const CSize room = ScreenRoom();
        if (room.cx > 0 && room.cy > 0)
            size = {std::min(size.cx, room.cx), std::min(size.cy, room.cy)};
        Resize({std::max(size.cx, least.cx), std::max(size.cy, least.cy)});
    }
    if (settings.BoolValue(kMaximizedKey, false))
        Maximize();
}

void CMainDialog::OnDestroy()
{
    if (GetSafeHwnd())
        SaveWindowSize();
}

void CMainDialog::SaveWindowSize()
{
    const bool bMaximized = IsMaximized();
    // A maximized window keeps the size it had before, for when it is made
    // normal again; one that opened maximized may not know it.
    const CSize size = NormalSize();
    CUserSettings settings;
    // A window left as it opened writes nothing; without a size kept it
    // opened at its least.
    const CSize least = LeastSize();
    if (size.cx > 0 && size.cy > 0) {
        if (settings.IntValue(kWidthKey, least.cx) != size.cx)
            settings.SetIntValue(kWidthKey, size.cx);
        if (settings.IntValue(kHeightKey, least.cy) != size.cy)
            settings.SetIntValue(kHeightKey, size.cy);
    }
    if (settings.BoolValue(kMaximizedKey, false) != bMaximized)
        settings.SetBoolValue(kMaximizedKey, bMaximized);
}

bool CMainDialog::OnSetDefId(int nID)
{
    // Whoever asks for another default, the window keeps 1004.
    if (nID == kDefaultCommand)
        return CPropertySheet::OnSetDefId(nID);
    SetDefID(kDefaultCommand);
    return true;
}

void CMainDialog::LookUpWord(const CString& strWord)
{
    SetActivePage(&m_runPage);
    m_runPage.LookUpWord(strWord);
}

void CMainDialog::EndSession()
{
    m_bSessionEnding = true;
    if (!m_bClosing && ContinueModal()) {
        CWnd* pCancel = GetDlgItem(IDCANCEL);
        SendCommand(IDCANCEL, pCancel ? pCancel->GetSafeHwnd() : nullptr);
    }
}

void CMainDialog::OnClosing()
{
    // Once: a second Esc or an end of the session while a failed save is
    // asked about must not start another close inside this one.
    if (m_bClosing)
        return;
    m_bClosing = true;
    if (m_saveEdits)
        m_saveEdits();
}

void CMainDialog::SaveEdits()
{
    if (m_bClosing || !ContinueModal())
        return;
    // Leaving the page puts its edits into the catalogues; it stays on show.
    if (CPropertyPage* pPage = GetActivePage())
        pPage->OnKillActive();
    if (m_saveEdits)
        m_saveEdits();
}
