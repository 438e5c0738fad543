// The game's folder: names in the readings, the usage index through
// `quarnix-dump --uses`, search across files, and siblings that only leave
// their names out.  The expectations were written by hand from
// tests/data/make_game_fixtures.rb.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/folder_find.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "game/usage_index.h"
#include "lens/game_names.h"
#include "marshal/load.h"
#include "present/text.h"
#include "tests/dump_support.h"

namespace fs = std::filesystem;

namespace {
// The event command lines of a --lens dump (continuation lines with ◆ or ：).
std::vector<std::string> CommandLines(const std::string& out) {
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(out))
        if (line.rfind("\t| ", 0) == 0 && (line.find("◆") != std::string::npos || line.find("：分歧") != std::string::npos))
            lines.push_back(line.substr(3));
    return lines;
}

std::string Utf8(std::u16string_view text) {
    char* bytes = WideToUtf8(std::u16string(text).c_str());
    std::string out = bytes ? bytes : "";
    std::free(bytes);
    return out;
}

const char* const kFolders[] = {"ruby18", "ruby3"};

struct Scratch {
    Scratch() : doc(new MarshalDocument{}) {}
    ~Scratch() { DropDocument(*doc); }
    std::unique_ptr<MarshalDocument> doc;
};

GameNames NamesOf(const std::string& folder) {
    GameNames names;
    Scratch scratch;
    EXPECT_TRUE(ReadGameNames(PathFromUtf8(folder), *scratch.doc, names));
    return names;
}

std::string NameText(const GameNames& names, RefKind kind, std::int64_t id) {
    const std::string* name = FindName(&names, kind, id);
    return name ? *name : "(none)";
}
}  // namespace

TEST(GameFolderTest, ReadingsNameWhatTheCommandsReferTo) {
    const std::vector<std::string> named = {
        "◆开关操作：[0001: 升级提示开关] = ON",
        "◆变量操作：[0002: 步数] += 变量 [0001: 金币数]",
        "◆条件分歧：开关 [0005] 为 ON",  // used, but System names only 3 switches
        "  ◆公共事件：[0001: 治疗全员]",
        "  ◆场所移动：地图 [0003: 火山星] (10, 12)",
        "：分歧结束",
        "◆增减物品：[0001: 药草] + 3",
        "◆增减武器：[0001: 铜剑] + 1",
        "◆增减防具：[0001: 皮甲] + 变量 [0002: 步数]",
        "◆替换队员：加入 [0002]",  // actor 2 has an empty name
        "◆增减技能：角色 [0001: 阿尔西斯] 学会 技能 [0001: 火焰]",
        "◆战斗处理：敌人队伍 [0001: 史莱姆×2]，可以逃跑",
        "◆显示动画：事件 2，动画 [0001: 斩击]",
        "◆独立开关操作：A = ON",
        "◆",
        "◆条件分歧：持有物品 [0002: 解毒剂]",
        "◆商店处理：武器 [0001: 铜剑]",
        "◆",
        "◆开关操作：[0002..0004] = OFF",
        "◆",
    };
    const std::vector<std::string> numbers = {
        "◆开关操作：[0001] = ON",
        "◆变量操作：[0002] += 变量 [0001]",
        "◆条件分歧：开关 [0005] 为 ON",
        "  ◆公共事件：[0001]",
        "  ◆场所移动：地图 [0003] (10, 12)",
        "：分歧结束",
        "◆增减物品：[0001] + 3",
        "◆增减武器：[0001] + 1",
        "◆增减防具：[0001] + 变量 [0002]",
        "◆替换队员：加入 [0002]",
        "◆增减技能：角色 [0001] 学会 技能 [0001]",
        "◆战斗处理：敌人队伍 [0001]，可以逃跑",
        "◆显示动画：事件 2，动画 [0001]",
        "◆独立开关操作：A = ON",
        "◆",
        "◆条件分歧：持有物品 [0002]",
        "◆商店处理：武器 [0001]",
        "◆",
        "◆开关操作：[0002..0004] = OFF",
        "◆",
    };
    for (const char* folder : kFolders) {
        SCOPED_TRACE(folder);
        const std::string map = Game(std::string(folder) + "/Map001.rxdata");
        ProgramRun withNames = Dump({"--lens", map});
        ASSERT_EQ(withNames.status, 0) << withNames.err;
        EXPECT_EQ(CommandLines(withNames.out), named);
        ProgramRun without = Dump({"--lens", "--no-names", map});
        ASSERT_EQ(without.status, 0) << without.err;
        EXPECT_EQ(CommandLines(without.out), numbers);
        // Only the readings change: the rows are the same.
        std::string a, b;
        for (const std::string& line : SplitLines(withNames.out)) a += line.rfind("\t| ", 0) == 0 ? "" : line + "\n";
        for (const std::string& line : SplitLines(without.out)) b += line.rfind("\t| ", 0) == 0 ? "" : line + "\n";
        EXPECT_EQ(a, b);
    }
}

