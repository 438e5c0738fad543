// The game folder controller over the in-memory panes, where its workers
// run in line and its posted steps wait: the index kept while the folder's
// files stay as they were and rebuilt when one changes, a cancelled search
// whose lines never arrive, and hostile siblings that only leave names out.
#include <filesystem>

#include "game/game_folder.h"
#include "tests/dump_support.h"
#include "tests/preview_adapter.h"
#include "tests/viewer_fixture.h"
#include "ui/game_folder_controller.h"
#include "ui/navigation_controller.h"

namespace fs = std::filesystem;

namespace {
class GameFolderControllerTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        PreviewStart();
    }
    GameFolderController& Folder() { return PanesGameFolder(); }
    // A copy of a fixture folder that the test may change.
    std::string CopyOf(const std::string& folder) {
        const fs::path to = PathFromUtf8(ScratchDir() + folder);
        fs::create_directories(to);
        for (const auto& entry : fs::directory_iterator(PathFromUtf8(Game(folder))))
            fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
        return PathToUtf8(to);
    }
    std::size_t UsesOfSwitch1() {
        Folder().FindUses(RefKind::kSwitch, 1);
        PanesRunEvents();
        return Folder().Results().size();
    }
};
}  // namespace

TEST_F(GameFolderControllerTest, TheIndexIsKeptUntilAFileOfTheFolderChanges) {
    const std::string dir = CopyOf("ruby18");
    ASSERT_EQ(OpenPath(dir + "/Map001.rxdata"), 0);
    PanesRunEvents();
    EXPECT_EQ(UsesOfSwitch1(), 3u);
    // Answered from the index at once: nothing runs, nothing waits.
    Folder().FindUses(RefKind::kSwitch, 1);
    EXPECT_FALSE(Folder().Running());
    EXPECT_EQ(Folder().Results().size(), 3u);
    // The troop that turns switch 1 off goes: the next search reindexes.
    fs::remove(PathFromUtf8(dir + "/Troops.rxdata"));
    EXPECT_EQ(UsesOfSwitch1(), 2u);
    // A map written again (another size) counts as changed as well.
    const std::string map = ReadFileBytes(dir + "/Map001.rxdata");
    WriteFileBytes(dir + "/Map001.rxdata", map.substr(0, map.size() / 2));
    EXPECT_EQ(UsesOfSwitch1(), 0u);
    EXPECT_EQ(U8(Folder().Status()), "未找到");
    EXPECT_TRUE(PanesMessages().empty());
}

TEST_F(GameFolderControllerTest, ACancelledSearchKeepsItsLinesAndNoLaterOnesArrive) {
    ASSERT_EQ(OpenPath(Game("ruby3/Map001.rxdata")), 0);
    PanesRunEvents();
    struct Case {
        const char* what;
        std::function<void()> start;
    };
    const Case cases[] = {
        {"uses", [this] { Folder().FindUses(RefKind::kVariable, 2); }},
        {"find", [this] {
             FindQuery query;
             query.text = u"火山";
             Folder().FindInFolder(query);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.start();  // the worker has run in line; its lines wait to be posted
        EXPECT_TRUE(Folder().Running());
        Folder().Cancel();
        PanesRunEvents();
        EXPECT_FALSE(Folder().Running());
        EXPECT_TRUE(Folder().Results().empty());
        EXPECT_EQ(U8(Folder().Status()), "已取消，已列出 0 个");
        Folder().Clear();
        EXPECT_EQ(U8(Folder().Title()), "");
    }
}

TEST_F(GameFolderControllerTest, HostileSiblingsOnlyLeaveTheirNamesOut) {
    // Expected readings from make_game_fixtures.rb: hostile_a's System is
    // no Marshal file (switches unnamed) while its MapInfos names the huge
    // map id; hostile_b's switches are a hash (unnamed) and its second
    // variable is named.
    struct Case {
        const char* folder;
        const char* firstLine;
    };
    const Case cases[] = {
        {"hostile_a", "◆开关操作：[-5] = ON"},
        {"hostile_b", "◆变量操作：[0002: 第二个] = 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        ASSERT_EQ(OpenPath(Game(std::string(c.folder) + "/Map001.rxdata")), 0);
        PanesRunEvents();
        ASSERT_EQ(U8(PanesNavigation().GoToPath(u"data0.events.values[0].pages[0].list[0]")), "");
        PanesRunEvents();
        ASSERT_FALSE(PreviewLines().empty());
        EXPECT_EQ(U8(PreviewLines()[0]), c.firstLine);
        EXPECT_TRUE(PanesMessages().empty());
        // The uses of a switch the hostile commands name out of range.
        Folder().FindUses(RefKind::kSwitch, 0);
        PanesRunEvents();
        EXPECT_FALSE(Folder().Running());
    }
    EXPECT_EQ(Folder().Results().size(), 0u);
}
