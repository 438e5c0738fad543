// Find, path reading, the reverse-link index and the history over small
// documents written byte by byte.
#include <atomic>
#include <deque>

#include "present/find_rows.h"
#include "present/holder_index.h"
#include "present/node_location.h"
#include "present/path_parse.h"
#include "present/reference_index.h"
#include "present/viewer_document.h"
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"
#include "ui/headless/headless_nav.h"
#include "ui/history.h"
#include "ui/navigate.h"

using namespace mb;

namespace {
// Objects: 0 top, 1 "Apple pie", 2 hash, 3 "ＲＰＧ工具", 4 obj, 5 "名字", 6 hashdef,
// 7 'C', 8 its array, 9 'U', 10 its array, 11 'I' array, 12 its "v".
std::string MixedDocument() {
    return Dump(Arr({
        Str("Apple pie"),                                                     // data0[0]
        Hash({{Sym("key"), Str("ＲＰＧ工具")}, {Int(7), Link(1)}}),            // data0[1]
        Obj(Sym("Hero"), {{Sym("@name"), Str("名字")}, {Sym("@a.b"), Int(3)}, {Sym("@a"), Nil()}}),  // data0[2]
        HashDef({{Int(1), Int(2)}}, Link(4)),                                 // data0[3]
        UserClass(Sym("List"), Arr({Int(10), Int(11)})),                      // data0[4]
        UserMarshal(Sym("Mar"), Arr({Str("apple")})),                         // data0[5]
        Ivar(Arr({Int(1)}), {{Sym("@iv"), Str("v")}}),                        // data0[6]
        Link(12),                                                             // data0[7]
    }));
}
}  // namespace

class FindPathTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_EQ(Open(MixedDocument()), 0);
        ASSERT_TRUE(holders_.Build(&DocumentRoot));
    }
    // The paths of the hits, in order.
    std::vector<std::string> Find(const std::u16string& text, unsigned columns = kFindAllColumns, bool matchCase = false) {
        std::vector<std::string> paths;
        FindQuery query{text, columns, matchCase};
        FindRows(&DocumentRoot, holders_, query, [&](const FindHit& hit) {
            std::u16string path;
            holders_.AppendPath(path, hit.child);
            paths.push_back(U8(path));
            return true;
        });
        return paths;
    }
    std::string Resolved(const std::string& path) {
        PathTarget target;
        if (!ResolveAccessPath(U16(path), &DocumentRoot, target)) return "error: " + U8(target.error);
        std::u16string back;
        holders_.AppendPath(back, target.node);
        return U8(back);
    }
    HolderIndex holders_;
};

TEST_F(FindPathTest, FindMatchesTheListTextsInDocumentOrder) {
    struct Case {
        std::u16string text;
        unsigned columns;
        bool matchCase;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        // Tree order: data0's rows (containers first), then each container's.
        {u"apple", kFindAllColumns, false, {"data0[0]", "data0[5].marshal_dump[0]"}},
        {u"Apple", kFindAllColumns, true, {"data0[0]"}},
        {u"APPLE", kFindAllColumns, true, {}},
        {u"ｒｐｇ", kFindAllColumns, false, {"data0[1].values[0]"}},      // full-width, folded
        {u"rpg", kFindAllColumns, false, {}},                              // no width folding
        {u"工具", kFindValue, false, {"data0[1].values[0]"}},
        {u"名字", kFindName, false, {}},
        {u"哈希表", kFindType, false, {"data0[1]", "data0[3]"}},
        {u"哈希表", kFindName | kFindValue, false, {}},
        {u"hero", kFindValue, false, {"data0[2]"}},
        {u"a.b", kFindName, false, {"data0[2].a.b"}},
        {u"data0[0]", kFindValue, false, {"data0[1].values[1]"}},         // a link's target path
        {u"data0[2]", kFindValue, false, {"data0[3].default"}},
        {u"", kFindAllColumns, false, {}},
        {u"nothing like this", kFindAllColumns, false, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Find(c.text, c.columns, c.matchCase), c.paths) << U8(c.text);
    // A link to a value held by a wrapper shows no path, and none is found.
    EXPECT_EQ(Find(u"data0[6]", kFindValue), std::vector<std::string>{});
}

// A link row's value is one text wherever it is read: the list's cell (which
// the copy commands and quarnix-dump print) and the find's.  Expectations
// are read off the document above; the second round follows a reopen, so a
// node-location index kept from the old tree would show.
TEST_F(FindPathTest, ALinkShowsTheSameTextInTheListAndTheFind) {
    struct Case {
        const char* link;
        const char* text;
    };
    const Case cases[] = {
        {"data0[1].values[1]", "data0[0]"},
        {"data0[3].default", "data0[2]"},
        {"data0[7]", ""},  // the target is held by the 'I' wrapper: no row to name
    };
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            PathTarget at;
            ASSERT_TRUE(ResolveAccessPath(U16(c.link), &DocumentRoot, at)) << c.link;
            ASSERT_EQ(at.node->type, '@') << c.link;
            const std::int64_t position = ChildIndexOf(at.holder, at.node);
            EXPECT_EQ(U8(ChildRowCell(at.holder, position, 2)), c.text) << c.link << " round " << round;
            RowTexts texts;
            GetRowTexts(at.holder, position, holders_, texts, kFindValue);
            EXPECT_EQ(U8(texts.value), c.text) << c.link << " round " << round;
        }
        // Objects: 0 top, 1 "x", 2 the inner array holding a link to 1.
        ASSERT_EQ(Open(Dump(Arr({Str("x"), Arr({Link(1)})}))), 0);
        const MarshalNode* inner = ChildAt(ChildAt(&DocumentRoot, 0), 1);
        EXPECT_EQ(U8(ChildRowCell(inner, 0, 2)), "data0[0]");
        ASSERT_EQ(Open(MixedDocument()), 0);
        ASSERT_TRUE(holders_.Build(&DocumentRoot));
    }
}

