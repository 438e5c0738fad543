// Find, go to path, copy, history and the references menu, and the open
// sequence's cancel and second open: one set of expectations, run over the
// in-memory panes, the Qt window and the native Windows window (each test
// program links its own tests/pane_adapter.h).
//
// The walk document, as Ruby would dump it:
//   data0    = [1, inner, "a", <link to "shared">, <link to inner>]
//   data0[1] = inner = [2, 3, "shared"]
#include <system_error>

#include "present/viewer_document.h"
#include "tests/marshal_bytes.h"
#include "tests/viewer_fixture.h"
#include "ui/find_controller.h"
#include "ui/front_end.h"
#include "ui/nav_panes.h"
#include "ui/navigation_controller.h"
#include "ui/open_sequence.h"
#include "ui/window_commands.h"

using namespace mb;

namespace {
std::string Walk() {
    return Dump(Arr({Int(1), Arr({Int(2), Int(3), Str("shared")}), Str("a"), Link(2), Link(1)}));
}

class NavigationContractTest : public ViewerTest {
protected:
    void OpenWalk() {
        ASSERT_EQ(Open(Walk(), "walk.rxdata"), 0);
        PanesRunEvents();
    }
    NavigationController& Nav() { return PanesNavigation(); }
    void Select(TreeItem item) {
        TreeSelectItem(item);
        PanesRunEvents();
    }
    TreeItem Data0() { return Child(TreeRootItem(), "0"); }
    void Search(const std::u16string& text, unsigned columns = kFindAllColumns, bool matchCase = false) {
        FindQuery query;
        query.text = text;
        query.columns = columns;
        query.matchCase = matchCase;
        PanesFind().SetQuery(query);
        PanesFind().Start();
        for (int i = 0; i < 500 && PanesFind().Searching(); ++i) PanesRunEvents();
        PanesRunEvents();
    }
    static std::vector<std::string> Texts(const std::vector<MenuEntry>& menu) {
        std::vector<std::string> texts;
        for (const MenuEntry& entry : menu) texts.push_back(entry.text.empty() ? "-" : U8(entry.text) + (entry.enabled ? "" : " (off)"));
        return texts;
    }
};
}  // namespace

TEST_F(NavigationContractTest, FindGoesToTheHitsInTreeOrderAndWrapsRound) {
    OpenWalk();
    // "2" names data0[2] and inner[2] and shows in the values of data0[3]
    // (its target's path) and inner[0]: containers in pre-order, a
    // container's rows with the containers first.
    struct Step {
        void (FindController::*move)();
        const char* status;
        const char* path;
    };
    Search(u"2", kFindName | kFindValue);
    EXPECT_EQ(U8(PanesFind().StatusText()), "第 1 个，共 4 个");
    EXPECT_EQ(Status(), "路径: data0[2]");
    const Step steps[] = {
        {&FindController::Next, "第 2 个，共 4 个", "路径: data0[3]"},
        {&FindController::Next, "第 3 个，共 4 个", "路径: data0[1][0]"},
        {&FindController::Next, "第 4 个，共 4 个", "路径: data0[1][2]"},
        {&FindController::Next, "第 1 个，共 4 个", "路径: data0[2]"},
        {&FindController::Previous, "第 4 个，共 4 个", "路径: data0[1][2]"},
    };
    for (const Step& step : steps) {
        (PanesFind().*step.move)();
        PanesRunEvents();
        EXPECT_EQ(U8(PanesFind().StatusText()), step.status);
        EXPECT_EQ(Status(), step.path);
    }
    Search(u"SHARED", kFindValue, true);
    EXPECT_EQ(U8(PanesFind().StatusText()), "未找到");
    Search(u"SHARED", kFindValue, false);
    EXPECT_EQ(U8(PanesFind().StatusText()), "第 1 个，共 1 个");
    EXPECT_EQ(Status(), "路径: data0[1][2]");
}