TEST(GameFolderTest, UsesListEveryPlaceWithReadOrWrite) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;  // file \t path \t access \t reading
    };
    const std::string e1 = "Map001.rxdata\tdata0.events.values[0].pages[0]";
    const std::string e2 = "Map001.rxdata\tdata0.events.values[1].pages[";
    const Case cases[] = {
        {"switch:1", {e1 + ".condition\tread\t条件：开关 [0001: 升级提示开关] 为 ON",
                      e1 + ".list[0]\twrite\t◆开关操作：[0001: 升级提示开关] = ON",
                      "Troops.rxdata\tdata0[1].pages[0].list[0]\twrite\t◆开关操作：[0001: 升级提示开关] = OFF"}},
        {"switch:2", {e2 + "1].list[0]\twrite\t◆开关操作：[0002..0004] = OFF",
                      "Troops.rxdata\tdata0[1].pages[0].condition\tread\t条件：角色 [0001: 阿尔西斯] 的体力 50% 以下，开关 [0002] 为 ON"}},
        {"switch:3", {"CommonEvents.rxdata\tdata0[2].switch_id\tread\t并行处理，条件开关 [0003: 门已打开]",
                      "CommonEvents.rxdata\tdata0[2].list[0]\twrite\t◆开关操作：[0003: 门已打开] = ON",
                      e2 + "1].condition\tread\t条件：开关 [0003: 门已打开] 为 ON",
                      e2 + "1].list[0]\twrite\t◆开关操作：[0002..0004] = OFF"}},
        {"switch:5", {e1 + ".list[2]\tread\t◆条件分歧：开关 [0005] 为 ON"}},
        {"switch:6", {}},
        {"variable:1", {e1 + ".list[1]\tread\t◆变量操作：[0002: 步数] += 变量 [0001: 金币数]"}},
        {"variable:2", {e1 + ".list[1]\twrite\t◆变量操作：[0002: 步数] += 变量 [0001: 金币数]",
                        e1 + ".list[8]\tread\t◆增减防具：[0001: 皮甲] + 变量 [0002: 步数]",
                        e2 + "0].condition\tread\t条件：变量 [0002: 步数] >= 5，独立开关 A 为 ON"}},
        {"common_event:1", {e1 + ".list[3]\tread\t◆公共事件：[0001: 治疗全员]"}},
        {"map:3", {e1 + ".list[4]\tread\t◆场所移动：地图 [0003: 火山星] (10, 12)"}},
        {"actor:1", {e1 + ".list[10]\twrite\t◆增减技能：角色 [0001: 阿尔西斯] 学会 技能 [0001: 火焰]",
                     "Troops.rxdata\tdata0[1].pages[0].condition\tread\t条件：角色 [0001: 阿尔西斯] 的体力 50% 以下，开关 [0002] 为 ON"}},
        {"actor:2", {e1 + ".list[9]\twrite\t◆替换队员：加入 [0002]"}},
        {"item:1", {e1 + ".list[6]\twrite\t◆增减物品：[0001: 药草] + 3"}},
        {"item:2", {e2 + "0].list[0]\tread\t◆条件分歧：持有物品 [0002: 解毒剂]"}},
        {"weapon:1", {e1 + ".list[7]\twrite\t◆增减武器：[0001: 铜剑] + 1",
                      e2 + "0].list[1]\tread\t◆商店处理：武器 [0001: 铜剑]"}},
        {"armor:1", {e1 + ".list[8]\twrite\t◆增减防具：[0001: 皮甲] + 变量 [0002: 步数]",
                     e2 + "0].list[2]\tread\t：防具 [0001: 皮甲]"}},
        {"skill:1", {e1 + ".list[10]\tread\t◆增减技能：角色 [0001: 阿尔西斯] 学会 技能 [0001: 火焰]"}},
        {"troop:1", {e1 + ".list[11]\tread\t◆战斗处理：敌人队伍 [0001: 史莱姆×2]，可以逃跑"}},
        {"animation:1", {e1 + ".list[12]\tread\t◆显示动画：事件 2，动画 [0001: 斩击]"}},
    };
    for (const char* folder : kFolders) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(folder) + " " + c.what);
            const std::string dir = Game(folder);
            ProgramRun run = Dump({"--uses", c.what, dir});
            ASSERT_EQ(run.status, 0) << run.err;
            std::vector<std::string> expected;
            for (const std::string& line : c.lines) expected.push_back(dir + "/" + line);
            EXPECT_EQ(SplitLines(run.out), expected);
        }
    }
}