// Case folding at the ends of the ranges of letters, ASCII and full-width,
// and matches at either end of the text.  Needles are given folded, as
// the find bar folds what the user typed.
TEST(FindText, LettersFoldAtTheEndsOfTheirRanges) {
    struct MatchCase {
        std::u16string text, needle;
        bool matches;
    };
    const MatchCase cases[] = {
        {u"A", u"a", true}, {u"Z", u"z", true}, {u"@", u"`", false}, {u"[", u"{", false},
        {u"Ａ", u"ａ", true}, {u"Ｚ", u"ｚ", true}, {u"＠", u"｀", false}, {u"［", u"｛", false},
        {u"xyＺ", u"yｚ", true}, {u"Ｚxy", u"ｚx", true}, {u"ab", u"abc", false}, {u"abc", u"", false},
        {u"ABC", u"abc", true}, {u"xABC", u"abc", true}, {u"ABCx", u"abc", true}, {u"ABxC", u"abc", false},
    };
    for (const MatchCase& c : cases) EXPECT_EQ(TextMatches(c.text, c.needle, false), c.matches) << U8(c.text) << " / " << U8(c.needle);
    EXPECT_FALSE(TextMatches(u"Ｚ", u"ｚ", true));
    EXPECT_TRUE(TextMatches(u"xＺ", u"Ｚ", true));
}

TEST_F(FindPathTest, FindStopsOnCancelAndOnRequest) {
    std::atomic<bool> cancel{true};
    int hits = 0;
    // Cancel is polled every few thousand rows: a huge array is needed.
    std::string many = "[" + Packed(20000);
    for (int i = 0; i < 20000; ++i) many += Int(1);
    ASSERT_EQ(Open(Dump(many)), 0);
    ASSERT_TRUE(holders_.Build(&DocumentRoot));
    EXPECT_FALSE(FindRows(&DocumentRoot, holders_, {u"1"}, [&](const FindHit&) { return ++hits, true; }, &cancel));
    EXPECT_LT(hits, 20000);
    hits = 0;
    EXPECT_FALSE(FindRows(&DocumentRoot, holders_, {u"1"}, [&](const FindHit&) { return ++hits < 3; }));
    EXPECT_EQ(hits, 3);
}

TEST_F(FindPathTest, PathsResolveForEveryContainerKind) {
    const char* paths[] = {
        "data0", "data0[0]", "data0[1].keys[0]", "data0[1].values[1]", "data0[2].name", "data0[2].a.b", "data0[2].a",
        "data0[3].default", "data0[3].keys[0]", "data0[3].values[0]", "data0[4]", "data0[4][1]",
        "data0[5].marshal_dump", "data0[5].marshal_dump[0]", "data0[6]", "data0[6][0]", "data0[6].iv",
    };
    for (const char* p : paths) EXPECT_EQ(Resolved(p), p);
    struct Alias {
        const char* typed;
        const char* path;
    };
    const Alias aliases[] = {
        {"路径: data0[2].name", "data0[2].name"},
        {"  data0[2].@name \n", "data0[2].name"},   // an instance variable with its '@'
        {"data0[6].@iv", "data0[6].iv"},
        {"", ""},
    };
    for (const Alias& a : aliases) EXPECT_EQ(Resolved(a.typed), a.path) << a.typed;
}

