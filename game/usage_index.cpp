#include "game/usage_index.h"

#include <algorithm>
#include <new>
#include <string>

#include "game/database_files.h"
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
    std::size_t bytes = places_.size() * sizeof(UsePlace);
    for (const std::u16string& chunk : pool_) bytes += chunk.capacity() * sizeof(char16_t);
    return bytes;
}

std::uint32_t UsageIndex::AddFile(const fs::path& file) {
    files_.push_back(file);
    return static_cast<std::uint32_t>(files_.size() - 1);
}

std::uint32_t UsageIndex::AddText(std::u16string_view text) {
    // A reading may hold a whole parameter; the line it makes need not.
    text = text.substr(0, kMaxTextUnits);
    if (pool_.empty() || pool_.back().size() + text.size() > kChunkUnits) {
        if (pool_.size() >= (std::size_t{1} << (32 - kChunkBits))) throw std::bad_alloc();
        pool_.emplace_back().reserve(kChunkUnits);
    }
    std::u16string& chunk = pool_.back();
    const std::size_t at = ((pool_.size() - 1) << kChunkBits) + chunk.size();
    chunk += text;
    return static_cast<std::uint32_t>(at);
}

void UsageIndex::Trim() {
    places_.shrink_to_fit();
    if (!pool_.empty()) pool_.back().shrink_to_fit();
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
        if (IsNumberedFile(file, "Map") || SameFileName(name, "CommonEvents.rxdata") || SameFileName(name, "Troops.rxdata"))
            files.push_back(std::move(file));
    }
    return files;
}
