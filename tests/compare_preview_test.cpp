// What the preview shows of the current difference while a comparison is
// shown (ui/compare_preview.h), stepping with F8 through the pairs of
// tests/data/diff/ruby18/ (make_diff_fixtures.rb, read by hand):
//   map:     @data: (1, 2, 1) 121 -> 777 and (3, 0, 1) 103 -> -1 (100z + 10y + x);
//            event 1's page [101 早上好, 401, 121, 102, 106 20, 0] becomes
//            [101 早上好啊, 401, 106 40, 121, 102, 106 20, 0]
//   scripts: line 3's 9999999 -> 99999999 in a script of five lines
//   values:  Color(255, 128, 0, 255) -> alpha 128; "a\0b" -> "a\0c"
//   items:   item 3 added; item 2's name 高级药水 -> 超级药水
#include <zlib.h>

#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"
#include "ui/compare_controller.h"
#include "ui/compare_preview.h"
#include "ui/window_commands.h"

namespace {
std::string Pair(const std::string& name, const char* side) {
    return std::string(QUARNIX_TEST_DATA) + "/diff/ruby18/" + name + "_" + side + ".rxdata";
}

// A line as kind and both numbers: "-3/0", "+0/3", "=2/2".
std::string Shape(const CompareLine& line) {
    const char kind = line.kind == CompareLineKind::kRemoved ? '-' : line.kind == CompareLineKind::kAdded ? '+' : '=';
    return kind + std::to_string(line.oldNumber) + "/" + std::to_string(line.newNumber);
}

class ComparePreviewTest : public ViewerTest {
protected:
    void OpenPair(const std::string& name) { ComparePaths(Pair(name, "old"), Pair(name, "new")); }
    void ComparePaths(const std::string& old, const std::string& now) {
        ASSERT_EQ(OpenPath(now), 0);
        PanesRunEvents();
        PanesQueueOpenAnswer(U16(old));
        ASSERT_TRUE(RunWindowCommand(kCompareCommand));
        for (int i = 0; i < 1000 && ActiveCompare()->Running(); ++i) PanesRunEvents();
        PanesRunEvents();
        ASSERT_TRUE(ActiveCompare()->Active());
    }
    // F8, then what the preview shows of where it went.
    const StoredDifference* Next() {
        EXPECT_TRUE(RunWindowCommand(kNextDifferenceCommand));
        PanesRunEvents();
        return CurrentPreviewDifference(CurrentPreviewTarget());
    }
    static std::vector<std::string> Shapes(const CompareView& view) {
        std::vector<std::string> shapes;
        for (const CompareLine& line : view.lines) shapes.push_back(Shape(line));
        return shapes;
    }
};
}  // namespace

TEST_F(ComparePreviewTest, EachDifferenceOfTheMapShowsBothSides) {
    OpenPair("map");
    using S = std::vector<std::string>;
    struct Step {
        ComparePage page;
        S shapes;         // lines as kind and numbers; empty for the table
        int focus;        // the line brought into sight
        const char* has;  // a text the focused line holds
    };
    // Old page lines 1..6, new 1..7: line 1's text changed, new line 3 inserted.
    const S page{"-1/0", "+0/1", "=2/2", "+0/3", "=3/4", "=4/5", "=5/6", "=6/7"};
    const Step steps[] = {
        {ComparePage::kTable, {}, -1, ""},
        {ComparePage::kLines, {}, 0, "商人"},  // event 3 added: new lines only
        {ComparePage::kLines, {}, 0, "旅人"},  // event 4 removed: old lines only
        {ComparePage::kLines, {"-1/0", "+0/1"}, 0, "7"},
        {ComparePage::kLines, {"-1/0", "+0/1"}, 0, "1"},
        {ComparePage::kLines, page, 3, ""},     // the inserted command
        {ComparePage::kLines, page, 0, "早上好"},  // line 1's text, its old line first
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i + 1);
        const Step& step = steps[i];
        const StoredDifference* d = Next();
        ASSERT_NE(d, nullptr);
        const CompareView view = MakeCompareView(*d);
        EXPECT_EQ(view.page, step.page);
        if (!step.shapes.empty()) {
            EXPECT_EQ(Shapes(view), step.shapes);
        }
        if (step.page == ComparePage::kLines) {
            ASSERT_EQ(view.focus, step.focus);
            // A whole event's name somewhere in its reading; else on the focused line.
            std::string text = U8(view.lines[static_cast<std::size_t>(view.focus)].text);
            if (i == 1 || i == 2)
                for (const CompareLine& line : view.lines) text += U8(line.text);
            EXPECT_NE(text.find(step.has), std::string::npos) << text;
        }
        if (i == 1 || i == 2) {  // a whole event: every line on one side
            const CompareLineKind kind = i == 1 ? CompareLineKind::kAdded : CompareLineKind::kRemoved;
            for (const CompareLine& line : view.lines) EXPECT_EQ(line.kind, kind);
        }
    }
    // The page's changed first line: the old text removed, the new added.
    const CompareView last = MakeCompareView(*CurrentPreviewDifference(CurrentPreviewTarget()));
    EXPECT_EQ(U8(last.lines[0].text).find("早上好啊"), std::string::npos);
    EXPECT_NE(U8(last.lines[1].text).find("早上好啊"), std::string::npos);
}

