// The toolkit's frame on Windows, run under Wine: the property sheet as the
// main window reshapes it, dialogs from the built-in templates, message boxes.
#include "application.h"
#include "dialog.h"
#include "message_box.h"
#include "property_page.h"
#include "property_sheet.h"
#include "wnd_platform.h"

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace
{

// Steps run one per timer tick while a modal window's loop runs, so that the
// window handles what a step sent before the next step looks. When the steps
// run out, the rescue ends the window, so a broken rule fails instead of hanging.
class CScript
{
public:
    explicit CScript(std::function<void()> rescue) : m_rescue(std::move(rescue))
    {
        s_pCurrent = this;
        m_nTimer = SetTimer(nullptr, 0, 40, &CScript::OnTick);
    }
    ~CScript()
    {
        KillTimer(nullptr, m_nTimer);
        s_pCurrent = nullptr;
    }
    void Then(std::function<void()> step) { m_steps.push_back(std::move(step)); }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        CScript* pScript = s_pCurrent;
        if (!pScript)
            return;
        if (!pScript->m_steps.empty()) {
            const std::function<void()> step = std::move(pScript->m_steps.front());
            pScript->m_steps.pop_front();
            step();
        } else if (++pScript->m_nIdleTicks == 100) {
            ADD_FAILURE() << "the window did not end";
            pScript->m_rescue();
        }
    }

    static inline CScript* s_pCurrent = nullptr;
    std::deque<std::function<void()>> m_steps;
    std::function<void()> m_rescue;
    UINT_PTR m_nTimer = 0;
    int m_nIdleTicks = 0;
};

CString TextOf(HWND hWnd)
{
    wchar_t szText[256] = {};
    GetWindowTextW(hWnd, szText, 256);
    return CString(reinterpret_cast<const char16_t*>(szText));
}

void PressKey(HWND hWnd, WPARAM nKey)
{
    PostMessageW(hWnd, WM_KEYDOWN, nKey, 1);
    PostMessageW(hWnd, WM_KEYUP, nKey, 0xC0000001);
}

class CCountingPage : public CPropertyPage
{
public:
    explicit CCountingPage(int nIDTemplate) : CPropertyPage(nIDTemplate)
    {
        MapCommand(1004, [this] { ++m_nDefaultCommands; });
    }
    bool OnSetActive() override
    {
        ++m_nActivations;
        return CPropertyPage::OnSetActive();
    }
    void OnReset() override { ++m_nResets; }

    int m_nDefaultCommands = 0;
    int m_nActivations = 0;
    int m_nResets = 0;
};

// Reshaped as the library's main window: no button row, 1004 held as the default.
class CMainLikeSheet : public CPropertySheet
{
public:
    CMainLikeSheet() : CPropertySheet(u"KV Quillbridge")
    {
        m_dictPage.SetTitle(u"Sõnastikud");
        m_predictPage.SetTitle(u"Eelsõnastikud");
        AddPage(&m_dictPage);
        AddPage(&m_predictPage);
        AddPage(&m_helpPage);
    }
    bool OnInitDialog() override
    {
        const bool bResult = CPropertySheet::OnInitDialog();
        for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
            if (CWnd* pButton = GetDlgItem(nID)) {
                pButton->ShowWindow(SW_HIDE);
                pButton->EnableWindow(false);
            }
        GetDlgItem(IDCANCEL)->EnableWindow(true);
        SetDefID(1004);
        if (m_onInit)
            m_onInit();
        return bResult;
    }
    bool OnSetDefId(int nID) override
    {
        if (nID == 1004)
            return CPropertySheet::OnSetDefId(nID);
        SetDefID(1004);
        return true;
    }

    CCountingPage m_dictPage{131};
    CCountingPage m_predictPage{131};
    CCountingPage m_helpPage{130};
    std::function<void()> m_onInit;
};

HWND FocusFirstControl(CPropertyPage& page)
{
    const HWND hControl = GetNextDlgTabItem(page.GetSafeHwnd(), nullptr, FALSE);
    SetFocus(hControl);
    return hControl;
}

} // namespace

