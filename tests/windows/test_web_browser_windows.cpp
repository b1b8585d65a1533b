// The browser control of the lookup and help pages under Wine: what a server
// on 127.0.0.1 receives and what the control reports. Wine shows no page, so
// nothing here looks at one.

// Before the window system's header, which would bring the old sockets.
#include <winsock2.h>

#include "browser_keys.h"
#include "find_bar.h"
#include "ole_dispatch_exception.h"
#include "web_browser.h"
#include "web_browser_windows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{

// A server on 127.0.0.1 that keeps the head of every request and answers each
// with a small page. Made listening later, its port refuses connections until then.
class CTestServer
{
public:
    CTestServer()
    {
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int nLength = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &nLength);
        m_nPort = ntohs(address.sin_port);
    }
    ~CTestServer()
    {
        closesocket(m_socket);
        if (m_thread.joinable())
            m_thread.join();
    }

    void Listen()
    {
        listen(m_socket, 8);
        m_thread = std::thread([this] { Serve(); });
    }

    std::u16string Address(const std::string& strPath) const
    {
        const std::string strURL = "http://127.0.0.1:" + std::to_string(m_nPort) + strPath;
        return std::u16string(strURL.begin(), strURL.end());
    }

    std::vector<std::string> Requests() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    void Serve()
    {
        for (;;) {
            const SOCKET client = accept(m_socket, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            std::string strHead;
            char buffer[1024];
            while (strHead.find("\r\n\r\n") == std::string::npos) {
                const int nRead = recv(client, buffer, sizeof buffer, 0);
                if (nRead <= 0)
                    break;
                strHead.append(buffer, nRead);
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(strHead.substr(0, strHead.find("\r\n\r\n")));
            }
            const std::string strBody = "<html><body>kass</body></html>";
            const std::string strAnswer =
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                std::to_string(strBody.size()) + "\r\nConnection: close\r\n\r\n" + strBody;
            send(client, strAnswer.data(), static_cast<int>(strAnswer.size()), 0);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    SOCKET m_socket = INVALID_SOCKET;
    int m_nPort = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

// Runs the thread's messages, where the control's work and events happen,
// until bDone holds; false when it did not within a generous time.
template <class Condition> bool PumpUntil(Condition bDone)
{
    const ULONGLONG nEnd = GetTickCount64() + 60000;
    while (!bDone()) {
        if (GetTickCount64() > nEnd)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

bool HasLine(const std::string& strHead, const std::string& strLine)
{
    return ("\r\n" + strHead + "\r\n").find("\r\n" + strLine + "\r\n") != std::string::npos;
}

class WebBrowserWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        CWebBrowser::RegisterControlClass();
        // Never shown: no other test's window loses the focus to it.
        m_hTop = CreateWindowExW(0, L"STATIC", L"browser", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hTop, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_hTop);
        OleUninitialize();
        WSACleanup();
    }

    // A child window as a dialog template makes control 1006.
    HWND CreateControlWindow(const wchar_t* pszClass, const wchar_t* pszText,
                             HWND hParent = nullptr)
    {
        return CreateWindowExW(0, pszClass, pszText, WS_CHILD | WS_VISIBLE, 0, 0, 600, 400,
                               hParent ? hParent : m_hTop, reinterpret_cast<HMENU>(1006), nullptr,
                               nullptr);
    }

    void AttachBrowser(CWebBrowser& browser, HWND hParent = nullptr)
    {
        const std::string strClassId(CWebBrowser::kClassId);
        browser.Attach(CreateControlWindow(
            L"AtlAxWin", std::wstring(strClassId.begin(), strClassId.end()).c_str(), hParent));
    }

    HWND m_hTop = nullptr;
};

TEST_F(WebBrowserWindows, NavigatesAsAskedReportsItsEventsRefusesUnsafeAddressesAndRetriesAFailure)
{
    // A window that holds no control is no browser: the page says so.
    {
        CWebBrowser missing;
        missing.Attach(CreateControlWindow(L"STATIC", L""));
        EXPECT_FALSE(missing.IsWindow());
    }

    const std::string strClassId(CWebBrowser::kClassId);
    CWebBrowser browser;
    browser.Attach(CreateControlWindow(L"AtlAxWin",
                                       std::wstring(strClassId.begin(), strClassId.end()).c_str()));
    ASSERT_TRUE(browser.IsWindow());
    int nBegins = 0, nCompletes = 0;
    std::vector<std::pair<int, bool>> states;
    std::vector<std::u16string> locations;
    browser.SetDownloadBeginHandler([&] { ++nBegins; });
    browser.SetDownloadCompleteHandler([&] { ++nCompletes; });
    browser.SetCommandStateChangeHandler(
        [&](int nCommand, bool bEnable) { states.emplace_back(nCommand, bEnable); });
    browser.SetLocationChangeHandler(
        [&](const std::u16string& strURL) { locations.push_back(strURL); });

    CTestServer server;
    server.Listen();
    // The lookup: the address exactly as composed, fetched anew.
    const std::u16string strLookup = server.Address("/et-en?w=%C3%B5un%20%26%2B1");
    const int nFlags = navNoReadFromCache;
    browser.Navigate(strLookup, &nFlags);
    ASSERT_TRUE(PumpUntil([&] { return !server.Requests().empty() && nCompletes > 0; }));
    const std::string strHead = server.Requests().front();
    EXPECT_EQ(strHead.substr(0, strHead.find("\r\n")), "GET /et-en?w=%C3%B5un%20%26%2B1 HTTP/1.1");
    EXPECT_TRUE(HasLine(strHead, "Cache-Control: no-cache")) << strHead;
    EXPECT_EQ(browser.GetLocationURL(), strLookup);
    EXPECT_GE(nBegins, 1);
    EXPECT_EQ(states.front(), std::make_pair(int(CWebBrowser::CSC_NAVIGATEBACK), false));
    EXPECT_FALSE(browser.CanGoBack());

    // Unsafe addresses: the wrapper refuses them, and the control refuses
    // them when a page asks (as a link would), so no load begins.
    EXPECT_THROW(browser.Navigate(u"javascript:alert(1)"), COleDispatchException);
    EXPECT_THROW(browser.Navigate(u"file:///C:/windows/win.ini"), COleDispatchException);
    const int nBeginsBefore = nBegins;
    IWebBrowser2* pControl = BrowserControl(browser);
    ASSERT_NE(pControl, nullptr);
    for (const wchar_t* pszUnsafe : {L"file:///C:/windows/win.ini", L"javascript:alert(1)"}) {
        BSTR bstr = SysAllocString(pszUnsafe);
        pControl->Navigate(bstr, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(bstr);
    }
    const std::u16string strAfter = server.Address("/after");
    const int nCompletesBefore = nCompletes;
    browser.Navigate(strAfter);
    ASSERT_TRUE(
        PumpUntil([&] { return server.Requests().size() == 2 && nCompletes > nCompletesBefore; }));
    EXPECT_EQ(nBegins, nBeginsBefore + 1);
    EXPECT_EQ(browser.GetLocationURL(), strAfter);

    // An address nobody answers: the page for the failure stands for that
    // address, and reloading it asks the address again.
    CTestServer late;
    const std::u16string strGone = late.Address("/gone?w=1");
    browser.Navigate(strGone);
    ASSERT_TRUE(PumpUntil([&] { return !locations.empty() && locations.back() == strGone; }));
    EXPECT_EQ(browser.GetLocationURL(), strGone);
    late.Listen();
    browser.Refresh();
    ASSERT_TRUE(PumpUntil([&] { return !late.Requests().empty(); }));
    const std::string strRetry = late.Requests().front();
    EXPECT_EQ(strRetry.substr(0, strRetry.find("\r\n")), "GET /gone?w=1 HTTP/1.1");
    EXPECT_TRUE(HasLine(strRetry, "Cache-Control: no-cache")) << strRetry;
}

TEST_F(WebBrowserWindows, TheReadingKeysReachThePageFromInsideTheBrowser)
{
    // A page on show, as a tab is, with its browser; not made the active window.
    CWnd page;
    page.Attach(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 620, 460, m_hTop,
                                nullptr, nullptr, nullptr));
    ShowWindow(m_hTop, SW_SHOWNOACTIVATE);
    CWebBrowser browser;
    AttachBrowser(browser, page.GetSafeHwnd());
    ASSERT_TRUE(browser.IsWindow());
    CFindBar findBar;
    findBar.Create(browser);
    CBrowserKeys::Create(page, browser, findBar, u"testPage/zoom");
    std::vector<std::u16string> locations;
    browser.SetLocationChangeHandler(
        [&](const std::u16string& strURL) { locations.push_back(strURL); });

    CTestServer late;
    const std::u16string strGone = late.Address("/gone?w=2");
    browser.Navigate(strGone);
    ASSERT_TRUE(PumpUntil([&] { return !locations.empty() && locations.back() == strGone; }));
    late.Listen();
    // F5 where the control's own windows have the focus: the page reloads,
    // which here asks the failed address again.
    HWND hInner = GetWindow(browser.GetSafeHwnd(), GW_CHILD);
    PostMessageW(hInner ? hInner : browser.GetSafeHwnd(), WM_KEYDOWN, VK_F5, 1);
    ASSERT_TRUE(PumpUntil([&] { return !late.Requests().empty(); }));
    const std::string strRetry = late.Requests().front();
    EXPECT_EQ(strRetry.substr(0, strRetry.find("\r\n")), "GET /gone?w=2 HTTP/1.1");
}

} // namespace
