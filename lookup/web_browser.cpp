#include "web_browser.h"

void CWebBrowser::SetDownloadBeginHandler(std::function<void()> handler)
{
    m_onDownloadBegin = std::move(handler);
}

void CWebBrowser::SetDownloadCompleteHandler(std::function<void()> handler)
{
    m_onDownloadComplete = std::move(handler);
}

void CWebBrowser::SetCommandStateChangeHandler(std::function<void(int, bool)> handler)
{
    m_onCommandStateChange = std::move(handler);
}

void CWebBrowser::SetLocationChangeHandler(std::function<void(const std::u16string&)> handler)
{
    m_onLocationChange = std::move(handler);
}

void CWebBrowser::SetFindResultHandler(std::function<void(int, int)> handler)
{
    m_onFindResult = std::move(handler);
}

void CWebBrowser::AddDownloadCompleteListener(std::function<void()> listener)
{
    m_completeListeners.push_back(std::move(listener));
}
