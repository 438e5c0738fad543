// navigation_bench FILE [TEXT]: on one loaded file, in one process, times
// what the navigation features cost against the load itself: the index of
// holders, the index of links, counting every row that shows TEXT, the
// first such row, and going to a path, back and forward through the
// viewer's logic over the in-memory panes.  Prints "key value" lines with
// the median of several runs and the ratios to the load.  Times are the
// process's CPU time: on a machine shared with other work, wall time
// mostly measures the others.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "marshal/load.h"
#include "present/find_rows.h"
#include "present/holder_index.h"
#include "present/path_parse.h"
#include "present/reference_index.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/navigate.h"
#include "ui/viewer.h"

namespace {
double CpuNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Seconds(const std::function<void()>& run, int runs) {
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        double start = CpuNow();
        run();
        seconds.push_back(CpuNow() - start);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}
std::string U8(const std::u16string& text) {
    char* utf8 = WideToUtf8(text.c_str());
    std::string out = utf8 ? utf8 : "";
    std::free(utf8);
    return out;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: navigation_bench FILE [TEXT]\n");
        return 64;
    }
    char16_t* wide = Utf8ToWide(argc > 2 ? argv[2] : "RPG::EventCommand");
    const std::u16string text = wide;
    std::free(wide);

    double load = Seconds([&] {
        ReleaseNode(&DocumentRoot);
        std::FILE* file = std::fopen(argv[1], "rb");
        if (!file || LoadDocument(file) != 0) std::exit(1);
    }, 5);

    HolderIndex holders;
    double holderIndex = Seconds([&] { holders.Build(&DocumentRoot); }, 5);
    ReferenceIndex references;
    double referenceIndex = Seconds([&] { references.Build(&DocumentRoot); }, 5);

    FindQuery query{text};
    std::uint64_t hits = 0;
    const MarshalNode* lastHit = nullptr;
    const MarshalNode* lastHolder = nullptr;
    double findAll = Seconds([&] {
        hits = 0;
        FindRows(&DocumentRoot, holders, query, [&](const FindHit& hit) {
            ++hits;
            lastHit = hit.child;
            lastHolder = hit.container;
            return true;
        });
    }, 3);
    double firstHit = Seconds([&] {
        FindRows(&DocumentRoot, holders, query, [](const FindHit&) { return false; });
    }, 5);

    // The viewer over the in-memory panes, for the moves.
    ReleaseNode(&DocumentRoot);
    HeadlessReset();
    InitViewer();
    char16_t* path16 = Utf8ToWide(argv[1]);
    if (LoadOpenedFile(std::fopen(argv[1], "rb"), path16) != 0) return 1;
    std::free(path16);
    holders.Build(&DocumentRoot);
    FindRows(&DocumentRoot, holders, query, [&](const FindHit& hit) {
        lastHit = hit.child;
        lastHolder = hit.container;
        return true;
    });
    std::u16string lastPath;
    holders.AppendPath(lastPath, lastHit);
    NavigationHistory history;
    const std::u16string paths[] = {lastPath, u"data0"};
    int turn = 0;
    double goToPath = Seconds([&] {
        PathTarget target;
        if (!ResolveAccessPath(paths[turn++ % 2], &DocumentRoot, target)) std::exit(2);
        ShowPosition(holders, {target.holder, target.node});
    }, 6);
    const ViewPosition first{&DocumentRoot, ChildAt(&DocumentRoot, 0)};
    ShowPosition(holders, first);
    history.Record(first);
    ShowPosition(holders, {lastHolder, lastHit});
    history.Record({lastHolder, lastHit});
    double backForward = Seconds([&] {
        ShowPosition(holders, history.Back());
        ShowPosition(holders, history.Forward());
    }, 5) / 2;
    ShutdownViewer();

    std::printf("load_seconds %.4f\n", load);
    std::printf("holder_index_seconds %.4f ratio_to_load %.2f\n", holderIndex, holderIndex / load);
    std::printf("reference_index_seconds %.4f ratio_to_load %.2f links %zu\n", referenceIndex, referenceIndex / load,
                references.LinkCount());
    std::printf("find_all_seconds %.4f ratio_to_load %.2f hits %llu\n", findAll, findAll / load,
                static_cast<unsigned long long>(hits));
    std::printf("find_all_with_holder_index_ratio_to_load %.2f\n", (findAll + holderIndex) / load);
    std::printf("first_hit_ms %.2f\n", firstHit * 1000);
    std::printf("go_to_path_ms %.3f (%s and back)\n", goToPath * 1000, U8(lastPath).c_str());
    std::printf("back_or_forward_ms %.3f\n", backForward * 1000);
    return 0;
}