TEST(Sheet, WithoutItsButtonRowEndsThereAndEnterMeansTheActivePagesCommand1004)
{
    ASSERT_TRUE(AfxEnsureApplication());
    CMainLikeSheet sheet;
    CScript script([&] { sheet.EndDialog(-2); });
    sheet.m_onInit = [&] {
        const HWND hSheet = sheet.GetSafeHwnd();
        script.Then([&, hSheet] {
            // The window ends where the hidden row began: at the OK button's top.
            RECT rcSheet, rcOK;
            GetWindowRect(hSheet, &rcSheet);
            GetWindowRect(GetDlgItem(hSheet, IDOK), &rcOK);
            EXPECT_EQ(rcSheet.bottom, rcOK.top);
            for (const int nID : {IDOK, IDCANCEL, ID_APPLY_NOW}) {
                EXPECT_FALSE(IsWindowVisible(GetDlgItem(hSheet, nID))) << nID;
                EXPECT_EQ(IsWindowEnabled(GetDlgItem(hSheet, nID)) != 0, nID == IDCANCEL) << nID;
            }
            // The tabs in order, the Estonian letters intact from the resources.
            const HWND hTabs = sheet.GetTabControl();
            ASSERT_EQ(TabCtrl_GetItemCount(hTabs), 3);
            const char16_t* titles[] = {u"Sõnastikud", u"Eelsõnastikud", u"Abiinfo"};
            for (int i = 0; i < 3; ++i) {
                wchar_t szTitle[64] = {};
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = szTitle;
                item.cchTextMax = 64;
                TabCtrl_GetItem(hTabs, i, &item);
                EXPECT_EQ(CString(reinterpret_cast<const char16_t*>(szTitle)), titles[i]);
            }
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            // Whoever asks for another default, the window keeps 1004.
            SendMessageW(hSheet, DM_SETDEFID, IDOK, 0);
            EXPECT_EQ(SendMessageW(hSheet, DM_GETDEFID, 0, 0), MAKELONG(1004, DC_HASDEFID));
            PressKey(FocusFirstControl(sheet.m_dictPage), VK_RETURN);
        });
        script.Then([&, hSheet] {
            EXPECT_EQ(sheet.m_dictPage.m_nDefaultCommands, 1);
            PropSheet_SetCurSel(hSheet, nullptr, 1);
        });
        script.Then([&] {
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            EXPECT_EQ(sheet.m_predictPage.m_nActivations, 1);
            PressKey(FocusFirstControl(sheet.m_predictPage), VK_RETURN);
        });
        script.Then([&] {
            EXPECT_EQ(sheet.m_predictPage.m_nDefaultCommands, 1);
            EXPECT_EQ(sheet.m_dictPage.m_nDefaultCommands, 1);
            // A disabled command takes no Enter.
            sheet.m_predictPage.GetDlgItem(1004)->EnableWindow(false);
            PressKey(FocusFirstControl(sheet.m_predictPage), VK_RETURN);
        });
        script.Then([&] {
            EXPECT_EQ(sheet.m_predictPage.m_nDefaultCommands, 1);
            PressKey(FocusFirstControl(sheet.m_predictPage), VK_ESCAPE);
        });
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    // Esc reset every page that was made, and only those.
    EXPECT_EQ(sheet.m_dictPage.m_nResets, 1);
    EXPECT_EQ(sheet.m_predictPage.m_nResets, 1);
    EXPECT_EQ(sheet.m_helpPage.m_nResets, 0);
    EXPECT_FALSE(sheet.IsWindow());
}

TEST(Sheet, PagesFollowAResizableSheetAndAPageWithoutItsControlIsStillMade)
{
    ASSERT_TRUE(AfxEnsureApplication());
    CMainLikeSheet sheet;
    sheet.SetResizable(true);
    CScript script([&] { sheet.EndDialog(-2); });
    RECT rcList{}, rcButton{};
    const auto rectIn = [](HWND hControl) {
        RECT rc;
        GetWindowRect(hControl, &rc);
        MapWindowPoints(nullptr, GetParent(hControl), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    sheet.m_onInit = [&] {
        // Measured in the initialisation, as the main window restores a kept
        // size: the row is gone already, and the pages follow what it does.
        const HWND hSheet = sheet.GetSafeHwnd();
        RECT rcSheet, rcOK;
        GetWindowRect(hSheet, &rcSheet);
        GetWindowRect(GetDlgItem(hSheet, IDOK), &rcOK);
        EXPECT_EQ(rcSheet.bottom, rcOK.top);
        rcList = rectIn(sheet.m_dictPage.GetDlgItem(1007)->GetSafeHwnd());
        rcButton = rectIn(sheet.m_dictPage.GetDlgItem(1010)->GetSafeHwnd());
        SetWindowPos(hSheet, nullptr, 0, 0, rcSheet.right - rcSheet.left + 100,
                     rcSheet.bottom - rcSheet.top + 80, SWP_NOMOVE | SWP_NOZORDER);
        script.Then([&, hSheet] {
            const RECT rcBigList = rectIn(sheet.m_dictPage.GetDlgItem(1007)->GetSafeHwnd());
            const RECT rcMovedButton = rectIn(sheet.m_dictPage.GetDlgItem(1010)->GetSafeHwnd());
            EXPECT_EQ(rcBigList.right - rcBigList.left, rcList.right - rcList.left + 100);
            EXPECT_EQ(rcBigList.bottom - rcBigList.top, rcList.bottom - rcList.top + 80);
            EXPECT_EQ(rcMovedButton.left, rcButton.left + 100);
            EXPECT_EQ(rcMovedButton.top, rcButton.top);
            // A page made after the window grew is as large as the first.
            PropSheet_SetCurSel(hSheet, nullptr, 1);
        });
        script.Then([&, hSheet] {
            const RECT rcOtherList = rectIn(sheet.m_predictPage.GetDlgItem(1007)->GetSafeHwnd());
            EXPECT_EQ(rcOtherList.right - rcOtherList.left, rcList.right - rcList.left + 100);
            PropSheet_SetCurSel(hSheet, nullptr, 2);
        });
        script.Then([&] {
            // The browser's host class is not registered here: the help page
            // is made without its control, which the page then reports.
            ASSERT_TRUE(sheet.m_helpPage.IsWindow());
            EXPECT_EQ(sheet.m_helpPage.GetDlgItem(1006), nullptr);
            EXPECT_NE(sheet.m_helpPage.GetDlgItem(1012), nullptr);
            PostMessageW(sheet.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(sheet.m_helpPage.m_nResets, 1);
}

TEST(Dialog, FromItsTemplateWithComboItemsAndEnterForTheDefaultButton)
{
    ASSERT_TRUE(AfxEnsureApplication());
    CDialog dialog(135);
    CScript script([&] { dialog.EndDialog(-2); });
    script.Then([&] {
        const HWND hDialog = dialog.GetSafeHwnd();
        ASSERT_NE(hDialog, nullptr);
        EXPECT_EQ(TextOf(hDialog), u"Sõnastik");
        const HWND hCombo = GetDlgItem(hDialog, 1015);
        ASSERT_EQ(SendMessageW(hCombo, CB_GETCOUNT, 0, 0), 3);
        wchar_t szItem[16] = {};
        SendMessageW(hCombo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(szItem));
        EXPECT_EQ(CString(reinterpret_cast<const char16_t*>(szItem)), u"baltic");
        EXPECT_EQ(dialog.GetDlgItemText(1), u"Lisa");
        // The focus is in the first field; Enter there is the default "Lisa".
        PressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(MessageBoxes, ShowsCaptionTextAndTheButtonsNamesAndReturnsThePressedOne)
{
    ASSERT_TRUE(AfxEnsureApplication());
    CScript script([] {});
    script.Then([] {
        const HWND hBox = FindWindowW(L"#32770", L"Viga");
        ASSERT_NE(hBox, nullptr);
        EXPECT_EQ(TextOf(GetDlgItem(hBox, IDRETRY)), u"Proovi uuesti");
        EXPECT_EQ(TextOf(GetDlgItem(hBox, IDCANCEL)), u"Sulge salvestamata");
        EXPECT_EQ(TextOf(GetDlgItem(hBox, 0xFFFF)), u"Faili ei saanud <b>salvestada</b>");
        PostMessageW(hBox, WM_COMMAND, IDRETRY, 0);
    });
    EXPECT_EQ(AfxMessageBox(nullptr, u"Faili ei saanud <b>salvestada</b>", u"Viga",
                            MB_ICONSTOP | MB_RETRYCANCEL,
                            {u"Proovi uuesti", u"Sulge salvestamata"}),
              IDRETRY);
}
