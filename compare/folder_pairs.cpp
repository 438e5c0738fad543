#include "compare/folder_pairs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "game/game_folder.h"

namespace fs = std::filesystem;

namespace {
std::string Lower(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return name;
}
}  // namespace

std::vector<FilePair> PairFolderFiles(const fs::path& before, const fs::path& after) {
    std::vector<FilePair> pairs;
    for (const fs::path& file : ListDataFiles(before)) pairs.push_back({Lower(PathToUtf8(file.filename())), file, {}});
    for (const fs::path& file : ListDataFiles(after)) {
        const std::string key = Lower(PathToUtf8(file.filename()));
        auto it = std::find_if(pairs.begin(), pairs.end(), [&](const FilePair& p) { return p.key == key && p.after.empty(); });
        if (it != pairs.end()) it->after = file;
        else pairs.push_back({key, {}, file});
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const FilePair& x, const FilePair& y) { return x.key < y.key; });
    return pairs;
}

bool SameFileBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (!fs::is_regular_file(a, ec) || !fs::is_regular_file(b, ec)) return false;
    const auto sizeA = fs::file_size(a, ec);
    if (ec) return false;
    const auto sizeB = fs::file_size(b, ec);
    if (ec || sizeA != sizeB) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> fa(OpenPathBytes(a), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> fb(OpenPathBytes(b), std::fclose);
    if (!fa || !fb) return false;
    std::vector<char> x(1 << 16), y(1 << 16);
    for (;;) {
        const std::size_t n = std::fread(x.data(), 1, x.size(), fa.get());
        const std::size_t m = std::fread(y.data(), 1, y.size(), fb.get());
        if (n != m || std::memcmp(x.data(), y.data(), n) != 0) return false;
        if (n < x.size()) return !std::ferror(fa.get()) && !std::ferror(fb.get());
    }
}
