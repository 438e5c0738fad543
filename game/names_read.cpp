#include "game/names_read.h"

#include <new>
#include <string_view>
#include <system_error>

#include "game/database_files.h"
#include "game/game_folder.h"
#include "lens/node_access.h"
#include "marshal/load.h"

namespace fs = std::filesystem;

namespace {
// The name as kept: UTF-8 bytes (Ruby 1.8 strings carry no encoding, the
// editor wrote UTF-8), cut at a character boundary.
bool NameText(const MarshalNode* value, std::string& out) {
    std::string_view bytes;
    if (!StringBytes(value, bytes) || bytes.empty()) return false;
    if (bytes.size() > kMaxNameBytes) {
        std::size_t cut = kMaxNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
        bytes = bytes.substr(0, cut);
    }
    // A name is shown inside one line: it ends at a NUL or a line break.
    bytes = bytes.substr(0, bytes.find_first_of(std::string_view("\0\r\n", 3)));
    if (bytes.empty()) return false;
    out.assign(bytes);
    return true;
}

// The first value of the file.
const MarshalNode* FirstValue(const MarshalDocument& doc) {
    return doc.root.count >= 1 ? Unwrapped(ChildAt(&doc.root, 0)) : nullptr;
}

// An array of names by index (System's @switches and @variables).
void TakeNameArray(const MarshalNode* array, std::unordered_map<std::int64_t, std::string>& into) {
    array = Unwrapped(array);
    if (!array || array->type != '[') return;
    std::string name;
    for (std::int64_t i = 1; i < ChildCount(array); ++i)
        if (NameText(ChildAt(array, i), name)) into[i] = name;
}

// An array of entries by index, each an object with @name.
void TakeEntryNames(const MarshalNode* array, std::unordered_map<std::int64_t, std::string>& into) {
    if (!array || array->type != '[') return;
    std::string name;
    for (std::int64_t i = 1; i < ChildCount(array); ++i)
        if (NameText(InstanceVariable(ChildAt(array, i), "name"), name)) into[i] = name;
}

// MapInfos: a hash of map id => RPG::MapInfo (@name, @parent_id).
void TakeMapInfos(const MarshalNode* hash, GameNames& names) {
    if (!hash || (hash->type != '{' && hash->type != '}')) return;
    const std::int64_t first = hash->type == '}' ? 1 : 0;
    std::string name;
    for (std::int64_t k = first; k + 1 < ChildCount(hash); k += 2) {
        std::int64_t id, parent;
        if (!IntegerValue(ChildAt(hash, k), id)) continue;
        const MarshalNode* info = ChildAt(hash, k + 1);
        if (NameText(InstanceVariable(info, "name"), name)) names.names[static_cast<int>(RefKind::kMap)][id] = name;
        if (IntegerValue(InstanceVariable(info, "parent_id"), parent) && parent > 0) names.mapParents[id] = parent;
    }
}

bool Cancelled(const MarshalDocument& doc) { return doc.cancel.load(std::memory_order_relaxed); }
}  // namespace

bool FolderHasDatabase(const fs::path& folder) {
    fs::path found;
    if (FindSibling(folder, "System.rxdata", found) || FindSibling(folder, "MapInfos.rxdata", found)) return true;
    for (const DatabaseFile& file : kDatabaseFiles)
        if (FindSibling(folder, file.name, found)) return true;
    return false;
}

bool ReadGameNames(const fs::path& folder, MarshalDocument& scratch, GameNames& names) {
    std::uint64_t budget = kNameFilesTotalBytes;
    // Loads one sibling within the bounds and what is left of the budget,
    // hands its first value to `take`, and drops it.
    auto read = [&](const char* fileName, auto&& take) {
        fs::path file;
        if (Cancelled(scratch) || !FindSibling(folder, fileName, file)) return;
        std::error_code ec;
        const std::uintmax_t size = fs::file_size(file, ec);
        if (ec || size > budget) return;
        budget -= size;
        LoadBounds bounds = kNameFileBounds;
        if (LoadBounded(scratch, file, bounds) != kLoadOk) return;
        try {
            take(FirstValue(scratch));
        } catch (const std::bad_alloc&) {
            // The names of this file stay out.
        }
        DropDocument(scratch);
    };
    read("System.rxdata", [&](const MarshalNode* system) {
        TakeNameArray(InstanceVariable(system, "switches"), names.names[static_cast<int>(RefKind::kSwitch)]);
        TakeNameArray(InstanceVariable(system, "variables"), names.names[static_cast<int>(RefKind::kVariable)]);
    });
    read("MapInfos.rxdata", [&](const MarshalNode* infos) { TakeMapInfos(infos, names); });
    for (const DatabaseFile& file : kDatabaseFiles)
        read(file.name, [&](const MarshalNode* entries) { TakeEntryNames(entries, names.names[static_cast<int>(file.kind)]); });
    return !Cancelled(scratch);
}
