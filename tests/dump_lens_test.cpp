// quarnix-dump --lens: the readings as continuation lines after their rows,
// the rows themselves unchanged, and a readable `git diff` through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/dump_support.h"

namespace {
bool Continuation(const std::string& line) { return line.rfind("\t| ", 0) == 0; }
}  // namespace

// The goldens were read line by line against the Ruby that made the files.
TEST(DumpLensTest, ReadingsFollowTheirRows) {
    for (const char* name : {"y_lens_events.rxdata", "y_lens_tables.bin", "y_lens_colors.bin", "y_lens_ruby3.rxdata"}) {
        SCOPED_TRACE(name);
        // The goldens show ids as numbers; the Actors.rxdata beside these
        // files would name the actors (game_folder_test reads names).
        ProgramRun run = Dump({"--lens", "--no-names", Data(name)});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, ReadFileBytes(Data(std::string("golden/") + name + ".lens.txt")));
    }
    // A script reads as its source, one line per line, after its row.
    std::vector<std::string> lines = SplitLines(Dump({"--lens", Data("Scripts.rxdata")}).out);
    auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.ends_with("\tdata0[1][2]"); });
    ASSERT_NE(row, lines.end());
    const std::vector<std::string> party(row + 1, row + 8);
    EXPECT_EQ(party, (std::vector<std::string>{"\t| # 队伍的金钱", "\t| class Game_Party", "\t|   attr_reader :gold",
                                               "\t|   def gain_gold(n)", "\t|     @gold = [[@gold + n, 0].max, 9999999].min",
                                               "\t|   end", "\t| end"}));
    EXPECT_TRUE(row + 8 < lines.end() && row[8] == "[data0[2]]");
}

// Without its continuation lines the --lens output is the plain dump, for
// every file that loads; no plain line looks like a continuation.
TEST(DumpLensTest, RowsStayAsThePlainDumpPrintsThem) {
    for (const auto& entry : std::filesystem::directory_iterator(QUARNIX_TEST_DATA)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.ends_with(".rb") || name.ends_with(".md")) continue;
        SCOPED_TRACE(name);
        ProgramRun plain = Dump({Data(name)});
        ProgramRun lens = Dump({"--lens", Data(name)});
        EXPECT_EQ(lens.status, plain.status);
        EXPECT_EQ(lens.err, plain.err);
        std::string rows;
        for (const std::string& line : SplitLines(lens.out))
            if (!Continuation(line)) rows += line + "\n";
        EXPECT_EQ(rows, plain.out);
        for (const std::string& line : SplitLines(plain.out)) EXPECT_FALSE(Continuation(line)) << line;
    }
}

#ifndef _WIN32
TEST(DumpLensTest, GitDiffThroughTheLensShowsWhatChanged) {
    if (std::system("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no git";
    const std::string repo = ScratchDir() + "diff";
    std::filesystem::create_directories(repo);
    const std::string git = "git -C '" + repo + "' -c user.name=t -c user.email=t@t ";
    auto copy = [&](const char* version) {
        std::filesystem::copy_file(Data(std::string("y_lens_diff_") + version + ".rxdata"), repo + "/Map.rxdata",
                                   std::filesystem::copy_options::overwrite_existing);
    };
    ASSERT_EQ(std::system((git + "init -q && echo '*.rxdata diff=rxdata' > '" + repo + "/.gitattributes' && " + git +
                           "config diff.rxdata.textconv '" + QUARNIX_DUMP_EXE + " --lens'").c_str()),
              0);
    copy("a");
    ASSERT_EQ(std::system((git + "add -A && " + git + "commit -qm a").c_str()), 0);
    copy("b");
    std::FILE* pipe = popen((git + "diff --no-color -U0").c_str(), "r");
    std::string diff;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) diff.append(buf, n);
    pclose(pipe);
    RemoveScratchDir();
    std::vector<std::string> changed;
    for (const std::string& line : SplitLines(diff))
        if ((line[0] == '-' || line[0] == '+') && !line.starts_with("---") && !line.starts_with("+++"))
            changed.push_back(line);
    // The compressed string's row changes with its bytes; its source by one
    // line; the wait by its parameter row and its readable line.
    ASSERT_EQ(changed.size(), 8u) << diff;
    EXPECT_TRUE(changed[0].starts_with("-2\t字符串\t"));
    EXPECT_TRUE(changed[1].starts_with("+2\t字符串\t"));
    EXPECT_EQ(changed[2], "-\t|   def gain_gold(n)");
    EXPECT_EQ(changed[3], "+\t|   def gain_gold(amount)");
    EXPECT_EQ(changed[4], "-\t| ◆等待：20 帧");
    EXPECT_EQ(changed[5], "+\t| ◆等待：30 帧");
    EXPECT_EQ(changed[6], "-0\t整数\t20\tdata0[1].list[1].parameters[0]");
    EXPECT_EQ(changed[7], "+0\t整数\t30\tdata0[1].list[1].parameters[0]");
}
#endif
