// Where each switch, variable, self switch, common event, map, actor, item,
// weapon, armor, skill, troop, animation and event is used across a game's
// folder: every event command and page condition of the maps, common
// events and troops that refers to one by number.  Built file by file, each
// document dropped as soon as it is indexed; the places keep their texts
// (the row's path and the command's reading), so answering needs no file.
#pragma once
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "game/command_refs.h"
#include "lens/game_names.h"
#include "marshal/document.h"

// Ids are those of Marshal's fixnums, which fit 32 bits.  A place keeps the
// path of its list once for all its commands, and its own position in it.
struct UsePlace {
    RefKind kind;
    UseAccess access;
    std::int32_t page;       // the page of the event or troop, -1 for none
    std::uint32_t file;      // index into UsageIndex::Files()
    std::int32_t low, high;  // the ids referred to
    std::int32_t eventId;    // the map's event, the common event or the troop; -1 none
    std::int32_t item;       // the command's position in the list at `path`; -1: `path` is the row
    std::uint32_t path, pathLength;        // into the text pool
    std::uint32_t reading, readingLength;
    std::uint32_t eventName, eventNameLength;
};

class UsageIndex {
public:
    const std::vector<std::filesystem::path>& Files() const { return files_; }
    std::size_t PlaceCount() const { return places_.size(); }

    // The places that use the id, in file order and in each file in the
    // order of its rows.
    std::vector<const UsePlace*> Find(RefKind kind, std::int64_t id) const;

    // Texts of a place: the access path of the row ("data0.events.values[3]
    // .pages[0].list[5]"), the reading of the command or condition, the name
    // of the event.
    std::u16string Path(const UsePlace& p) const;
    std::u16string_view Reading(const UsePlace& p) const { return Text(p.reading, p.readingLength); }
    std::u16string_view EventName(const UsePlace& p) const { return Text(p.eventName, p.eventNameLength); }

    // Bytes the index holds.
    std::size_t MemoryBytes() const;

    // Building (usage_index_build.cpp).
    std::uint32_t AddFile(const std::filesystem::path& file);
    // Keeps the text (cut at kMaxTextUnits); returns where it is.
    std::uint32_t AddText(std::u16string_view text);
    static constexpr std::size_t kMaxTextUnits = 4096;
    void AddPlace(const UsePlace& place) { places_.push_back(place); }
    void Clear();
    // Gives back the room the last text chunk has left.
    void Trim();

private:
    // Texts sit in chunks of fixed size that never move, and places in a
    // deque: growing the index never holds an old and a new copy at once.
    static constexpr unsigned kChunkBits = 20;
    static constexpr std::size_t kChunkUnits = std::size_t{1} << kChunkBits;
    std::u16string_view Text(std::uint32_t at, std::uint32_t length) const {
        return std::u16string_view(pool_[at >> kChunkBits]).substr(at & (kChunkUnits - 1), length);
    }

    std::vector<std::filesystem::path> files_;
    std::deque<UsePlace> places_;
    std::vector<std::u16string> pool_;
};

struct IndexProgress {
    std::size_t filesDone = 0;
    std::size_t fileCount = 0;
};

// The files of the folder the index reads: Map*.rxdata, CommonEvents.rxdata
// and Troops.rxdata (any case), in file-name order.
std::vector<std::filesystem::path> UsageFiles(const std::filesystem::path& folder);

// Indexes the files in order into `index` (cleared first), each loaded into
// `scratch` and dropped; a file is read by its shape (a map, the common
// events, the troops), and one that fails to load or has another shape adds
// nothing.  Readings carry `names` when given.  The scratch document's
// `cancel` flag stops the build (false returned).  False also when memory
// runs out; the index is then cleared.
bool BuildUsageIndex(const std::vector<std::filesystem::path>& files, const GameNames* names, MarshalDocument& scratch,
                     UsageIndex& index, const std::function<void(const IndexProgress&)>& onProgress = {});