TEST(GameFolderTest, UsesOfGivenFilesAndWithoutNames) {
    const std::string map = Game("ruby3/Map001.rxdata");
    ProgramRun run = Dump({"--uses", "switch:1", "--no-names", map, Game("ruby3/Troops.rxdata")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out), (std::vector<std::string>{
        map + "\tdata0.events.values[0].pages[0].condition\tread\t条件：开关 [0001] 为 ON",
        map + "\tdata0.events.values[0].pages[0].list[0]\twrite\t◆开关操作：[0001] = ON",
        Game("ruby3/Troops.rxdata") + "\tdata0[1].pages[0].list[0]\twrite\t◆开关操作：[0001] = OFF"}));
    // Ids out of the ordinary: negative, the largest fixnum.
    const std::string hostile = Game("hostile_a");
    run = Dump({"--uses", "switch:-5", hostile});
    EXPECT_EQ(run.out, hostile + "/Map001.rxdata\tdata0.events.values[0].pages[0].list[0]\twrite\t◆开关操作：[-5] = ON\n");
    run = Dump({"--uses", "map:1073741823", hostile});
    EXPECT_EQ(run.out, hostile + "/Map001.rxdata\tdata0.events.values[0].pages[0].list[2]\tread\t◆场所移动：地图 [1073741823: 巨大] (1, 1)\n");
    run = Dump({"--uses", "switch:-3", hostile});
    EXPECT_EQ(run.out, hostile + "/Map001.rxdata\tdata0.events.values[0].pages[0].condition\tread\t条件：开关 [-3] 为 ON\n");
    run = Dump({"--uses", "switch:77", hostile});  // inside the range 0..1073741823
    EXPECT_EQ(run.out, hostile + "/Map001.rxdata\tdata0.events.values[0].pages[0].list[1]\twrite\t◆开关操作：[0000..1073741823] = OFF\n");
}

