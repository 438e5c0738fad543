// quarnix-dump on what is not a regular file, and short of memory: devices
// and FIFOs read as their bytes come, memory running out said as such, and
// data nested too deep with a message of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dump_support.h"

TEST(DumpDeviceTest, TooDeepHasAMessageOfItsOwn) {
    std::string deep = "\x04\x08";
    for (int i = 0; i <= 100000; ++i) deep += "[\x06";
    deep += "0";
    std::string path = ScratchDir() + "deep.bin";
    WriteFileBytes(path, deep);
    ProgramRun run = Dump({path});
    EXPECT_EQ(run.status, 8);
    EXPECT_EQ(run.err, "文件数据嵌套层次过深\n");
    RemoveScratchDir();
}

#ifndef _WIN32
#include <sys/wait.h>

#include <cstdio>

namespace {

// Runs a shell command line and collects its output and status.
ProgramRun Shell(const std::string& line) {
    std::string err = ScratchDir() + "shell-stderr.txt";
    std::string command = "sh -c '" + line + "' 2>" + err;
    ProgramRun run{};
    std::FILE* pipe = popen(command.c_str(), "r");
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFileBytes(err);
    return run;
}
}  // namespace

TEST(DumpDeviceTest, DevicesAndFifosAreReadAsTheyCome) {
    ProgramRun zero = Dump({"/dev/zero"});  // no dump begins: told at once, not read to the end
    EXPECT_EQ(zero.status, 2);
    EXPECT_EQ(zero.err, "无法识别该文件的格式\n");
    // The dump opens the FIFO before anything writes to it, and waits.
    std::string fifo = ScratchDir() + "fifo";
    ProgramRun map = Shell("mkfifo " + fifo + " || exit 99; (sleep 0.2; cat " + Data("Map001.rxdata") + " > " + fifo +
                           ") </dev/null >/dev/null 2>&1 & exec " + QUARNIX_DUMP_EXE + " " + fifo);
    EXPECT_EQ(map.status, 0);
    EXPECT_EQ(map.out, ReadFileBytes(Data("golden/Map001.rxdata.txt")));
    RemoveScratchDir();
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
TEST(DumpDeviceTest, MemoryRunningOutSaysSo) {
    // Too little for the loader's stack: memory, not a file that is no dump.
    ProgramRun small = Shell("ulimit -v 51200; " + std::string(QUARNIX_DUMP_EXE) + " " + Data("y_scalars.bin"));
    EXPECT_EQ(small.status, 3);
    EXPECT_EQ(small.err, "系统内存不足\n");
    // Dumps without end through a pipe: memory runs out, the load says so.
    std::string unit, endless = ScratchDir() + "endless.bin";
    for (int i = 0; i < 100000; ++i) unit += "\x04\x08\x30";
    WriteFileBytes(endless, unit);
    ProgramRun pipe = Shell("ulimit -v 400000; while :; do cat " + endless + " || exit; done | " +
                            QUARNIX_DUMP_EXE + " /dev/stdin");
    EXPECT_EQ(pipe.status, 3);
    EXPECT_EQ(pipe.err, "系统内存不足\n");
    RemoveScratchDir();
}
#endif
#endif
