// Comparing the open document with another version: the marks and counts
// in the tree, removed values grey where they stood, the marked rows and their "旧值 → 新值" cells, stepping with
// F8 in tree order with wrap-around, ending the comparison and an old file
// that does not load, the results list's lines and choosing one, and two
// folders compared.  One set of expectations over the in-memory panes, the
// Qt window and the native Windows window.
//
// The pairs are tests/data/diff/ruby18/ from make_diff_fixtures.rb:
//   items: [nil, 药水, 高级药水] -> item 2 renamed 超级药水, item 3 解毒草 added
//   map:   the table @data changed; events written 3, 2, 1: 3 (商人) added,
//          2 (卫兵) @x 7->8 and @y 1->2, 1 (村长) line 0's text
//          早上好 -> 早上好啊 and a command inserted at line 2; 4 (旅人) removed
//   names/:  the map's line 2 turns switch 3 (门已打开) into switch 1
//            (升级提示开关), beside the game's System.rxdata
//   folder_old/, folder_new/: Map001 edited, Items and Map002 (MAP002) the
//            same bytes, System only old, MapInfos only new
#include <filesystem>

#include "tests/preview_adapter.h"
#include "tests/viewer_fixture.h"
#include "ui/compare_controller.h"
#include "ui/window_commands.h"

