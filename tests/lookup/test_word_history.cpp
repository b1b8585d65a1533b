// The words looked up, kept for completion in a file of the user's own.
#include "utf_text.h"
#include "word_history.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace
{

using Words = std::vector<std::u16string>;

struct TempFolder {
    TempFolder()
    {
        char szTemplate[] = "/tmp/qb-history-XXXXXX";
        strPath = ::mkdtemp(szTemplate);
    }
    ~TempFolder() { std::system(("rm -rf '" + strPath + "'").c_str()); }
    std::string strPath;
};

std::string FileText(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(WordHistory, NewestFirstEachOnceAtMost500SharedThroughTheFile)
{
    TempFolder tmp;
    // The folder is made on the first save.
    const std::string strPath = tmp.strPath + "/data/quillbridge/history.txt";
    CWordHistory history(strPath);
    history.Load();
    EXPECT_TRUE(history.GetWords().empty());
    for (const char16_t* pszWord : {u"kass", u"maja", u"õun puu", u"kass"})
        EXPECT_TRUE(history.Add(pszWord));
    EXPECT_EQ(history.GetWords(), (Words{u"kass", u"õun puu", u"maja"}));
    EXPECT_EQ(FileText(strPath), "kass\nõun puu\nmaja\n");
    // Not words of one line: nothing changes.
    for (const std::u16string& word :
         Words{u"", u"  ", u"a\nb", u"a\rb", std::u16string(u"a\0b", 3),
               std::u16string(CWordHistory::kMaxWordLength + 1, u'x')})
        EXPECT_FALSE(history.Add(word));
    EXPECT_EQ(history.GetWords().size(), 3u);

    // A second window, open beside the first, adds to what the first saved.
    CWordHistory other(strPath);
    other.Load();
    EXPECT_TRUE(other.Add(u"koer"));
    EXPECT_TRUE(history.Add(u"hiir"));
    EXPECT_EQ(history.GetWords(), (Words{u"hiir", u"koer", u"kass", u"õun puu", u"maja"}));

    for (int i = 0; i < 600; ++i)
        history.Add(Utf8ToUtf16(std::string("s").append(std::to_string(i))));
    ASSERT_EQ(history.GetWords().size(), CWordHistory::kMaxWords);
    EXPECT_EQ(history.GetWords().front(), u"s599");
    EXPECT_EQ(history.GetWords().back(), u"s100");

    EXPECT_TRUE(history.Clear());
    EXPECT_EQ(FileText(strPath), "");
    other.Load();
    EXPECT_TRUE(other.GetWords().empty());
}

TEST(WordHistory, AFileFromElsewhereIsReadCarefullyAndAnUnwritableOneKeepsNothing)
{
    TempFolder tmp;
    const std::string strPath = tmp.strPath + "/history.txt";
    std::string text = "maja\r\n\n  \nkass\nmaja\n\xff\xfe\n" +
                       std::string(CWordHistory::kMaxWordLength + 5, 'y') + "\n";
    for (int i = 0; i < 700; ++i)
        text.append("w").append(std::to_string(i)).append("\n");
    std::ofstream(strPath, std::ios::binary) << text;
    CWordHistory history(strPath);
    history.Load();
    ASSERT_EQ(history.GetWords().size(), CWordHistory::kMaxWords);
    EXPECT_EQ(history.GetWords()[0], u"maja");
    EXPECT_EQ(history.GetWords()[1], u"kass");
    EXPECT_EQ(history.GetWords()[2], u"\uFFFD\uFFFD");
    EXPECT_EQ(history.GetWords()[3], u"w0");

    // A folder that is a file: nothing can be written there, not even by root.
    std::ofstream(tmp.strPath + "/file") << "x";
    CWordHistory unwritable(tmp.strPath + "/file/history.txt");
    unwritable.Load();
    EXPECT_FALSE(unwritable.Add(u"kass"));
    EXPECT_EQ(unwritable.GetWords(), Words{u"kass"}) << "still offered in this window";
    EXPECT_FALSE(unwritable.Add(u"maja"));
    EXPECT_EQ(unwritable.GetWords(), (Words{u"maja", u"kass"}));

    ::setenv("XDG_DATA_HOME", tmp.strPath.c_str(), 1);
    EXPECT_EQ(CWordHistory::DefaultPath(), tmp.strPath + "/quillbridge/history.txt");
    ::unsetenv("XDG_DATA_HOME");
}
