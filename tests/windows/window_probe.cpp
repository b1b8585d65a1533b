// window_probe: tells the end-to-end tests what a window of another Windows
// program shows, as one JSON object on standard output: its caption and
// place, every child control with its id, class, state, place and text, the
// tabs of a tab control, the rows of a list view and the items of a combo
// box, each with the index chosen. Places are screen pixels, which under Wine without a window
// manager are the X display's, so xdotool can click them.
//
//   window_probe TITLE    the visible top-level window captioned TITLE
//                         (exit status 1 while there is none)
//
// Tab rectangles and list rows live in the other process: they are read
// through memory allocated there, the way a screen reader does it.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string Utf8(const std::wstring& strText)
{
    if (strText.empty())
        return {};
    const int nBytes = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), int(strText.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string strResult(size_t(nBytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), int(strText.size()), strResult.data(), nBytes,
                        nullptr, nullptr);
    return strResult;
}

std::string Json(const std::wstring& strText)
{
    std::string strResult = "\"";
    for (const char c : Utf8(strText)) {
        if (c == '"' || c == '\\') {
            strResult += '\\';
            strResult += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char szEscape[8];
            std::snprintf(szEscape, sizeof szEscape, "\\u%04x", unsigned(c));
            strResult += szEscape;
        } else {
            strResult += c;
        }
    }
    return strResult + "\"";
}

std::string JsonRect(const RECT& rc)
{
    char sz[96];
    std::snprintf(sz, sizeof sz, "[%ld, %ld, %ld, %ld]", long(rc.left), long(rc.top),
                  long(rc.right - rc.left), long(rc.bottom - rc.top));
    return sz;
}

std::wstring WindowText(HWND hWnd)
{
    // WM_GETTEXT is carried across processes by the system.
    wchar_t sz[4096] = {};
    SendMessageTimeoutW(hWnd, WM_GETTEXT, std::size(sz), reinterpret_cast<LPARAM>(sz),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return sz;
}

std::wstring ClassName(HWND hWnd)
{
    wchar_t sz[256] = {};
    GetClassNameW(hWnd, sz, std::size(sz));
    return sz;
}

// A block of memory in the window's process, for the messages whose
// arguments are pointers the system does not carry across.
class CRemoteBlock
{
public:
    CRemoteBlock(HWND hWnd, size_t nSize) : m_nSize(nSize)
    {
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hWnd, &dwProcess);
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 dwProcess);
        if (m_hProcess)
            m_p = static_cast<char*>(
                VirtualAllocEx(m_hProcess, nullptr, nSize, MEM_COMMIT, PAGE_READWRITE));
    }
    ~CRemoteBlock()
    {
        if (m_p)
            VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE);
        if (m_hProcess)
            CloseHandle(m_hProcess);
    }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    char* Address() const { return m_p; }
    bool Write(size_t nOffset, const void* pData, size_t nSize) const
    {
        return m_p && nOffset + nSize <= m_nSize &&
               WriteProcessMemory(m_hProcess, m_p + nOffset, pData, nSize, nullptr);
    }
    bool Read(size_t nOffset, void* pData, size_t nSize) const
    {
        return m_p && nOffset + nSize <= m_nSize &&
               ReadProcessMemory(m_hProcess, m_p + nOffset, pData, nSize, nullptr);
    }

private:
    size_t m_nSize;
    HANDLE m_hProcess = nullptr;
    char* m_p = nullptr;
};

LRESULT Send(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutW(hWnd, uMsg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &dwResult);
    return LRESULT(dwResult);
}

