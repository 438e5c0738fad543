// The stores behind the panes: texts, sibling order and row lookups.
#include <gtest/gtest.h>

#include "marshal/load.h"
#include "present/viewer_document.h"
#include "tests/marshal_bytes.h"
#include "ui/copy_text.h"
#include "ui/item_store.h"

TEST(TextPool, TextsReadBackAsStoredAcrossChunksAndClears) {
    // Lengths around the pool's chunk of 65,536 units: four texts of a
    // quarter fill one exactly, one unit more is a long text with a chunk of
    // its own, and short texts go on filling around it.
    const std::vector<std::vector<std::size_t>> runs = {
        {0, 2, 1000},
        {16384, 16384, 16384, 16384, 1, 3},
        {16385, 5, 16383, 16384, 16384, 16384, 2},
        {70000, 1, 65536, 65535, 1},
    };
    TextPool pool;
    for (int round = 0; round < 2; ++round) {  // the second time after a Clear
        for (const auto& lengths : runs) {
            std::vector<std::u16string> texts;
            std::vector<TextPool::Ref> refs;
            for (std::size_t n : lengths) {
                texts.emplace_back(n, static_cast<char16_t>(u'字' + texts.size()));
                refs.push_back(pool.Add(texts.back().c_str()));
            }
            for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(pool.View(refs[i]), texts[i]) << i;
            EXPECT_EQ(pool.View(pool.Add(nullptr)), u"");
            pool.Clear();
        }
    }
}

TEST(TreeStore, ChildrenByRowInAnyOrder) {
    TreeStore tree;
    TreeStore::Id root = tree.Insert(0, u"root", 0, nullptr);
    std::vector<TreeStore::Id> children;
    // More than a chunk of items, so rows also cross chunk boundaries.
    for (int i = 0; i < 40000; ++i) children.push_back(tree.Insert(root, u"c", 1, nullptr));
    TreeStore::Id grandchild = tree.Insert(children[5], u"g", 1, nullptr);
    EXPECT_EQ(tree.Size(), 40002u);
    EXPECT_EQ(tree.TopLevelCount(), 1u);
    for (std::uint32_t row : {0u, 1u, 39999u, 7u, 6u, 20000u, 19999u, 0u}) {
        EXPECT_EQ(tree.ChildAtRow(root, row), children[row]) << row;
        EXPECT_EQ(tree.At(children[row]).row, row);
    }
    EXPECT_EQ(tree.ChildAtRow(root, 40000), 0u);
    EXPECT_EQ(tree.ChildAtRow(children[5], 0), grandchild);
    EXPECT_EQ(tree.At(grandchild).parent, children[5]);
    EXPECT_EQ(tree.Insert(50000, u"x", 1, nullptr), 0u);  // no such parent
    tree.Clear();
    EXPECT_EQ(tree.Size(), 0u);
    EXPECT_EQ(tree.Root(), 0u);
}

TEST(ListStore, SelectionCountAndLookups) {
    ListStore list;
    MarshalNode a{}, b{};
    list.Insert(0, u"..", 1, 0, nullptr);
    list.Insert(1, u"a", 4, 0, &a);
    list.Insert(1, u"b", 4, 1, &b);  // inserted before "a"
    EXPECT_EQ(list.Cell(1, 0), u"b");
    EXPECT_EQ(list.Find(&a), 2);
    EXPECT_EQ(list.Find(nullptr), 0);
    EXPECT_TRUE(list.SetSelected(2, true));
    EXPECT_FALSE(list.SetSelected(2, true));  // no change, nothing to report
    EXPECT_TRUE(list.SetSelected(0, true));
    EXPECT_EQ(list.SelectedCount(), 2);
    EXPECT_EQ(list.NextSelected(-1), 0);
    EXPECT_EQ(list.NextSelected(0), 2);
    EXPECT_EQ(list.NextSelected(2), -1);
    list.SetCell(7, 1, u"x");  // no such row: ignored
    list.Clear();
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(list.NextSelected(-1), -1);
}

// A child row's cells are made from the document whenever they are read;
// setting one cell makes the row keep its texts, the made ones included.
TEST(ListStore, ChildRowsShowTheirChildUntilACellIsSet) {
    using namespace mb;
    const std::string bytes = Dump(Arr({Arr({Int(7), Str("ab"), Nil()}), Arr({True(), Int(-3), Sym("s")})}));
    ASSERT_EQ(LoadDocumentFromMemory(bytes.data(), bytes.size()), 0);
    const MarshalNode* top = ChildAt(&DocumentRoot, 0);
    using Cells = std::vector<std::u16string>;
    struct Case {
        const MarshalNode* listed;
        const MarshalNode* other;
        Cells first, second, last;
    };
    // The second fill, after a Clear, lists the container the first refused.
    const Case cases[] = {
        {ChildAt(top, 0), ChildAt(top, 1), {u"0", u"整数", u"7"}, {u"1", u"字符串", u"改"}, {u"2", u"空", u"nil"}},
        {ChildAt(top, 1), ChildAt(top, 0), {u"0", u"布尔", u"true"}, {u"1", u"整数", u"改"}, {u"2", u"符号", u"s"}},
    };
    auto cells = [](const ListStore& list, int row) {
        return Cells{list.Cell(row, 0), list.Cell(row, 1), list.Cell(row, 2)};
    };
    ListStore list;
    for (const Case& c : cases) {
        list.Insert(0, u"..", 1, 0, nullptr);
        for (int i = 0; i < 3; ++i) list.InsertChild(i + 1, c.listed, i, 4, 0, ChildAt(c.listed, i));
        list.InsertChild(4, c.other, 0, 4, 0, nullptr);  // another container: left out
        ASSERT_EQ(list.Size(), 4);
        list.SetCell(2, 2, u"改");
        EXPECT_EQ(cells(list, 0), (Cells{u"..", u"", u""}));
        EXPECT_EQ(cells(list, 1), c.first);
        EXPECT_EQ(cells(list, 2), c.second);
        EXPECT_EQ(cells(list, 3), c.last);
        EXPECT_EQ(list.Find(ChildAt(c.listed, 2)), 3);
        EXPECT_EQ(list.Cell(4, 0), u"");  // no such row
        list.Clear();
    }
    ReleaseNode(&DocumentRoot);
}

// What the copy commands put on the clipboard: one line per row, three
// fields, whatever the cells hold.  Expected texts written by hand.
TEST(ListStore, CopiedRowsKeepEachRowOnOneLine) {
    struct CopyCase {
        const char16_t* cells[3];
        const char16_t* line;
    };
    const CopyCase cases[] = {
        {{u"name", u"字符串", u"plain"}, u"name\t字符串\tplain\n"},
        {{u"a\tb", u"", u"c\nd"}, u"a\\tb\t\tc\\nd\n"},
        {{u"\\", u"\r", u"x\\ty"}, u"\\\\\t\\r\tx\\\\ty\n"},
        {{u"", u"", u""}, u"\t\t\n"},
    };
    ListStore list;
    std::u16string all;
    std::vector<int> rows;
    for (const CopyCase& c : cases) {
        const int row = list.Size();
        list.Insert(row, c.cells[0], 0, 0, nullptr);
        list.SetCell(row, 1, c.cells[1]);
        list.SetCell(row, 2, c.cells[2]);
        EXPECT_EQ(RowsAsText(list, {row}), c.line);
        EXPECT_EQ(CellText(list, row, 2), c.cells[2]);
        all += c.line;
        rows.push_back(row);
    }
    rows.push_back(list.Size());  // a row that is not there adds nothing
    EXPECT_EQ(RowsAsText(list, rows), all);
}
