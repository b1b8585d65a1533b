#include "save_failure.h"

#include "dict_catalogue.h"
#include "utf_text.h"

#include <cerrno>
#include <cstring>

std::u16string CSaveFailure::Reason(int nError)
{
    switch (nError) {
    case EACCES:
    case EPERM:
        return u"kirjutamisõigus puudub";
    case EROFS:
        return u"failisüsteem on ainult lugemiseks";
    case ENOSPC:
        return u"kettal pole ruumi";
    case ENOENT:
    case ENOTDIR:
        return u"kausta ei ole";
    case EIO:
        return u"sisend-väljundviga";
    default:
        if (IsOutOfQuota(nError))
            return u"kettal pole ruumi";
        return u"süsteemi viga " + Utf8ToUtf16(std::to_string(nError)) + u" (" +
               Utf8ToUtf16(std::strerror(nError)) + u")";
    }
}

std::u16string CSaveFailure::Text(const CDictCatalogue& catalogue)
{
    return u"Faili ei saanud salvestada: " + Utf8ToUtf16(catalogue.GetFailedPath()) +
           u"\nPõhjus: " + Reason(catalogue.GetFailedError()) + u"\nKataloogi \"" +
           catalogue.title + u"\" muudatused jäid salvestamata.";
}

std::u16string CSaveFailure::Question(const CDictCatalogue& catalogue)
{
    return u"Faili ei saanud salvestada: " + Utf8ToUtf16(catalogue.GetFailedPath()) +
           u"\nPõhjus: " + Reason(catalogue.GetFailedError()) +
           u"\n\nKas proovida uuesti või sulgeda aken ilma kataloogi \"" + catalogue.title +
           u"\" muudatusi salvestamata?";
}
