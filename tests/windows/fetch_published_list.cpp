// Fetches a published list through the download's WinINet client, as the
// selection dialog does, and prints what came: one line per entry (name,
// encoding, address, tab-separated), or "error NUMBER: TEXT". Its own module
// name is the agent, as the library's is for the library.
//
//   fetch_published_list FILENAME [MAX_BYTES IDLE_MS DEADLINE_MS]
#include "catalogue_download.h"
#include "internet_exception.h"
#include "utf_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 5) {
        std::fputs("usage: fetch_published_list FILENAME [MAX_BYTES IDLE_MS DEADLINE_MS]\n",
                   stderr);
        return 2;
    }
    CDownloadLimits limits;
    if (argc == 5) {
        limits.nMaxBytes = std::atoll(argv[2]);
        limits.nIdleTimeoutMs = std::atoi(argv[3]);
        limits.nDeadlineMs = std::atoi(argv[4]);
    }
    try {
        const CDictCatalogue list = FetchPublishedCatalogue(Utf8ToUtf16(argv[1]), limits);
        for (const CDictEntry& entry : list.entries)
            std::printf("%s\t%s\t%s\n", Utf16ToUtf8(entry.name).c_str(),
                        Utf16ToUtf8(entry.encoding).c_str(), Utf16ToUtf8(entry.programUrl).c_str());
    } catch (const CInternetException& e) {
        std::printf("error %lu: %s\n", e.m_dwError, Utf16ToUtf8(e.GetErrorMessage()).c_str());
    }
    return 0;
}
