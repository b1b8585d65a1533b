// libFuzzer target: any bytes as the body of a downloaded list. Every entry
// offered has its three fields, none is hidden or added, and the entries
// published again read back the same.
#include "dict_catalogue.h"
#include "memory_file.h"
#include "navigable_address.h"
#include "published_list.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CMemoryFile body(std::string(reinterpret_cast<const char*>(pData), nSize));
    const CDictCatalogue list = ReadPublishedList(body);
    Require(list.fixedCount == 0 && list.title.empty() && list.fileName.empty());
    for (const CDictEntry& entry : list.entries) {
        Require(!entry.name.empty() && !entry.encoding.empty() && !entry.programUrl.empty());
        // The rule the selection dialog applies to every offered address.
        static_cast<void>(IsNavigableAddress(entry.programUrl));
    }
    CDictCatalogue copy = list;
    CMemoryFile republished;
    copy.WriteTo(republished);
    CMemoryFile again(republished.GetData());
    Require(ReadPublishedList(again).entries == list.entries);
    return 0;
}
