// The game's folder in the window: names in the preview's readings, the
// "查找 … 的用处" entries of the row and preview menus, the results list
// and choosing its lines across files, 在文件夹中查找.  One set of
// expectations over the in-memory panes, the Qt window and the native
// Windows window.  The expectations are read by hand from
// tests/data/make_game_fixtures.rb: switch 1 is "升级提示开关"; Map001's
// event 1 "村长" turns it ON on page 1 (whose condition also tests it);
// troop 1 "史莱姆×2" turns it OFF; Map003's only event is "火山口".
#include "tests/preview_adapter.h"
#include "tests/viewer_fixture.h"
#include "ui/game_folder_controller.h"
#include "ui/navigation_controller.h"

namespace {
std::string Game(const std::string& file) { return std::string(QUARNIX_TEST_DATA) + "/game/" + file; }

class GameFolderContractTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        PreviewStart();
    }
    void OpenGame(const std::string& file) {
        ASSERT_EQ(OpenPath(Game(file)), 0);
        WaitForNames();
    }
    void WaitForNames() {
        for (int i = 0; i < 500 && !PanesGameFolder().Names(); ++i) PanesRunEvents();
    }
    void GoTo(const std::u16string& path) {
        ASSERT_EQ(U8(PanesNavigation().GoToPath(path)), "");
        PanesRunEvents();
    }
    void WaitForResults() {
        PanesRunEvents();
        for (int i = 0; i < 2000 && PanesGameFolder().Running(); ++i) PanesRunEvents();
        PanesRunEvents();
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const std::u16string& line : PanesResultLines()) lines.push_back(U8(line));
        return lines;
    }
    std::string FileOpen() {
        const std::string title = U8(PanesTitle());
        return title.substr(0, title.find(' '));
    }
};

const char* const kSwitch1Lines[] = {
    "Map001.rxdata　事件 [0001: 村长] 第 1 页　条件：开关 [0001: 升级提示开关] 为 ON",
    "Map001.rxdata　事件 [0001: 村长] 第 1 页　[写入] ◆开关操作：[0001: 升级提示开关] = ON",
    "Troops.rxdata　敌人队伍 [0001: 史莱姆×2] 第 1 页　[写入] ◆开关操作：[0001: 升级提示开关] = OFF",
};
}  // namespace

TEST_F(GameFolderContractTest, ThePreviewNamesWhatCommandsReferTo) {
    for (const char* folder : {"ruby18", "ruby3"}) {
        SCOPED_TRACE(folder);
        OpenGame(std::string(folder) + "/Map001.rxdata");
        GoTo(u"data0.events.values[0].pages[0].list[4]");
        ASSERT_EQ(PreviewPageShown(), SeenPage::kEvents);
        const std::vector<std::u16string> lines = PreviewLines();
        ASSERT_GT(lines.size(), 4u);
        EXPECT_EQ(U8(lines[0]), "◆开关操作：[0001: 升级提示开关] = ON");
        EXPECT_EQ(U8(lines[4]), "  ◆场所移动：地图 [0003: 火山星] (10, 12)");
        EXPECT_EQ(PreviewMarkedLine(), 4);
        // The map itself says which map it is, and where it sits.
        GoTo(u"data0");
        EXPECT_NE(U8(PreviewHeader()).find("地图 [0001: 世界]"), std::string::npos) << U8(PreviewHeader());
    }
}

TEST_F(GameFolderContractTest, ARowOfTheSwitchesListFindsItsUsesAcrossTheFolder) {
    OpenGame("ruby18/System.rxdata");
    GoTo(u"data0.switches[1]");
    const int row = ListNextSelectedRow(-1);
    ASSERT_GE(row, 0);
    std::vector<MenuEntry> menu = PanesNavigation().RowMenu(row);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(U8(menu.back().text), "查找 开关 [0001: 升级提示开关] 的用处");
    EXPECT_FALSE(PanesResultsShown());
    menu.back().choose();
    WaitForResults();
    EXPECT_TRUE(PanesResultsShown());
    EXPECT_EQ(U8(PanesResultsHeading()), "开关 [0001: 升级提示开关] 的用处　共 3 处");
    EXPECT_EQ(Lines(), std::vector<std::string>(std::begin(kSwitch1Lines), std::end(kSwitch1Lines)));
    // The file, status bar and title stay the opened file's.
    EXPECT_EQ(FileOpen(), "System.rxdata");
    EXPECT_EQ(Status(), "路径: data0.switches[1]");

    // Rows that name nothing the index answers offer no entry: the list of
    // switches itself, the ".." row.
    GoTo(u"data0.switches");
    for (const MenuEntry& entry : PanesNavigation().RowMenu(ListNextSelectedRow(-1)))
        EXPECT_EQ(U8(entry.text).find("的用处"), std::string::npos) << U8(entry.text);
}

