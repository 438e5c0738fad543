// Where the preview's text page marks the find bar's text: every place in
// order, apart, the find bar's case rule, a bounded count.  Expectations
// are the places a reader counts by eye in the lines.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "ui/preview_view.h"

namespace {
using ScriptLines = std::vector<std::u16string>;
using Marks = std::vector<TextMark>;

TEST(PreviewMarks, EveryPlaceInOrderWithTheFindBarsCaseRule) {
    const ScriptLines script = {u"class Scene_Title", u"  @sprite = Sprite.new", u"", u"  # 精灵 SPRITE ｓｐｒｉｔｅ"};
    struct MarksCase {
        const char16_t* text;
        bool matchCase;
        Marks marks;
    };
    const MarksCase cases[] = {
        {u"", false, {}},
        {u"sprite", false, {{1, 3, 6}, {1, 12, 6}, {3, 7, 6}}},
        {u"Sprite", true, {{1, 12, 6}}},
        {u"SPRITE", true, {{3, 7, 6}}},
        {u"ＳＰＲＩＴＥ", false, {{3, 14, 6}}},  // full-width Latin folds as in the list's find
        {u"精灵", true, {{3, 4, 2}}},
        {u"class Scene_Title", false, {{0, 0, 17}}},  // the whole line
        {u"e_Title!", false, {}},                     // longer than what is left
        {u"  ", false, {{1, 0, 2}, {3, 0, 2}}},
        {u"title\n", false, {}},                      // a mark never spans lines
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(FindTextMarks(script, cases[i].text, cases[i].matchCase), cases[i].marks) << "case " << i;
}

TEST(PreviewMarks, MarksDoNotOverlapAndStopAtTheMost) {
    EXPECT_EQ(FindTextMarks({u"aaaaa"}, u"aa", false), (Marks{{0, 0, 2}, {0, 2, 2}}));
    EXPECT_EQ(FindTextMarks({u"abab", u"ab"}, u"aba", false), (Marks{{0, 0, 3}}));
    // Two on each line: the most is reached half-way through a line.
    const ScriptLines many(kMostTextMarks / 2 + 7, u"x.x");
    const Marks marks = FindTextMarks(many, u"x", false);
    ASSERT_EQ(marks.size(), kMostTextMarks);
    EXPECT_EQ(marks.back(), (TextMark{static_cast<int>(kMostTextMarks / 2 - 1), 2, 1}));
    EXPECT_EQ(FindTextMarks(ScriptLines(kMostTextMarks - 1, u"x"), u"x", true).size(), kMostTextMarks - 1);
}
}  // namespace
