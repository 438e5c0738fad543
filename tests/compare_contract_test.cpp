// Comparing the open document with another version: the marks and counts
// in the tree, the marked rows and their "旧值 → 新值" cells, stepping with
// F8 in tree order with wrap-around, ending the comparison and an old file
// that does not load.  One set of expectations over the in-memory panes,
// the Qt window and the native Windows window.
//
// The pairs are tests/data/diff/ruby18/ from make_diff_fixtures.rb:
//   items: [nil, 药水, 高级药水] -> item 2 renamed 超级药水, item 3 解毒草 added
//   map:   the table @data changed; events written 3, 2, 1: 3 (商人) added,
//          2 (卫兵) @x 7->8 and @y 1->2, 1 (村长) line 0's text
//          早上好 -> 早上好啊 and a command inserted at line 2; 4 (旅人) removed
#include "tests/viewer_fixture.h"
#include "ui/compare_controller.h"
#include "ui/window_commands.h"

namespace {
std::string Pair(const std::string& name, const char* side) {
    return std::string(QUARNIX_TEST_DATA) + "/diff/ruby18/" + name + "_" + side + ".rxdata";
}

class CompareContractTest : public ViewerTest {
protected:
    CompareController& Compare() { return *ActiveCompare(); }
    // Opens the pair's new file and compares the old one with it.
    void OpenPair(const std::string& name) {
        ASSERT_EQ(OpenPath(Pair(name, "new")), 0);
        PanesRunEvents();
        StartCompare(Pair(name, "old"));
    }
    void StartCompare(const std::string& oldPath) {
        PanesQueueOpenAnswer(U16(oldPath));
        ASSERT_TRUE(RunWindowCommand(kCompareCommand));
        for (int i = 0; i < 1000 && Compare().Running(); ++i) PanesRunEvents();
        PanesRunEvents();
    }
    void Run(int command) {
        ASSERT_TRUE(RunWindowCommand(command));
        PanesRunEvents();
    }
    std::string SelectedName() {
        const std::vector<int> rows = SelectedRows();
        return rows.size() == 1 ? U8(PanesCell(rows[0], 0)) : "";
    }
    TreeItem Data0() { return TreeChildItem(TreeRootItem()); }
};
}  // namespace

TEST_F(CompareContractTest, MarksCountsAndTheChangedValueCells) {
    OpenPair("items");
    EXPECT_EQ(U8(PanesTitle()), "items_new.rxdata (旧: items_old.rxdata) - Quarnix");
    EXPECT_EQ(Status(), "差异：共 2 处");
    // Containers count every difference below them: the list holds both,
    // item 2 its name; item 3 is added.
    struct Item {
        TreeItem item;
        std::string text;
        int mark;
    };
    TreeItem list = Data0();
    const Item items[] = {
        {TreeRootItem(), "items_new.rxdata (2)", kMarkChanged},
        {list, "0 (2)", kMarkChanged},
        {Child(list, "1"), "1", kMarkNone},
        {TreeNextItem(Child(list, "1")), "2 (1)", kMarkChanged},
        {Child(list, "3"), "3", kMarkAdded},
    };
    for (const Item& i : items) {
        EXPECT_EQ(ItemText(i.item), i.text);
        EXPECT_EQ(PanesItemMark(i.item), i.mark) << i.text;
    }
    // The list of the database list: item 2 changed below, item 3 added.
    TreeSelectItem(list);
    PanesRunEvents();
    struct Row {
        const char* name;
        int mark;
    };
    for (const Row& r : {Row{"1", kMarkNone}, Row{"2", kMarkChanged}, Row{"3", kMarkAdded}})
        EXPECT_EQ(PanesRowMark(RowNamed(r.name)), r.mark) << r.name;
    // Item 2's list: the name's cell reads old → new, the price is as it was.
    TreeSelectItem(TreeNextItem(Child(list, "1")));
    PanesRunEvents();
    EXPECT_EQ(U8(PanesCell(RowNamed("name"), 2)), "高级药水 → 超级药水");
    EXPECT_EQ(PanesRowMark(RowNamed("name")), kMarkChanged);
    EXPECT_EQ(U8(PanesCell(RowNamed("price"), 2)), "150");
    EXPECT_EQ(PanesRowMark(RowNamed("price")), kMarkNone);
}

