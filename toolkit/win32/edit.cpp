#include "edit.h"

#include "exception_report.h"
#include "menu.h"
#include "menu_platform.h"
#include "wide_text.h"

#include <algorithm>

namespace
{

// The box's own editing commands in its menu; the page's ids lie below them.
enum : unsigned {
    ID_EDIT_CLEAR = 0xE120,
    ID_EDIT_COPY = 0xE122,
    ID_EDIT_CUT = 0xE123,
    ID_EDIT_PASTE = 0xE125,
    ID_EDIT_SELECT_ALL = 0xE12A,
    ID_EDIT_UNDO = 0xE12B,
};

// As many words as the list shows without scrolling.
const int kVisibleWords = 7;

CString TextOf(HWND hWnd)
{
    const int nLength = ::GetWindowTextLengthW(hWnd);
    if (nLength <= 0)
        return CString();
    CString strText(static_cast<std::size_t>(nLength) + 1, u'\0');
    const int nCopied =
        ::GetWindowTextW(hWnd, reinterpret_cast<LPWSTR>(strText.data()), nLength + 1);
    strText.resize(static_cast<std::size_t>(std::clamp(nCopied, 0, nLength)));
    return strText;
}

CString ListText(HWND hList, int nIndex)
{
    const LRESULT nLength = ::SendMessageW(hList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLength <= 0)
        return CString();
    CString strText(static_cast<std::size_t>(nLength) + 1, u'\0');
    const LRESULT nCopied = ::SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(nIndex),
                                           reinterpret_cast<LPARAM>(strText.data()));
    strText.resize(static_cast<std::size_t>(std::clamp<LRESULT>(nCopied, 0, nLength)));
    return strText;
}

// Messages by which the user changes the text; the page's own changes
// (WM_SETTEXT) open no list.
bool IsUserEdit(UINT nMsg, WPARAM wParam)
{
    switch (nMsg) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        return true;
    case WM_KEYDOWN:
        return wParam == VK_DELETE;
    default:
        return false;
    }
}

} // namespace

// The box's hooks: the box's own messages and those of its list of words.
class CEditHooks
{
public:
    static void Hook(CEdit& edit)
    {
        // Hooked once: a second call finds the same hook and leaves it.
        if (const HWND hEdit = edit.GetSafeHwnd())
            ::SetWindowSubclass(hEdit, EditProc, Id(edit), reinterpret_cast<DWORD_PTR>(&edit));
    }

    static void Unhook(CEdit& edit)
    {
        DestroyList(edit);
        if (const HWND hEdit = edit.GetSafeHwnd())
            ::RemoveWindowSubclass(hEdit, EditProc, Id(edit));
    }

    // Fills the list with the words and shows it under the box; no words, no list.
    static void ShowWords(CEdit& edit, const std::vector<CString>& words)
    {
        const HWND hEdit = edit.GetSafeHwnd();
        if (!hEdit || words.empty() || !::IsWindowVisible(hEdit)) {
            HideList(edit);
            return;
        }
        const HWND hList = List(edit);
        if (!hList)
            return;
        ::SendMessageW(hList, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(hList, LB_RESETCONTENT, 0, 0);
        for (const CString& strWord : words)
            ::SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(strWord)));
        ::SendMessageW(hList, WM_SETREDRAW, TRUE, 0);
        RECT box{};
        ::GetWindowRect(hEdit, &box);
        const int nItemHeight =
            std::max(1, static_cast<int>(::SendMessageW(hList, LB_GETITEMHEIGHT, 0, 0)));
        const int nRows = std::min(static_cast<int>(words.size()), kVisibleWords);
        const int nHeight = nRows * nItemHeight + 2 * ::GetSystemMetrics(SM_CYBORDER);
        ::SetWindowPos(hList, HWND_TOPMOST, box.left, box.bottom, box.right - box.left, nHeight,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::InvalidateRect(hList, nullptr, TRUE);
    }

    static void HideList(CEdit& edit)
    {
        if (edit.m_hCompletionList && ::IsWindowVisible(edit.m_hCompletionList))
            ::ShowWindow(edit.m_hCompletionList, SW_HIDE);
    }

    // The words that begin with the text, whatever the letter case.
    static std::vector<CString> WordsFor(const CEdit& edit, const CString& strText)
    {
        std::vector<CString> words;
        if (strText.empty())
            return words;
        const CString strPrefix = FoldCase(strText);
        for (const CString& strWord : edit.m_words)
            if (FoldCase(strWord).starts_with(strPrefix))
                words.push_back(strWord);
        return words;
    }

private:
    static UINT_PTR Id(const CEdit& edit) { return reinterpret_cast<UINT_PTR>(&edit); }

