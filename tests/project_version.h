// The version as the top CMakeLists.txt declares it, read from that file:
// what every program and box must show, found without the generated header
// they are built with.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

inline std::string ProjectVersion() {
    std::ifstream in(std::string(QUARNIX_TEST_DATA) + "/../../CMakeLists.txt");
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str(), key = "project(Quarnix VERSION ";
    const std::size_t at = all.find(key);
    if (at == std::string::npos) return "(no version in CMakeLists.txt)";
    const std::size_t from = at + key.size();
    return all.substr(from, all.find_first_of(" )", from) - from);
}
