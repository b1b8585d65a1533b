#include "command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace
{

std::optional<CCommandLine> Parse(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv{"quillbridge"};
    argv.insert(argv.end(), args);
    return CCommandLine::Parse(static_cast<int>(argv.size()), argv.data());
}

} // namespace

// Options come alone, a word at most once; after "--" anything is the word.
TEST(command_line, takes_one_option_or_one_word_and_after_two_hyphens_any_word)
{
    using EMode = CCommandLine::EMode;
    const auto none = Parse({});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->mode, EMode::Word);
    EXPECT_FALSE(none->word);
    for (const auto& [pszArg, mode] : {std::pair{"--selection", EMode::Selection},
                                       {"--clipboard", EMode::Clipboard},
                                       {"--version", EMode::Version},
                                       {"--help", EMode::Help}}) {
        const auto line = Parse({pszArg});
        ASSERT_TRUE(line) << pszArg;
        EXPECT_EQ(line->mode, mode) << pszArg;
        EXPECT_FALSE(line->word) << pszArg;
    }
    EXPECT_EQ(Parse({"kass"})->word, "kass");
    // A lone hyphen is a word, not an option.
    EXPECT_EQ(Parse({"-"})->word, "-");
    EXPECT_EQ(Parse({"--", "-ism"})->word, "-ism");
    EXPECT_EQ(Parse({"--", "--selection"})->mode, EMode::Word);
    EXPECT_EQ(Parse({"--", "--selection"})->word, "--selection");
    EXPECT_EQ(Parse({"--", "--"})->word, "--");
    EXPECT_EQ(Parse({"--"})->word, std::nullopt);

    EXPECT_FALSE(Parse({"-ism"}));
    EXPECT_FALSE(Parse({"--unknown"}));
    EXPECT_FALSE(Parse({"kass", "koer"}));
    EXPECT_FALSE(Parse({"--", "kass", "koer"}));
    EXPECT_FALSE(Parse({"--selection", "kass"}));
    EXPECT_FALSE(Parse({"--selection", "--clipboard"}));
}
