#include "internet_exception.h"

#include <string>

namespace
{

// Seconds as an Estonian reader writes them: a decimal comma, no trailing zeros.
CString SecondsText(int nMs)
{
    std::string strText = std::to_string(nMs / 1000);
    int nFraction = nMs % 1000;
    if (nFraction != 0) {
        std::string strFraction = std::to_string(1000 + (nFraction < 0 ? -nFraction : nFraction));
        strFraction.erase(0, 1);
        while (strFraction.back() == '0')
            strFraction.pop_back();
        strText += ',' + strFraction;
    }
    return Utf8ToUtf16(strText);
}

} // namespace

CInternetException::CInternetException(unsigned long dwError, CString strDescription)
    : CException(strDescription.empty() ? CString(u"Internal application error.")
                                        : std::move(strDescription)),
      m_dwError(dwError)
{
}

CInternetException NoAnswerHeaderException(int nMs)
{
    return CInternetException(CInternetException::errorTimeout,
                              u"Server ei saatnud " + SecondsText(nMs) +
                                  u" sekundi jooksul oma vastuse päist lõpuni. "
                                  u"Laadimine katkestati.");
}

CInternetException TooLargeException(long long nMaxBytes)
{
    return CInternetException(CInternetException::errorTooLarge,
                              u"Server saatis rohkem kui " + IntToCString(nMaxBytes) +
                                  u" baiti: nii suurt sõnastike loendit ei ole. "
                                  u"Laadimine katkestati.");
}

CInternetException SecureFailureException(CCertificateFault fault)
{
    CString strReason;
    switch (fault) {
    case CCertificateFault::noFault:
        strReason = u"Turvalise ühenduse loomine serveriga ebaõnnestus.";
        break;
    case CCertificateFault::unknownFault:
        strReason = u"Serveri turvasertifikaati ei saanud usaldada.";
        break;
    case CCertificateFault::expired:
        strReason = u"Serveri turvasertifikaat on aegunud või ei kehti veel.";
        break;
    case CCertificateFault::otherName:
        strReason = u"Serveri turvasertifikaat on antud teisele nimele.";
        break;
    case CCertificateFault::revoked:
        strReason = u"Serveri turvasertifikaat on tühistatud.";
        break;
    case CCertificateFault::untrustedIssuer:
        strReason = u"Serveri turvasertifikaati ei ole andnud ükski usaldatav sertifitseerija.";
        break;
    }
    return CInternetException(CInternetException::errorSecureFailure,
                              strReason + u" Turvalist ühendust ei loodud ja sõnastike loendit "
                                          u"ei laaditud.");
}