TEST_F(ComparePreviewTest, TheTableShowsItsChangedCellsAndTheirHeatMap) {
    OpenPair("map");
    const CompareView view = MakeCompareView(*Next());
    ASSERT_EQ(view.page, ComparePage::kTable);
    EXPECT_EQ(view.layer, 1);  // layer 0 holds no change
    EXPECT_EQ(view.changedCells, 2);
    EXPECT_TRUE(U8(view.header).ends_with("表格：2 个格子不同"));
    struct Cell {
        int x, y, z;
        bool changed;
        int before, after;
    };
    for (const Cell& c : {Cell{1, 2, 1, true, 121, 777}, Cell{3, 0, 1, true, 103, -1}, Cell{1, 2, 0, false, 21, 21},
                          Cell{0, 0, 1, false, 100, 100}}) {
        EXPECT_EQ(CellChanged(view.before, view.after, c.x, c.y, c.z), c.changed) << c.x << c.y << c.z;
        EXPECT_EQ(view.before.At(c.x, c.y, c.z), c.before);
        EXPECT_EQ(view.after.At(c.x, c.y, c.z), c.after);
    }
    // The 4 x 3 layer's picture: the two changed cells red, no other.
    const PreviewPicture heat = ChangeHeatMap(view.before, view.after, 1);
    ASSERT_EQ(heat.width, 4);
    ASSERT_EQ(heat.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool red = heat.pixels[static_cast<std::size_t>(y * 4 + x)] == 0xffff3030u;
            EXPECT_EQ(red, (x == 1 && y == 2) || (x == 3 && y == 0)) << x << "," << y;
        }
    for (std::uint32_t pixel : ChangeHeatMap(view.before, view.after, 0).pixels) EXPECT_NE(pixel, 0xffff3030u);
}

TEST_F(ComparePreviewTest, ScriptsColoursStringsAndItemsShowTheirOwnWay) {
    struct Case {
        const char* pair;
        int steps;  // F8 presses to the difference
        ComparePage page;
        std::vector<std::string> shapes;
        std::vector<std::string> texts;  // of the changed lines, in order
    };
    const Case cases[] = {
        // The changed line with the lines around it, both numbers.
        {"scripts", 1, ComparePage::kLines, {"=1/1", "=2/2", "-3/0", "+0/3", "=4/4", "=5/5"},
         {"    @gold = [[@gold + n, 0].max, 9999999].min", "    @gold = [[@gold + n, 0].max, 99999999].min"}},
        {"values", 1, ComparePage::kSwatches, {}, {}},
        {"values", 2, ComparePage::kLines, {"-1/0", "+0/1"}, {}},
        {"items", 1, ComparePage::kLines, {}, {}},  // item 3 added
        {"items", 2, ComparePage::kLines, {"-1/0", "+0/1"}, {"高级药水", "超级药水"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pair) + " " + std::to_string(c.steps));
        OpenPair(c.pair);
        const StoredDifference* d = nullptr;
        for (int i = 0; i < c.steps; ++i) d = Next();
        ASSERT_NE(d, nullptr);
        const CompareView view = MakeCompareView(*d);
        EXPECT_EQ(view.page, c.page);
        std::vector<std::string> shapes = Shapes(view), texts;
        shapes.resize(std::min(shapes.size(), c.shapes.size()));  // a script's empty last line aside
        if (!c.shapes.empty()) {
            EXPECT_EQ(shapes, c.shapes);
        }
        for (const CompareLine& line : view.lines)
            if (line.kind != CompareLineKind::kSame) texts.push_back(U8(line.text));
        if (!c.texts.empty()) {
            EXPECT_EQ(texts, c.texts);
        }
        if (c.page == ComparePage::kSwatches) {
            EXPECT_EQ((std::vector<int>{view.oldSwatch.red, view.oldSwatch.green, view.oldSwatch.blue, view.oldSwatch.alpha}),
                      (std::vector<int>{255, 128, 0, 255}));
            EXPECT_EQ(view.newSwatch.alpha, 128);
        }
        if (std::string(c.pair) == "items" && c.steps == 1) {
            for (const CompareLine& line : view.lines) EXPECT_EQ(line.kind, CompareLineKind::kAdded);
        }
        if (std::string(c.pair) == "values" && c.steps == 2) {
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_NE(texts[0], texts[1]);
        }
    }
}