TEST(GameFolderTest, WrongUsesAreWrongUsage) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--uses", "door:1", "x"}, "unknown kind door"},
        {{"--uses", "switch", "x"}, "--uses needs KIND:ID"},
        {{"--uses", "switch:", "x"}, "no number"},
        {{"--uses", "switch:4x", "x"}, "no number"},
        {{"--uses", "switch:99999999999", "x"}, "no number"},
        {{"--uses", "switch:3000000000", "x"}, "out of range"},
        {{"--uses", "class:1", "x"}, "unknown kind class"},  // named in readings, not a KIND of --uses
        {{"--uses", "switch:1"}, "no file given"},
        {{"--uses", "switch:1", "--lens", "x"}, "--uses goes with"},
        {{"--no-names", "x"}, "--no-names goes with"},
        {{"a", "b"}, "more than one file"},
    };
    for (const Case& c : cases) {
        ProgramRun run = Dump(c.args);
        EXPECT_EQ(run.status, 64) << c.args[0] << " " << c.args[1];
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

TEST(GameFolderTest, FindOverAFolderPrefixesEachHitWithItsFile) {
    for (const char* folder : kFolders) {
        SCOPED_TRACE(folder);
        const std::string dir = Game(folder);
        // A Ruby 3 string's row is the one inside its 'I' wrapper, named ".".
        const bool ruby3 = std::string(folder) == "ruby3";
        auto name = [&](const char* plain) { return std::string(ruby3 ? "." : plain); };
        ProgramRun run = Dump({"--find", "升级", dir});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(SplitLines(run.out), (std::vector<std::string>{
            dir + "/Map003.rxdata\tdata0.events.values[0].pages[0].list[0].parameters[0]\t" + name("0") + "\t字符串\t升级了！",
            dir + "/System.rxdata\tdata0.switches[1]\t" + name("1") + "\t字符串\t升级提示开关"}));
        // One file: the lines as they have always been, with no prefix.
        ProgramRun one = Dump({"--find", "升级", dir + "/System.rxdata"});
        EXPECT_EQ(one.out, "data0.switches[1]\t" + name("1") + "\t字符串\t升级提示开关\n");
        // Two files: in the order given.
        ProgramRun two = Dump({"--find", "火山", dir + "/MapInfos.rxdata", dir + "/Map003.rxdata"});
        EXPECT_EQ(SplitLines(two.out), (std::vector<std::string>{
            dir + "/MapInfos.rxdata\tdata0.values[2].name\t" + name("name") + "\t字符串\t火山星",
            dir + "/Map003.rxdata\tdata0.events.values[0].name\t" + name("name") + "\t字符串\t火山口"}));
    }
    // Files that do not load are said on stderr; the others are searched.
    ProgramRun hostile = Dump({"--find", "巨大", Game("hostile_a")});
    EXPECT_EQ(hostile.out, Game("hostile_a") + "/MapInfos.rxdata\tdata0.values[2].name\t.\t字符串\t巨大\n");
    EXPECT_NE(hostile.err.find("Skills.rxdata"), std::string::npos);
    EXPECT_NE(hostile.err.find("system.RXDATA"), std::string::npos);
    EXPECT_NE(hostile.status, 0);
}

TEST(GameFolderTest, NamesComeFromBothStringStylesAndCaseDoesNotMatter) {
    for (const char* folder : kFolders) {
        SCOPED_TRACE(folder);
        const GameNames names = NamesOf(Game(folder));
        struct Expect {
            RefKind kind;
            std::int64_t id;
            const char* name;
        };
        const Expect expected[] = {
            {RefKind::kSwitch, 1, "升级提示开关"}, {RefKind::kSwitch, 2, "(none)"}, {RefKind::kSwitch, 3, "门已打开"},
            {RefKind::kSwitch, 4, "(none)"},       {RefKind::kSwitch, 0, "(none)"}, {RefKind::kVariable, 2, "步数"},
            {RefKind::kMap, 3, "火山星"},          {RefKind::kCommonEvent, 2, "自动开门"}, {RefKind::kActor, 1, "阿尔西斯"},
            {RefKind::kActor, 2, "(none)"},        {RefKind::kClass, 1, "剑士"},    {RefKind::kSkill, 1, "火焰"},
            {RefKind::kItem, 2, "解毒剂"},         {RefKind::kWeapon, 1, "铜剑"},   {RefKind::kArmor, 1, "皮甲"},
            {RefKind::kEnemy, 1, "史莱姆"},        {RefKind::kTroop, 1, "史莱姆×2"}, {RefKind::kState, 1, "中毒"},
            {RefKind::kAnimation, 1, "斩击"},      {RefKind::kTileset, 1, "草原"},  {RefKind::kTileset, 2, "(none)"},
        };
        for (const Expect& e : expected) EXPECT_EQ(NameText(names, e.kind, e.id), e.name) << int(e.kind) << ":" << e.id;
        std::u16string title, place;
        AppendMapHeading(title, place, 3, &names);
        EXPECT_EQ(Utf8(title), "地图 [0003: 火山星]");
        EXPECT_EQ(Utf8(place), "位于 [0001: 世界] › [0002: 南方群岛]");
        title.clear();
        place.clear();
        AppendMapHeading(title, place, 1, &names);
        EXPECT_EQ(Utf8(title), "地图 [0001: 世界]");
        EXPECT_EQ(place, u"");
    }
}

TEST(GameFolderTest, HostileSiblingsOnlyLeaveTheirNamesOut) {
    const GameNames a = NamesOf(Game("hostile_a"));
    // system.RXDATA is found whatever its case, and is not a Marshal file.
    EXPECT_TRUE(a.names[int(RefKind::kSwitch)].empty());
    EXPECT_EQ(NameText(a, RefKind::kMap, -1), "负");
    EXPECT_EQ(NameText(a, RefKind::kMap, 0), "零");
    EXPECT_EQ(NameText(a, RefKind::kMap, 1073741823), "巨大");
    EXPECT_EQ(NameText(a, RefKind::kMap, 7), "(none)");           // a name that is a number
    EXPECT_EQ(NameText(a, RefKind::kMap, 2147483647), "(none)");  // a key that is a bignum
    EXPECT_EQ(NameText(a, RefKind::kActor, 1), "(none)");         // a name that is a number
    EXPECT_EQ(NameText(a, RefKind::kActor, 2), "(none)");         // an entry that is a string
    EXPECT_EQ(NameText(a, RefKind::kActor, 3), "前");             // cut at its NUL
    EXPECT_TRUE(a.names[int(RefKind::kItem)].empty());            // a hash, not an array
    EXPECT_TRUE(a.names[int(RefKind::kSkill)].empty());           // cut short
    // A cycle in the map tree ends where it comes round.
    std::u16string title, place;
    AppendMapHeading(title, place, 8, &a);
    EXPECT_EQ(Utf8(place), "位于 [0009: 环]");
    title.clear();
    place.clear();
    AppendMapHeading(title, place, 1073741823, &a);  // parent 7, whose parent is a bignum
    EXPECT_EQ(Utf8(place), "位于 [0007]");

    const GameNames b = NamesOf(Game("hostile_b"));
    EXPECT_TRUE(b.names[int(RefKind::kSwitch)].empty());  // `switches` is a hash
    EXPECT_EQ(NameText(b, RefKind::kVariable, 1), "(none)");
    EXPECT_EQ(NameText(b, RefKind::kVariable, 2), "第二个");
}

// A database file far past the bounds costs no more than the bound: one too
// big is not read, one that builds too much stops at the memory bound, one
// nested too deep stops at the depth bound.
TEST(GameFolderTest, OversizedSiblingsStopAtTheirBounds) {
    const fs::path dir = PathFromUtf8(ScratchDir() + "bounds");
    fs::create_directories(dir);
    fs::copy_file(PathFromUtf8(Game("ruby18/System.rxdata")), dir / "System.rxdata", fs::copy_options::overwrite_existing);
    auto write = [&](const char* name, const std::string& head, const std::string& unit, std::size_t bytes) {
        std::ofstream out(dir / name, std::ios::binary);
        out << head;
        std::string block;
        for (std::size_t i = 0; i < (1u << 20) / unit.size(); ++i) block += unit;
        for (std::size_t written = 0; written < bytes; written += block.size()) out << block;
    };
    // 100 MB of nesting: past the size bound of a database file.
    write("Actors.rxdata", "\x04\x08", "[\x06", 100u << 20);
    // 8 MB of nesting: stopped by the depth bound.
    write("Items.rxdata", "\x04\x08", "[\x06", 8u << 20);
    // An array of empty arrays, `bytes` of them.
    auto arrays = [](std::size_t bytes) {
        const std::uint32_t n = static_cast<std::uint32_t>(bytes / 2);
        std::string head("\x04\x08[\x04", 4);
        for (int k = 0; k < 4; ++k) head += static_cast<char>((n >> (8 * k)) & 0xFF);
        return head;
    };
    // 48 MB of empty arrays in one array: 25 M nodes, past the memory bound.
    write("Weapons.rxdata", arrays(48u << 20), std::string("[\x00", 2), 48u << 20);
    const auto start = std::chrono::steady_clock::now();
    const GameNames names = NamesOf(PathToUtf8(dir));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(NameText(names, RefKind::kSwitch, 1), "升级提示开关");
    EXPECT_TRUE(names.names[int(RefKind::kActor)].empty());
    EXPECT_TRUE(names.names[int(RefKind::kItem)].empty());
    EXPECT_TRUE(names.names[int(RefKind::kWeapon)].empty());
    EXPECT_LT(seconds, 20.0);

    // The memory bound itself, on a small file: 1 MB of empty arrays makes
    // 16 MB of nodes, and a bound of 4 MB stops it.
    write("Armors.rxdata", arrays(1u << 20), std::string("[\x00", 2), 1u << 20);
    Scratch scratch;
    EXPECT_EQ(LoadBounded(*scratch.doc, dir / "Armors.rxdata", LoadBounds{64u << 20, 4u << 20}), kLoadNoMemory);
    EXPECT_EQ(DocumentLiveBlocks(scratch.doc.get()), 0);
    // The same file within a bound that holds it.
    EXPECT_EQ(LoadBounded(*scratch.doc, dir / "Armors.rxdata", LoadBounds{64u << 20, 256u << 20}), kLoadOk);
    DropDocument(*scratch.doc);
    EXPECT_EQ(LoadBounded(*scratch.doc, dir / "System.rxdata", LoadBounds{64u << 20, 4u << 20}), kLoadOk);
    DropDocument(*scratch.doc);
    EXPECT_EQ(LoadBounded(*scratch.doc, dir / "System.rxdata", LoadBounds{100, 4u << 20}), kLoadNoMemory);
}

TEST(GameFolderTest, CancelStopsNamesIndexAndSearch) {
    Scratch scratch;
    scratch.doc->cancel = true;
    GameNames names;
    EXPECT_FALSE(ReadGameNames(PathFromUtf8(Game("ruby18")), *scratch.doc, names));
    EXPECT_TRUE(names.Empty());
    UsageIndex index;
    EXPECT_FALSE(BuildUsageIndex(UsageFiles(PathFromUtf8(Game("ruby18"))), nullptr, *scratch.doc, index));
    EXPECT_EQ(index.PlaceCount(), 0u);
    FindQuery query;
    query.text = u"升级";
    int hits = 0;
    EXPECT_FALSE(FindInFiles(ListDataFiles(PathFromUtf8(Game("ruby18"))), query, *scratch.doc,
                             [&](std::size_t, const FindHit&, const HolderIndex&) { return ++hits, true; }));
    EXPECT_EQ(hits, 0);
}

TEST(GameFolderTest, PlacesKnowTheirEventAndPage) {
    const fs::path dir = PathFromUtf8(Game("ruby3"));
    Scratch scratch;
    UsageIndex index;
    ASSERT_TRUE(BuildUsageIndex(UsageFiles(dir), nullptr, *scratch.doc, index));
    struct Expect {
        RefKind kind;
        std::int64_t id;
        const char* file;
        std::int64_t event;
        const char* name;
        int page;
    };
    const Expect expected[] = {
        {RefKind::kSwitch, 3, "Map001.rxdata", 2, "宝箱", 1},
        {RefKind::kItem, 2, "Map001.rxdata", 2, "宝箱", 0},
        {RefKind::kSwitch, 4, "Map001.rxdata", 2, "宝箱", 1},
        {RefKind::kActor, 1, "Troops.rxdata", 1, "史莱姆×2", 0},  // the second place: the troop's page
        {RefKind::kSelfSwitch, 'A', "Map001.rxdata", 2, "宝箱", 0},
        {RefKind::kEvent, 2, "Map001.rxdata", 1, "村长", 0},
    };
    for (const Expect& e : expected) {
        std::vector<const UsePlace*> found = index.Find(e.kind, e.id);
        ASSERT_FALSE(found.empty()) << e.name;
        const UsePlace& p = *found.back();
        EXPECT_EQ(PathToUtf8(index.Files()[p.file].filename()), e.file);
        EXPECT_EQ(p.eventId, e.event);
        EXPECT_EQ(Utf8(index.EventName(p)), e.name);
        EXPECT_EQ(p.page, e.page);
    }
    const UsePlace& trigger = *index.Find(RefKind::kSwitch, 3).front();
    EXPECT_EQ(PathToUtf8(index.Files()[trigger.file].filename()), "CommonEvents.rxdata");
    EXPECT_EQ(trigger.eventId, 2);
    EXPECT_EQ(Utf8(index.EventName(trigger)), "自动开门");
    EXPECT_EQ(trigger.page, -1);
    // The self switch A: written by event 1, read by event 2's first page.
    std::vector<const UsePlace*> a = index.Find(RefKind::kSelfSwitch, 'A');
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0]->access, UseAccess::kWrite);
    EXPECT_EQ(a[1]->access, UseAccess::kRead);
    EXPECT_EQ(a[1]->eventId, 2);
}
