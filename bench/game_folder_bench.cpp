// The game's folder against loading its files: one phase per process, so
// that the peak memory printed is that phase's own.
//
//   game_folder_bench load   DIR   every .rxdata file loaded once and dropped
//   game_folder_bench names  DIR   the database's names
//   game_folder_bench index  DIR   names, then the usage index; then the
//                                  first answers of usage searches
//   game_folder_bench find   DIR WORD   the hits of WORD across the folder
//
// Prints "key value" lines: seconds, peak resident kilobytes, counts.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "game/folder_find.h"
#include "game/game_folder.h"
#include "game/names_read.h"
#include "game/usage_index.h"
#include "marshal/load.h"
#include "present/text.h"

namespace fs = std::filesystem;

namespace {
double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Usage() {
    std::fputs("usage: game_folder_bench load|names|index DIR, or find DIR WORD\n", stderr);
    return 64;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string mode = argv[1];
    const fs::path dir = PathFromUtf8(argv[2]);
    auto scratch = std::make_unique<MarshalDocument>();
    const double start = Now();
    if (mode == "load") {
        std::size_t largest = 0, files = 0;
        for (const fs::path& file : ListDataFiles(dir)) {
            if (LoadBounded(*scratch, file, kIndexFileBounds) != kLoadOk) continue;
            largest = std::max(largest, DocumentMappedBytes(scratch.get()));
            DropDocument(*scratch);
            ++files;
        }
        std::printf("files %zu\nseconds %.3f\nlargest_document_kb %zu\n", files, Now() - start, largest / 1024);
    } else if (mode == "names" || mode == "index") {
        GameNames names;
        ReadGameNames(dir, *scratch, names);
        const double namesDone = Now();
        std::printf("names_seconds %.3f\n", namesDone - start);
        if (mode == "index") {
            UsageIndex index;
            if (!BuildUsageIndex(UsageFiles(dir), &names, *scratch, index)) return 1;
            const double built = Now();
            std::printf("index_seconds %.3f\nplaces %zu\nindex_kb %zu\n", built - namesDone, index.PlaceCount(),
                        index.MemoryBytes() / 1024);
            // The first answers: a switch, a variable, a map, a common event.
            double slowest = 0;
            std::size_t found = 0;
            for (auto [kind, id] : {std::pair{RefKind::kSwitch, 48}, {RefKind::kVariable, 100}, {RefKind::kMap, 86},
                                    {RefKind::kCommonEvent, 7}, {RefKind::kItem, 3}}) {
                const double t = Now();
                found += index.Find(kind, id).size();
                slowest = std::max(slowest, Now() - t);
            }
            std::printf("usage_search_slowest_ms %.3f\nusage_places_found %zu\n", slowest * 1000, found);
        }
    } else if (mode == "find" && argc == 4) {
        FindQuery query;
        char16_t* text = Utf8ToWide(argv[3]);
        query.text = text ? text : u"";
        std::free(text);
        std::uint64_t hits = 0;
        FindInFiles(ListDataFiles(dir), query, *scratch, [&](std::size_t, const FindHit&, const HolderIndex&) {
            ++hits;
            return true;
        });
        std::printf("hits %llu\nseconds %.3f\n", static_cast<unsigned long long>(hits), Now() - start);
    } else {
        return Usage();
    }
    std::printf("peak_kb %ld\n", PeakKb());
    return 0;
}