TEST_F(NavigationContractTest, GoToPathSelectsTheRowOrSaysWhichStepIsMissing) {
    OpenWalk();
    struct Case {
        const char16_t* path;
        const char* error;
        const char* status;
        const char* focused;  // the row that holds the focus mark after
    } cases[] = {
        {u"路径: data0[1][2]", "", "路径: data0[1][2]", "2"},
        {u"data0[1][7]", "data0[1] 没有 [7]", "路径: data0[1][2]", "2"},
        {u"data0[2]", "", "路径: data0[2]", "2"},
        // In the same list the focus moves on: one row holds it.
        {u"data0[4]", "", "路径: data0[4]", "4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.path));
        EXPECT_EQ(U8(Nav().GoToPath(c.path)), c.error);
        PanesRunEvents();
        EXPECT_EQ(Status(), c.status);
        EXPECT_EQ(PanesFocusedRow(), RowNamed(c.focused));
    }
    EXPECT_EQ(U8(NavigationController::CurrentPathText()), "data0[4]");
}

TEST_F(NavigationContractTest, CopyTextsAndMenusSayWhatTheRowsShow) {
    OpenWalk();
    Select(Data0());
    PanesClickRow(RowNamed("1"));
    PanesClickRow(RowNamed("3"), true);
    EXPECT_EQ(U8(NavigationController::SelectedRowsText()), "1\t数组\t\n3\t链接\tdata0[1][2]\n");
    std::vector<MenuEntry> menu = Nav().RowMenu(RowNamed("3"));
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"复制名称", "复制值", "复制路径", "复制行", "-", "被引用 1 次"}));
    // 复制行 on a row that is selected copies every selected row.
    const char* copied[] = {"3", "data0[1][2]", "data0[3]", "1\t数组\t\n3\t链接\tdata0[1][2]\n"};
    for (int i = 0; i < 4; ++i) {
        menu[static_cast<std::size_t>(i)].choose();
        EXPECT_EQ(U8(PanesClipboard()), copied[i]) << i;
    }
    EXPECT_EQ(Texts(Nav().RowMenu(-1)), std::vector<std::string>{"复制路径"});
    EXPECT_EQ(Texts(Nav().TreeMenu(TreeRootItem())), std::vector<std::string>{"复制路径"});
    std::vector<MenuEntry> tree = Nav().TreeMenu(Child(Data0(), "1"));
    EXPECT_EQ(Texts(tree), (std::vector<std::string>{"复制路径", "-", "被引用 1 次"}));
    tree[0].choose();
    EXPECT_EQ(U8(PanesClipboard()), "data0[1]");
}

TEST_F(NavigationContractTest, TheReferencesMenuGoesToALinkAsAStepOfItsOwn) {
    OpenWalk();
    Select(Child(Data0(), "1"));
    const MarshalNode* shared = ListRowNode(RowNamed("2"));
    std::vector<MenuEntry> links = Nav().ReferencesMenu(shared);
    EXPECT_EQ(Texts(links), (std::vector<std::string>{"被引用 1 次 (off)", "-", "data0[3]"}));
    links[2].choose();
    PanesRunEvents();
    EXPECT_EQ(CaretText(), "0");
    EXPECT_EQ(Status(), "路径: data0[3]");
    Nav().Back();
    PanesRunEvents();
    EXPECT_EQ(CaretText(), "1");
    // A value nothing links to offers the entry, disabled.
    EXPECT_EQ(Texts(Nav().RowMenu(RowNamed("0"))).back(), "被引用 0 次 (off)");
}

TEST_F(NavigationContractTest, HistoryStepsAreMovesToNewPlacesAndRowsOnlyUpdateThem) {
    OpenWalk();
    Select(Data0());
    PanesClickRow(RowNamed("4"));  // the link to inner, followed
    PanesRunEvents();
    OnListRowActivated(RowNamed("4"));
    PanesRunEvents();
    ASSERT_EQ(CaretText(), "1");
    PanesClickRow(RowNamed("0"));  // another row: the same step remembers it
    PanesRunEvents();
    struct Move {
        void (NavigationController::*go)();
        const char* caret;
        const char* status;
    } moves[] = {
        {&NavigationController::Back, "0", "路径: data0[4]"},  // the link row, as it was left
        {&NavigationController::Back, "walk.rxdata", ""},
        {&NavigationController::Back, "walk.rxdata", ""},  // nothing before the first place
        {&NavigationController::Forward, "0", "路径: data0[4]"},
        {&NavigationController::Forward, "1", "路径: data0[1][0]"},
    };
    for (const Move& move : moves) {
        (Nav().*move.go)();
        PanesRunEvents();
        EXPECT_EQ(CaretText(), move.caret);
        EXPECT_EQ(Status(), move.status);
    }
    Nav().Back();
    PanesRunEvents();
    Activate("1");  // a new move drops what lay ahead
    PanesRunEvents();
    EXPECT_FALSE(Nav().History().CanGoForward());
    OpenWalk();  // a new document starts a new history
    EXPECT_FALSE(Nav().History().CanGoBack());
}

