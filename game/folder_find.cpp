#include "game/folder_find.h"

#include "game/game_folder.h"
#include "marshal/load.h"

bool FindInFiles(const std::vector<std::filesystem::path>& files, const FindQuery& query, MarshalDocument& scratch,
                 const std::function<bool(std::size_t, const FindHit&, const HolderIndex&)>& onHit,
                 const std::function<void(std::size_t, int)>& onFileFailed,
                 const std::function<void(const FolderFindProgress&)>& onProgress) {
    FolderFindProgress progress;
    progress.fileCount = files.size();
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (scratch.cancel.load(std::memory_order_relaxed)) return false;
        int result = LoadBounded(scratch, files[f], kIndexFileBounds);
        HolderIndex holders;
        if (result == kLoadOk && !holders.Build(&scratch.root, &scratch.cancel)) result = kLoadNoMemory;
        if (result != kLoadOk) {
            DropDocument(scratch);
            if (scratch.cancel.load(std::memory_order_relaxed)) return false;
            if (onFileFailed) onFileFailed(f, result);
            continue;
        }
        bool stopped = false;
        bool finished = FindRows(&scratch.root, holders, query, [&](const FindHit& hit) {
            ++progress.hits;
            if (onHit(f, hit, holders)) return true;
            stopped = true;
            return false;
        }, &scratch.cancel);
        holders.Clear();
        DropDocument(scratch);
        if (stopped || (!finished && scratch.cancel.load(std::memory_order_relaxed))) return false;
        ++progress.filesDone;
        if (onProgress) onProgress(progress);
    }
    return true;
}
