// Filling the list pane with the top-level array of a file, over the
// in-memory panes.  The files come from the environment:
//   QUARNIX_BENCH_LINKS  an array of containers followed by links to them
//   QUARNIX_BENCH_INTS   the same with integers in place of the links
// (bench/make_links.rb writes both; bench/compare.sh runs everything.)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "marshal/load.h"
#include "present/text.h"
#include "present/viewer_document.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

namespace {
bool OpenFromEnv(const char* variable, benchmark::State& state) {
    const char* path = std::getenv(variable);
    if (!path) {
        state.SkipWithError("set the file's path in the environment");
        return false;
    }
    HeadlessReset();
    InitViewer();
    char16_t* wide = Utf8ToWide(path);
    OpenDocumentPath(wide);
    std::free(wide);
    if (HeadlessTree().Size() == 0) {
        state.SkipWithError("the file did not load");
        return false;
    }
    return true;
}

void FillTopLevelArray(benchmark::State& state, const char* variable) {
    if (!OpenFromEnv(variable, state)) return;
    const MarshalNode* top = ChildAt(&DocumentRoot, 0);
    for (auto _ : state) {
        FillListPane(top);
        benchmark::DoNotOptimize(HeadlessList().Size());
    }
    state.counters["rows"] = HeadlessList().Size();
    ShutdownViewer();
}

void BM_FillListOfLinks(benchmark::State& state) { FillTopLevelArray(state, "QUARNIX_BENCH_LINKS"); }
void BM_FillListOfIntegers(benchmark::State& state) { FillTopLevelArray(state, "QUARNIX_BENCH_INTS"); }
}  // namespace

BENCHMARK(BM_FillListOfLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillListOfIntegers)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
