#include "find_bar.h"

#include "web_browser.h"

#include <string>

void CFindBar::Create(CWebBrowser& browser)
{
    if (m_pBrowser || !CreateBar(browser))
        return;
    m_pBrowser = &browser;
    browser.SetFindResultHandler(
        [this](int nActive, int nMatches) { ShowCount(nActive, nMatches); });
    // A new page is searched for the same text.
    browser.AddDownloadCompleteListener([this] {
        if (IsOpen() && !GetText().empty())
            Find(false);
    });
}

void CFindBar::Open()
{
    if (!m_pBrowser)
        return;
    if (!IsOpen()) {
        ShowBar(true);
        if (!GetText().empty())
            Find(false);
    }
    FocusText();
}

void CFindBar::Close()
{
    if (!IsOpen())
        return;
    ShowBar(false);
    // The matches are no longer marked.
    m_pBrowser->FindText(std::u16string());
    SetCountText(std::u16string());
}

bool CFindBar::IsOpen() const
{
    return m_pBrowser && IsBarShown();
}

std::u16string CFindBar::CountText(int nActive, int nMatches)
{
    if (nMatches <= 0)
        return u"Ei leitud";
    const std::string text = std::to_string(nActive) + "/" + std::to_string(nMatches);
    return std::u16string(text.begin(), text.end());
}

void CFindBar::Find(bool bBackward)
{
    const std::u16string strText = GetText();
    if (strText.empty())
        SetCountText(std::u16string());
    m_pBrowser->FindText(strText, bBackward);
}

void CFindBar::ShowCount(int nActive, int nMatches)
{
    SetCountText(!IsOpen() || GetText().empty() ? std::u16string() : CountText(nActive, nMatches));
}