namespace {
std::string Pair(const std::string& name, const char* side, const char* folder = "ruby18") {
    return std::string(QUARNIX_TEST_DATA) + "/diff/" + folder + "/" + name + "_" + side + ".rxdata";
}

std::vector<std::string> ResultLines() {
    std::vector<std::string> lines;
    for (const std::u16string& line : PanesResultLines()) lines.push_back(U8(line));
    return lines;
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
        WaitForCompare();
    }
    void WaitForCompare() {
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
        {kNextDifferenceCommand, "差异：第 3 处，共 7 处", "events (6)", "值2"},  // the grey row
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

TEST_F(CompareContractTest, ThePreviewShowsBothSidesOfTheDifferenceReached) {
    PreviewStart();
    OpenPair("map");
    // @data (4 x 3 x 2): (1, 2, 1) 121 -> 777 and (3, 0, 1) 103 -> -1, on the
    // second layer, which shows first.
    Run(kNextDifferenceCommand);
    ASSERT_EQ(PreviewPageShown(), SeenPage::kTable);
    EXPECT_TRUE(PreviewHeader().ends_with(u"表格：2 个格子不同")) << U8(PreviewHeader());
    struct Cell {
        int x, y;
        const char16_t* value;
        bool outlined;
    };
    for (const Cell& c : {Cell{1, 2, u"777", true}, Cell{3, 0, u"-1", true}, Cell{0, 0, u"100", false},
                          Cell{1, 1, u"111", false}}) {
        EXPECT_EQ(PreviewCell(c.x, c.y), c.value) << c.x << "," << c.y;
        EXPECT_EQ(PreviewCellOutlined(c.x, c.y), c.outlined) << c.x << "," << c.y;
        const bool red = PreviewHeatMapAt((c.x + 0.5) / 4, (c.y + 0.5) / 3) == 0xff3030u;
        EXPECT_EQ(red, c.outlined) << c.x << "," << c.y;
    }
    // Event 1's first line: its old text removed, the new one added, both
    // coloured; the lines after it plain.
    for (int i = 0; i < 6; ++i) Run(kNextDifferenceCommand);
    ASSERT_EQ(PreviewPageShown(), SeenPage::kText);
    const std::vector<std::u16string> lines = PreviewLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(U8(lines[0]).find("早上好啊"), std::string::npos) << U8(lines[0]);
    EXPECT_NE(U8(lines[0]).find("早上好"), std::string::npos) << U8(lines[0]);
    EXPECT_NE(U8(lines[1]).find("早上好啊"), std::string::npos) << U8(lines[1]);
    EXPECT_EQ(PreviewLineBackground(0), 0xffd7d7u);
    EXPECT_EQ(PreviewLineBackground(1), 0xd4f4d4u);
    EXPECT_EQ(PreviewLineBackground(2), 0u);
    // Ended, the preview shows the selected row as it did before.
    Run(kEndCompareCommand);
    EXPECT_EQ(PreviewLineBackground(0), 0u);

    // A colour's alpha 255 -> 128: two swatches, the old above the new.
    OpenPair("values");
    Run(kNextDifferenceCommand);
    ASSERT_EQ(PreviewPageShown(), SeenPage::kSwatch);
    EXPECT_EQ(PreviewSwatchMiddle(), 0xff8000u);
    EXPECT_EQ(PreviewSwatchText(), u"旧：Color(255.0, 128.0, 0.0, 255.0)");
    EXPECT_EQ(PreviewNewSwatchText(), u"新：Color(255.0, 128.0, 0.0, 128.0)");
    EXPECT_NE(PreviewNewSwatchMiddle(), 0u);
    EXPECT_NE(PreviewNewSwatchMiddle(), 0xff8000u);
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

TEST_F(CompareContractTest, RemovedValuesShowGreyWhereTheyStood) {
    OpenPair("map");
    // The old events hash is {1, 2, 4}, the new {3, 2, 1}: event 4 (旅人),
    // last in the old file, stands after the new events, grey.
    const TreeItem events = Child(Data0(), "events (6)");
    EXPECT_EQ(ChildTexts(events), (std::vector<std::string>{"值0", "值1 (2)", "值2 (2)", "值2"}));
    TreeItem grey = TreeChildItem(events);
    for (int i = 0; i < 3; ++i) grey = TreeNextItem(grey);
    EXPECT_EQ(PanesItemMark(grey), kMarkRemoved);
    EXPECT_EQ(PanesItemMark(Child(grey, "pages")), kMarkRemoved);
    // Its list: the old event's values, all grey.
    TreeSelectItem(grey);
    PanesRunEvents();
    EXPECT_EQ(U8(PanesCell(RowNamed("name"), 2)), "旅人");
    for (const char* name : {"pages", "id", "name", "x"}) EXPECT_EQ(PanesRowMark(RowNamed(name)), kMarkRemoved) << name;
    // The status bar names removed values by their paths in the old file,
    // as quarnix-dump --diff does ("- data0.events.values[2]").
    EXPECT_EQ(Status(), "路径: data0.events.values[2]");
    PanesClickRow(RowNamed("name"));
    EXPECT_EQ(Status(), "路径: data0.events.values[2].name");
    TreeSelectItem(Child(grey, "pages"));
    PanesRunEvents();
    EXPECT_EQ(Status(), "路径: data0.events.values[2].pages");
    PanesClickRow(0);  // ".."
    EXPECT_EQ(Status(), "路径: data0.events.values[2]");

    // The events' list: the removed value among the containers, its key
    // among the keys, each at the end where the old file had it.
    TreeSelectItem(events);
    PanesRunEvents();
    struct Row {
        const char* name;
        int mark;
    };
    const Row rows[] = {{"..", kMarkNone},    {"值0", kMarkAdded}, {"值1", kMarkChanged}, {"值2", kMarkChanged},
                        {"值2", kMarkRemoved}, {"键0", kMarkNone},  {"键1", kMarkNone},    {"键2", kMarkNone},
                        {"键2", kMarkRemoved}};
    ASSERT_EQ(PanesRowCount(), static_cast<int>(std::size(rows)));
    for (int r = 0; r < PanesRowCount(); ++r) {
        EXPECT_EQ(U8(PanesCell(r, 0)), rows[r].name) << r;
        EXPECT_EQ(PanesRowMark(r), rows[r].mark) << r;
    }
    EXPECT_EQ(U8(PanesCell(8, 2)), "4");
    const std::pair<int, const char*> paths[] = {{4, "路径: data0.events.values[2]"}, {8, "路径: data0.events.keys[2]"},
                                                 {3, "路径: data0.events.values[2]"}, {7, "路径: data0.events.keys[2]"}};
    for (const auto& [row, path] : paths) {
        PanesClickRow(row);
        EXPECT_EQ(Status(), path) << row;
    }

    // Ending the comparison from inside the grey item: back to the events,
    // the grey item and rows gone.
    TreeSelectItem(Child(grey, "pages"));
    PanesRunEvents();
    Run(kEndCompareCommand);
    EXPECT_EQ(CaretText(), "events");
    EXPECT_EQ(ChildTexts(events), (std::vector<std::string>{"值0", "值1", "值2"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"..", "值0", "值1", "值2", "键0", "键1", "键2"}));
}

TEST_F(CompareContractTest, TheResultsListReadsEveryDifferenceAndChoosingOneGoesWhereF8Goes) {
    OpenPair("items");
    EXPECT_TRUE(PanesResultsShown());
    EXPECT_EQ(U8(PanesResultsHeading()), "比较（旧: items_old.rxdata）　共 2 处差异");
    // No event holds them and the reading tells nothing more: the path,
    // and for a changed value old → new.
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"+ data0[3]", "~ data0[2].name：高级药水 → 超级药水"}));