    // The list of words, made on first use: a popup that never takes the
    // focus or the activation from the window the box is in.
    static HWND List(CEdit& edit)
    {
        if (edit.m_hCompletionList)
            return edit.m_hCompletionList;
        const HWND hEdit = edit.GetSafeHwnd();
        const HWND hList = ::CreateWindowExW(
            WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, L"LISTBOX", nullptr,
            WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
            ::GetAncestor(hEdit, GA_ROOT), nullptr,
            reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hEdit, GWLP_HINSTANCE)), nullptr);
        if (!hList)
            return nullptr;
        ::SendMessageW(hList, WM_SETFONT, ::SendMessageW(hEdit, WM_GETFONT, 0, 0), FALSE);
        ::SetWindowSubclass(hList, ListProc, Id(edit), reinterpret_cast<DWORD_PTR>(&edit));
        edit.m_hCompletionList = hList;
        return hList;
    }

    static void DestroyList(CEdit& edit)
    {
        if (const HWND hList = edit.m_hCompletionList) {
            edit.m_hCompletionList = nullptr;
            ::RemoveWindowSubclass(hList, ListProc, Id(edit));
            ::DestroyWindow(hList);
        }
    }

    static bool IsListShown(const CEdit& edit)
    {
        return edit.m_hCompletionList && ::IsWindowVisible(edit.m_hCompletionList);
    }

    // The word chosen, or with none chosen the text typed, once the list has closed.
    static void Complete(CEdit& edit)
    {
        const int nChosen =
            static_cast<int>(::SendMessageW(edit.m_hCompletionList, LB_GETCURSEL, 0, 0));
        const CString strWord =
            nChosen >= 0 ? ListText(edit.m_hCompletionList, nChosen) : TextOf(edit.GetSafeHwnd());
        HideList(edit);
        if (edit.m_onCompletion)
            AfxCallHandler(edit.GetSafeHwnd(), [&] { edit.m_onCompletion(strWord); });
    }

    // Up and Down choose in the open list, Enter takes, Esc closes it.
    static bool OnListKey(CEdit& edit, WPARAM nKey)
    {
        const HWND hList = edit.m_hCompletionList;
        const int nCount = static_cast<int>(::SendMessageW(hList, LB_GETCOUNT, 0, 0));
        const int nChosen = static_cast<int>(::SendMessageW(hList, LB_GETCURSEL, 0, 0));
        switch (nKey) {
        case VK_DOWN:
            ::SendMessageW(hList, LB_SETCURSEL,
                           static_cast<WPARAM>(std::min(nChosen + 1, nCount - 1)), 0);
            return true;
        case VK_UP:
            ::SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(std::max(nChosen - 1, -1)), 0);
            return true;
        case VK_RETURN:
            Complete(edit);
            return true;
        case VK_ESCAPE:
            HideList(edit);
            return true;
        default:
            return false;
        }
    }

    static void ShowMenu(CEdit& edit, LPARAM lParam)
    {
        const HWND hEdit = edit.GetSafeHwnd();
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        // From the keyboard: under the box's left end.
        if (lParam == -1) {
            RECT box{};
            ::GetWindowRect(hEdit, &box);
            at = POINT{box.left, box.bottom};
        }
        DWORD nStart = 0;
        DWORD nEnd = 0;
        ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart),
                       reinterpret_cast<LPARAM>(&nEnd));
        const bool bSelected = nStart != nEnd;
        const bool bWritable = !(::GetWindowLongPtrW(hEdit, GWL_STYLE) & ES_READONLY);
        const auto nLength = static_cast<DWORD>(std::max(0, ::GetWindowTextLengthW(hEdit)));
        const auto flags = [](bool bEnabled) {
            return bEnabled ? MF_STRING : MF_STRING | MF_GRAYED;
        };
        CMenu menu;
        menu.CreatePopupMenu();
        menu.AppendMenu(flags(bWritable && ::SendMessageW(hEdit, EM_CANUNDO, 0, 0)), ID_EDIT_UNDO,
                        u"&Võta tagasi");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(flags(bWritable && bSelected), ID_EDIT_CUT, u"&Lõika");
        menu.AppendMenu(flags(bSelected), ID_EDIT_COPY, u"&Kopeeri");
        menu.AppendMenu(flags(bWritable && ::IsClipboardFormatAvailable(CF_UNICODETEXT)),
                        ID_EDIT_PASTE, u"Kl&eebi");
        menu.AppendMenu(flags(bWritable && bSelected), ID_EDIT_CLEAR, u"Kustuta");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(flags(nLength > 0 && !(nStart == 0 && nEnd == nLength)), ID_EDIT_SELECT_ALL,
                        u"Vali kõik");
        if (edit.m_onMenu) {
            menu.AppendMenu(MF_SEPARATOR);
            if (!AfxCallHandler(hEdit, [&] { edit.m_onMenu(menu); }))
                return;
        }
        const auto nID = static_cast<unsigned>(
            menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, at.x, at.y, &edit));
        switch (nID) {
        case 0:
            break;
        case ID_EDIT_UNDO:
            ::SendMessageW(hEdit, EM_UNDO, 0, 0);
            break;
        case ID_EDIT_CUT:
            ::SendMessageW(hEdit, WM_CUT, 0, 0);
            break;
        case ID_EDIT_COPY:
            ::SendMessageW(hEdit, WM_COPY, 0, 0);
            break;
        case ID_EDIT_PASTE:
            ::SendMessageW(hEdit, WM_PASTE, 0, 0);
            break;
        case ID_EDIT_CLEAR:
            ::SendMessageW(hEdit, WM_CLEAR, 0, 0);
            break;
        case ID_EDIT_SELECT_ALL:
            ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
            break;
        default:
            edit.SendCommand(static_cast<int>(nID), nullptr);
        }
    }

    static LRESULT CALLBACK EditProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR nID, DWORD_PTR pData)
    {
        CEdit& edit = *reinterpret_cast<CEdit*>(pData);
        switch (nMsg) {
        case WM_GETDLGCODE:
            // Enter and Esc belong to the open list, not to the window's buttons.
            if (IsListShown(edit))
                return ::DefSubclassProc(hWnd, nMsg, wParam, lParam) | DLGC_WANTALLKEYS;
            break;
        case WM_KEYDOWN:
            if (IsListShown(edit) && OnListKey(edit, wParam))
                return 0;
            // Ctrl+A selects the whole word, as in the other text boxes of
            // the desktop; the system's box of this kind does not.
            if (wParam == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                !(::GetKeyState(VK_MENU) & 0x8000)) {
                ::SendMessageW(hWnd, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            // The keys the list or the box took would only make the box beep.
            if (((wParam == L'\r' || wParam == 0x1B) && IsListShown(edit)) || wParam == 0x01)
                return 0;
            break;
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SHOWWINDOW:
            HideList(edit);
            break;
        case WM_CONTEXTMENU:
            HideList(edit);
            ShowMenu(edit, lParam);
            return 0;
        case WM_NCDESTROY:
            DestroyList(edit);
            ::RemoveWindowSubclass(hWnd, EditProc, nID);
            return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
        default:
            break;
        }
        if (!IsUserEdit(nMsg, wParam))
            return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
        const CString strBefore = TextOf(hWnd);
        const LRESULT nResult = ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
        const CString strAfter = TextOf(hWnd);
        if (strAfter != strBefore)
            ShowWords(edit, WordsFor(edit, strAfter));
        return nResult;
    }

    static LRESULT CALLBACK ListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR nID, DWORD_PTR pData)
    {
        CEdit& edit = *reinterpret_cast<CEdit*>(pData);
        switch (nMsg) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: {
            // The list's own click would take the focus from the box.
            const LRESULT nHit = ::SendMessageW(hWnd, LB_ITEMFROMPOINT, 0, lParam);
            if (HIWORD(nHit) == 0) {
                ::SendMessageW(hWnd, LB_SETCURSEL, LOWORD(nHit), 0);
                if (nMsg == WM_LBUTTONDOWN)
                    Complete(edit);
            }
            return 0;
        }
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            return 0;
        case WM_NCDESTROY:
            if (edit.m_hCompletionList == hWnd)
                edit.m_hCompletionList = nullptr;
            ::RemoveWindowSubclass(hWnd, ListProc, nID);
            break;
        default:
            break;
        }
        return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
    }
};

