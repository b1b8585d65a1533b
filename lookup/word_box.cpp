#include "word_box.h"

#include "menu.h"
#include "win_defs.h"

namespace
{

// The id of the page's command in the box's menu.
constexpr unsigned kCommandId = 32771;

} // namespace

bool CWordBox::Create(CWnd& page, int nID)
{
    if (m_edit.IsWindow() || !m_edit.SubclassDlgItem(nID, &page))
        return false;
    // A word chosen from the list is put in the box and looked up, as Enter
    // on a typed one is; so is the typed word when Enter closes the list.
    m_edit.SetCompletionHandler([this](const CString& strWord) {
        if (m_edit.GetWindowText() != strWord)
            m_edit.SetWindowText(strWord);
        if (m_onLookUp)
            m_onLookUp();
    });
    m_edit.SetKeyHandler([this](unsigned nVirtKey, unsigned nModifiers) {
        if (!m_onUpDown || nModifiers != 0 || (nVirtKey != VK_UP && nVirtKey != VK_DOWN) ||
            m_edit.IsCompletionShown())
            return false;
        return m_onUpDown(nVirtKey == VK_UP);
    });
    m_edit.SetContextMenuHandler(
        [this](CMenu& menu) {
            if (!m_onCommand)
                return;
            const bool bEnabled = !m_isCommandEnabled || m_isCommandEnabled();
            menu.AppendMenu(bEnabled ? MF_STRING : MF_STRING | MF_GRAYED, kCommandId, m_strCommand);
        },
        [this](unsigned nCommand) {
            if (nCommand == kCommandId && m_onCommand)
                m_onCommand();
        });
    return true;
}

void CWordBox::SetWords(const std::vector<std::u16string>& words)
{
    m_edit.SetCompletionWords(words);
}

bool CWordBox::IsListOpen() const
{
    return m_edit.IsCompletionShown();
}

void CWordBox::ListAllWords()
{
    m_edit.ShowAllCompletions();
}

void CWordBox::FocusAndSelect()
{
    m_edit.SetFocus();
    m_edit.SetSel(0, -1);
}

void CWordBox::SetLookUpHandler(std::function<void()> handler)
{
    m_onLookUp = std::move(handler);
}

void CWordBox::SetUpDownHandler(std::function<bool(bool)> handler)
{
    m_onUpDown = std::move(handler);
}

void CWordBox::SetMenuCommand(const std::u16string& strText, std::function<bool()> isEnabled,
                              std::function<void()> onChosen)
{
    m_strCommand = strText;
    m_isCommandEnabled = std::move(isEnabled);
    m_onCommand = std::move(onChosen);
}
