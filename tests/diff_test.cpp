// Two versions compared: quarnix-dump --diff over pairs made by
// tests/data/make_diff_fixtures.rb, whose edits are known, with the lines
// expected read by hand from that script; and the list matching and the
// walk over documents built byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "compare/list_match.h"
#include "compare/value_hash.h"
#include "marshal/document.h"
#include "tests/process_support.h"

namespace {
ProgramRun Dump(const std::vector<std::string>& args) { return RunProgram(QUARNIX_DUMP_EXE, args); }

std::string Pair(const std::string& style, const std::string& name, const char* side) {
    return std::string(QUARNIX_TEST_DATA) + "/diff/" + style + "/" + name + "_" + side + ".rxdata";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The village head's map: a command inserted at line 3, a text changed, the
// guard moved, the merchant added, the traveller removed, two tiles
// changed, and the events hash written in another order.
const std::vector<std::string> kMapLines = {
    "~\tdata0.data\t二进制数据\tTable\tTable",
    "+\tdata0.events.values[0]\t对象\t\tRPG::Event",
    "-\tdata0.events.values[2]\t对象\tRPG::Event\t",
    "~\tdata0.events.values[1].x\t整数\t7\t8",
    "~\tdata0.events.values[1].y\t整数\t1\t2",
    "+\tdata0.events.values[2].pages[0].list[2]\t对象\t\tRPG::EventCommand",
    "~\tdata0.events.values[2].pages[0].list[0].parameters[0]\t字符串\t早上好\t早上好啊",
};

struct PairCase {
    const char* name;
    std::vector<std::string> options;
    int status;
    std::vector<std::string> lines;
    enum { kAll, kFirst, kAmong } match;  // all of stdout, its first lines, or lines found in it
};
constexpr auto kAll = PairCase::kAll, kFirst = PairCase::kFirst, kAmong = PairCase::kAmong;

const PairCase kPairs[] = {
    {"map", {}, 1, kMapLines, kAll},
    {"map", {"--lens"}, 1,
     {"~\tdata0.data\t二进制数据\tTable\tTable", "\t| 表格：2 个格子不同", "\t| (3, 0, 1)：103 → -1",
      "\t| (1, 2, 1)：121 → 777", "+\tdata0.events.values[0]\t对象\t\tRPG::Event", "\t| 事件 0003 [商人]"},
     kFirst},
    {"map", {"--text"}, 1,
     {"+\tdata0.events.values[0]\t事件 0003 [商人]\t\t欢迎光临！",
      "-\tdata0.events.values[2]\t事件 0004 [旅人]\t再见。\t",
      "~\tdata0.events.values[2].pages[0].list[0].parameters[0]\t事件 0001 [村长] 第 1 页 第 1 行\t早上好\t早上好啊"},
     kAll},
    {"map", {"--stat"}, 1, {"map_new.rxdata\t差异 7\t事件 ~2 +1 -1\t行 ~0 +0 -0\t指令 ~1 +1 -0"}, kAll},
    {"items", {"--stat"}, 1, {"items_new.rxdata\t差异 2\t事件 ~0 +0 -0\t行 ~1 +1 -0\t指令 ~0 +0 -0"}, kAll},
    {"reordered", {}, 0, {}, kAll},
    {"items", {}, 1, {"+\tdata0[3]\t对象\t\tRPG::Item", "~\tdata0[2].name\t字符串\t高级药水\t超级药水"}, kAll},
    {"items", {"--text"}, 1,
     {"+\tdata0[3]\t[0003: 解毒草]\t\t解毒草", "+\tdata0[3]\t[0003: 解毒草]\t\t解除中毒。",
      "~\tdata0[2].name\t[0002: 超级药水]\t高级药水\t超级药水"},
     kAll},
    {"items", {"--json"}, 1,
     {"[",
      "{\"op\":\"+\",\"path\":\"data0[3]\",\"old\":null,\"new\":{\"type\":\"object\",\"class\":\"RPG::Item\",\"ivars\":"},
     kFirst},
    {"scripts", {"--lens"}, 1,
     {"\t| - 3:     @gold = [[@gold + n, 0].max, 9999999].min", "\t| + 3:     @gold = [[@gold + n, 0].max, 99999999].min"},
     kAll},
    {"values", {"--lens"}, 1,
     {"\t| - Color(255.0, 128.0, 0.0, 255.0)", "\t| + Color(255.0, 128.0, 0.0, 128.0)", "\t| - a␀b", "\t| + a␀c",
      "!\tdata0[4]\t差异超过 2000 处，以下按位置比较", "~\tdata0[4][0]\t整数\t0\t-1"},
     kAmong},
};

// The scripts pair is checked on its reading alone.
std::vector<std::string> Comparable(const PairCase& c, const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (std::string(c.name) != "scripts" || line.rfind("\t| ", 0) == 0) kept.push_back(line);
    return kept;
}

TEST(DiffTest, PairsInBothStringStyles) {
    for (const PairCase& c : kPairs) {
        for (const char* style : {"ruby18", "ruby3"}) {
            std::vector<std::string> args{"--diff"};
            args.insert(args.end(), c.options.begin(), c.options.end());
            args.push_back(Pair(style, c.name, "old"));
            args.push_back(Pair(style, c.name, "new"));
            ProgramRun run = Dump(args);
            SCOPED_TRACE(std::string(c.name) + " " + style + " " + (c.options.empty() ? "" : c.options[0]));
            EXPECT_EQ(run.status, c.status) << run.err;
            std::vector<std::string> lines = Comparable(c, Lines(run.out));
            if (c.options.size() == 1 && c.options[0] == "--stat") {
                // The line starts with the new file's path: compare from its name on.
                ASSERT_EQ(lines.size(), 1u);
                lines[0] = lines[0].substr(lines[0].rfind('/') + 1);
            }
            if (c.match == kAmong) {
                for (const std::string& line : c.lines)
                    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
                continue;
            }
            if (c.match == kFirst) lines.resize(std::min(lines.size(), c.lines.size()));
            if (std::string(c.name) == "items" && c.options.size() == 1 && c.options[0] == "--json") {
                ASSERT_EQ(lines.size(), 2u);
                lines[1].resize(std::min(lines[1].size(), c.lines[1].size()));
            }
            EXPECT_EQ(lines, c.lines);
            if (c.status == 0) {
                EXPECT_EQ(run.err, "两个文件字节不同，但值相同\n");
            }
        }
    }
}

// The same pair the other way round: every addition becomes a removal.
TEST(DiffTest, SwappedPairTurnsAdditionsIntoRemovals) {
    auto count = [](const std::string& out, char op) {
        int n = 0;
        for (const std::string& line : Lines(out)) n += !line.empty() && line[0] == op;
        return n;
    };
    const ProgramRun forward = Dump({"--diff", Pair("ruby18", "map", "old"), Pair("ruby18", "map", "new")});
    const ProgramRun back = Dump({"--diff", Pair("ruby18", "map", "new"), Pair("ruby18", "map", "old")});
    EXPECT_EQ(count(forward.out, '+'), 2);
    EXPECT_EQ(count(forward.out, '-'), 1);
    EXPECT_EQ(count(back.out, '+'), count(forward.out, '-'));
    EXPECT_EQ(count(back.out, '-'), count(forward.out, '+'));
    EXPECT_EQ(count(back.out, '~'), count(forward.out, '~'));
    EXPECT_NE(back.out.find("~\tdata0.events.values[0].pages[0].list[0].parameters[0]\t字符串\t早上好啊\t早上好"),
              std::string::npos);
}

TEST(DiffTest, FoldersPairFilesByNameWhateverTheCase) {
    const std::string data = std::string(QUARNIX_TEST_DATA) + "/diff/";
    ProgramRun run = Dump({"--diff", data + "folder_old", data + "folder_new"});
    EXPECT_EQ(run.status, 1);
    std::vector<std::string> expected;
    for (const std::string& line : kMapLines) expected.push_back("Map001.rxdata\t" + line);
    expected.push_back("+\tMapInfos.rxdata");
    expected.push_back("-\tSystem.rxdata");
    EXPECT_EQ(Lines(run.out), expected);
    EXPECT_EQ(run.err, "");  // Items and MAP002 have equal bytes: not even loaded
}

TEST(DiffTest, TroubleAndUsage) {
    const std::string map = Pair("ruby18", "map", "old");
    const std::string folder = std::string(QUARNIX_TEST_DATA) + "/diff/folder_old";
    const std::string broken = ScratchDir() + "broken.rxdata";
    WriteFileBytes(broken, ReadFileBytes(map).substr(0, 100));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string errStart;
    } cases[] = {
        {{"--diff", map, map}, 0, ""},
        {{"--diff", map, ScratchDir() + "missing.rxdata"}, 2, ScratchDir() + "missing.rxdata: "},
        {{"--diff", broken, map}, 2, broken + ": "},
        {{"--diff", folder, map}, 64, "quarnix-dump: --diff compares two files or two folders"},
        {{"--diff", map}, 64, "quarnix-dump: --diff needs two files"},
        {{"--diff", "--find", "x", map, map}, 64, "quarnix-dump: --diff goes with"},
    };
    for (const Case& c : cases) {
        ProgramRun run = Dump(c.args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart);
        if (c.status) {
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(DiffTest, PipeReadsAsTheFileDoes) {
    PipedFile pipe(Pair("ruby3", "map", "new"));
    ProgramRun run = Dump({"--diff", Pair("ruby3", "map", "old"), pipe.Path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out), kMapLines);
}

// git calls its external diff with: path old-file old-hex old-mode
// new-file new-hex new-mode; a file added has /dev/null for its old side.
TEST(DiffTest, GitExternalDiffArguments) {
    const std::string map = Pair("ruby18", "map", "new");
    ProgramRun changed = Dump({"--diff", "--git", "Data/Map001.rxdata", Pair("ruby18", "map", "old"), "abc", "100644",
                               map, "def", "100644"});
    EXPECT_EQ(changed.status, 0);  // git stops at an external diff that exits otherwise
    std::vector<std::string> expected{"diff --quarnix a/Data/Map001.rxdata b/Data/Map001.rxdata"};
    expected.insert(expected.end(), kMapLines.begin(), kMapLines.end());
    EXPECT_EQ(Lines(changed.out), expected);
#ifndef _WIN32
    ProgramRun added = Dump({"--diff", "--git", "Data/Map001.rxdata", "/dev/null", ".", ".", map, "def", "100644"});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(Lines(added.out), (std::vector<std::string>{"diff --quarnix a/Data/Map001.rxdata b/Data/Map001.rxdata",
                                                          "+\tdata0\t对象\t\tRPG::Map"}));
#endif
}

struct ListCase {
    std::vector<std::uint64_t> before, after;
    std::string steps;  // '=' kept, '-' removed, '+' added
};

TEST(DiffTest, ListsMatchByCommonSubsequence) {
    const ListCase cases[] = {
        {{1, 2, 3}, {1, 2, 3}, "==="},
        {{1, 2, 3}, {1, 9, 2, 3}, "=+=="},
        {{1, 2, 3}, {1, 3}, "=-="},
        {{1, 2, 3}, {1, 4, 3}, "=-+="},
        {{}, {5, 6}, "++"},
        {{5, 6}, {}, "--"},
        {{1, 2, 3, 4}, {4, 3, 2, 1}, "---=+++"},
        // Of two scripts as short, the one whose edits stand together, so
        // a changed element reads as one change.
        {{2, 1}, {1, 1}, "-+="},
    };
    for (const ListCase& c : cases) {
        std::vector<ListEdit> script;
        ASSERT_TRUE(MatchLists(c.before, c.after, script));
        std::string steps;
        for (const ListEdit& e : script)
            steps.append(static_cast<std::size_t>(e.length),
                         e.step == ListStep::kSame ? '=' : e.step == ListStep::kRemoved ? '-' : '+');
        // Runs are whole: two runs of one kind never touch.
        for (std::size_t i = 1; i < script.size(); ++i) EXPECT_NE(script[i].step, script[i - 1].step) << c.steps;
        EXPECT_EQ(steps, c.steps);
    }
    // Past the bound the lists are left to be compared by position.
    std::vector<std::uint64_t> a(50), b(50);
    for (std::uint64_t i = 0; i < 50; ++i) a[i] = i, b[i] = 100 + i;
    std::vector<ListEdit> script;
    EXPECT_FALSE(MatchLists(a, b, script, 99));
    EXPECT_TRUE(MatchLists(a, b, script, 100));
}

// Over many small random lists (few distinct values, so matches are
// ambiguous), the script is checked against a plain dynamic-programming
// LCS: it must turn `before` into `after`, keep only equal elements, and
// keep as many as the longest common subsequence has.
TEST(DiffTest, ListScriptsAreMinimalAgainstABruteForceSubsequence) {
    std::uint64_t state = 12345;
    auto next = [&state](std::uint64_t bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (state >> 33) % bound;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint64_t> a(next(12)), b(next(12));
        const std::uint64_t alphabet = 1 + next(4);
        for (auto& v : a) v = next(alphabet);
        for (auto& v : b) v = next(alphabet);
        std::vector<std::vector<int>> lcs(a.size() + 1, std::vector<int>(b.size() + 1, 0));
        for (std::size_t i = a.size(); i-- > 0;)
            for (std::size_t j = b.size(); j-- > 0;)
                lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);

        std::vector<ListEdit> script;
        ASSERT_TRUE(MatchLists(a, b, script));
        std::vector<std::uint64_t> rebuilt;
        std::int64_t i = 0, j = 0, kept = 0;
        for (const ListEdit& e : script) {
            ASSERT_GE(e.length, 1);
            if (e.step != ListStep::kAdded) {
                ASSERT_EQ(e.oldIndex, i) << round;
            }
            if (e.step != ListStep::kRemoved) {
                ASSERT_EQ(e.newIndex, j) << round;
            }
            for (std::int64_t k = 0; k < e.length; ++k) {
                if (e.step == ListStep::kSame) {
                    ASSERT_EQ(a[static_cast<std::size_t>(i + k)], b[static_cast<std::size_t>(j + k)]) << round;
                    ++kept;
                }
                if (e.step != ListStep::kRemoved) rebuilt.push_back(b[static_cast<std::size_t>(j + k)]);
            }
            if (e.step != ListStep::kAdded) i += e.length;
            if (e.step != ListStep::kRemoved) j += e.length;
        }
        EXPECT_EQ(i, static_cast<std::int64_t>(a.size())) << round;
        EXPECT_EQ(rebuilt, b) << round;
        EXPECT_EQ(kept, lcs[0][0]) << round;
    }
}

// Lists of hashes match their elements whatever the order of a hash's
// entries (documents built byte by byte; the lines read by hand): a hash
// moved one place down by an insertion is kept, not removed and added.
TEST(DiffTest, HashesInListsMatchWhateverTheirEntriesOrder) {
    struct Case {
        std::string before, after;
        std::vector<std::string> lines;  // "op path", sorted
    };
    const Case cases[] = {
        // [{1=>2, 3=>4}, 5] against ["x", {3=>4, 1=>2}]
        {"[\x07{\x07i\x06i\x07i\x08i\x09i\x0a", "[\x07\"\x06x{\x07i\x08i\x09i\x06i\x07",
         {"+ data0[0]", "- data0[1]"}},
        // the same hash with its values swapped between the keys
        {"[\x06{\x07i\x06i\x07i\x08i\x09", "[\x06{\x07i\x06i\x09i\x08i\x07",
         {"~ data0[0].values[0]", "~ data0[0].values[1]"}},
    };
    for (const Case& c : cases) {
        MarshalDocument a{}, b{};
        const std::string x = "\x04\x08" + c.before, y = "\x04\x08" + c.after;
        ASSERT_EQ(LoadIntoDocumentFromMemory(&a, x.data(), x.size()), 0);
        ASSERT_EQ(LoadIntoDocumentFromMemory(&b, y.data(), y.size()), 0);
        ValueHasher hasher;
        std::vector<std::string> lines;
        CompareDocuments(a, b, hasher, [&](const Difference& d) {
            std::string line(1, static_cast<char>(d.op));
            for (char16_t u : d.path) line += static_cast<char>(u);  // paths of ASCII here
            lines.push_back(line.insert(1, " "));
            return true;
        });
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, c.lines);
        ReleaseNode(&a.root);
        ReleaseNode(&b.root);
    }
}

// Arrays nested 50,000 deep differ at the bottom: one difference, found
// without exhausting the stack.
TEST(DiffTest, DeepNestingIsWalkedWithoutRecursion) {
    constexpr int kDepth = 50000;
    auto bytes = [](char leaf) {
        std::string b = "\x04\x08";
        for (int i = 0; i < kDepth; ++i) b += "[\x06";
        b += 'i';
        b += leaf;
        return b;
    };
    MarshalDocument a{}, b{};
    const std::string x = bytes('\x06'), y = bytes('\x07');
    ASSERT_EQ(LoadIntoDocumentFromMemory(&a, x.data(), x.size()), 0);
    ASSERT_EQ(LoadIntoDocumentFromMemory(&b, y.data(), y.size()), 0);
    ValueHasher hasher;
    int count = 0;
    std::size_t pathLength = 0;
    CompareStatus status = CompareDocuments(a, b, hasher, [&](const Difference& d) {
        ++count;
        pathLength = d.path.size();
        return true;
    });
    EXPECT_EQ(status, CompareStatus::kDone);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(pathLength, 5u + 3u * kDepth);  // "data0" and "[0]" a level
    ReleaseNode(&a.root);
    ReleaseNode(&b.root);
}
}  // namespace
