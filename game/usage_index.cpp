#include "game/usage_index.h"

#include <algorithm>
#include <new>
#include <string>

#include "game/game_folder.h"

namespace fs = std::filesystem;

std::vector<const UsePlace*> UsageIndex::Find(RefKind kind, std::int64_t id) const {
    std::vector<const UsePlace*> found;
    for (const UsePlace& p : places_)
        if (p.kind == kind && p.low <= id && id <= p.high) found.push_back(&p);
    return found;
}

std::u16string UsageIndex::Path(const UsePlace& p) const {
    std::u16string path(Text(p.path, p.pathLength));
    if (p.item >= 0) {
        path += u'[';
        for (char c : std::to_string(p.item)) path += static_cast<char16_t>(c);
        path += u']';
    }
    return path;
}

std::size_t UsageIndex::MemoryBytes() const {
    return places_.capacity() * sizeof(UsePlace) + pool_.capacity() * sizeof(char16_t);
}

std::uint32_t UsageIndex::AddFile(const fs::path& file) {
    files_.push_back(file);
    return static_cast<std::uint32_t>(files_.size() - 1);
}

std::uint32_t UsageIndex::AddText(std::u16string_view text) {
    const std::size_t at = pool_.size();
    if (at + text.size() > UINT32_MAX) throw std::bad_alloc();
    pool_ += text;
    return static_cast<std::uint32_t>(at);
}

void UsageIndex::Trim() {
    places_.shrink_to_fit();
    pool_.shrink_to_fit();
}

void UsageIndex::Clear() {
    files_.clear();
    places_ = {};
    pool_ = {};
}

std::vector<fs::path> UsageFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (fs::path& file : ListDataFiles(folder)) {
        const std::string name = PathToUtf8(file.filename());
        std::string lower(name);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (IsNumberedFile(file, "Map") || lower == "commonevents.rxdata" || lower == "troops.rxdata")
            files.push_back(std::move(file));
    }
    return files;
}
