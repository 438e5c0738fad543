// The readings of the lens over the files of tests/data/make_lens_fixtures.rb:
// scripts, tables, colours and tones, event commands, and hostile values.
// Expected texts come from the Ruby that made the files, read by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "corpus_support.h"
#include "lens/color_reading.h"
#include "lens/event_commands.h"
#include "lens/number_text.h"
#include "lens/reading.h"
#include "lens/table_reading.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "tests/hex_bytes.h"
#include "tests/marshal_bytes.h"

namespace {
using corpus::Child;

std::string U8(const std::u16string& text) {
    char* utf8 = WideToUtf8(text.c_str());
    std::string out = utf8 ? utf8 : "";
    std::free(utf8);
    return out;
}

std::vector<std::string> Lines(const Reading& r) {
    std::vector<std::string> lines;
    for (const auto& line : ReadingTextLines(r)) lines.push_back(U8(line));
    return lines;
}

const MarshalNode* At(const MarshalNode* n, std::initializer_list<std::int64_t> path) {
    for (std::int64_t i : path) n = Child(n, i);
    return n;
}

class LensReading : public corpus::Corpus {};

// The Ruby sources the script deflated (the first with Windows line breaks).
const std::vector<std::string> kTitleScript = {
    "# 游戏开始时的处理", "class Scene_Title", "  def main",
    "    $data_system = load_data(\"Data/System.rxdata\")  # 读取系统数据", "    @sprite = Sprite.new",
    "    @sprite.bitmap = RPG::Cache.title($data_system.title_name)", "  end", "end"};
const std::vector<std::string> kPartyScript = {
    "# 队伍的金钱", "class Game_Party", "  attr_reader :gold", "  def gain_gold(n)",
    "    @gold = [[@gold + n, 0].max, 9999999].min", "  end", "end"};
}  // namespace

TEST_F(LensReading, ScriptsInflateAndBadStreamsSaySoAndShowTheirBytes) {
    for (const char* file : {"Scripts.rxdata", "y_lens_ruby3.rxdata"}) {
        SCOPED_TRACE(file);
        const MarshalNode* scripts = LoadOk(file);
        if (std::string(file) != "Scripts.rxdata") scripts = Child(scripts, 0);
        Reading title = ReadNode(At(scripts, {0, 2}));
        EXPECT_EQ(title.kind, ReadingKind::kScript);
        EXPECT_EQ(title.problem, u"");
        EXPECT_EQ(Lines(title), kTitleScript);
        EXPECT_EQ(Lines(ReadNode(At(scripts, {1, 2}))), kPartyScript);
        Reading empty = ReadNode(At(scripts, {2, 2}));
        EXPECT_EQ(empty.kind, ReadingKind::kScript);
        EXPECT_TRUE(Lines(empty).empty());
        // The names beside them read as the strings they are, 'I' or not.
        EXPECT_EQ(Lines(ReadNode(At(scripts, {0, 1}))), std::vector<std::string>{"Scene_Title 标题"});
        ReleaseAndCheck();
    }
    struct Case {
        std::int64_t script;
        std::string problem, firstBytes;
        std::size_t lines;
    };
    const Case bad[] = {
        {3, "压缩数据已损坏，无法解压，下面显示原始字节", "00000000  78 da 53 56 78 39 63 fe  6c 3d bd cf 67 b5 bc 6c  |x.SVx9c.l=..g..l|", 8},
        {4, "压缩数据不完整，无法解压，下面显示原始字节", "00000000  78 da 53 56 78 39 63 fe  93 3d bd cf 67 b5 bc 6c  |x.SVx9c..=..g..l|", 4},
        {5, "压缩数据已损坏，无法解压，下面显示原始字节", "00000000  78 5e 20 e5 8f aa e6 98  af e6 96 87 e5 ad 97     |x^ ............|", 1},
        {6, "解压后的数据超过上限，不予显示，下面显示原始字节", "00000000  78 da ec c1 01 01 00 00  00 80 90 fe af ee 08 0a  |x...............|", 4078},
    };
    const MarshalNode* scripts = LoadOk("Scripts.rxdata");
    for (const Case& c : bad) {
        SCOPED_TRACE(c.script);
        Reading r = ReadNode(At(scripts, {c.script, 2}));
        EXPECT_EQ(r.kind, ReadingKind::kBytes);
        EXPECT_EQ(U8(r.problem), c.problem);
        ASSERT_EQ(r.lines.size(), c.lines);
        EXPECT_EQ(U8(r.lines[0]), c.firstBytes);
    }
    Reading trailing = ReadNode(At(scripts, {7, 2}));
    EXPECT_EQ(trailing.kind, ReadingKind::kScript);
    EXPECT_EQ(Lines(trailing), (std::vector<std::string>{"压缩数据之后还有多余的字节", "p 1"}));
}