TEST_F(FindPathTest, BadPathsSayWhichStepIsMissing) {
    struct Case {
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"data9", "文件中没有 data9"},
        {"nonsense", "文件中没有 nonsense"},
        {"data0[8]", "data0 没有 [8]"},
        {"data0[2].nome", "data0[2] 没有 nome"},
        {"data0[2].names", "data0[2] 没有 names"},
        {"data0[2].name[0]", "data0[2].name 没有 [0]"},
        {"data0[1].keys[2]", "data0[1] 没有 keys[2]"},
        {"data0[1].default", "data0[1] 没有 default"},
        {"data0[4][2].x", "data0[4] 没有 [2]"},
        {"data0[0x1]", "data0 没有 [0x1]"},
        {"data0[99999999999]", "data0 没有 [99999999999]"},
    };
    for (const Case& c : cases) EXPECT_EQ(Resolved(c.path), std::string("error: ") + c.error) << c.path;
}

TEST_F(FindPathTest, HistoryStepsAndDropsWhatLiesAhead) {
    const MarshalNode a{}, b{}, c{}, d{};
    NavigationHistory history;
    EXPECT_FALSE(history.CanGoBack());
    history.Record({&a, nullptr});
    history.Record({&a, nullptr});  // where the user already is
    history.Record({&b, &c});
    history.Record({&c, nullptr});
    EXPECT_EQ(history.Size(), 3u);
    EXPECT_EQ(history.Back(), (ViewPosition{&b, &c}));
    EXPECT_EQ(history.Back(), (ViewPosition{&a, nullptr}));
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Forward(), (ViewPosition{&b, &c}));
    history.Record({&d, nullptr});  // elsewhere: c is gone
    history.ReplaceCurrent({&d, &a});  // another row of the same place
    EXPECT_EQ(*history.Current(), (ViewPosition{&d, &a}));
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(), (ViewPosition{&b, &c}));
    EXPECT_EQ(history.Back(), (ViewPosition{&a, nullptr}));
    for (std::size_t i = 0; i < NavigationHistory::kMaxEntries + 5; ++i)
        history.Record({i % 2 ? &a : &b, reinterpret_cast<const MarshalNode*>(i + 1)});
    EXPECT_EQ(history.Size(), NavigationHistory::kMaxEntries);
    history.Clear();
    EXPECT_FALSE(history.CanGoBack() || history.CanGoForward());
}

TEST_F(FindPathTest, ShowPositionSelectsTheRowInItsContainer) {
    PathTarget target;
    ASSERT_TRUE(ResolveAccessPath(u"data0[4][1]", &DocumentRoot, target));
    ASSERT_TRUE(ShowPosition(holders_, {target.holder, target.node}));
    EXPECT_EQ(CaretText(), ".");  // the array the 'C' wrapper holds
    EXPECT_EQ(SelectedRows(), std::vector<int>{RowNamed("1")});
    EXPECT_EQ(HeadlessShownRow(), RowNamed("1"));
    EXPECT_EQ(Status(), "路径: data0[4][1]");
    EXPECT_EQ(PositionPath(holders_, CurrentPosition()), u"data0[4][1]");
}

TEST_F(FindPathTest, ReferenceIndexListsTheLinksToAValue) {
    ReferenceIndex references;
    ASSERT_TRUE(references.Build(&DocumentRoot));
    EXPECT_EQ(references.LinkCount(), 3u);
    PathTarget apple, hero, inner;
    ASSERT_TRUE(ResolveAccessPath(u"data0[0]", &DocumentRoot, apple));
    ASSERT_TRUE(ResolveAccessPath(u"data0[2]", &DocumentRoot, hero));
    ASSERT_TRUE(ResolveAccessPath(u"data0[2].name", &DocumentRoot, inner));
    ASSERT_EQ(references.LinksTo(apple.node).size(), 1u);
    std::u16string path;
    holders_.AppendPath(path, references.LinksTo(apple.node)[0]);
    EXPECT_EQ(U8(path), "data0[1].values[1]");
    EXPECT_EQ(references.LinksTo(hero.node).size(), 1u);
    EXPECT_TRUE(references.LinksTo(inner.node).empty());
}