TEST_F(CompareContractTest, F8GoesThroughTheDifferencesInTreeOrderAndWrapsRound) {
    OpenPair("map");
    struct Step {
        int command;
        const char* status;
        const char* container;  // the caret item, as marked
        const char* row;        // the one selected row; "" for none
    };
    // Tree order: the table (a value of the map) first; in a container its
    // own added and removed entries before the changes inside its entries.
    const Step steps[] = {
        {kNextDifferenceCommand, "差异：第 1 处，共 7 处", "0 (7)", "data"},
        {kNextDifferenceCommand, "差异：第 2 处，共 7 处", "events (6)", "值0"},
        {kNextDifferenceCommand, "差异：第 3 处，共 7 处", "events (6)", ""},
        {kNextDifferenceCommand, "差异：第 4 处，共 7 处", "值1 (2)", "x"},
        {kNextDifferenceCommand, "差异：第 5 处，共 7 处", "值1 (2)", "y"},
        {kNextDifferenceCommand, "差异：第 6 处，共 7 处", "list (2)", "2"},
        {kNextDifferenceCommand, "差异：第 7 处，共 7 处", "parameters (1)", "0"},
        {kNextDifferenceCommand, "差异：第 1 处，共 7 处", "0 (7)", "data"},
        {kPreviousDifferenceCommand, "差异：第 7 处，共 7 处", "parameters (1)", "0"},
        {kPreviousDifferenceCommand, "差异：第 6 处，共 7 处", "list (2)", "2"},
    };
    for (const Step& step : steps) {
        Run(step.command);
        EXPECT_EQ(Status(), step.status);
        EXPECT_EQ(CaretText(), step.container) << step.status;
        EXPECT_EQ(SelectedName(), step.row) << step.status;
    }
    // Each step is a step of the history.
    Run(kBackCommand);
    EXPECT_EQ(CaretText(), "parameters (1)");
}

TEST_F(CompareContractTest, EndingTheComparisonShowsTheNewDocumentAlone) {
    OpenPair("items");
    const TreeItem second = TreeNextItem(Child(Data0(), "1"));
    TreeSelectItem(second);
    PanesRunEvents();
    Run(kEndCompareCommand);
    EXPECT_EQ(U8(PanesTitle()), "items_new.rxdata - Quarnix");
    EXPECT_EQ(ItemText(TreeRootItem()), "items_new.rxdata");
    EXPECT_EQ(ItemText(second), "2");
    EXPECT_EQ(PanesItemMark(second), kMarkNone);
    EXPECT_EQ(U8(PanesCell(RowNamed("name"), 2)), "超级药水");
    EXPECT_EQ(PanesRowMark(RowNamed("name")), kMarkNone);
    EXPECT_FALSE(WindowCommandEnabled(kNextDifferenceCommand));
    EXPECT_FALSE(WindowCommandEnabled(kEndCompareCommand));
    // Opening another file after a comparison shows it alone too.
    StartCompare(Pair("items", "old"));
    ASSERT_EQ(Compare().Count(), 2);
    ASSERT_EQ(OpenPath(Pair("map", "new")), 0);
    EXPECT_EQ(U8(PanesTitle()), "map_new.rxdata - Quarnix");
    EXPECT_EQ(ItemText(TreeRootItem()), "map_new.rxdata");
    EXPECT_EQ(Compare().Count(), 0);
}

TEST_F(CompareContractTest, AnOldFileThatDoesNotLoadNamesItselfAndComparesNothing) {
    ASSERT_EQ(OpenPath(Pair("items", "new")), 0);
    PanesRunEvents();
    const std::string broken = ScratchDir() + "broken.rxdata";
    WriteFileBytes(broken, std::string("\x04\x08[\x07", 4));  // a list of 2 with no elements
    const std::size_t before = PanesMessages().size();
    StartCompare(broken);
    ASSERT_EQ(PanesMessages().size(), before + 1);
    EXPECT_EQ(U8(PanesMessages().back().text), "broken.rxdata：文件数据有误或不完整");
    EXPECT_FALSE(Compare().Active());
    EXPECT_EQ(U8(PanesTitle()), "items_new.rxdata - Quarnix");
    EXPECT_EQ(ItemText(TreeRootItem()), "items_new.rxdata");
    EXPECT_FALSE(WindowCommandEnabled(kNextDifferenceCommand));
}
