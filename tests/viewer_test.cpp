// Opening files, the tree pane, the list pane and the status bar, driven
// through the pane layer: the same cases run over the in-memory, the Qt and
// the Win32 panes (tests/pane_adapter.h reads each one back).
#include <filesystem>

#include "marshal/alloc.h"
#include "present/viewer_document.h"
#include "tests/hex_bytes.h"
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"

using namespace mb;

namespace {
// Symbols: 0 k, 1 Foo, 2 @hp, 3 @list, 4 Bar, 5 E.  Objects: 0 top array,
// 1 [ab 5], 2 "ab", 3 hash, 4 [], 5 Foo, 6 list, 7 Bar wrapper, 8 "u", 9 1.5
std::string MixedDocument() {
    return Dump(Arr({
        Int(7),                                                            // 0
        Arr({Str("ab"), Int(5)}),                                          // 1
        Hash({{Sym("k"), Arr({})}}),                                       // 2
        Link(2),                                                           // 3 -> data0[1][0]
        Link(1),                                                           // 4 -> data0[1]
        Link(0),                                                           // 5 -> data0
        Obj(Sym("Foo"), {{Sym("@hp"), Int(3)}, {Sym("@list"), Arr({Link(5)})}}),  // 6
        SymLink(0),                                                        // 7
        UserClass(Sym("Bar"), Str("wrapped")),                             // 8
        Ivar(Str("u"), {{Sym("E"), True()}}),                              // 9
        Float("1.5"),                                                      // 10
        Nil(),                                                             // 11
        Link(7),                                                           // 12 -> the Bar wrapper
    }));
}
}  // namespace

TEST_F(ViewerTest, OpenShowsTitleTreeAndTopLevelRows) {
    ASSERT_EQ(Open(MixedDocument(), "Map001.rxdata"), 0);
    EXPECT_EQ(U8(PanesTitle()), "Map001.rxdata - Quarnix");
    TreeItem root = TreeRootItem();
    EXPECT_EQ(ItemText(root), "Map001.rxdata");
    EXPECT_EQ(TreeCaretItem(), root);
    EXPECT_TRUE(PanesItemExpanded(root));
    EXPECT_TRUE(PanesFileImageIs(DocumentFileInfo.icon));
    EXPECT_EQ(ChildTexts(root), std::vector<std::string>{"0"});
    // The root lists the top-level values without a ".." row, no row selected.
    EXPECT_EQ(Rows(), (std::vector<RowView>{{"0", "数组", "", kImageContainer, 0}}));
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_EQ(Status(), "");
    // Deeper levels stay collapsed, and only containers get items.
    TreeItem top = Child(root, "0");
    EXPECT_FALSE(PanesItemExpanded(top));
    EXPECT_EQ(ChildTexts(top), (std::vector<std::string>{"1", "2", "6", "8", "9"}));
    EXPECT_EQ(ChildTexts(Child(top, "2")), std::vector<std::string>{"值0"});
    EXPECT_EQ(ChildTexts(Child(top, "6")), std::vector<std::string>{"list"});
    EXPECT_TRUE(ChildTexts(Child(top, "8")).empty());  // it wraps a string
}

TEST_F(ViewerTest, RowsListContainersFirstWithTypesValuesImagesAndLinkPaths) {
    ASSERT_EQ(Open(MixedDocument()), 0);
    TreeSelectItem(Child(TreeRootItem(), "0"));
    EXPECT_EQ(Status(), "路径: data0");
    const std::vector<RowView> expected = {
        {"..", "", "", kImageContainer, 0},
        {"1", "数组", "", kImageContainer, 0},
        {"2", "哈希表", "", kImageContainer, 0},
        {"6", "对象", "Foo", kImageContainer, 0},
        {"8", "扩展对象", "Bar", kImageContainer, 0},
        {"9", "扩展对象", "", kImageContainer, 0},
        {"0", "整数", "7", kImageNumber, 0},
        {"3", "链接", "data0[1][0]", kImageValue, kLinkOverlay},
        {"4", "链接", "data0[1]", kImageContainer, kLinkOverlay},
        {"5", "链接", "data0", kImageContainer, kLinkOverlay},
        {"7", "符号链接", "k", kImageValue, kLinkOverlay},
        {"10", "浮点数", "1.5", kImageNumber, 0},
        {"11", "空", "nil", kImageValue, 0},
        {"12", "链接", "data0[8]", kImageContainer, kLinkOverlay},
    };
    EXPECT_EQ(Rows(), expected);
}

