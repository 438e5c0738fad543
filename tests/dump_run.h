// Runs quarnix-dump as a program, for the suites that check its output.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace dump_run {
struct DumpRun {
    int status;
    std::string out, err;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs quarnix-dump with the arguments; `input`, when given, is piped in.
inline DumpRun Dump(const std::string& args, const std::string& input = "") {
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

inline std::string Data(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/" + name; }
}  // namespace dump_run

using dump_run::Data;
using dump_run::Dump;
using dump_run::DumpRun;
using dump_run::ReadFile;
