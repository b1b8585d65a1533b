#include "window_channel.h"

std::string CWindowChannel::Request(std::string_view strWordUtf8)
{
    std::string strRequest(strWordUtf8);
    strRequest.push_back('\0');
    return strRequest;
}

CWindowChannel::EAnswer CWindowChannel::ReadAnswer(std::string_view received)
{
    if (received == kLookedUpAnswer)
        return EAnswer::LookedUp;
    if (received == kBusyAnswer)
        return EAnswer::Busy;
    // Still a beginning of one of the two answers: more is to come.
    if (kLookedUpAnswer.starts_with(received) || kBusyAnswer.starts_with(received))
        return EAnswer::Incomplete;
    return EAnswer::Invalid;
}

CWindowChannel::ERequest CWindowChannel::Add(std::string_view bytes)
{
    if (m_bComplete)
        return ERequest::Complete;
    const std::size_t nEnd = bytes.find('\0');
    m_strReceived.append(bytes.substr(0, nEnd));
    if (m_strReceived.size() > kMaxRequest) {
        m_strReceived.clear();
        return ERequest::Refused;
    }
    if (nEnd == std::string_view::npos)
        return ERequest::Incomplete;
    m_bComplete = true;
    m_strWord = std::move(m_strReceived);
    m_strReceived.clear();
    return ERequest::Complete;
}
