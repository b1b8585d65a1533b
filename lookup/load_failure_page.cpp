#include "load_failure_page.h"

#include "utf_text.h"

#include <charconv>
#include <string_view>

namespace
{

// The engine's network error numbers that the page explains in words.
enum : int {
    ERR_ABORTED = -3,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_INTERNET_DISCONNECTED = -106,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_NAME_RESOLUTION_FAILED = -137,
    // The browser's own refusals: nothing was sent anywhere.
    ERR_BLOCKED_BY_CLIENT = -20,
    ERR_BLOCKED_BY_ADMINISTRATOR = -22,
    ERR_DISALLOWED_URL_SCHEME = -301,
    ERR_UNKNOWN_URL_SCHEME = -302,
    ERR_UNSAFE_REDIRECT = -311,
    ERR_UNSAFE_PORT = -312,
    // The engine numbers every certificate fault in this range.
    ERR_CERT_FIRST = -299,
    ERR_CERT_LAST = -200,
    ERR_CERT_AUTHORITY_INVALID = -202,
    ERR_TIMED_OUT = -7,
};

// Whether the failure lies with the network or the server, so that checking
// the connection or trying again later may help.
bool IsNetworkFailure(int nNetError)
{
    switch (nNetError) {
    case ERR_BLOCKED_BY_CLIENT:
    case ERR_BLOCKED_BY_ADMINISTRATOR:
    case ERR_DISALLOWED_URL_SCHEME:
    case ERR_UNKNOWN_URL_SCHEME:
    case ERR_UNSAFE_REDIRECT:
    case ERR_UNSAFE_PORT:
        return false;
    default:
        return true;
    }
}

std::u16string Reason(int nNetError)
{
    switch (nNetError) {
    case ERR_CONNECTION_REFUSED:
        return u"Ühendust ei saadud: sellel aadressil ei vasta ükski veebiserver.";
    case ERR_UNSAFE_PORT:
        return u"Brauser ei ava seda aadressi: selle pordi kasutamine on turvalisuse huvides "
               u"keelatud. Sõnastikuprogrammi aadress peab kasutama mõnda muud porti.";
    case ERR_BLOCKED_BY_CLIENT:
    case ERR_BLOCKED_BY_ADMINISTRATOR:
    case ERR_DISALLOWED_URL_SCHEME:
    case ERR_UNKNOWN_URL_SCHEME:
    case ERR_UNSAFE_REDIRECT:
        return u"Brauser ei ava seda aadressi: see on turvalisuse huvides keelatud.";
    case ERR_NAME_NOT_RESOLVED:
    case ERR_NAME_RESOLUTION_FAILED:
        return u"Serveri nime ei leitud.";
    case ERR_INTERNET_DISCONNECTED:
    case ERR_ADDRESS_UNREACHABLE:
        return u"Võrguühendus puudub.";
    default:
        break;
    }
    char szNumber[16];
    const auto result = std::to_chars(szNumber, szNumber + sizeof szNumber, nNetError);
    const std::u16string strNumber(szNumber, result.ptr);
    if (nNetError >= ERR_CERT_FIRST && nNetError <= ERR_CERT_LAST)
        return u"Serveri turvasertifikaati ei saanud usaldada (veakood " + strNumber +
               u"): see võib olla aegunud, antud teisele nimele või andnud keegi, keda ei "
               u"usaldata. Turvalist ühendust ei loodud.";
    return u"Ühendus ebaõnnestus (veakood " + strNumber + u").";
}

// A JavaScript string literal holding text: everything but a few plain
// characters goes as \uXXXX, so no quote, backslash, "<" or line separator
// of the text can end the literal or the script.
std::u16string JsString(std::u16string_view text)
{
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string strOut = u"\"";
    for (const char16_t ch : text) {
        const bool bPlain = (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') ||
                            (ch >= u'0' && ch <= u'9') || ch == u' ' || ch == u'.' || ch == u',' ||
                            ch == u':' || ch == u'/' || ch == u'-';
        if (bPlain) {
            strOut += ch;
            continue;
        }
        strOut += u"\\u";
        for (int nShift = 12; nShift >= 0; nShift -= 4)
            strOut += kHex[(ch >> nShift) & 0xF];
    }
    strOut += u'"';
    return strOut;
}

// Our own markup, with empty places that the script fills with text.
constexpr std::u16string_view kPage =
    u"<head><meta charset=\"utf-8\"><title>Lehte ei saa avada</title><style>"
    u"body{font:13px/1.35 sans-serif;margin:8px 12px;color:#222;background:#fff}"
    u"h1{font-size:16px;margin:0 0 6px;color:#a00}p,ul{margin:4px 0}ul{padding-left:18px}"
    u"code{word-break:break-all;background:#f3f3f3;padding:0 2px}"
    u"</style></head><body><h1>Lehte ei saa avada</h1>"
    u"<p>Lehte aadressil <code id=\"address\"></code> ei õnnestunud laadida.</p>"
    u"<p id=\"reason\"></p><p>Mida proovida:</p><ul>"
    u"<li>Kas sõnastikuprogrammi aadress on õige? Vaadake kirjet vahekaardil "
    u"„Sõnastikud“ või „Eelsõnastikud“ (nupp „Muuda...“).</li>"
    u"<li class=\"net\">Kas võrguühendus töötab?</li>"
    u"<li class=\"net\">Proovige hiljem uuesti: nupp „Ülelaadimine“ laadib lehe "
    u"uuesti.</li></ul></body>";

// Text as markup: nothing of it can open or close an element or an entity.
std::u16string HtmlText(std::u16string_view text)
{
    std::u16string strOut;
    for (const char16_t ch : text) {
        switch (ch) {
        case u'&':
            strOut += u"&amp;";
            break;
        case u'<':
            strOut += u"&lt;";
            break;
        case u'>':
            strOut += u"&gt;";
            break;
        case u'"':
            strOut += u"&quot;";
            break;
        case u'\'':
            strOut += u"&#39;";
            break;
        default:
            strOut += ch;
        }
    }
    return strOut;
}

void ReplaceFirst(std::u16string& strText, std::u16string_view what, std::u16string_view with)
{
    const auto nAt = strText.find(what);
    if (nAt != std::u16string::npos)
        strText.replace(nAt, what.size(), with);
}

} // namespace

std::u16string LoadFailurePageHtml(const std::u16string& strAddress, int nNetError)
{
    std::u16string strPage = u"<!DOCTYPE html><html>" + std::u16string(kPage) + u"</html>";
    ReplaceFirst(strPage, u"<code id=\"address\"></code>",
                 u"<code id=\"address\">" + HtmlText(WithVisibleControls(strAddress)) + u"</code>");
    ReplaceFirst(strPage, u"<p id=\"reason\"></p>",
                 u"<p id=\"reason\">" + HtmlText(Reason(nNetError)) + u"</p>");
    if (!IsNetworkFailure(nNetError)) {
        constexpr std::u16string_view kNet = u"<li class=\"net\">";
        for (auto nAt = strPage.find(kNet); nAt != std::u16string::npos; nAt = strPage.find(kNet))
            strPage.erase(nAt, strPage.find(u"</li>", nAt) + 5 - nAt);
    }
    return strPage;
}

int NetErrorOfNavigateStatus(long nStatus)
{
    // The control's own failures of a load all lie in the range of INET_E_...
    // statuses; the rest are HTTP statuses or a stop.
    const unsigned long nCode = static_cast<unsigned long>(nStatus) & 0xFFFFFFFFUL;
    if ((nCode & 0xFFFF0000UL) != 0x800C0000UL)
        return 0;
    switch (nCode & 0xFFFFUL) {
    case 0x0002: // INET_E_INVALID_URL
    case 0x000D: // INET_E_UNKNOWN_PROTOCOL
        return ERR_UNKNOWN_URL_SCHEME;
    case 0x0003: // INET_E_NO_SESSION
        return ERR_INTERNET_DISCONNECTED;
    case 0x0004: // INET_E_CANNOT_CONNECT
        return ERR_CONNECTION_REFUSED;
    case 0x0005: // INET_E_RESOURCE_NOT_FOUND: the server's name
        return ERR_NAME_NOT_RESOLVED;
    case 0x000B: // INET_E_CONNECTION_TIMEOUT
        return ERR_TIMED_OUT;
    case 0x000E: // INET_E_SECURITY_PROBLEM
    case 0x0019: // INET_E_INVALID_CERTIFICATE
        return ERR_CERT_AUTHORITY_INVALID;
    case 0x0014: // INET_E_REDIRECT_FAILED
    case 0x0015: // INET_E_REDIRECT_TO_DIR
        return ERR_UNSAFE_REDIRECT;
    case 0x0018: // INET_E_TERMINATED_BIND: the load was ended here
        return 0;
    default:
        return ERR_CONNECTION_FAILED;
    }
}

bool IsLoadFailureShown(int nNetError)
{
    // A stopped load keeps what the browser showed.
    return nNetError != 0 && nNetError != ERR_ABORTED;
}

std::u16string LoadFailurePageScript(const std::u16string& strAddress, int nNetError)
{
    // Only the engine's page for a failed load is replaced, never a page that
    // has come in its place meanwhile; that page may still be parsing.
    return u"(function(){if(location.protocol!==\"chrome-error:\")return;var a=" +
           JsString(strAddress) + u",r=" + JsString(Reason(nNetError)) + u",p=" + JsString(kPage) +
           u",n=" + (IsNetworkFailure(nNetError) ? u"true" : u"false") +
           u";function show(){document.documentElement.innerHTML=p;"
           u"document.getElementById(\"address\").textContent=a;"
           u"document.getElementById(\"reason\").textContent=r;"
           u"if(!n)document.querySelectorAll(\".net\").forEach(function(e){e.remove();});}"
           u"if(document.readyState===\"loading\")"
           u"document.addEventListener(\"DOMContentLoaded\",show);else show();})();";
}
