#include "catalogue_location.h"
#include "dict_catalogue.h"
#include "save_failure.h"
#include "utf_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

// The causes a user can mend are named in the window's language; any other
// keeps its number and the system's words, so that it can still be looked up.
TEST(save_failure, names_what_the_user_can_mend_and_keeps_the_number_of_the_rest)
{
    const std::pair<int, const char16_t*> named[] = {{EACCES, u"kirjutamisõigus puudub"},
                                                     {EPERM, u"kirjutamisõigus puudub"},
                                                     {EROFS, u"failisüsteem on ainult lugemiseks"},
                                                     {ENOSPC, u"kettal pole ruumi"},
                                                     {EDQUOT, u"kettal pole ruumi"},
                                                     {ENOENT, u"kausta ei ole"},
                                                     {ENOTDIR, u"kausta ei ole"},
                                                     {EIO, u"sisend-väljundviga"}};
    for (const auto& [nError, pszReason] : named)
        EXPECT_EQ(CSaveFailure::Reason(nError), pszReason) << nError;
    EXPECT_EQ(CSaveFailure::Reason(EMLINK), u"süsteemi viga " +
                                                Utf8ToUtf16(std::to_string(EMLINK)) + u" (" +
                                                Utf8ToUtf16(std::strerror(EMLINK)) + u")");
}

// A save that really fails gives the file it aimed at, the reason and the
// catalogue, in both the report and the question at close.
TEST(save_failure, tells_the_file_the_reason_and_the_catalogue_of_a_real_failure)
{
    char templ[] = "/tmp/qb-save-failure-XXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    // A library folder that is gone, and no user folder to fall back on.
    const std::filesystem::path dir = std::filesystem::path(templ) / "gone";
    CDictCatalogue catalogue(u"Sõnastikud", u"dict.kvd", 0);
    catalogue.AddEntry(CDictEntry{u"Demo", u"utf8", u"http://127.0.0.1/?w="});
    const CCatalogueLocation location(dir.string() + "/", "");
    EXPECT_EQ(catalogue.Save(location), -1);
    const std::u16string strFile = Utf8ToUtf16((dir / "dict.kvd").string());
    EXPECT_EQ(CSaveFailure::Text(catalogue),
              u"Faili ei saanud salvestada: " + strFile +
                  u"\nPõhjus: kausta ei ole\nKataloogi \"Sõnastikud\" muudatused jäid "
                  u"salvestamata.");
    EXPECT_EQ(CSaveFailure::Question(catalogue),
              u"Faili ei saanud salvestada: " + strFile +
                  u"\nPõhjus: kausta ei ole\n\nKas proovida uuesti või sulgeda aken ilma "
                  u"kataloogi \"Sõnastikud\" muudatusi salvestamata?");
    std::filesystem::remove_all(templ);
}
