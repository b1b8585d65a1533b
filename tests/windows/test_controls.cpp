// The toolkit's controls over the real common controls, under Wine: each
// control driven by the messages the system itself sends it.
#include "application.h"
#include "browser_toolbar.h"
#include "combo_box.h"
#include "edit.h"
#include "list_ctrl.h"
#include "menu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace
{

// The commands a plain window received: id and source window.
struct Command {
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Command> g_commands;

LRESULT CALLBACK ParentProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // Clicks, menus and the dialog manager's keys; not the controls' own news.
    if (nMsg == WM_COMMAND && HIWORD(wParam) == 0)
        g_commands.push_back({wParam, lParam});
    return DefDlgProcW(hWnd, nMsg, wParam, lParam);
}

// A shown top-level dialog window of its own class, the parent of the
// controls under test, whose commands the test reads.
class TestWindow
{
public:
    TestWindow()
    {
        AfxEnsureApplication();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.cbWndExtra = DLGWINDOWEXTRA;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = L"QbControlsTest";
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(0, L"QbControlsTest", L"Controls", WS_OVERLAPPEDWINDOW, 40, 40,
                                 480, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(m_hWnd, SW_SHOW);
        g_commands.clear();
    }
    ~TestWindow() { DestroyWindow(m_hWnd); }

    HWND Child(const wchar_t* pszClass, DWORD dwStyle, int x, int y, int cx, int cy, int nID = 100,
               DWORD dwExStyle = WS_EX_CLIENTEDGE) const
    {
        return CreateWindowExW(dwExStyle, pszClass, L"", WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx,
                               cy, m_hWnd, reinterpret_cast<HMENU>(INT_PTR(nID)),
                               GetModuleHandleW(nullptr), nullptr);
    }

    HWND m_hWnd;
};

// Handles what the window system has queued, as a message loop would.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

BOOL CALLBACK FindShownListBox(HWND hWnd, LPARAM pFound)
{
    wchar_t szClass[16] = {};
    GetClassNameW(hWnd, szClass, 16);
    if (lstrcmpiW(szClass, L"ListBox") != 0 || !IsWindowVisible(hWnd))
        return TRUE;
    *reinterpret_cast<HWND*>(pFound) = hWnd;
    return FALSE;
}

// The visible popup list of words that an edit box of this thread shows, or null.
HWND ShownWordList()
{
    HWND hFound = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownListBox, reinterpret_cast<LPARAM>(&hFound));
    return hFound;
}

std::vector<std::u16string> Words(HWND hList)
{
    std::vector<std::u16string> words;
    const int nCount = static_cast<int>(SendMessageW(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        wchar_t szWord[64] = {};
        SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(szWord));
        words.emplace_back(reinterpret_cast<const char16_t*>(szWord));
    }
    return words;
}

void Type(HWND hEdit, const std::u16string& strText)
{
    for (const char16_t ch : strText)
        SendMessageW(hEdit, WM_CHAR, ch, 1);
}

// A key as the window's message loop hands it on: through the dialog manager.
bool DialogKey(HWND hDialog, HWND hFocus, WPARAM nKey)
{
    MSG msg{hFocus, WM_KEYDOWN, nKey, 1, GetTickCount(), {}};
    return IsDialogMessageW(hDialog, &msg) != FALSE;
}

BOOL CALLBACK CollectToolTips(HWND hWnd, LPARAM pTips)
{
    wchar_t szClass[32] = {};
    GetClassNameW(hWnd, szClass, 32);
    if (lstrcmpiW(szClass, TOOLTIPS_CLASSW) == 0)
        reinterpret_cast<std::vector<HWND>*>(pTips)->push_back(hWnd);
    return TRUE;
}

// What the tip of a list's cut texts covers and says once the mouse is at x, y.
std::pair<RECT, std::u16string> CutTextTip(HWND hList, int x, int y)
{
    SendMessageW(hList, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), CollectToolTips, reinterpret_cast<LPARAM>(&tips));
    for (const HWND hTip : tips) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hList;
        tool.uId = 1;
        if (!SendMessageW(hTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)))
            continue;
        NMTTDISPINFOW info{};
        info.hdr = NMHDR{hTip, 1, TTN_GETDISPINFOW};
        SendMessageW(hList, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&info));
        return {tool.rect, info.lpszText ? reinterpret_cast<const char16_t*>(info.lpszText) : u""};
    }
    return {};
}

