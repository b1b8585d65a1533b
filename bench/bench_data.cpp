#include "bench_data.h"

#include "memory_file.h"

CDictCatalogue MakeBenchCatalogue(int nEntries)
{
    static const char16_t* const kWords[] = {u"Õigekeelsus",     u"Sõnaraamat",    u"Võõrsõnad",
                                             u"Šveitsi žargoon", u"Ööbiku äärmus", u"Üldkeel"};
    static const char16_t* const kEncodings[] = {u"utf8", u"baltic", u"western"};
    CDictCatalogue catalogue(u"", u"", 0);
    for (int i = 0; i < nEntries; ++i) {
        const std::u16string n(1, static_cast<char16_t>(u'A' + i % 26));
        catalogue.AddEntry(
            CDictEntry(kWords[i % 6] + std::u16string(u" ") + n + u"-öäü", kEncodings[i % 3],
                       u"http://sonastik.example.ee/cgi-bin/otsing.cgi?sona=" + n + u"&tyyp=t&q="));
    }
    return catalogue;
}

std::string BenchCatalogueImage(int nEntries)
{
    CMemoryFile image;
    MakeBenchCatalogue(nEntries).WriteTo(image);
    return image.GetData();
}
