// What the tests of quarnix-dump and of the game folder share: running the
// program, naming the test files, splitting its output into lines.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "tests/process_support.h"

#ifdef QUARNIX_DUMP_EXE
inline ProgramRun Dump(const std::vector<std::string>& args) { return RunProgram(QUARNIX_DUMP_EXE, args); }
#endif

inline std::string Data(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/" + name; }
inline std::string Game(const std::string& name) { return std::string(QUARNIX_TEST_DATA) + "/game/" + name; }

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