TEST_F(LensReading, TablesShowTheirLayersAndLyingHeadersSayWhatIsWrong) {
    const MarshalNode* tables = LoadOk("y_lens_tables.bin");
    struct Case {
        std::int64_t index;
        std::vector<std::string> lines;
    };
    // Table.new(4) with i*100-1; Table.new(3, 2) with 10y+x; Table.new(2, 2, 3)
    // with 1000z+10y+x, layer 2 less 32768.
    const Case cases[] = {
        {0, {"表格：1 维，4 × 1 × 1", "z = 0", " -1  99 199 299"}},
        {1, {"表格：2 维，3 × 2 × 1", "z = 0", " 0  1  2", "10 11 12"}},
        {2, {"表格：3 维，2 × 2 × 3", "z = 0", " 0  1", "10 11", "z = 1", "1000 1001", "1010 1011", "z = 2",
             "-30768 -30767", "-30758 -30757"}},
        {3, {"Table 的导出数据，24 字节", "表格数据头有误：应有 28 字节，实有 24 字节",
             "00000000  02 00 00 00 02 00 00 00  02 00 00 00 01 00 00 00  |................|",
             "00000010  04 00 00 00 01 00 02 00                           |........|"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(Lines(ReadNode(Child(tables, c.index))), c.lines);
    }
    const char* problems[] = {"表格数据头有误：2 × 2 × 1 与记录的数量 5 不符", "表格数据头有误：维数为 7，应为 1 到 3",
                              "表格数据头有误：2147483647 × 2147483647 × 2147483647 与记录的数量 1 不符",
                              "表格数据头有误：不足 20 字节，实有 2 字节"};
    for (std::int64_t i = 4; i < 8; ++i) {
        Reading r = ReadNode(Child(tables, i));
        EXPECT_EQ(r.kind, ReadingKind::kBytes);
        EXPECT_EQ(U8(r.problem), problems[i - 4]);
    }
}

TEST_F(LensReading, ColorsAndTonesReadAsRubyWritesThem) {
    const MarshalNode* colors = LoadOk("y_lens_colors.bin");
    const char* texts[] = {"Color(255.0, 128.0, 0.0, 255.0)", "Tone(-34.0, 0.0, 68.0, 170.0)",
                           "Color(-1.0e+300, 1.0e+300, Infinity, NaN)", "Tone(-255.5, 0.25, 1.0e-07, 300.0)"};
    for (std::int64_t i = 0; i < 4; ++i) {
        Reading r = ReadNode(Child(colors, i));
        EXPECT_EQ(r.kind, i % 2 ? ReadingKind::kTone : ReadingKind::kColor);
        EXPECT_EQ(Lines(r), std::vector<std::string>{texts[i]});
    }
    Reading shortColor = ReadNode(Child(colors, 4));
    EXPECT_EQ(shortColor.kind, ReadingKind::kBytes);
    EXPECT_EQ(U8(shortColor.problem), "数据应为 32 字节（四个浮点数），实有 5 字节");
}

TEST_F(LensReading, EventPagesReadAsTheEditorListsThem) {
    for (const char* file : {"y_lens_events.rxdata", "y_lens_ruby3.rxdata"}) {
        SCOPED_TRACE(file);
        const MarshalNode* root = LoadOk(file);
        const MarshalNode* page = std::string(file) == "y_lens_events.rxdata" ? Child(root, 0) : Child(root, 1);
        Reading r = ReadNode(corpus::Field(page, "list"));
        ASSERT_EQ(r.kind, ReadingKind::kEventList);
        ASSERT_EQ(r.lines.size(), r.lineChild.size());
        for (std::size_t i = 0; i < r.lineChild.size(); ++i) EXPECT_EQ(r.lineChild[i], static_cast<std::int64_t>(i));
        // A sample of the lines, by position in every_command.
        const std::pair<std::size_t, const char*> lines[] = {
            {0, "◆显示文章：你好，旅行者。"}, {1, "：欢迎来到村庄。"}, {2, "◆显示选项：是、否"},
            {3, "：[是] 的场合"}, {4, "  ◆等待：20 帧"}, {5, "  ◆"}, {8, "：取消的场合"},
            {14, "◆条件分歧：开关 [0003] 为 ON"}, {15, "  ◆条件分歧：变量 [0002] >= 10"},
            {17, "      ◆条件分歧：金钱 500 以上"}, {18, "        ◆条件分歧：脚本：$game_party.gold > 0"},
            {26, "  ：除此以外的场合"}, {41, "◆开关操作：[0002..0004] = OFF"},
            {43, "◆变量操作：[0002..0003] += 变量 [0007]"}, {44, "◆变量操作：[0004] = 随机数 1...6"},
            {49, "◆增减物品：[0001] - 变量 [0008]"}, {53, "◆场所移动：地图 [0002] (10, 7)"},
            {58, "：$>代码 1"}, {61, "◆更改画面色调：Tone(-68.0, -68.0, 0.0, 68.0)，20 帧"},
            {70, "◆播放背景音乐：001-Battle01，音量 90，音调 110"}, {79, "◆战斗处理：敌人队伍 [0007]，可以逃跑"},
            {88, "：武器 [0004]"}, {90, "◆增减体力：全体角色 - 50"}, {117, "：p :done"},
        };
        for (const auto& [index, text] : lines) EXPECT_EQ(U8(r.lines[index]), text) << index;
        ReleaseAndCheck();
    }
}

TEST_F(LensReading, EveryListedCodeHasANameAndUnknownCodesShowTheirNumber) {
    // The codes the editor writes, and two it never does.
    for (int code : {101, 102, 402, 403, 103, 106, 108, 111, 411, 412, 112, 413, 113, 115, 116, 117, 118, 119, 121,
                     122, 123, 124, 125, 126, 127, 128, 129, 201, 202, 207, 209, 221, 222, 223, 224, 225, 231, 232,
                     233, 234, 235, 236, 241, 242, 245, 246, 247, 248, 249, 250, 251, 301, 601, 602, 603, 604, 302,
                     605, 303, 311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322, 331, 332, 333, 334, 335,
                     336, 337, 338, 339, 340, 351, 352, 353, 354, 355, 401, 408, 655, 0})
        EXPECT_NE(EventCommandName(code), nullptr) << code;
    EXPECT_EQ(EventCommandName(999), nullptr);
    EXPECT_EQ(EventCommandName(-5), nullptr);
}

TEST_F(LensReading, HostileCommandsReadWithoutFailing) {
    const MarshalNode* page = Child(LoadOk("y_lens_events.rxdata"), 1);
    const std::vector<std::string> expected = {
        "◆代码 999：1，\"x\"", "◆代码 -5", "◆代码 7：nil",
        std::string(80, ' ') + "[缩进 100000] ◆显示文章：深", "[缩进 -3] ◆显示文章：负",
        std::string(80, ' ') + "[缩进 45] ◆显示文章：四十五", "[缩进 \"0\"] ◆代码 \"101\"：\"代码是字符串\"",
        "◆显示文章：（参数不是数组：nil）", "◆显示文章：（参数不是数组：42）", "◆显示选项：（参数不是数组：{1=>2}）",
        "◆显示文章：12345", "◆条件分歧：99，[1, [2, [3, …]]]", "◆条件分歧", "◆变量操作：\"a\"..nil 9 9",
        "◆场所移动：由变量 nil1099511627776? 指定", "◆播放背景音乐：3.5", "：1", "：[?] 的场合",
        "◆更改画面色调：Color(1.0, 2.0, 3.0, 255.0)，:sym 帧"};
    Reading r = ReadNode(corpus::Field(page, "list"));
    ASSERT_EQ(r.kind, ReadingKind::kEventList);
    std::vector<std::string> lines;
    for (const auto& line : r.lines) lines.push_back(U8(line));
    EXPECT_EQ(lines, expected);
}

// Every value of every file in the corpus has a reading, and reading it
// leaks nothing and reads nothing out of bounds (the sanitizer build).
TEST_F(LensReading, EveryValueOfTheCorpusReads) {
    for (const auto& entry : std::filesystem::directory_iterator(QUARNIX_TEST_DATA)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".rb" || entry.path().extension() == ".md") continue;
        if (Load(entry.path().filename().string()) != kLoadOk) {
            ReleaseAndCheck();
            continue;
        }
        std::vector<const MarshalNode*> stack{&DocumentRoot};
        while (!stack.empty()) {
            const MarshalNode* n = stack.back();
            stack.pop_back();
            Reading r = ReadNode(n);
            EXPECT_FALSE(r.summary.empty() && r.lines.empty() && r.kind != ReadingKind::kScript) << entry.path();
            EXPECT_EQ(ReadingTells(n), r.telling) << entry.path();
            for (std::int64_t i = ChildCount(n); i-- > 0;) stack.push_back(ChildAt(n, i));
        }
        ReleaseAndCheck();
    }
}

TEST(LensHexView, StopsAfterAMegabyteAndSaysSo) {
    for (std::size_t size : {kHexBytesShown, kHexBytesShown + 1}) {
        std::vector<std::u16string> lines;
        AppendHexLines(lines, std::string(size, 'a'));
        ASSERT_EQ(lines.size(), kHexBytesShown / 16 + (size > kHexBytesShown));
        EXPECT_EQ(U8(lines[kHexBytesShown / 16 - 1]),
                  "000ffff0  61 61 61 61 61 61 61 61  61 61 61 61 61 61 61 61  |aaaaaaaaaaaaaaaa|");
        if (size > kHexBytesShown) {
            EXPECT_EQ(U8(lines.back()), "……共 1048577 字节，只显示前 1048576 字节");
        }
    }
}

// The readings at their edges, each switch with a case on both sides.
TEST(LensEdges, FloatsSwitchToExponentsWhereRubyDoes) {
    // What Ruby 3.1 prints: ruby -e 'p 1e15, 999999999999999.9, ...'; the
    // negative of each prints with a '-' before it.
    struct FloatCase {
        double value;
        const char* ruby;
    };
    const FloatCase cases[] = {
        {1e14, "100000000000000.0"},
        {999999999999999.9, "999999999999999.9"},
        {123456789012345.6, "123456789012345.6"},
        {1e15, "1.0e+15"},
        {1234567890123456.0, "1.234567890123456e+15"},
        {9999999999999998.0, "9.999999999999998e+15"},
        {1e16, "1.0e+16"},
        {1.0000000000000002e16, "1.0000000000000002e+16"},
        {0.00012345, "0.00012345"},
        {0.0001, "0.0001"},
        {0.00009999999999999999, "9.999999999999999e-05"},
        {1e-5, "1.0e-05"},
        {1.5e-5, "1.5e-05"},
        {1e-100, "1.0e-100"},
        {5e-324, "5.0e-324"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {123456789.125, "123456789.125"},
        {100.0, "100.0"},
        {0.1, "0.1"},
        {0.0, "0.0"},
    };
    for (const FloatCase& c : cases) {
        for (double sign : {1.0, -1.0}) {
            std::u16string text;
            AppendRubyFloat(text, sign * c.value);
            EXPECT_EQ(U8(text), (sign < 0 ? "-" : "") + std::string(c.ruby)) << c.ruby;
        }
    }
}

// A swatch's channel is its component rounded to the nearest integer (a
// half away from zero), never cut: cases where the two differ.  The tones
// are mid-grey shifted and then moved towards their grey level by
// gray/255, worked out by hand.
TEST(LensEdges, SwatchesRoundTheirChannels) {
    struct SwatchCase {
        bool tone;
        double components[4];
        Rgba shown;
    };
    const double nan = std::nan("");
    const SwatchCase cases[] = {
        {false, {127.5, 0.49, 254.5, 300.0}, {128, 0, 255, 255}},
        {false, {0.5, 1.5, 127.6, 254.4}, {1, 2, 128, 254}},
        {false, {-0.5, -300.0, nan, 255.49}, {0, 0, 0, 255}},
        {true, {0.5, -0.5, 0.4, 0.0}, {129, 128, 128, 255}},
        {true, {60.0, -20.0, 90.0, 200.0}, {154, 137, 160, 255}},
        {true, {-100.0, 50.0, 10.0, 250.0}, {127, 130, 129, 255}},
        {true, {127.0, -128.0, -128.0, 255.0}, {76, 76, 76, 255}},
        {true, {200.0, -200.0, nan, -5.0}, {255, 0, 128, 255}},
    };
    for (const SwatchCase& c : cases) {
        const Rgba got = c.tone ? ToneSwatch(c.components) : ColorSwatch(c.components);
        EXPECT_EQ(got.red, c.shown.red) << U8(FourDoublesText(c.tone ? u"Tone" : u"Color", c.components));
        EXPECT_EQ(got.green, c.shown.green) << U8(FourDoublesText(c.tone ? u"Tone" : u"Color", c.components));
        EXPECT_EQ(got.blue, c.shown.blue) << U8(FourDoublesText(c.tone ? u"Tone" : u"Color", c.components));
        EXPECT_EQ(got.alpha, c.shown.alpha) << U8(FourDoublesText(c.tone ? u"Tone" : u"Color", c.components));
    }
}

// Table headers of every dimension count, sizes that fit it and sizes that
// do not.  RGSS makes tables of 1 to 3 dimensions; the unused sizes are 1.
TEST(LensEdges, TableHeadersOfEveryDimensionCount) {
    struct TableCase {
        std::int32_t dims, x, y, z;
        const char* summary;  // none: refused
    };
    const TableCase cases[] = {
        {0, 1, 1, 1, nullptr},
        {1, 3, 1, 1, "表格：1 维，3 × 1 × 1"},
        {1, 3, 2, 1, nullptr},
        {1, 3, 1, 2, nullptr},
        {2, 3, 2, 1, "表格：2 维，3 × 2 × 1"},
        {2, 3, 2, 2, nullptr},
        {3, 2, 2, 2, "表格：3 维，2 × 2 × 2"},
        {3, 0, 2, 2, "表格：3 维，0 × 2 × 2"},
        {4, 2, 2, 2, nullptr},
        {5, 1, 1, 1, nullptr},
        {-1, 1, 1, 1, nullptr},
    };
    for (const TableCase& c : cases) {
        const std::int32_t count = c.x * c.y * c.z;
        std::string bytes;
        for (std::int32_t v : {c.dims, c.x, c.y, c.z, count})
            for (int b = 0; b < 4; ++b) bytes += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * b)) & 0xFF);
        for (std::int32_t i = 0; i < count; ++i) bytes += {static_cast<char>(i), '\0'};
        TableGrid grid;
        std::u16string problem;
        const bool read = ReadTableGrid(bytes, grid, problem);
        SCOPED_TRACE(std::to_string(c.dims) + " dimensions, " + std::to_string(c.x) + " x " + std::to_string(c.y) +
                     " x " + std::to_string(c.z));
        EXPECT_EQ(read, c.summary != nullptr);
        if (read && c.summary) {
            EXPECT_EQ(U8(TableSummary(grid)), c.summary);
            if (count > 0) {
                EXPECT_EQ(grid.At(c.x - 1, c.y - 1, c.z - 1), count - 1);
            }
        } else {
            EXPECT_EQ(U8(problem).rfind("表格数据头有误：", 0), 0u) << U8(problem);
        }
    }
}

