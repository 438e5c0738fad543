// quarnix-dump as a program: its output for the corpus, its exit status and
// its message for every kind of failure.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {
struct DumpRun {
    int status;
    std::string out, err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs quarnix-dump with the arguments; `input`, when given, is piped in.
DumpRun Dump(const std::string& args, const std::string& input = "") {
    // Each test runs in a process of its own, possibly beside the others.
    std::string err = ::testing::TempDir() + "dump-stderr-" + std::to_string(getpid()) + ".txt";
    std::string command = std::string(QUARNIX_DUMP_EXE) + " " + args + " 2>" + err;
    if (!input.empty()) command = "cat '" + input + "' | " + command;
    DumpRun run{};
    std::FILE* pipe = popen(command.c_str(), "r");
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFile(err);
    return run;
}

std::string Data(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/" + name; }
}  // namespace

TEST(DumpTest, FailuresPrintTheirMessageAndExitWithTheResult) {
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"", 64, "usage: quarnix-dump FILE\n"},
        {"a b", 64, "usage: quarnix-dump FILE\n"},
        {Data("no-such-file.rxdata"), 1, "打开文件失败\n"},
        {Data(""), 1, "打开文件失败\n"},
        {Data("n_empty.bin"), 2, "无法识别该文件的格式\n"},
        {Data("n_version49.bin"), 2, "无法识别该文件的格式\n"},
        {Data("n_truncated_string.bin"), 4, "文件数据有误或不完整\n"},
        {Data("n_huge_count.bin"), 4, "文件数据有误或不完整\n"},
        {Data("n_bad_object_link.bin"), 5, "文件中有未正确链接的对象\n"},
        {Data("n_bad_symbol_link.bin"), 6, "文件中有未正确链接的符号\n"},
        {Data("n_unknown_type.bin"), 7, "文件中有未知类型的数据\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        DumpRun run = Dump(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.message);
    }
}

// The golden dumps under tests/data/golden were read line by line against
// the texts the panes must show before they were committed.
TEST(DumpTest, CorpusMatchesGoldenDumps) {
    for (const char* name : {"Map001.rxdata", "Actors.rxdata", "y_scalars.bin", "y_composites.bin",
                             "y_three_dumps.bin", "y_map_ruby3.rxdata", "y_float_ruby18.bin",
                             "y_encoded_names.bin"}) {
        SCOPED_TRACE(name);
        DumpRun run = Dump(Data(name));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, ReadFile(Data(std::string("golden/") + name + ".txt")));
    }
}

TEST(DumpTest, PipesAreReadAheadSoCountsAreStillChecked) {
    DumpRun huge = Dump("/dev/stdin", Data("n_huge_count.bin"));
    EXPECT_EQ(huge.status, 4);
    EXPECT_EQ(huge.err, "文件数据有误或不完整\n");
    DumpRun map = Dump("/dev/stdin", Data("Map001.rxdata"));
    EXPECT_EQ(map.status, 0);
    EXPECT_EQ(map.out, ReadFile(Data("golden/Map001.rxdata.txt")));
}

// Runs a shell command line; its quarnix-dump prints to the returned run.
DumpRun Shell(const std::string& line) {
    std::string err = ::testing::TempDir() + "dump-stderr-" + std::to_string(getpid()) + ".txt";
    std::string command = "sh -c '" + line + "' 2>" + err;
    DumpRun run{};
    std::FILE* pipe = popen(command.c_str(), "r");
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFile(err);
    return run;
}

TEST(DumpTest, DevicesAndFifosAreReadAsTheyCome) {
    DumpRun zero = Dump("/dev/zero");  // no dump begins: told at once, not read to the end
    EXPECT_EQ(zero.status, 2);
    EXPECT_EQ(zero.err, "无法识别该文件的格式\n");
    std::string fifo = ::testing::TempDir() + "fifo-" + std::to_string(getpid());
    DumpRun map = Shell("mkfifo " + fifo + " && (cat " + Data("Map001.rxdata") + " > " + fifo + " &) && " +
                        QUARNIX_DUMP_EXE + " " + fifo + "; status=$?; rm -f " + fifo + "; exit $status");
    EXPECT_EQ(map.status, 0);
    EXPECT_EQ(map.out, ReadFile(Data("golden/Map001.rxdata.txt")));
}

TEST(DumpTest, TooDeepHasAMessageOfItsOwn) {
    std::string path = ::testing::TempDir() + "deep-" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream out(path, std::ios::binary);
        out << "\x04\x08";
        for (int i = 0; i <= 100000; ++i) out << "[\x06";
        out << "0";
    }
    DumpRun run = Dump(path);
    EXPECT_EQ(run.status, 8);
    EXPECT_EQ(run.err, "文件数据嵌套层次过深\n");
    std::remove(path.c_str());
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARNIX_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUARNIX_TEST_ASAN 1
#endif
#ifndef QUARNIX_TEST_ASAN
// Address space limits (the sanitizer's shadow memory cannot live under them).
TEST(DumpTest, MemoryRunningOutSaysSo) {
    // Too little for the loader's stack: memory, not a file that is no dump.
    DumpRun small = Shell("ulimit -v 51200; " + std::string(QUARNIX_DUMP_EXE) + " " + Data("y_scalars.bin"));
    EXPECT_EQ(small.status, 3);
    EXPECT_EQ(small.err, "系统内存不足\n");
    // Dumps without end through a pipe: memory runs out, the load says so.
    std::string endless = ::testing::TempDir() + "endless-" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream out(endless, std::ios::binary);
        for (int i = 0; i < 100000; ++i) out << "\x04\x08\x30";
    }
    DumpRun pipe = Shell("ulimit -v 400000; while :; do cat " + endless + " || exit; done | " +
                         QUARNIX_DUMP_EXE + " /dev/stdin");
    EXPECT_EQ(pipe.status, 3);
    EXPECT_EQ(pipe.err, "系统内存不足\n");
    std::remove(endless.c_str());
}
#endif

TEST(DumpTest, FieldsAreEscapedOntoOneLine) {
    // A string holding a tab, a newline, a backslash, a carriage return,
    // control bytes and DEL, and malformed UTF-8.
    std::string path = ::testing::TempDir() + "escapes-" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream out(path, std::ios::binary);
        std::string text = "a\tb\nc\\d\re\x01\x7f\xff";
        out << std::string("\x04\x08[\x06\"", 5) << static_cast<char>(text.size() + 5) << text;
    }
    DumpRun run = Dump(path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[]\n0\t数组\t\tdata0\n[data0]\n0\t字符串\ta\\tb\\nc\\\\d\\re\\x01\\x7f\uFFFD\tdata0[0]\n");
    std::remove(path.c_str());
}