TEST_F(ComparePreviewTest, TheSelectedRowOrNoComparisonDecidesWhatIsShown) {
    OpenPair("items");
    // Item 2's rows, no F8: the name's row is a difference, the price's not.
    TreeSelectItem(TreeNextItem(Child(TreeChildItem(TreeRootItem()), "1")));
    PanesRunEvents();
    struct Row {
        const char* name;
        bool difference;
    };
    for (const Row& r : {Row{"name", true}, Row{"price", false}}) {
        PanesClickRow(RowNamed(r.name));
        PanesRunEvents();
        EXPECT_EQ(CurrentPreviewDifference(CurrentPreviewTarget()) != nullptr, r.difference) << r.name;
    }
    PanesClickRow(RowNamed("name"));
    ASSERT_TRUE(RunWindowCommand(kEndCompareCommand));
    PanesRunEvents();
    EXPECT_EQ(CurrentPreviewDifference(CurrentPreviewTarget()), nullptr);
    // Event 1's page list, no F8: each command's row is its own difference,
    // the inserted one's or the one whose text changed.
    OpenPair("map");
    TreeItem item = TreeRootItem();
    for (const char* name : {"0 (7)", "events (6)", "值2 (2)", "pages (2)", "0 (2)", "list (2)"}) {
        TreeExpandItem(item);
        item = Child(item, name);
        ASSERT_NE(item, nullptr) << name;
    }
    TreeSelectItem(item);
    PanesRunEvents();
    struct Command {
        const char* row;
        DiffOp op;
    };
    for (const Command& c : {Command{"0", DiffOp::kChanged}, Command{"2", DiffOp::kAdded}}) {
        PanesClickRow(RowNamed(c.row));
        PanesRunEvents();
        const StoredDifference* d = CurrentPreviewDifference(CurrentPreviewTarget());
        ASSERT_NE(d, nullptr) << c.row;
        EXPECT_EQ(d->op, c.op) << c.row;
    }
}

// A script of 25 lines ("line 1" ...) with lines 5 and 20 edited: three
// unchanged lines kept on either side of each, the gap between as "…".
TEST_F(ComparePreviewTest, AScriptKeepsThreeLinesAroundEachChange) {
    auto script = [](bool edited) {
        std::string source;
        for (int n = 1; n <= 25; ++n)
            source += "line " + std::to_string(n) + (edited && (n == 5 || n == 20) ? " edited" : "") + "\n";
        std::string packed(compressBound(static_cast<uLong>(source.size())), '\0');
        uLongf size = static_cast<uLongf>(packed.size());
        compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(source.data()),
                  static_cast<uLong>(source.size()), Z_BEST_COMPRESSION);
        packed.resize(size);
        return mb::Dump(mb::Arr({mb::Str(packed)}));
    };
    WriteFileBytes(ScratchDir() + "old.rxdata", script(false));
    WriteFileBytes(ScratchDir() + "new.rxdata", script(true));
    ComparePaths(ScratchDir() + "old.rxdata", ScratchDir() + "new.rxdata");
    const CompareView view = MakeCompareView(*Next());
    EXPECT_TRUE(view.ruby);
    EXPECT_EQ(Shapes(view), (std::vector<std::string>{"=2/2", "=3/3", "=4/4", "-5/0", "+0/5", "=6/6", "=7/7", "=8/8",
                                                       "=0/0", "=17/17", "=18/18", "=19/19", "-20/0", "+0/20", "=21/21",
                                                       "=22/22", "=23/23"}));
    EXPECT_EQ(U8(view.lines[8].text), "…");
    EXPECT_EQ(view.focus, 3);
}

TEST(CompareLineTextTest, NumbersAlignedAndTheMarker) {
    struct Case {
        CompareLine line;
        int width;
        const char* text;
    };
    const Case cases[] = {
        {{CompareLineKind::kRemoved, 3, 0, u"x"}, 2, " 3    - x"},
        {{CompareLineKind::kAdded, 0, 12, u"新"}, 2, "   12 + 新"},
        {{CompareLineKind::kSame, 9, 10, u""}, 2, " 9 10   "},
    };
    for (const Case& c : cases) EXPECT_EQ(U8(CompareLineText(c.line, c.width)), c.text);
    EXPECT_EQ(CompareNumberWidth({cases[0].line, cases[1].line}), 2);
}
