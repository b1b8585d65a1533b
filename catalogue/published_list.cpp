#include "published_list.h"

CDictCatalogue ReadPublishedList(CFile& body)
{
    CDictCatalogue list(u"", u"", 0);
    try {
        list.ReadFrom(body);
    } catch (...) {
        // The normal end of a published file (it has no end record), or a
        // broken transfer: either way the complete entries stay.
    }
    return list;
}
