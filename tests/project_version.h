// The version as the top CMakeLists.txt declares it, read from that file:
// what every program and box must show, found without the generated header
// they are built with.
#pragma once
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

inline std::string ProjectVersion() {
    std::string path = QUARNIX_TEST_DATA;
    path += "/../../CMakeLists.txt";
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    constexpr std::string_view key = "project(Quarnix VERSION ";
    const std::size_t at = all.find(key);
    if (at == std::string::npos) return "(no version in CMakeLists.txt)";
    const std::size_t from = at + key.size();
    return all.substr(from, all.find_first_of(" )", from) - from);
}

// "NAME VERSION": what `NAME --version` prints (without its line break)
// and the About boxes show.  Built by appending: GCC 12 warns wrongly of
// bounds over "literal" + std::string.
inline std::string NameAndVersion(const char* name) {
    std::string text(name);
    text += ' ';
    text += ProjectVersion();
    return text;
}