std::string Tabs(HWND hTab)
{
    std::string strResult = "[";
    const int nCount = int(Send(hTab, TCM_GETITEMCOUNT, 0, 0));
    CRemoteBlock block(hTab, sizeof(RECT));
    for (int i = 0; i < nCount; ++i) {
        RECT rc = {};
        if (Send(hTab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(block.Address())))
            block.Read(0, &rc, sizeof rc);
        MapWindowPoints(hTab, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        strResult += (i ? ", " : "") + JsonRect(rc);
    }
    return strResult + "]";
}

std::string Rows(HWND hList)
{
    HWND hHeader = reinterpret_cast<HWND>(Send(hList, LVM_GETHEADER, 0, 0));
    const int nColumns = hHeader ? int(Send(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 1;
    const int nRows = int(Send(hList, LVM_GETITEMCOUNT, 0, 0));
    constexpr size_t nChars = 2048;
    CRemoteBlock block(hList, sizeof(LVITEMW) + nChars * sizeof(wchar_t));
    std::string strResult = "[";
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const bool bSelected = Send(hList, LVM_GETITEMSTATE, nRow, LVIS_SELECTED) & LVIS_SELECTED;
        strResult += std::string(nRow ? ", " : "") +
                     "{\"selected\": " + (bSelected ? "true" : "false") + ", \"texts\": [";
        for (int nColumn = 0; nColumn < nColumns; ++nColumn) {
            LVITEMW item = {};
            item.iSubItem = nColumn;
            item.pszText = reinterpret_cast<wchar_t*>(block.Address() + sizeof(LVITEMW));
            item.cchTextMax = nChars;
            std::wstring strText(nChars, L'\0');
            if (block.Write(0, &item, sizeof item) &&
                Send(hList, LVM_GETITEMTEXTW, nRow, reinterpret_cast<LPARAM>(block.Address())) >= 0)
                block.Read(sizeof(LVITEMW), strText.data(), nChars * sizeof(wchar_t));
            strText.resize(wcsnlen(strText.c_str(), nChars));
            strResult += (nColumn ? ", " : "") + Json(strText);
        }
        strResult += "]}";
    }
    return strResult + "]";
}

std::string ComboItems(HWND hCombo)
{
    std::string strResult = "[";
    const int nCount = int(Send(hCombo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        const int nLength = int(Send(hCombo, CB_GETLBTEXTLEN, i, 0));
        std::wstring strText(size_t(nLength > 0 ? nLength : 0) + 1, L'\0');
        Send(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(strText.data()));
        strText.resize(wcsnlen(strText.c_str(), strText.size()));
        strResult += (i ? ", " : "") + Json(strText);
    }
    return strResult + "]";
}

struct CFound {
    std::wstring strTitle;
    HWND hWnd = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND hWnd, LPARAM lParam)
{
    auto* pFound = reinterpret_cast<CFound*>(lParam);
    if (IsWindowVisible(hWnd) && WindowText(hWnd) == pFound->strTitle) {
        pFound->hWnd = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::string Describe(HWND hWnd)
{
    const std::wstring strClass = ClassName(hWnd);
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    std::string strResult = "{\"id\": " + std::to_string(GetDlgCtrlID(hWnd)) +
                            ", \"class\": " + Json(strClass) +
                            ", \"visible\": " + (IsWindowVisible(hWnd) ? "true" : "false") +
                            ", \"enabled\": " + (IsWindowEnabled(hWnd) ? "true" : "false") +
                            ", \"rect\": " + JsonRect(rc) + ", \"text\": " + Json(WindowText(hWnd));
    if (_wcsicmp(strClass.c_str(), WC_TABCONTROLW) == 0)
        strResult += ", \"tabs\": " + Tabs(hWnd) +
                     ", \"selection\": " + std::to_string(Send(hWnd, TCM_GETCURSEL, 0, 0));
    else if (_wcsicmp(strClass.c_str(), WC_LISTVIEWW) == 0)
        strResult += ", \"rows\": " + Rows(hWnd);
    else if (_wcsicmp(strClass.c_str(), WC_COMBOBOXW) == 0)
        strResult += ", \"items\": " + ComboItems(hWnd) +
                     ", \"selection\": " + std::to_string(Send(hWnd, CB_GETCURSEL, 0, 0));
    return strResult + "}";
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: window_probe TITLE\n", stderr);
        return 2;
    }
    CFound found;
    found.strTitle = argv[1];
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
    if (!found.hWnd)
        return 1;
    std::vector<HWND> children;
    EnumChildWindows(found.hWnd, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::string strOut = "{\"window\": " + Describe(found.hWnd) + ", \"children\": [";
    for (size_t i = 0; i < children.size(); ++i)
        strOut += (i ? ", " : "") + Describe(children[i]);
    strOut += "]}\n";
    std::fwrite(strOut.data(), 1, strOut.size(), stdout);
    return 0;
}
