// Activating rows: into containers, up through "..", along object links.
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"

using namespace mb;

namespace {
// Objects: 0 top, 1 [ab 5], 2 "ab", 3 the links, 4 "here", 5 the 'U',
// 6 its array, 7 "inside", 8 array 3, 9 the 'I' array, 10 its "s".
std::string LinkedDocument() {
    return Dump(Arr({
        Arr({Str("ab"), Int(5)}),                          // 0: objects 1, 2
        Arr({Link(2), Link(1), Link(0), Str("here"), Link(4)}),  // 1: object 3, "here" 4
        UserMarshal(Sym("U"), Arr({Str("inside")})),       // 2: objects 5, 6, 7
        Arr({Link(6), SymLink(0), Int(1)}),                // 3: object 8
        Ivar(Arr({}), {{Sym("@iv"), Str("s")}}),           // 4: objects 9, 10
        Link(10),                                          // 5: to the ivar's value
    }));
}
}  // namespace

class NavigationTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_EQ(Open(LinkedDocument()), 0);
        top_ = Child(TreeRootItem(), "0");
        TreeSelectItem(top_);
    }
    TreeItem top_ = nullptr;
};

TEST_F(NavigationTest, ContainerRowDescendsAndDotDotComesBack) {
    Activate("1");
    EXPECT_EQ(CaretText(), "1");
    EXPECT_EQ(TreeItemNode(TreeParentItem(TreeCaretItem())), TreeItemNode(top_));
    EXPECT_TRUE(PanesItemExpanded(TreeCaretItem()));
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(Status(), "路径: data0[1]");
    Activate("..");
    EXPECT_EQ(TreeCaretItem(), top_);
    EXPECT_EQ(SelectedRows(), std::vector<int>{RowNamed("1")});
    EXPECT_EQ(Status(), "路径: data0[1]");
    Activate("..");
    EXPECT_EQ(TreeCaretItem(), TreeRootItem());
    EXPECT_EQ(SelectedRows(), std::vector<int>{RowNamed("0")});
    EXPECT_EQ(Status(), "路径: data0");
}

TEST_F(NavigationTest, LinksLeadToTheirTargets) {
    struct Case {
        const char* from;     // item below data0
        const char* row;
        const char* caret;    // text of the current item afterwards
        const char* selected; // the one selected row afterwards
        const char* status;
    };
    const Case cases[] = {
        {"1", "0", "0", "0", "路径: data0[0][0]"},            // a string in another array
        {"1", "1", "0", "..", "路径: data0"},                 // a container: its ".." row
        {"1", "2", "0", "..", ""},                            // the top array: parent is the root
        {"1", "4", "1", "3", "路径: data0[1][3]"},            // a value of the list shown
        {"3", "1", "3", "1", "路径: data0[3][1]"},            // a symbol link: nothing happens
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + "/" + c.row);
        TreeSelectItem(top_);
        TreeSelectItem(Child(top_, c.from));
        Activate(c.row);
        EXPECT_EQ(CaretText(), c.caret);
        ASSERT_EQ(SelectedRows().size(), 1u);
        EXPECT_EQ(Rows()[SelectedRows()[0]].name, c.selected);
        EXPECT_EQ(Status(), c.status);
    }
}

TEST_F(NavigationTest, LinksToUnlocatedValuesDoNothing) {
    // Values held directly by 'U' and 'I' wrappers have no holding item.
    struct Case {
        const char* from;  // item below data0, or none for data0 itself
        const char* row;
    };
    for (const Case& c : {Case{"3", "0"}, Case{nullptr, "5"}}) {
        SCOPED_TRACE(c.row);
        TreeSelectItem(top_);
        if (c.from) TreeSelectItem(Child(top_, c.from));
        TreeItem before = TreeCaretItem();
        EXPECT_EQ(Rows()[static_cast<std::size_t>(RowNamed(c.row))].value, "");
        Activate(c.row);
        EXPECT_EQ(TreeCaretItem(), before);
        EXPECT_EQ(SelectedRows(), std::vector<int>{RowNamed(c.row)});
    }
}

TEST_F(NavigationTest, ActivationWithoutRowIndexKeepsTheLinkSelected) {
    TreeSelectItem(Child(top_, "1"));
    PanesClickRow(RowNamed("4"));
    OnListRowActivated(-1);
    EXPECT_EQ(SelectedRows().size(), 2u);
    EXPECT_EQ(Status(), "选中了2个项目。");
    // With two rows selected, activation does nothing.
    OnListRowActivated(RowNamed("4"));
    EXPECT_EQ(CaretText(), "1");
}

TEST_F(ViewerTest, LinksIntoCollapsedPartsOpenTheWayThere) {
    // Objects: 0 top, 1 data0[0], 2 data0[0][0], 3 "deep", 4 data0[0][0][1].
    const std::string document = Dump(Arr({
        Arr({Arr({Str("deep"), Arr({Int(1)})})}),
        Link(3),
        Link(4),
    }));
    struct Case {
        const char* row;
        std::vector<std::string> caretPath;  // item texts from the root's child down
        const char* selected;
        const char* status;
    };
    const Case cases[] = {
        {"1", {"0", "0", "0"}, "0", "路径: data0[0][0][0]"},  // a value: its holder
        {"2", {"0", "0", "0", "1"}, "..", "路径: data0[0][0]"},  // a container: its own item
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        ASSERT_EQ(Open(document), 0);
        TreeItem top = Child(TreeRootItem(), "0");
        TreeSelectItem(top);
        ASSERT_FALSE(PanesItemExpanded(Child(top, "0")));
        Activate(c.row);
        std::vector<std::string> path;
        for (TreeItem item = TreeCaretItem(); item && item != TreeRootItem(); item = TreeParentItem(item)) {
            path.insert(path.begin(), ItemText(item));
            if (item != TreeCaretItem()) {
                EXPECT_TRUE(PanesItemExpanded(item)) << ItemText(item);
            }
        }
        EXPECT_EQ(path, c.caretPath);
        ASSERT_EQ(SelectedRows().size(), 1u);
        EXPECT_EQ(Rows()[SelectedRows()[0]].name, c.selected);
        EXPECT_EQ(Status(), c.status);
    }
}