// A container's reading lists its first eight children and says when there
// are more: seven, eight and nine elements.
TEST(LensEdges, ContainersListTheirFirstEightChildren) {
    for (std::uint8_t n : {7, 8, 9}) {
        std::vector<std::uint8_t> bytes = {0x04, 0x08, 0x5b, static_cast<std::uint8_t>(n + 5)};
        for (std::uint8_t i = 0; i < n; ++i) bytes.insert(bytes.end(), {0x69, static_cast<std::uint8_t>(i + 6)});
        ASSERT_EQ(LoadDocumentFromMemory(bytes.data(), bytes.size()), kLoadOk);
        const Reading reading = ReadNode(&DocumentRoot.data.nodes[0]);
        EXPECT_EQ(U8(reading.summary), "数组，" + std::to_string(n) + " 个子项");
        std::vector<std::string> lines;
        for (const auto& line : reading.lines) lines.push_back(U8(line));
        ASSERT_EQ(lines.size(), n > 8 ? 9u : std::size_t{n}) << int{n};
        EXPECT_EQ(lines[6], "6：7");
        EXPECT_EQ(lines.back(), n > 8 ? "…" : std::to_string(n - 1) + "：" + std::to_string(n));
        ReleaseNode(&DocumentRoot);
    }
}

// Bignums in decimal, nine digits at a time: chunks of zeros and chunks
// with leading zeros, both signs.  Dumps and texts from Ruby (v.to_s).
TEST(LensEdges, BignumsInDecimalAsRubyWritesThem) {
    struct BignumCase {
        const char* dump;
        const char* ruby;
    };
    const BignumCase cases[] = {
        {"04 08 6c 2b 0a 00 00 00 00 00 00 00 00 01 00", "18446744073709551616"},
        {"04 08 6c 2b 09 00 00 64 a7 b3 b6 e0 0d", "1000000000000000000"},
        {"04 08 6c 2b 09 01 00 64 a7 b3 b6 e0 0d", "1000000000000000001"},
        {"04 08 6c 2b 0a 01 00 a0 de c5 ad c9 35 36 00", "1000000000000000000001"},
        {"04 08 6c 2d 0a 00 00 10 63 2d 5e c7 6b 05 00", "-100000000000000000000"},
        {"04 08 6c 2b 0b 05 00 00 e8 3c 80 d0 9f 3c 2e 3b 03", "1000000000000000000000000005"},
        {"04 08 6c 2b 0a 00 00 00 00 00 00 00 00 40 00", "1180591620717411303424"},
        {"04 08 6c 2d 09 ff ff ff ff ff ff ff ff", "-18446744073709551615"},
    };
    for (const BignumCase& c : cases) {
        const std::vector<std::uint8_t> bytes = Bytes(c.dump);
        ASSERT_EQ(LoadDocumentFromMemory(bytes.data(), bytes.size()), kLoadOk) << c.dump;
        std::u16string text;
        AppendBignumDecimal(text, &DocumentRoot.data.nodes[0]);
        EXPECT_EQ(U8(text), c.ruby);
        ReleaseNode(&DocumentRoot);
    }
}