CEdit::~CEdit()
{
    CEditHooks::Unhook(*this);
}

void CEdit::SetSel(int nStartChar, int nEndChar)
{
    if (const HWND hEdit = GetSafeHwnd())
        ::SendMessageW(hEdit, EM_SETSEL, static_cast<WPARAM>(nStartChar),
                       static_cast<LPARAM>(nEndChar));
}

void CEdit::SetCompletionWords(const std::vector<CString>& words)
{
    m_words = words;
    CEditHooks::Hook(*this);
}

void CEdit::ShowAllCompletions()
{
    CEditHooks::Hook(*this);
    CEditHooks::ShowWords(*this, m_words);
}

bool CEdit::IsCompletionShown() const
{
    return m_hCompletionList && ::IsWindowVisible(m_hCompletionList);
}

void CEdit::SetCompletionHandler(std::function<void(const CString&)> handler)
{
    m_onCompletion = std::move(handler);
}

void CEdit::SetContextMenuHandler(std::function<void(CMenu&)> onMenu,
                                  std::function<void(unsigned)> onCommand)
{
    m_onMenu = std::move(onMenu);
    m_onMenuCommand = std::move(onCommand);
    CEditHooks::Hook(*this);
}

bool CEdit::OnCommand(int nID, HWND hSource)
{
    if (CWnd::OnCommand(nID, hSource))
        return true;
    if (!m_onMenuCommand)
        return false;
    m_onMenuCommand(static_cast<unsigned>(nID));
    return true;
}
