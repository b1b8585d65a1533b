#include "estonian_translator.h"

#include <cstring>

namespace
{

struct CText {
    const char* pszSource;
    const char16_t* pszEstonian;
};

// The edit menu of a line edit and of a text control; the accelerator
// letters are chosen so that no two items of one menu share one.
constexpr CText kEditMenu[] = {
    {"&Undo", u"&Võta tagasi"},   {"&Redo", u"&Tee uuesti"},
    {"Cu&t", u"&Lõika"},          {"&Copy", u"&Kopeeri"},
    {"&Paste", u"Kl&eebi"},       {"Delete", u"Kustuta"},
    {"Select All", u"Vali kõik"}, {"Copy &Link Location", u"Kopeeri &lingi aadress"},
};

// The submenu of the edit menu for the invisible characters of bidirectional text.
constexpr CText kControlCharacterMenu[] = {
    {"Insert Unicode control character", u"Lisa Unicode'i juhtmärk"},
    {"LRM Left-to-right mark", u"LRM – vasakult paremale märk"},
    {"RLM Right-to-left mark", u"RLM – paremalt vasakule märk"},
    {"ZWJ Zero width joiner", u"ZWJ – nullilaiusega liitja"},
    {"ZWNJ Zero width non-joiner", u"ZWNJ – nullilaiusega eraldaja"},
    {"ZWSP Zero width space", u"ZWSP – nullilaiusega tühik"},
    {"LRE Start of left-to-right embedding", u"LRE – vasakult paremale põimingu algus"},
    {"RLE Start of right-to-left embedding", u"RLE – paremalt vasakule põimingu algus"},
    {"LRO Start of left-to-right override", u"LRO – vasakult paremale ülekirjutuse algus"},
    {"RLO Start of right-to-left override", u"RLO – paremalt vasakule ülekirjutuse algus"},
    {"PDF Pop directional formatting", u"PDF – suunavormingu lõpp"},
    {"LRI Left-to-right isolate", u"LRI – vasakult paremale eraldus"},
    {"RLI Right-to-left isolate", u"RLI – paremalt vasakule eraldus"},
    {"FSI First strong isolate", u"FSI – esimese tugeva märgi eraldus"},
    {"PDI Pop directional isolate", u"PDI – suunaeralduse lõpp"},
};

template <std::size_t N> QString Find(const CText (&texts)[N], const char* pszSource)
{
    for (const CText& text : texts)
        if (std::strcmp(text.pszSource, pszSource) == 0)
            return QString::fromUtf16(text.pszEstonian);
    return QString();
}

} // namespace

QString CEstonianTranslator::translate(const char* pszContext, const char* pszSourceText,
                                       const char* /*pszDisambiguation*/, int /*n*/) const
{
    if (!pszContext || !pszSourceText)
        return QString();
    if (std::strcmp(pszContext, "QLineEdit") == 0 ||
        std::strcmp(pszContext, "QWidgetTextControl") == 0)
        return Find(kEditMenu, pszSourceText);
    if (std::strcmp(pszContext, "QUnicodeControlCharacterMenu") == 0)
        return Find(kControlCharacterMenu, pszSourceText);
    return QString();
}
