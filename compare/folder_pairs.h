// Two Data folders side by side: their .rxdata files paired by name (case
// ignored, as the game on Windows sees them), in name order, each pair
// telling whether the file was added, removed or may have changed.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct FilePair {
    std::string key;  // the name in lower case
    std::filesystem::path before, after;  // empty on the side without the file
};

// Every .rxdata file of either folder, paired, sorted by `key`.
std::vector<FilePair> PairFolderFiles(const std::filesystem::path& before, const std::filesystem::path& after);

// Whether two regular files hold the same bytes; false for anything else or
// when either does not read.
bool SameFileBytes(const std::filesystem::path& a, const std::filesystem::path& b);
