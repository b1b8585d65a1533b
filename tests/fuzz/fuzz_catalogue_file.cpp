// libFuzzer target: any bytes as a catalogue file. Reading never fails other
// than by the end-of-data exception, and what was read writes back to a file
// that reads back the same.
#include "dict_catalogue.h"
#include "file_exception.h"
#include "memory_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

CDictCatalogue Read(const std::string& bytes, int& nResult)
{
    CDictCatalogue catalogue(u"", u"", 0);
    CMemoryFile file(bytes);
    try {
        nResult = catalogue.ReadFrom(file);
    } catch (const CFileException&) {
        nResult = 0; // the normal end of a file: no end record
    }
    return catalogue;
}

void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    int nResult = 0;
    const CDictCatalogue read = Read(bytes, nResult);
    Require(nResult == (nSize < 4 ? -1 : 0));
    for (const CDictEntry& entry : read.entries)
        Require(!entry.name.empty() && !entry.encoding.empty() && !entry.programUrl.empty());

    CDictCatalogue copy = read;
    CMemoryFile written;
    Require(copy.WriteTo(written) == 0);
    int nAgain = 0;
    const CDictCatalogue reread = Read(written.GetData(), nAgain);
    Require(nAgain == 0);
    Require(reread.selection == read.selection);
    Require(reread.entries == read.entries);
    // Nothing is made up or changed: the written file is the beginning of the
    // one read, up to its last complete entry.
    if (nSize >= 4)
        Require(bytes.compare(0, written.GetData().size(), written.GetData()) == 0);
    return 0;
}