// MARK: the open sequence, as every window runs it

TEST_F(NavigationContractTest, ASecondOpenOrACancelEndsTheRunningOneSilently) {
    ASSERT_EQ(Open(Walk(), "first.rxdata"), 0);
    WriteFileBytes(ScratchDir() + "second.rxdata", Walk());
    WriteFileBytes(ScratchDir() + "third.rxdata", Walk());
    const std::size_t messages = PanesMessages().size();
    StartOpenSequence(U16(ScratchDir() + "second.rxdata").c_str());
    StartOpenSequence(U16(ScratchDir() + "third.rxdata").c_str());
    PanesWaitForOpen();
    EXPECT_EQ(PanesMessages().size(), messages);
    EXPECT_EQ(U8(PanesTitle()), "third.rxdata - Quarnix");
    EXPECT_EQ(CaretText(), "third.rxdata");

    StartOpenSequence(U16(ScratchDir() + "second.rxdata").c_str());
    CancelOpenSequence();
    PanesWaitForOpen();
    EXPECT_EQ(PanesMessages().size(), messages);
    EXPECT_EQ(PanesItemCount(), 0u);
    EXPECT_EQ(DocumentRoot.data.ptr, nullptr);
    EXPECT_EQ(U8(PanesTitle()), "third.rxdata - Quarnix");  // the title it had
}

// F3 while the file loads does nothing: no search and no holder index over
// a document still being written.  The next F3, once the tree shows, finds
// every hit and selects the first.
TEST_F(NavigationContractTest, AFindDuringALoadLeavesTheNextFindWhole) {
    WriteFileBytes(ScratchDir() + "walk.rxdata", Walk());
    FindQuery query;
    query.text = u"2";
    query.columns = kFindName | kFindValue;
    PanesFind().SetQuery(query);
    PanesFind().Stop();  // the query stays, its restart timer goes
    StartOpenSequence(U16(ScratchDir() + "walk.rxdata").c_str());
    PanesFind().Next();
    PanesWaitForOpen();
    PanesRunEvents();
    EXPECT_EQ(U8(PanesFind().StatusText()), "");
    PanesFind().Next();
    for (int i = 0; i < 500 && PanesFind().Searching(); ++i) PanesRunEvents();
    PanesRunEvents();
    EXPECT_EQ(U8(PanesFind().StatusText()), "第 1 个，共 4 个");
    EXPECT_EQ(Status(), "路径: data0[2]");
}

// While an open runs the menus' commands are all off and none runs: the
// path is not copied, the history does not move.
TEST_F(NavigationContractTest, NoWindowCommandRunsWhileAnOpenRuns) {
    WriteFileBytes(ScratchDir() + "walk.rxdata", Walk());
    ClipboardSetText(u"before");
    StartOpenSequence(U16(ScratchDir() + "walk.rxdata").c_str());
    for (int command = 0; command < kWindowCommandCount; ++command) {
        EXPECT_FALSE(WindowCommandEnabled(command)) << command;
        EXPECT_FALSE(RunWindowCommand(command)) << command;
    }
    EXPECT_EQ(U8(PanesClipboard()), "before");
    PanesWaitForOpen();
    Select(Data0());
    EXPECT_TRUE(RunWindowCommand(kCopyPathCommand));
    EXPECT_EQ(U8(PanesClipboard()), "data0");
}

TEST_F(NavigationContractTest, AThreadThatCannotBeHadRunsTheStepsInLine) {
    const FrontEndOps ops = FrontEndOpsInUse();
    FrontEndOps refusing = ops;
    refusing.startWorker = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    SetFrontEndOps(refusing);
    const int opened = Open(Walk(), "walk.rxdata");
    PanesRunEvents();
    Search(u"shared", kFindValue);
    SetFrontEndOps(ops);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(U8(PanesTitle()), "walk.rxdata - Quarnix");
    EXPECT_EQ(U8(PanesFind().StatusText()), "第 1 个，共 1 个");
}
