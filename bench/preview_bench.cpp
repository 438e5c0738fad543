// How long the Qt preview takes to show its largest readings, from the
// selection to the painted pane: a 1 MB script (inflated, split, coloured)
// and a 500 x 500 x 3 Table (copied, gridded, heat-mapped).  Runs offscreen
// on a file it builds itself; the readings alone are timed beside them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <string>

#include "bench/preview_bench_file.h"
#include "lens/reading.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "ui/qt/code_view.h"
#include "ui/qt/main_window.h"
#include "ui/qt/preview_pane.h"

namespace {
QString WriteFile() {
    const std::string file = preview_bench::FileBytes();
    const QString path = QDir::temp().filePath(QStringLiteral("quarnix-preview-bench.rxdata"));
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(file.data(), static_cast<qint64>(file.size()));
    return path;
}

MainWindow* window = nullptr;

const MarshalNode* Value(int i) { return ChildAt(ChildAt(&DocumentRoot, 0), i); }

void ShowAndPaint(benchmark::State& state, int which) {
    PreviewPane& pane = *window->Preview();
    for (auto _ : state) {
        pane.ShowTarget({Value(which), -1, u"data0"});
        pane.repaint();
        state.PauseTiming();
        pane.ShowTarget({});
        state.ResumeTiming();
    }
}

void BM_PreviewScript1MB(benchmark::State& state) { ShowAndPaint(state, 0); }

// Until the last part of the script is in the view (the window answers
// between parts).
void BM_PreviewScript1MBWhole(benchmark::State& state) {
    PreviewPane& pane = *window->Preview();
    for (auto _ : state) {
        pane.ShowTarget({Value(0), -1, u"data0"});
        while (pane.Code()->Loading()) QCoreApplication::processEvents();
        state.PauseTiming();
        pane.ShowTarget({});
        state.ResumeTiming();
    }
}
void BM_PreviewTable500x500x3(benchmark::State& state) { ShowAndPaint(state, 1); }
void BM_ReadScript1MB(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadNode(Value(0)).lines.size());
}
void BM_ReadTable500x500x3(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadNode(Value(1)).table.x);
}
}  // namespace

BENCHMARK(BM_PreviewScript1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewScript1MBWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewTable500x500x3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadScript1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTable500x500x3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow main;
    main.resize(1000, 700);
    main.show();
    const QString path = WriteFile();
    main.OpenFile(path);
    QFile::remove(path);
    window = &main;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