void CALLBACK EndMenuNow(HWND, UINT, UINT_PTR, DWORD)
{
    EndMenu();
}

} // namespace

TEST(ListCtrl, RowsTextsSelectionAndNotificationsRoundTrip)
{
    TestWindow window;
    CListCtrl list;
    list.Attach(
        window.Child(WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 8, 8, 300, 200));
    ASSERT_TRUE(list.IsWindow());
    std::vector<int> changed;
    int nDblClks = 0;
    list.SetItemChangedHandler([&](int nItem) { changed.push_back(nItem); });
    list.SetDblClkHandler([&] { ++nDblClks; });

    EXPECT_EQ(list.InsertColumn(0, u"Nimi"), 0);
    EXPECT_EQ(list.InsertColumn(1, u"Kodeering"), 1);
    EXPECT_EQ(list.InsertColumn(2, u"Sõnastikuprogramm"), 2);
    EXPECT_EQ(list.GetColumnCount(), 3);

    // Rows land where asked, past the end at the end, none selected.
    EXPECT_EQ(list.InsertItem(0, u"Õun"), 0);
    EXPECT_EQ(list.InsertItem(9, u"šokk"), 1);
    EXPECT_EQ(list.InsertItem(1, u"co-op"), 1);
    // Texts longer than any buffer a first try would use come back whole.
    const std::u16string strLong = u"http://127.0.0.1/" + std::u16string(3000, u'ä') + u"?w=";
    EXPECT_TRUE(list.SetItemText(2, 2, strLong));
    EXPECT_TRUE(list.SetItemText(0, 1, u"baltic"));
    EXPECT_EQ(list.GetItemText(0, 0), u"Õun");
    EXPECT_EQ(list.GetItemText(0, 1), u"baltic");
    EXPECT_EQ(list.GetItemText(1, 0), u"co-op");
    EXPECT_EQ(list.GetItemText(2, 2), strLong);
    EXPECT_EQ(list.GetItemText(7, 0), u"");
    EXPECT_EQ(list.GetSelectedCount(), 0u);
    EXPECT_TRUE(changed.empty());

    // Whole names in any case, Estonian letters too; a hyphen counts.
    EXPECT_EQ(list.FindItem(u"õUN"), 0);
    EXPECT_EQ(list.FindItem(u"ŠOKK"), 2);
    EXPECT_EQ(list.FindItem(u"coop"), -1);
    EXPECT_EQ(list.FindItem(u"Õu"), -1);
    EXPECT_EQ(list.FindItem(u"Õun", 0), -1);

    // Selecting a row of a single-selection list clears the other, and each
    // row whose state changed is told of.
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(changed, std::vector<int>{1});
    changed.clear();
    EXPECT_TRUE(list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_NE(std::find(changed.begin(), changed.end(), 1), changed.end());
    EXPECT_NE(std::find(changed.begin(), changed.end(), 2), changed.end());
    EXPECT_EQ(list.GetSelectedCount(), 1u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), 0u);

    // Deleting, even the selected row, tells nothing.
    changed.clear();
    EXPECT_TRUE(list.DeleteItem(2));
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);

    // A double click anywhere in the list.
    SendMessageW(list.GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 180));
    EXPECT_EQ(nDblClks, 1);

    // A text its cell cuts short shows whole in a tip over the cell; one
    // that fits shows none.
    list.SetColumnWidth(0, 90);
    list.SetColumnWidth(2, 60);
    list.SetItemText(0, 2, strLong);
    list.SetItemText(1, 2, u"utf8");
    RECT cell{};
    cell.top = 2;
    cell.left = LVIR_LABEL;
    SendMessageW(list.GetSafeHwnd(), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    const auto [cutRect, strCut] = CutTextTip(list.GetSafeHwnd(), cell.left + 5, cell.top + 3);
    EXPECT_EQ(strCut, strLong);
    EXPECT_EQ(cutRect.left, cell.left);
    EXPECT_GT(cutRect.right, cutRect.left);
    cell = RECT{LVIR_LABEL, 2, 0, 0};
    SendMessageW(list.GetSafeHwnd(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
    const auto [fitRect, strFit] = CutTextTip(list.GetSafeHwnd(), cell.left + 5, cell.top + 3);
    EXPECT_EQ(strFit, u"");
    EXPECT_EQ(fitRect.right, fitRect.left);

    // Widths: below zero only the two fitting widths mean anything.
    EXPECT_TRUE(list.SetColumnWidth(1, -7));
    EXPECT_EQ(list.GetColumnWidth(1), 0);
    EXPECT_TRUE(list.SetColumnWidth(1, 0x10000 + 90));
    EXPECT_EQ(list.GetColumnWidth(1), 90);
    EXPECT_FALSE(list.SetColumnWidth(3, 50));
}

TEST(ListCtrl, ManyRowsAreSelectedWithOneNotification)
{
    TestWindow window;
    CListCtrl list;
    list.Attach(window.Child(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, 8, 8, 300, 200));
    list.InsertColumn(0, u"Nimi");
    for (int i = 0; i < 6; ++i)
        list.InsertItem(i, u"rida");
    std::vector<int> changed;
    list.SetItemChangedHandler([&](int nItem) { changed.push_back(nItem); });
    EXPECT_TRUE(list.SelectItems({1, 3, 4}));
    EXPECT_EQ(changed, std::vector<int>{4});
    EXPECT_EQ(list.GetSelectedCount(), 3u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 4);
    EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
    EXPECT_FALSE(list.SelectItems({4, 1}));
    EXPECT_FALSE(list.SelectItems({6}));
}

TEST(ComboBox, NoItemIsCurrentUntilOneIsChosen)
{
    TestWindow window;
    CComboBox combo;
    combo.Attach(window.Child(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 8, 8, 200, 150, 100, 0));
    ASSERT_TRUE(combo.IsWindow());
    EXPECT_EQ(combo.AddString(u"Õigekeelsussõnaraamat"), 0);
    EXPECT_EQ(combo.AddString(u" --- "), 1);
    EXPECT_EQ(combo.AddString(u"Ääremärkused"), 2);
    // Unsorted: row i is the i-th added.
    EXPECT_EQ(combo.GetLBText(2), u"Ääremärkused");
    EXPECT_EQ(combo.GetLBText(3), u"");
    // The open list is as wide as the longest name needs, never narrower than the box.
    const HWND hCombo = combo.GetSafeHwnd();
    RECT box{};
    GetWindowRect(hCombo, &box);
    EXPECT_EQ(SendMessageW(hCombo, CB_GETDROPPEDWIDTH, 0, 0), box.right - box.left);
    const std::u16string strLong(80, u'Õ');
    combo.AddString(strLong);
    const HDC hDC = GetDC(hCombo);
    const HGDIOBJ hOld =
        SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageW(hCombo, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(hDC, reinterpret_cast<const wchar_t*>(strLong.c_str()), 80, &extent);
    SelectObject(hDC, hOld);
    ReleaseDC(hCombo, hDC);
    EXPECT_GT(SendMessageW(hCombo, CB_GETDROPPEDWIDTH, 0, 0),
              extent.cx + GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.SetCurSel(4), -1);
    EXPECT_EQ(combo.GetCurSel(), -1);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST(BrowserToolBar, ButtonsImagesClicksStatesAndTooltips)
{
    TestWindow window;
    CWnd placeholder;
    placeholder.Attach(window.Child(L"STATIC", 0, 8, 8, 98, 31, 1012));
    CWnd receiver;
    receiver.Attach(window.m_hWnd);
    CBrowserToolBar toolBar;
    EXPECT_EQ(toolBar.Create(&placeholder, &receiver), 0);
    const HWND hBar = toolBar.GetSafeHwnd();
    ASSERT_NE(hBar, nullptr);
    EXPECT_EQ(GetParent(hBar), placeholder.GetSafeHwnd());
    EXPECT_EQ(GetDlgCtrlID(hBar), 1);

    // Four buttons with the first four cells of bitmap 138; only reload enabled.
    EXPECT_EQ(toolBar.GetButtonCount(), 4);
    const auto hImages = reinterpret_cast<HIMAGELIST>(SendMessageW(hBar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(hImages, nullptr);
    EXPECT_GE(ImageList_GetImageCount(hImages), 4);
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(hImages, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 15);
    for (int nID = 1; nID <= 4; ++nID) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_IMAGE;
        EXPECT_EQ(SendMessageW(hBar, TB_GETBUTTONINFOW, nID, reinterpret_cast<LPARAM>(&info)),
                  nID - 1);
        EXPECT_EQ(info.iImage, nID - 1);
        EXPECT_EQ(toolBar.IsButtonEnabled(nID), nID == 4) << nID;
    }
    EXPECT_FALSE(toolBar.IsButtonEnabled(5));
    EXPECT_EQ(toolBar.AddBitmap(10, 138), -1) << "more cells than the strip has";
    EXPECT_EQ(toolBar.AddBitmap(1, 4242), -1) << "no such bitmap";

    // The browser's reports switch the buttons by code; the low 16 bits count.
    toolBar.SetCommandState(1, TRUE);
    toolBar.SetCommandState(2, TRUE);
    toolBar.SetCommandState(3, TRUE);
    EXPECT_TRUE(toolBar.IsButtonEnabled(1) && toolBar.IsButtonEnabled(2) &&
                toolBar.IsButtonEnabled(3));
    toolBar.SetCommandState(-1, FALSE);
    toolBar.SetCommandState(0, FALSE);
    toolBar.SetCommandState(4, FALSE);
    EXPECT_TRUE(toolBar.IsButtonEnabled(1) && toolBar.IsButtonEnabled(2) &&
                toolBar.IsButtonEnabled(3) && toolBar.IsButtonEnabled(4));
    toolBar.SetCommandState(2, 0x10000);
    toolBar.SetCommandState(3, FALSE);
    EXPECT_FALSE(toolBar.IsButtonEnabled(1));
    EXPECT_TRUE(toolBar.IsButtonEnabled(2));
    EXPECT_FALSE(toolBar.IsButtonEnabled(3));

    // A click reaches the receiving window as a command from the toolbar;
    // a disabled button sends none.
    const auto click = [&](int nID) {
        RECT rect{};
        SendMessageW(hBar, TB_GETRECT, nID, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(hBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(hBar, WM_LBUTTONUP, 0, at);
        Pump();
    };
    click(4);
    click(1);
    click(2);
    ASSERT_EQ(g_commands.size(), 2u);
    EXPECT_EQ(LOWORD(g_commands[0].wParam), 4);
    EXPECT_EQ(LOWORD(g_commands[1].wParam), 2);
    EXPECT_EQ(reinterpret_cast<HWND>(g_commands[0].lParam), hBar);

    // The tooltip asks the toolbar in either form, with the button's id.
    const HWND hTips = reinterpret_cast<HWND>(SendMessageW(hBar, TB_GETTOOLTIPS, 0, 0));
    EXPECT_NE(hTips, nullptr);
    const wchar_t* const expected[] = {L"Eelmine lehekülg", L"Järgmine lehekülg", L"Stopp",
                                       L"Ülelaadimine"};
    for (int nID = 1; nID <= 4; ++nID) {
        NMTTDISPINFOW wide{};
        wide.hdr = NMHDR{hTips, static_cast<UINT_PTR>(nID), TTN_GETDISPINFOW};
        SendMessageW(hBar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
        ASSERT_NE(wide.lpszText, nullptr);
        EXPECT_STREQ(wide.lpszText, expected[nID - 1]);
        NMTTDISPINFOA narrow{};
        narrow.hdr = NMHDR{hTips, static_cast<UINT_PTR>(nID), TTN_GETDISPINFOA};
        SendMessageW(hBar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&narrow));
        char szAnsi[80] = {};
        WideCharToMultiByte(CP_ACP, 0, expected[nID - 1], -1, szAnsi, 80, nullptr, nullptr);
        ASSERT_NE(narrow.lpszText, nullptr);
        EXPECT_STREQ(narrow.lpszText, szAnsi);
    }
}

TEST(Edit, WordsCompleteTheTypedTextAndTheOpenListTakesItsKeys)
{
    TestWindow window;
    CEdit edit;
    edit.Attach(window.Child(WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, 8, 8, 200, 22));
    std::vector<std::u16string> completed;
    edit.SetCompletionHandler([&](const CString& strWord) { completed.push_back(strWord); });
    edit.SetCompletionWords({u"Kass", u"kaskede", u"õun", u"Õunapuu", u"koer"});
    const HWND hEdit = edit.GetSafeHwnd();

    // Setting the text opens nothing; typing does, with the words that begin
    // with it whatever their case.
    edit.SetWindowText(u"ka");
    EXPECT_FALSE(edit.IsCompletionShown());
    edit.SetWindowText(u"");
    Type(hEdit, u"KA");
    ASSERT_TRUE(edit.IsCompletionShown());
    EXPECT_EQ(Words(ShownWordList()), (std::vector<std::u16string>{u"Kass", u"kaskede"}));
    Type(hEdit, u"sk");
    EXPECT_EQ(Words(ShownWordList()), std::vector<std::u16string>{u"kaskede"});
    Type(hEdit, u"x");
    EXPECT_FALSE(edit.IsCompletionShown());

    // Down chooses, Enter takes the word chosen, through the dialog manager.
    edit.SetWindowText(u"");
    Type(hEdit, u"Õ");
    EXPECT_EQ(Words(ShownWordList()), (std::vector<std::u16string>{u"õun", u"Õunapuu"}));
    SendMessageW(hEdit, WM_KEYDOWN, VK_DOWN, 1);
    SendMessageW(hEdit, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_TRUE(DialogKey(window.m_hWnd, hEdit, VK_RETURN));
    EXPECT_EQ(completed, std::vector<std::u16string>{u"Õunapuu"});
    EXPECT_FALSE(edit.IsCompletionShown());
    EXPECT_TRUE(g_commands.empty()) << "Enter reached the window's buttons";

    // Enter with nothing chosen takes what was typed; Esc only closes the list.
    edit.SetWindowText(u"");
    Type(hEdit, u"ko");
    EXPECT_TRUE(DialogKey(window.m_hWnd, hEdit, VK_RETURN));
    EXPECT_EQ(completed, (std::vector<std::u16string>{u"Õunapuu", u"ko"}));
    edit.ShowAllCompletions();
    EXPECT_EQ(Words(ShownWordList()).size(), 5u);
    EXPECT_TRUE(DialogKey(window.m_hWnd, hEdit, VK_ESCAPE));
    EXPECT_FALSE(edit.IsCompletionShown());
    EXPECT_TRUE(g_commands.empty()) << "Esc reached the window's buttons";
    // With the list closed, Enter and Esc are the window's again.
    DialogKey(window.m_hWnd, hEdit, VK_ESCAPE);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(LOWORD(g_commands[0].wParam), IDCANCEL);

    // Ctrl+A selects the whole text.
    edit.SetWindowText(u"kass");
    edit.SetSel(1, 2);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(hEdit, WM_KEYDOWN, 'A', 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    DWORD nStart = 9;
    DWORD nEnd = 9;
    SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart),
                 reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(nStart, 0u);
    EXPECT_EQ(nEnd, 4u);

    // A click on a word takes it.
    edit.ShowAllCompletions();
    const HWND hList = ShownWordList();
    ASSERT_NE(hList, nullptr);
    RECT row{};
    SendMessageW(hList, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
    SendMessageW(hList, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(completed, (std::vector<std::u16string>{u"Õunapuu", u"ko", u"koer"}));
    EXPECT_FALSE(edit.IsCompletionShown());
}

TEST(Edit, TheBoxMenuEndsWithThePageCommands)
{
    TestWindow window;
    CEdit edit;
    edit.Attach(window.Child(WC_EDITW, ES_AUTOHSCROLL, 8, 8, 200, 22));
    edit.SetWindowText(u"kass");
    unsigned nItemsBefore = 0;
    std::vector<unsigned> chosen;
    edit.SetContextMenuHandler(
        [&](CMenu& menu) {
            nItemsBefore = menu.GetMenuItemCount();
            menu.AppendMenu(MF_STRING | MF_GRAYED, 32770, u"Hall");
            menu.AppendMenu(MF_STRING, 32771, u"Kustuta otsitud sõnade ajalugu");
            // Up from nothing chosen reaches the last command, Enter takes it:
            // the keys wait in the queue for the menu's own loop.
            PostMessageW(edit.GetSafeHwnd(), WM_KEYDOWN, VK_UP, 1);
            PostMessageW(edit.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 1);
        },
        [&](unsigned nID) { chosen.push_back(nID); });
    // Should the keys miss the menu, it closes rather than wait for a user.
    const UINT_PTR nWatchdog = SetTimer(nullptr, 0, 20000, EndMenuNow);
    RECT box{};
    GetWindowRect(edit.GetSafeHwnd(), &box);
    SendMessageW(edit.GetSafeHwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit.GetSafeHwnd()),
                 MAKELPARAM(box.left + 4, box.top + 4));
    // Undo, cut, copy, paste, delete and select all with their separators,
    // then one before the page's.
    EXPECT_EQ(nItemsBefore, 9u);
    KillTimer(nullptr, nWatchdog);
    EXPECT_EQ(chosen, std::vector<unsigned>{32771});
}