    OpenPair("map");
    EXPECT_EQ(U8(PanesResultsHeading()), "比较（旧: map_old.rxdata）　共 7 处差异");
    const std::vector<std::string> lines = ResultLines();
    ASSERT_EQ(lines.size(), 7u);
    struct Line {
        std::size_t index;
        const char* text;
    };
    for (const Line& l : {Line{1, "事件 0003 [商人]：+ data0.events.values[0]"},
                          Line{2, "事件 0004 [旅人]：- data0.events.values[2]"},
                          Line{3, "事件 0002 [卫兵]：~ data0.events.values[1].x：7 → 8"},
                          Line{6, "事件 0001 [村长] 第 1 页 第 1 行：- ◆显示文章：早上好  + ◆显示文章：早上好啊"}})
        EXPECT_EQ(lines[l.index], l.text);
    struct Choice {
        int line;
        const char* status;
        const char* container;
        const char* row;
    };
    for (const Choice& c : {Choice{6, "差异：第 7 处，共 7 处", "parameters (1)", "0"},
                            Choice{3, "差异：第 4 处，共 7 处", "值1 (2)", "x"},
                            Choice{0, "差异：第 1 处，共 7 处", "0 (7)", "data"}}) {
        PanesChooseResult(c.line);
        PanesRunEvents();
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(CaretText(), c.container) << c.status;
        EXPECT_EQ(SelectedName(), c.row) << c.status;
    }
    // F8 goes on from the line chosen; each choice is a step of the history.
    Run(kNextDifferenceCommand);
    EXPECT_EQ(Status(), "差异：第 2 处，共 7 处");
    Run(kBackCommand);
    Run(kBackCommand);
    EXPECT_EQ(CaretText(), "值1 (2)");
    // Ending the comparison takes its lines away.
    Run(kEndCompareCommand);
    EXPECT_TRUE(ResultLines().empty());
}

TEST_F(CompareContractTest, ReadingsNameWhatTheGameFolderNames) {
    ASSERT_EQ(OpenPath(Pair("map", "new", "names")), 0);
    PanesRunEvents();
    StartCompare(Pair("map", "old", "names"));
    const std::vector<std::string> lines = ResultLines();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines)
        EXPECT_EQ(line, "事件 0001 [村长] 第 1 页 第 3 行：- ◆开关操作：[0003: 门已打开] = ON  "
                        "+ ◆开关操作：[0001: 升级提示开关] = ON");
}

TEST_F(CompareContractTest, TwoFoldersListTheirDifferingFilesAndChoosingOneComparesIt) {
    const std::string data = std::string(QUARNIX_TEST_DATA) + "/diff/";
    // A folder and a file are not compared.
    const std::size_t before = PanesMessages().size();
    EXPECT_FALSE(Compare().CompareFromCommandLine(U16(data + "folder_old"), U16(Pair("map", "new"))));
    ASSERT_EQ(PanesMessages().size(), before + 1);
    EXPECT_EQ(U8(PanesMessages().back().text), "比较需要两个文件或两个文件夹");

    EXPECT_FALSE(Compare().CompareFromCommandLine(U16(data + "folder_old"), U16(data + "folder_new")));
    WaitForCompare();
    const std::vector<std::string> files{"Map001.rxdata　已更改", "MapInfos.rxdata　新增", "System.rxdata　已删除"};
    EXPECT_EQ(ResultLines(), files);
    EXPECT_EQ(U8(PanesResultsHeading()), "比较文件夹（旧: " + data + "folder_old）　3 个文件不同");

    // A changed file: NEW's opened and compared with OLD's; its
    // differences follow the files, and choosing one goes there.
    PanesChooseResult(0);
    PanesWaitForOpen();
    WaitForCompare();
    // The names are equal: the title gives the paths, joined as the system joins them.
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(U8(PanesTitle()), data + "folder_new" + sep + "Map001.rxdata (旧: " + data + "folder_old" + sep +
                                    "Map001.rxdata) - Quarnix");
    std::vector<std::string> lines = ResultLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), files);
    EXPECT_EQ(U8(PanesResultsHeading()), "比较文件夹（旧: " + data + "folder_old）　3 个文件不同，共 7 处差异");
    PanesChooseResult(3 + 6);
    PanesRunEvents();
    EXPECT_EQ(Status(), "差异：第 7 处，共 7 处");
    EXPECT_EQ(CaretText(), "parameters (1)");

    // A file only NEW has opens alone; the files stay listed.
    PanesChooseResult(1);
    PanesWaitForOpen();
    WaitForCompare();
    EXPECT_EQ(U8(PanesTitle()), "MapInfos.rxdata - Quarnix");
    EXPECT_EQ(Compare().Count(), 0);
    EXPECT_EQ(ResultLines(), files);
}
