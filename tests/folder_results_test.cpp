// The results list of the game's folder over the panes: what its lines
// say, what the context menu offers, and choosing a line, in the open file
// or in another one opened by the Open command.  Expectations written by
// hand from tests/data/make_game_fixtures.rb.
#include <filesystem>
#include <memory>

#include "game/game_folder.h"
#include "game/names_read.h"
#include "lens/node_access.h"
#include "marshal/load.h"
#include "present/path_parse.h"
#include "present/viewer_document.h"
#include "tests/viewer_fixture.h"
#include "ui/folder_results.h"

namespace fs = std::filesystem;

namespace {
std::string Ruby18Game(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/game/ruby18/" + name; }

class FolderResultsTest : public ViewerTest {
protected:
    void Index() {
        auto scratch = std::make_unique<MarshalDocument>();
        ASSERT_TRUE(ReadGameNames(PathFromUtf8(Ruby18Game("")), *scratch, names_));
        ASSERT_TRUE(BuildUsageIndex(UsageFiles(PathFromUtf8(Ruby18Game(""))), &names_, *scratch, index_));
        DropDocument(*scratch);
    }
    GameNames names_;
    UsageIndex index_;
};
}  // namespace

TEST_F(FolderResultsTest, LinesSayFileEventPageAndReadingWithWritesMarked) {
    Index();
    const std::vector<FolderResult> results = UseResults(index_, RefKind::kSwitch, 3);
    std::vector<std::string> lines;
    for (const FolderResult& r : results) lines.push_back(U8(r.text));
    EXPECT_EQ(lines, (std::vector<std::string>{
        "CommonEvents.rxdata　公共事件 [0002: 自动开门]　并行处理，条件开关 [0003: 门已打开]",
        "CommonEvents.rxdata　公共事件 [0002: 自动开门]　[写入] ◆开关操作：[0003: 门已打开] = ON",
        "Map001.rxdata　事件 [0002: 宝箱] 第 2 页　条件：开关 [0003: 门已打开] 为 ON",
        "Map001.rxdata　事件 [0002: 宝箱] 第 2 页　[写入] ◆开关操作：[0002..0004] = OFF"}));
    const std::vector<FolderResult> actor = UseResults(index_, RefKind::kActor, 1);
    ASSERT_FALSE(actor.empty());
    EXPECT_EQ(U8(actor.back().text),
              "Troops.rxdata　敌人队伍 [0001: 史莱姆×2] 第 1 页　条件：角色 [0001: 阿尔西斯] 的体力 50% 以下，开关 [0002] 为 ON");
    EXPECT_EQ(U8(FindUsesMenuText(RefKind::kSwitch, 1, &names_)), "查找 开关 [0001: 升级提示开关] 的用处");
    EXPECT_EQ(U8(FindUsesMenuText(RefKind::kSwitch, 48, &names_)), "查找 开关 [0048] 的用处");
    EXPECT_EQ(U8(FindUsesMenuText(RefKind::kCommonEvent, 2, nullptr)), "查找 公共事件 [0002] 的用处");
}

TEST_F(FolderResultsTest, ChoosingALineSelectsItsRowOpeningItsFileFirst) {
    Index();
    ASSERT_EQ(OpenPath(Ruby18Game("Map001.rxdata")), 0);
    const std::vector<FolderResult> results = UseResults(index_, RefKind::kSwitch, 1);
    ASSERT_EQ(results.size(), 3u);
    HolderIndex holders;
    ASSERT_TRUE(holders.Build(&DocumentRoot));
    // In the open file: the row is selected at once.
    EXPECT_FALSE(ResultNeedsOpen(results[1], PathFromUtf8(Ruby18Game("Map001.rxdata"))));
    ASSERT_TRUE(SelectResultRow(results[1], holders));
    EXPECT_EQ(Status(), "路径: data0.events.values[0].pages[0].list[0]");
    EXPECT_EQ(SelectedRows().size(), 1u);
    ASSERT_TRUE(SelectResultRow(results[0], holders));
    EXPECT_EQ(Status(), "路径: data0.events.values[0].pages[0].condition");
    // In another file: the Open command first, then the row.
    EXPECT_TRUE(ResultNeedsOpen(results[2], PathFromUtf8(Ruby18Game("Map001.rxdata"))));
    holders.Clear();
    ASSERT_EQ(OpenPath(PathToUtf8(results[2].file)), 0);
    ASSERT_TRUE(holders.Build(&DocumentRoot));
    ASSERT_TRUE(SelectResultRow(results[2], holders));
    EXPECT_EQ(Status(), "路径: data0[1].pages[0].list[0]");
    EXPECT_EQ(SelectedRows().size(), 1u);
    // A path the file no longer has selects nothing.
    FolderResult gone = results[2];
    gone.path = u"data0[9].pages[0].list[0]";
    EXPECT_FALSE(SelectResultRow(gone, holders));
}

TEST_F(FolderResultsTest, TheContextMenuAsksForWhatTheRowOrCommandIs) {
    ASSERT_EQ(OpenPath(Ruby18Game("System.rxdata")), 0);
    const MarshalNode* system = Unwrapped(ChildAt(&DocumentRoot, 0));
    const MarshalNode* switches = Unwrapped(InstanceVariable(system, "switches"));
    const MarshalNode* variables = Unwrapped(InstanceVariable(system, "variables"));
    RefKind kind{};
    std::int64_t id = 0;
    ASSERT_TRUE(RowUseTarget(switches, 3, "SYSTEM.rxdata", kind, id));
    EXPECT_EQ(kind, RefKind::kSwitch);
    EXPECT_EQ(id, 3);
    ASSERT_TRUE(RowUseTarget(variables, 2, "System.rxdata", kind, id));
    EXPECT_EQ(kind, RefKind::kVariable);
    EXPECT_FALSE(RowUseTarget(switches, 0, "System.rxdata", kind, id));  // the nil before switch 1
    EXPECT_FALSE(RowUseTarget(switches, 3, "Items.rxdata", kind, id));   // not System's list
    ASSERT_EQ(OpenPath(Ruby18Game("Items.rxdata")), 0);
    ASSERT_TRUE(RowUseTarget(Unwrapped(ChildAt(&DocumentRoot, 0)), 2, "items.RXDATA", kind, id));
    EXPECT_EQ(kind, RefKind::kItem);
    EXPECT_EQ(id, 2);
    ASSERT_EQ(OpenPath(Ruby18Game("Classes.rxdata")), 0);  // classes are named, but not searched for
    EXPECT_FALSE(RowUseTarget(Unwrapped(ChildAt(&DocumentRoot, 0)), 1, "Classes.rxdata", kind, id));

    ASSERT_EQ(OpenPath(Ruby18Game("Map001.rxdata")), 0);
    PathTarget target;
    struct Case {
        const char16_t* path;
        bool offered;
        RefKind kind;
        std::int64_t id;
    };
    const Case cases[] = {
        {u"data0.events.values[0].pages[0].list[1]", true, RefKind::kVariable, 2},     // the variable written first
        {u"data0.events.values[0].pages[0].list[10]", true, RefKind::kActor, 1},
        {u"data0.events.values[0].pages[0].list[12]", true, RefKind::kAnimation, 1},  // event 2 is no KIND
        {u"data0.events.values[0].pages[0].list[13]", false, {}, 0},                    // a self switch
        {u"data0.events.values[0].pages[0].list[5]", false, {}, 0},                     // 分歧结束
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ResolveAccessPath(c.path, &DocumentRoot, target)) << U8(c.path);
        EXPECT_EQ(CommandUseTarget(target.node, kind, id), c.offered) << U8(c.path);
        if (!c.offered) continue;
        EXPECT_EQ(kind, c.kind) << U8(c.path);
        EXPECT_EQ(id, c.id) << U8(c.path);
    }
}
