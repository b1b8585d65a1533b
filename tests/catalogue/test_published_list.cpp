#include "catalogue_bytes.h"
#include "memory_file.h"
#include "published_list.h"

#include <gtest/gtest.h>

namespace
{

std::vector<std::u16string> Names(const CDictCatalogue& list)
{
    std::vector<std::u16string> names;
    for (const CDictEntry& entry : list.entries)
        names.push_back(entry.name);
    return names;
}

const std::string kHeader("\x03\0\0\0", 4);

} // namespace

TEST(PublishedList, BodiesOfEveryShape)
{
    const std::string a = Record(u"Õigekeelsus", u"baltic", u"http://a/");
    const std::string b = Record(u"Vene", u"utf8", u"http://b/");
    const std::string c = Record(u"Saksa", u"western", u"http://c/");
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::u16string> names;
    } cases[] = {
        {"complete list, no end record", kHeader + a + b + c, {u"Õigekeelsus", u"Vene", u"Saksa"}},
        {"third entry with an empty encoding",
         kHeader + a + b + Record(u"X", u"", u"x") + c,
         {u"Õigekeelsus", u"Vene"}},
        {"cut inside the second string of an entry",
         kHeader + a + b + Str(u"Saksa") + "w\0e",
         {u"Õigekeelsus", u"Vene"}},
        {"two entries of one name", kHeader + a + a, {u"Õigekeelsus", u"Õigekeelsus"}},
        {"empty body", "", {}},
        {"header only", kHeader, {}},
        {"an error page", "<html><body>404 Not Found</body></html>", {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        CMemoryFile body(test.body);
        const CDictCatalogue list = ReadPublishedList(body);
        EXPECT_EQ(Names(list), test.names);
        EXPECT_EQ(list.fixedCount, 0);
        EXPECT_TRUE(list.title.empty());
        EXPECT_TRUE(list.fileName.empty());
    }
}

TEST(PublishedList, PreDictionaryListGetsNoBuiltInEntry)
{
    CMemoryFile body(kHeader + Record(u"Eel", u"utf8", u"http://p/"));
    const CDictCatalogue list = ReadPublishedList(body);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetEntry(0), CDictEntry(u"Eel", u"utf8", u"http://p/"));
}
