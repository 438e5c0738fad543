// quarnix-dump as a program: its output for the corpus, its exit status and
// its message for every kind of failure.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/dump_support.h"

TEST(DumpTest, FailuresPrintTheirMessageAndExitWithTheResult) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        // Wrong usage: the reason, then the usage text.
        {{}, 64, "quarnix-dump: no file given\nusage: quarnix-dump "},
        {{"a", "b"}, 64, "quarnix-dump: more than one file given\nusage: quarnix-dump "},
        {{Data("no-such-file.rxdata")}, 1, "打开文件失败\n"},
        {{Data("")}, 1, "打开文件失败\n"},
        {{Data("n_empty.bin")}, 2, "无法识别该文件的格式\n"},
        {{Data("n_version49.bin")}, 2, "无法识别该文件的格式\n"},
        {{Data("n_truncated_string.bin")}, 4, "文件数据有误或不完整\n"},
        {{Data("n_huge_count.bin")}, 4, "文件数据有误或不完整\n"},
        {{Data("n_bad_object_link.bin")}, 5, "文件中有未正确链接的对象\n"},
        {{Data("n_bad_symbol_link.bin")}, 6, "文件中有未正确链接的符号\n"},
        {{Data("n_unknown_type.bin")}, 7, "文件中有未知类型的数据\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
        ProgramRun run = Dump(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        if (c.status == 64) EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        else EXPECT_EQ(run.err, c.message);
    }
}

// The golden dumps under tests/data/golden were read line by line against
// the texts the panes must show before they were committed.
TEST(DumpTest, CorpusMatchesGoldenDumps) {
    for (const char* name : {"Map001.rxdata", "Actors.rxdata", "y_scalars.bin", "y_composites.bin",
                             "y_three_dumps.bin", "y_map_ruby3.rxdata", "y_float_ruby18.bin",
                             "y_encoded_names.bin"}) {
        SCOPED_TRACE(name);
        ProgramRun run = Dump({Data(name)});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, ReadFileBytes(Data(std::string("golden/") + name + ".txt")));
    }
}

// Names outside ASCII reach the file as they are, whatever the system's
// code page for narrow texts.
TEST(DumpTest, FilesWithChineseNamesOpen) {
    std::string path = ScratchDir() + "\xE5\x9C\xB0\xE5\x9B\xBE \xC3\xA9.rxdata";  // 地图 é.rxdata
    WriteFileBytes(path, ReadFileBytes(Data("Map001.rxdata")));
    ProgramRun run = Dump({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ReadFileBytes(Data("golden/Map001.rxdata.txt")));
    RemoveScratchDir();
}

TEST(DumpTest, PipesAreReadAheadSoCountsAreStillChecked) {
    {
        PipedFile huge(Data("n_huge_count.bin"));
        ProgramRun run = Dump({huge.Path()});
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.err, "文件数据有误或不完整\n");
    }
    PipedFile map(Data("Map001.rxdata"));
    ProgramRun run = Dump({map.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ReadFileBytes(Data("golden/Map001.rxdata.txt")));
}

TEST(DumpTest, FieldsAreEscapedOntoOneLine) {
    // A string holding a tab, a newline, a backslash, a carriage return,
    // control bytes and DEL, and malformed UTF-8.
    std::string path = ScratchDir() + "escapes.bin";
    std::string text = "a\tb\nc\\d\re\x01\x7f\xff";
    WriteFileBytes(path, std::string("\x04\x08[\x06\"", 5) + static_cast<char>(text.size() + 5) + text);
    ProgramRun run = Dump({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[]\n0\t数组\t\tdata0\n[data0]\n0\t字符串\ta\\tb\\nc\\\\d\\re\\x01\\x7f\uFFFD\tdata0[0]\n");

    // One byte to escape at every position of a run of printable ASCII,
    // which is written eight characters at a time.
    const std::pair<char, const char*> escapes[] = {{'\x7f', "\\x7f"}, {'\\', "\\\\"}, {'\x1f', "\\x1f"}, {'\t', "\\t"}};
    std::string dump = "\x04\x08[\x01";
    dump += static_cast<char>(std::size(escapes) * 18);
    std::string expected = "[]\n0\t数组\t\tdata0\n[data0]\n";
    int row = 0;
    for (const auto& [byte, escaped] : escapes) {
        for (std::size_t at = 0; at < 18; ++at, ++row) {
            std::string plain = "ABCDEFGHIJKLMNOPQR";
            dump += std::string("\"\x18") + plain.substr(0, at) + byte + plain.substr(at);
            expected += std::to_string(row) + "\t字符串\t" + plain.substr(0, at) + escaped + plain.substr(at) + "\tdata0[" +
                        std::to_string(row) + "]\n";
        }
    }
    WriteFileBytes(path, dump);
    run = Dump({path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, expected);
    RemoveScratchDir();
}
