#include "catalogue_download.h"

#include "internet_exception.h"
#include "module_directory.h"
#include "published_list.h"
#include "site_address.h"
#include "utf_text.h"

#include <memory>

CDictCatalogue FetchPublishedCatalogue(const std::u16string& fileName,
                                       const CDownloadLimits& limits)
{
    CInternetSession session(Utf8ToUtf16(ModuleBaseName()));
    std::unique_ptr<CFile> pBody;
    try {
        pBody = session.OpenURL(SiteBaseAddress() + fileName, limits);
    } catch (const CInternetException& e) {
        // The installed site is a folder of this machine: the file is named,
        // not a server.
        const std::string strFolder = InstalledSiteFolder();
        if (strFolder.empty() || e.m_dwError == CInternetException::errorTooLarge ||
            e.m_dwError == CInternetException::errorTimeout)
            throw;
        throw CInternetException(CInternetException::errorInternal,
                                 u"Nimekirja ei saa lugeda: " + Utf8ToUtf16(strFolder) + fileName +
                                     u"\n" + e.GetErrorMessage());
    }
    return ReadPublishedList(*pBody);
}
