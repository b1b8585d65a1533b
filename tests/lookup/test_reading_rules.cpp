// The reading window's rules, without a window: the walk through the words
// looked up before, the zoom steps and the longest word.
#include "history_walk.h"
#include "word_history.h"
#include "word_length.h"
#include "zoom_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{

using Words = std::vector<std::u16string>;

// Takes each key in turn as the word box would, the box showing what the
// walk gives; "*" stands for the list of every word.
std::vector<std::u16string> Keys(CHistoryWalk& walk, const Words& words, std::u16string& box,
                                 const std::u16string& keys)
{
    std::vector<std::u16string> shown;
    for (const char16_t key : keys) {
        switch (walk.Step(words, box, key == u'U', false)) {
        case CHistoryWalk::EStep::None:
            shown.push_back(u"-");
            break;
        case CHistoryWalk::EStep::ListAll:
            shown.push_back(u"*");
            break;
        case CHistoryWalk::EStep::Word:
            box = walk.GetWord();
            shown.push_back(box);
            break;
        }
    }
    return shown;
}

} // namespace

TEST(HistoryWalk, UpGoesBackFromTheEmptyBoxDownComesBackAndTypingEndsTheWalk)
{
    const Words words{u"ma", u"kassikakk", u"maja"};
    CHistoryWalk walk;
    std::u16string box;
    // The oldest word stays at the end; Down past the newest empties the box,
    // and Down in the empty box lists every word.
    EXPECT_EQ(Keys(walk, words, box, u"UUUUDDDD"),
              (Words{u"ma", u"kassikakk", u"maja", u"maja", u"kassikakk", u"ma", u"", u"*"}));
    // A typed word keeps its keys, also one the walk had put there and the
    // user changed.
    box = u"ka";
    EXPECT_EQ(Keys(walk, words, box, u"UD"), (Words{u"-", u"-"}));
    box.clear();
    EXPECT_EQ(Keys(walk, words, box, u"UU"), (Words{u"ma", u"kassikakk"}));
    box += u"s";
    EXPECT_EQ(Keys(walk, words, box, u"U"), (Words{u"-"}));
    // A changed history ends the walk: the word in the box is then the
    // user's, even where the new history holds it at the same place.
    box.clear();
    EXPECT_EQ(Keys(walk, words, box, u"UU"), (Words{u"ma", u"kassikakk"}));
    walk.Reset();
    const Words changed{u"uus", u"kassikakk", u"ma", u"maja"};
    EXPECT_EQ(Keys(walk, changed, box, u"U"), (Words{u"-"}));
    box.clear();
    EXPECT_EQ(Keys(walk, changed, box, u"U"), (Words{u"uus"}));
    // With the box's list open, or nothing looked up yet, the keys are the box's.
    box.clear();
    EXPECT_EQ(walk.Step(words, box, true, true), CHistoryWalk::EStep::None);
    EXPECT_EQ(walk.Step(Words{}, box, true, false), CHistoryWalk::EStep::None);
    EXPECT_EQ(walk.Step(Words{}, box, false, false), CHistoryWalk::EStep::None);
}

TEST(ZoomSteps, StepInOutFromOnAndBetweenTheStepsStoppingAtTheEnds)
{
    EXPECT_DOUBLE_EQ(CZoomSteps::In(CZoomSteps::kNormal), 1.1);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(CZoomSteps::kNormal), 0.9);
    EXPECT_DOUBLE_EQ(CZoomSteps::In(1.1), 1.25);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(0.5), 0.33);
    // Near a step counts as on it; between two, the next one beyond.
    EXPECT_DOUBLE_EQ(CZoomSteps::In(1.097), 1.25);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(1.097), 1.0);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(1.103), 1.0);
    EXPECT_DOUBLE_EQ(CZoomSteps::In(1.17), 1.25);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(1.17), 1.1);
    EXPECT_DOUBLE_EQ(CZoomSteps::In(5.0), 5.0);
    EXPECT_DOUBLE_EQ(CZoomSteps::Out(0.25), 0.25);
    // What a kept zoom may be: nothing the browser cannot show.
    for (const double f : {0.25, 1.0, 5.0, 1.17})
        EXPECT_TRUE(CZoomSteps::IsWithin(f)) << f;
    for (const double f : {0.0, 0.2, 5.01, -1.0, std::nan(""), double(INFINITY)})
        EXPECT_FALSE(CZoomSteps::IsWithin(f)) << f;
}

TEST(WordLength, OneLimitInCharactersForTheLookupAndTheHistory)
{
    EXPECT_EQ(kMaxWordLength, 255u);
    const std::u16string strLongest(kMaxWordLength, u'õ');
    const std::u16string strTooLong(kMaxWordLength + 1, u'a');
    // A character beyond the first plane counts once, though it takes two units.
    std::u16string strAstral;
    for (std::size_t i = 0; i < kMaxWordLength; ++i)
        strAstral += u"𝐀";
    EXPECT_EQ(WordLength(strAstral), kMaxWordLength);
    EXPECT_EQ(WordLength(u"a\xD800"
                         u"b"),
              3u)
        << "a lone surrogate is one character";
    EXPECT_TRUE(IsWithinWordLength(strLongest));
    EXPECT_TRUE(IsWithinWordLength(strAstral));
    EXPECT_FALSE(IsWithinWordLength(strTooLong));
    EXPECT_FALSE(IsWithinWordLength(strAstral + u"a"));
    // The history keeps every word a lookup takes, and no other.
    CWordHistory history("");
    EXPECT_TRUE(history.AddLater(strLongest));
    EXPECT_TRUE(history.AddLater(strAstral));
    EXPECT_FALSE(history.AddLater(strTooLong));
    EXPECT_FALSE(history.AddLater(strAstral + u"a"));
    EXPECT_EQ(history.GetWords(), (Words{strAstral, strLongest}));
}