// A string's lines: split at "\n" with the "\r" of "\r\n" dropped, each
// line's UTF-8 decoded as the whole would decode (a sequence cut short by a
// line break is one U+FFFD and the break still ends the line), a NUL shown
// as "␀", and a final line break starting no line.
TEST(LensEdges, StringLinesSplitAtLineBreaks) {
    struct LinesCase {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const LinesCase cases[] = {
        {"plain", {"plain"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n\r\nc", {"a", "b", "", "c"}},
        {"\n\n", {"", ""}},
        {"a\rb\nc\r", {"a\rb", "c"}},
        {"\xE4\xB8\n\xAD", {"\xEF\xBF\xBD", "\xEF\xBF\xBD"}},
        {"\xE4\r\n\xE4\xB8\xAD", {"\xEF\xBF\xBD", "中"}},
        {std::string("p\0q\n\0", 5), {"p␀q", "␀"}},
        {"x" + std::string(300, 'y') + "\n中文\xF0\x9F\x98\x80", {"x" + std::string(300, 'y'), "中文😀"}},
    };
    for (const LinesCase& c : cases) {
        const std::string file = mb::Dump(mb::Str(c.bytes));
        ASSERT_EQ(LoadDocumentFromMemory(file.data(), file.size()), kLoadOk);
        Reading r = ReadNode(&DocumentRoot.data.nodes[0]);
        std::vector<std::string> lines;
        for (const auto& line : r.lines) lines.push_back(U8(line));
        EXPECT_EQ(lines, c.lines) << c.bytes;
        ReleaseNode(&DocumentRoot);
    }
}

// The battle commands name their battlers by place (-1: all of them) and
// what they refer to by the database's names.
TEST_F(LensReading, BattleCommandsNameTheirBattlersAndWhatTheyUse) {
    using namespace mb;
    struct Case {
        int code;
        std::initializer_list<std::string> params;
        const char* line;
    };
    const Case cases[] = {
        {333, {Int(-1), Int(1), Int(3)}, "◆更改敌人状态：全体敌人 解除 状态 [0003: 麻痹]"},
        {334, {Int(2)}, "◆敌人完全恢复：敌人 2"},
        {336, {Int(0), Int(4)}, "◆敌人变身：敌人 0 变为 [0004: 巨龙]"},
        {337, {Int(1), Int(-1), Int(2)}, "◆显示战斗动画：全体队员，动画 [0002: 治愈]"},
        {337, {Int(1), Int(3), Int(9)}, "◆显示战斗动画：队员 3，动画 [0009]"},
        {338, {Int(0), Int(1), Int(1), Int(7)}, "◆造成伤害：敌人 1，伤害 变量 [0007]"},
        {339, {Int(0), Int(0), Int(1), Int(5), Int(-2), Int(1)}, "◆强制行动：敌人 0：技能 [0005: 火焰]，目标 最后的目标，立即执行"},
        {339, {Int(1), Int(2), Int(0), Int(1), Int(-1), Int(0)}, "◆强制行动：队员 2：防御，目标 随机"},
        {339, {Int(5), Int(2), Int(0), Int(9), Int(0), Int(0)}, "◆强制行动：5，2：9，目标 0"},  // no such kinds: the numbers
    };
    GameNames names;
    names.names[static_cast<int>(RefKind::kState)][3] = "麻痹";
    names.names[static_cast<int>(RefKind::kEnemy)][4] = "巨龙";
    names.names[static_cast<int>(RefKind::kAnimation)][2] = "治愈";
    names.names[static_cast<int>(RefKind::kSkill)][5] = "火焰";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string params = "[" + Packed(static_cast<std::int32_t>(c.params.size()));
        for (const std::string& p : c.params) params += p;
        const std::string bytes = Dump(Obj(Sym("RPG::EventCommand"), {{Sym("@code"), Int(c.code)},
                                                                     {Sym("@indent"), Int(0)},
                                                                     {Sym("@parameters"), params}}));
        ASSERT_EQ(LoadDocumentFromMemory(bytes.data(), bytes.size()), kLoadOk);
        EXPECT_EQ(U8(EventCommandLine(&DocumentRoot.data.nodes[0], &names)), c.line);
        ReleaseAndCheck();
    }
}