TEST_F(GameFolderContractTest, ChoosingALineOpensItsFileAndSelectsTheRow) {
    OpenGame("ruby3/Items.rxdata");
    PanesGameFolder().FindUses(RefKind::kSwitch, 1);
    WaitForResults();
    ASSERT_EQ(Lines().size(), 3u);
    struct Step {
        int line;
        const char* file;
        const char* status;
    };
    const Step steps[] = {
        {2, "Troops.rxdata", "路径: data0[1].pages[0].list[0]"},
        {1, "Map001.rxdata", "路径: data0.events.values[0].pages[0].list[0]"},
        {0, "Map001.rxdata", "路径: data0.events.values[0].pages[0].condition"},  // in the open file: no new open
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.line);
        PanesChooseResult(step.line);
        PanesWaitForOpen();
        PanesRunEvents();
        EXPECT_EQ(FileOpen(), step.file);
        EXPECT_EQ(Status(), step.status);
        EXPECT_EQ(SelectedRows().size(), 1u);
        // The list stays as it was for the next choice.
        EXPECT_EQ(Lines().size(), 3u);
    }
    EXPECT_TRUE(PanesMessages().empty());
    // Back goes to the place before the choice.
    PanesNavigation().Back();
    PanesRunEvents();
    EXPECT_EQ(Status(), "路径: data0.events.values[0].pages[0].list[0]");
}

TEST_F(GameFolderContractTest, AnEventLineOfThePreviewFindsTheUsesOfWhatItNames) {
    OpenGame("ruby18/Map001.rxdata");
    GoTo(u"data0.events.values[0].pages[0].list[3]");
    EXPECT_EQ(PreviewLineMenu(0), std::vector<std::u16string>{u"查找 开关 [0001: 升级提示开关] 的用处"});
    EXPECT_EQ(PreviewLineMenu(3), std::vector<std::u16string>{u"查找 公共事件 [0001: 治疗全员] 的用处"});
    PreviewChooseLineMenu(3, 0);
    WaitForResults();
    EXPECT_EQ(Lines(), std::vector<std::string>{"Map001.rxdata　事件 [0001: 村长] 第 1 页　◆公共事件：[0001: 治疗全员]"});
    EXPECT_EQ(U8(PanesResultsHeading()), "公共事件 [0001: 治疗全员] 的用处　共 1 处");
}

TEST_F(GameFolderContractTest, FindInFolderListsTheHitsOfEveryFileInNameOrder) {
    OpenGame("ruby18/Map001.rxdata");
    PanesFindInFolder(u"火山");
    WaitForResults();
    EXPECT_TRUE(PanesResultsShown());
    // The map's name in MapInfos, the event's name on Map003; Map001's
    // command names the map by its number only.
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Map003.rxdata　data0.events.values[0].name　name　字符串　火山口",
                           "MapInfos.rxdata　data0.values[2].name　name　字符串　火山星",
                       }));
    EXPECT_EQ(U8(PanesResultsHeading()), "在文件夹中查找 “火山”　共 2 个");
    PanesChooseResult(1);
    PanesWaitForOpen();
    PanesRunEvents();
    EXPECT_EQ(FileOpen(), "MapInfos.rxdata");
    EXPECT_EQ(Status(), "路径: data0.values[2].name");
}

TEST_F(GameFolderContractTest, AFolderWithoutTheDatabaseReadsAsBeforeAndOffersNoUses) {
    ASSERT_EQ(Open(ReadFileBytes(Game("ruby18/Map001.rxdata")), "Map001.rxdata"), 0);
    PanesRunEvents();
    EXPECT_EQ(PanesGameFolder().Names(), nullptr);
    GoTo(u"data0.events.values[0].pages[0].list[0]");
    EXPECT_EQ(U8(PreviewLines().at(0)), "◆开关操作：[0001] = ON");
    // The menu still offers the search: its answer is the file's own uses.
    PanesGameFolder().FindUses(RefKind::kSwitch, 1);
    WaitForResults();
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "Map001.rxdata　事件 [0001: 村长] 第 1 页　条件：开关 [0001] 为 ON",
                           "Map001.rxdata　事件 [0001: 村长] 第 1 页　[写入] ◆开关操作：[0001] = ON",
                       }));
}
