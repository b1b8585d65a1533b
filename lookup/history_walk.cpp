#include "history_walk.h"

#include <algorithm>

CHistoryWalk::EStep CHistoryWalk::Step(const std::vector<std::u16string>& words,
                                       const std::u16string& strBoxText, bool bOlder,
                                       bool bListOpen)
{
    if (bListOpen || words.empty())
        return EStep::None;
    const int nCount = static_cast<int>(words.size());
    // Only from an empty box, or from a word the walk put there.
    const bool bWalking = m_nWalk >= 0 && m_nWalk < nCount && strBoxText == words[m_nWalk];
    if (!bWalking && !strBoxText.empty())
        return EStep::None;
    if (!bWalking)
        m_nWalk = -1;
    if (bOlder)
        m_nWalk = std::min(m_nWalk + 1, nCount - 1);
    else if (m_nWalk < 0)
        return EStep::ListAll;
    else
        --m_nWalk;
    m_strWord = m_nWalk >= 0 ? words[m_nWalk] : std::u16string();
    return EStep::Word;
}
