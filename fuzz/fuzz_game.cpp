// A game folder of fuzzed files: the names are read from them, the usage
// index is built over them and asked, and a search runs across them.
// The input is split at each "\0\xffGF" into the files System, MapInfos,
// Actors, CommonEvents, Troops and Map001 in turn; an input without the
// marker is every one of them at once, so a seed of any real file plays
// every part.
// Nothing may crash, hang, leak or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unistd.h>

#include "game/folder_find.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "game/usage_index.h"
#include "lens/event_commands.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kFiles[] = {"System.rxdata", "MapInfos.rxdata", "Actors.rxdata",
                                  "CommonEvents.rxdata", "Troops.rxdata", "Map001.rxdata"};
constexpr std::string_view kMarker("\0\xffGF", 4);

const fs::path& Folder() {
    static const fs::path folder = [] {
        // The folder goes with the process; its name is kept where the exit
        // handler can still read it.
        static char name[] = "/tmp/fuzz_game_XXXXXX";
        if (!mkdtemp(name)) std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::path(name), ec);
        });
        return fs::path(name);
    }();
    return folder;
}

void Write(const fs::path& file, std::string_view bytes) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = Folder();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool split = input.find(kMarker) != std::string_view::npos;
    for (const char* name : kFiles) {
        std::size_t end = split ? input.find(kMarker) : input.size();
        Write(folder / name, input.substr(0, end));
        if (split) input = end == std::string_view::npos ? std::string_view() : input.substr(end + kMarker.size());
    }

    auto scratch = std::make_unique<MarshalDocument>();
    GameNames names;
    if (!ReadGameNames(folder, *scratch, names)) std::abort();
    std::u16string title, place;
    AppendMapHeading(title, place, 1, &names);

    UsageIndex index;
    if (BuildUsageIndex(UsageFiles(folder), &names, *scratch, index)) {
        for (int kind = 0; kind < kRefKindCount; ++kind) {
            for (std::int64_t id : {-1, 0, 1, 2, 65}) {
                for (const UsePlace* p : index.Find(static_cast<RefKind>(kind), id)) {
                    if (p->file >= index.Files().size() || p->low > id || p->high < id) std::abort();
                    (void)index.Path(*p);
                    (void)index.Reading(*p);
                    (void)index.EventName(*p);
                }
            }
        }
    }
    FindQuery query;
    query.text = u"1";
    int hits = 0;
    FindInFiles(ListDataFiles(folder), query, *scratch, [&](std::size_t, const FindHit& hit, const HolderIndex& holders) {
        std::u16string path;
        holders.AppendPath(path, hit.child);
        return ++hits < 100;
    });
    DropDocument(*scratch);
    return 0;
}
