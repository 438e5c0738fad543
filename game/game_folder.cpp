#include "game/game_folder.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "game/database_files.h"
#include "marshal/load.h"

namespace fs = std::filesystem;

namespace {
bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && SameFileName(text.substr(text.size() - end.size()), end);
}
}  // namespace

std::FILE* OpenPathBytes(const fs::path& file) {
#ifdef _WIN32
    return _wfopen(file.c_str(), L"rb");
#else
    return std::fopen(file.c_str(), "rb");
#endif
}

fs::path PathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathToUtf8(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

bool FindSibling(const fs::path& folder, std::string_view name, fs::path& found) {
    std::error_code ec;
    fs::path exact = folder / PathFromUtf8(std::string(name));
    if (fs::is_regular_file(exact, ec)) {
        found = exact;
        return true;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (SameFileName(PathToUtf8(it->path().filename()), name) && it->is_regular_file(ec)) {
            found = it->path();
            return true;
        }
    }
    return false;
}

std::vector<fs::path> ListDataFiles(const fs::path& folder) {
    std::vector<std::pair<std::string, fs::path>> named;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = PathToUtf8(it->path().filename());
        std::error_code typeError;
        if (EndsWithIgnoringCase(name, ".rxdata") && it->is_regular_file(typeError)) named.emplace_back(std::move(name), it->path());
    }
    std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fs::path> files;
    files.reserve(named.size());
    for (auto& entry : named) files.push_back(std::move(entry.second));
    return files;
}

bool IsNumberedFile(const fs::path& file, std::string_view prefix, std::int64_t* number) {
    const std::string name = PathToUtf8(file.filename());
    constexpr std::string_view kEnd = ".rxdata";
    if (name.size() <= prefix.size() + kEnd.size() || !SameFileName(name.substr(0, prefix.size()), prefix) ||
        !EndsWithIgnoringCase(name, kEnd))
        return false;
    std::string_view digits = std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - kEnd.size());
    if (digits.empty() || digits.size() > 9) return false;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (number) *number = value;
    return true;
}

int LoadBounded(MarshalDocument& doc, const fs::path& file, const LoadBounds& bounds) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec) return kLoadCannotOpen;
    if (size > bounds.maxFileBytes) return kLoadNoMemory;
    std::FILE* f = OpenPathBytes(file);
    if (!f) return kLoadCannotOpen;
    // Checked at each refill of the default chunk: a few megabytes over at most.
    doc.memoryLimit = bounds.maxMemory;
    int result = LoadIntoDocument(&doc, f);
    if (result != kLoadOk) DropDocument(doc);
    return result;
}

void DropDocument(MarshalDocument& doc) { ReleaseNode(&doc.root); }