TEST_F(ViewerTest, WrappersHashesAndEntriesListTheirChildren) {
    ASSERT_EQ(Open(Dump(Arr({
                  HashDef({{Int(1), Arr({})}, {Sym("s"), Int(2)}}, Int(9)),
                  UserMarshal(Sym("Um"), Arr({Int(1)})),
                  Obj(Sym("P"), {{Sym("x"), Int(1)}, {Sym("y"), Int(2)}}, 'S'),
              }))),
              0);
    TreeItem top = Child(TreeRootItem(), "0");
    struct Case {
        const char* item;
        std::vector<RowView> rows;
    };
    const Case cases[] = {
        {"0", {{"..", "", "", 1, 0}, {"值0", "数组", "", 1, 0}, {"默认值", "整数", "9", 5, 0}, {"键0", "整数", "1", 5, 0},
               {"键1", "符号", "s", 4, 0}, {"值1", "整数", "2", 5, 0}}},
        {"1", {{"..", "", "", 1, 0}, {"marshal_dump", "数组", "", 1, 0}}},
        {"2", {{"..", "", "", 1, 0}, {"x", "整数", "1", 5, 0}, {"y", "整数", "2", 5, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        TreeSelectItem(Child(top, c.item));
        EXPECT_EQ(Rows(), c.rows);
    }
}

TEST_F(ViewerTest, EmptyTextsAreShownEmpty) {
    // An entry with an empty name still gets its "." in the path.
    ASSERT_EQ(Open(Dump(Obj(Sym("A"), {{Sym(""), Str("")}}))), 0);
    TreeSelectItem(Child(TreeRootItem(), "0"));
    EXPECT_EQ(Rows(), (std::vector<RowView>{{"..", "", "", 1, 0}, {"", "字符串", "", 4, 0}}));
    PanesClickRow(1);
    EXPECT_EQ(Status(), "路径: data0.");
}

TEST_F(ViewerTest, StatusFollowsRowSelection) {
    ASSERT_EQ(Open(MixedDocument()), 0);
    TreeSelectItem(Child(Child(TreeRootItem(), "0"), "6"));
    PanesClickRow(RowNamed("hp"));
    EXPECT_EQ(Status(), "路径: data0[6].hp");
    PanesClickRow(RowNamed(".."));
    EXPECT_EQ(Status(), "路径: data0");
    PanesClickRow(RowNamed("list"), true);
    PanesClickRow(RowNamed("hp"), true);
    EXPECT_EQ(Status(), "选中了3个项目。");
    // A row leaving the selection while one stays: the item's own path.
    PanesClickRow(RowNamed("list"), true);
    PanesClickRow(RowNamed("hp"), true);
    EXPECT_EQ(Status(), "路径: data0[6]");
    // The ".." row of a child of the root names the root: empty.
    TreeSelectItem(Child(TreeRootItem(), "0"));
    PanesClickRow(RowNamed(".."));
    EXPECT_EQ(Status(), "");
    PanesClickRow(RowNamed("3"));
    EXPECT_EQ(Status(), "路径: data0[3]");  // a link row: its own place, not its target
}

TEST_F(ViewerTest, FailedOpensShowTheirMessageAndLeaveNoDocument) {
    struct Case {
        std::string bytes;
        int allocationToFail;
        const char* message;
        MessageIcon icon;
    };
    std::string deep = "\x04\x08";
    for (int i = 0; i <= kMaxNestingDepth; ++i) deep += "[\x06";
    deep += "0";
    const Case cases[] = {
        {"", 0, "无法识别该文件的格式", MessageIcon::Warning},
        {"\x04\x09\x30", 0, "无法识别该文件的格式", MessageIcon::Warning},
        {Dump(Arr({Arr({Int(1)})})), 3, "系统内存不足", MessageIcon::Error},
        {Dump(Str("abc")).substr(0, 5), 0, "文件数据有误或不完整", MessageIcon::Warning},
        {Dump(Arr({Link(1)})), 0, "文件中有未正确链接的对象", MessageIcon::Warning},
        {Dump(SymLink(0)), 0, "文件中有未正确链接的符号", MessageIcon::Warning},
        {Dump("M"), 0, "文件中有未知类型的数据", MessageIcon::Warning},
        {deep, 0, "文件数据嵌套层次过深", MessageIcon::Error},
        {Dump(Nil()), 1, "系统内存不足", MessageIcon::Error},  // memory out before the first value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ASSERT_EQ(Open(MixedDocument(), "good.rxdata"), 0);
        TreeSelectItem(Child(TreeRootItem(), "0"));
        PanesClickRow(1);
        std::size_t before = PanesMessages().size();
        FileIcon image = DocumentFileInfo.icon;
        SetAllocationFailureAt(c.allocationToFail);
        EXPECT_EQ(Open(c.bytes, "bad.rxdata"), -1);
        SetAllocationFailureAt(0);
        ASSERT_EQ(PanesMessages().size(), before + 1);
        EXPECT_EQ(U8(PanesMessages().back().text), c.message);
        EXPECT_EQ(PanesMessages().back().icon, c.icon);
        // Nothing points into the released document; title and icon are kept.
        EXPECT_EQ(PanesItemCount(), 0u);
        EXPECT_EQ(PanesRowCount(), 0);
        EXPECT_EQ(Status(), "");
        EXPECT_EQ(U8(PanesTitle()), "good.rxdata - Quarnix");
        EXPECT_TRUE(PanesFileImageIs(image));
        EXPECT_EQ(DocumentRoot.data.ptr, nullptr);
        EXPECT_EQ(LiveAllocationCount(), 0);
    }
}

TEST_F(ViewerTest, FilesThatDoNotOpenGiveTheOpenFailure) {
    for (const std::string& path : {::testing::TempDir() + "no-such-file.rxdata", ::testing::TempDir()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(OpenPath(path), -1);
        EXPECT_EQ(U8(PanesMessages().back().text), "打开文件失败");
        EXPECT_EQ(PanesMessages().back().icon, MessageIcon::Warning);
    }
    EXPECT_EQ(U8(PanesTitle()), "Quarnix");
}

TEST_F(ViewerTest, CancelledDialogChangesNothing) {
    ASSERT_EQ(Open(MixedDocument()), 0);
    std::size_t items = PanesItemCount();
    OpenCommand();  // no answer queued: cancelled
    EXPECT_EQ(PanesItemCount(), items);
    EXPECT_EQ(U8(PanesTitle()), "doc.rxdata - Quarnix");
    EXPECT_NE(DocumentRoot.data.ptr, nullptr);
}

TEST_F(ViewerTest, ReloadingReplacesTheTreeWithoutKeepingIcons) {
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Open(MixedDocument()), 0);
    ASSERT_EQ(Open(Dump(Arr({Arr({}), Arr({})})), "second.rxdata"), 0);
    EXPECT_EQ(ItemText(TreeRootItem()), "second.rxdata");
    EXPECT_EQ(ChildTexts(TreeRootItem()), std::vector<std::string>{"0"});
    EXPECT_EQ(ChildTexts(Child(TreeRootItem(), "0")), (std::vector<std::string>{"0", "1"}));
    if (PanesLiveIcons() >= 0) {
        EXPECT_EQ(PanesLiveIcons(), 1);
    }
    ShutdownViewer();
    if (PanesLiveIcons() >= 0) {
        EXPECT_EQ(PanesLiveIcons(), 0);
    }
    EXPECT_EQ(LiveAllocationCount(), 0);
}

TEST_F(ViewerTest, SeveralDumpsAreTopLevelValuesOfTheRoot) {
    ASSERT_EQ(Open(Dump(Arr({Hash({}), Hash({}), Hash({})})) + Dump(Str("s")) + Dump(Arr({Link(0)}))), 0);
    EXPECT_EQ(ChildTexts(TreeRootItem()), (std::vector<std::string>{"0", "2"}));
    EXPECT_EQ(ChildTexts(Child(TreeRootItem(), "0")), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"0", "2", "1"}));
    TreeSelectItem(Child(TreeRootItem(), "2"));
    EXPECT_EQ(Rows()[1], (RowView{"0", "链接", "data2", kImageContainer, kLinkOverlay}));
}

TEST_F(ViewerTest, CancelledOpensEndLikeFailedOnesWithoutAMessage) {
    // Cancelled while the file loads, and while the tree's items are built:
    // no message, empty panes, no document, the title of before (a failed
    // open leaves it too), and the next open works.
    for (bool duringBuild : {false, true}) {
        SCOPED_TRACE(duringBuild);
        ASSERT_EQ(Open(MixedDocument(), "first.rxdata"), 0);
        WriteFileBytes(ScratchDir() + "second.rxdata", MixedDocument());
        std::size_t messages = PanesMessages().size();
        OpenJob job;
        OpenStepBegin(&job, U16(ScratchDir() + "second.rxdata").c_str());
        if (!duringBuild) CancelOpen();
        OpenStepLoad(&job, OpenDocumentFile(job.path));
        ASSERT_EQ(OpenStepLoaded(&job), duringBuild);
        if (duringBuild) {
            CancelOpen();
            OpenStepBuildTree(&job);
            OpenStepShowTree(&job);
        }
        EXPECT_EQ(job.result, duringBuild ? kLoadOk : kLoadCancelled);
        EXPECT_EQ(PanesMessages().size(), messages);
        EXPECT_EQ(PanesTitle(), u"first.rxdata - Quarnix");
        EXPECT_EQ(PanesItemCount(), 0u);
        EXPECT_EQ(PanesRowCount(), 0);
        EXPECT_EQ(DocumentRoot.data.ptr, nullptr);
        EXPECT_EQ(LiveAllocationCount(), 0);
        ASSERT_EQ(Open(MixedDocument(), "next.rxdata"), 0);
        EXPECT_EQ(ItemText(TreeRootItem()), "next.rxdata");
    }
}

// Paths of exactly the longest length the viewer takes (all the units of
// its path buffer but the NUL) open through the dialog and by path, as the
// command line and a drop give them; one unit more is refused whole: the
// dialog cannot answer it, and a path given so fails as a file that does
// not open, with the path buffer as it was.
TEST_F(ViewerTest, PathsOfTheLongestLengthOpenAndOneUnitMoreIsRefused) {
    const std::string dump = Dump(Arr({Arr({}), Arr({})}));
    // A file whose path is `units` long, below folders of 200 units each.
    auto fileOfPathLength = [&](const std::string& top, std::size_t units) {
        std::string path = ScratchDir() + top;
        std::filesystem::create_directories(path);
        while (units - path.size() > 250) {
            path += "/" + std::string(200, 'd');
            std::filesystem::create_directories(path);
        }
        path += "/" + std::string(units - path.size() - 1, 'f');
        WriteFileBytes(path, dump);
        return path;
    };
    const std::size_t longest = kDocumentPathUnits - 1;
    const std::string fits = fileOfPathLength("fits", longest);
    const std::string tooLong = fileOfPathLength("long", longest + 1);
    ASSERT_EQ(fits.size(), longest);
    ASSERT_EQ(tooLong.size(), longest + 1);
    const std::string title = fits.substr(fits.rfind('/') + 1) + " - Quarnix";

    // The Open dialog, answered by the test.
    ASSERT_EQ(OpenPath(fits), 0);
    EXPECT_EQ(U8(PanesTitle()), title);
    EXPECT_EQ(U8(DocumentPath), fits);
    const std::size_t messages = PanesMessages().size();
    PanesQueueOpenAnswer(U16(tooLong));
    OpenCommand();
    PanesWaitForOpen();
    EXPECT_EQ(PanesMessages().size(), messages);
    EXPECT_EQ(U8(PanesTitle()), title);
    EXPECT_NE(DocumentRoot.data.ptr, nullptr);

    // By path.
    ReleaseDocument();
    OpenDocumentPath(U16(fits).c_str());
    PanesWaitForOpen();
    EXPECT_EQ(PanesMessages().size(), messages);
    EXPECT_EQ(U8(PanesTitle()), title);
    EXPECT_EQ(U8(DocumentPath), fits);
    EXPECT_EQ(ChildTexts(TreeRootItem()), std::vector<std::string>{"0"});
    OpenDocumentPath(U16(tooLong).c_str());
    PanesWaitForOpen();
    ASSERT_EQ(PanesMessages().size(), messages + 1);
    EXPECT_EQ(U8(PanesMessages().back().text), "打开文件失败");
    EXPECT_EQ(DocumentRoot.data.ptr, nullptr);
    EXPECT_EQ(U8(DocumentPath), fits);
}

// The image of every kind of row that is no container: numbers and raw
// bytes show the number image, and so do links to them.  Ruby wrote the
// file: [1, b, f, u, "s", :sym, nil, true, f, b, "s", u] with b = 2**70,
// f = 1.5 and u an object that dumps itself as "ab".
TEST_F(ViewerTest, NumbersRawBytesAndLinksToThemShowTheNumberImage) {
    const std::vector<std::uint8_t> bytes = Bytes(
        "04 08 5b 11 69 06 6c 2b 0a 00 00 00 00 00 00 00 00 40 00 66 08 31 2e 35 75 3a 07 55 44 07 61 62 22 06 73 "
        "3a 08 73 79 6d 30 54 40 07 40 06 40 09 40 08");
    ASSERT_EQ(Open(std::string(bytes.begin(), bytes.end())), 0);
    TreeSelectItem(Child(TreeRootItem(), "0"));
    const int number = kImageNumber, value = kImageValue;
    const int images[] = {number, number, number, number, value, value, value, value, number, number, value, number};
    ASSERT_EQ(PanesRowCount(), 13);  // ".." first
    for (int i = 0; i < 12; ++i) EXPECT_EQ(PanesRowImage(RowNamed(std::to_string(i))), images[i]) << "row " << i;
}
