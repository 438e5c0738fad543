// How long the Qt preview takes to show its largest readings, from the
// selection to the painted pane: a 1 MB script (inflated, split, coloured)
// and a 500 x 500 x 3 Table (copied, gridded, heat-mapped).  Runs offscreen
// on a file it builds itself; the readings alone are timed beside them.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <string>

#include "lens/reading.h"
#include "marshal/load.h"
#include "ui/qt/code_view.h"
#include "ui/qt/main_window.h"
#include "ui/qt/preview_pane.h"

namespace {
// Marshal's packed length for n >= 123.
std::string Length(std::size_t n) {
    std::string bytes;
    for (std::size_t v = n; v; v >>= 8) bytes += static_cast<char>(v & 0xFF);
    return static_cast<char>(bytes.size()) + bytes;
}

// Ruby-like source of about 1 MB, varied enough to compress as code does.
std::string Script() {
    std::string s;
    for (int i = 0; s.size() < (1u << 20); ++i) {
        s += "  # 第" + std::to_string(i) + "行的注释\n";
        s += "  def method_" + std::to_string(i * 7919 % 100003) + "(a, b = :sym_" + std::to_string(i % 97) + ")\n";
        s += "    @value_" + std::to_string(i % 13) + " = \"text " + std::to_string(i * 31 % 1009) + "\" if a > " +
             std::to_string(i % 256) + "\n  end\n";
    }
    return s;
}

std::string Deflated(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), 9);
    out.resize(size);
    return out;
}

std::string TableBytes(int x, int y, int z) {
    std::string b;
    for (std::int32_t v : {3, x, y, z, x * y * z})
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    for (int i = 0; i < x * y * z; ++i) {
        const int v = 384 + (i * 7) % 48;
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8);
    }
    return b;
}

// [script, table] in one file.
QString WriteFile() {
    const std::string code = Deflated(Script()), table = TableBytes(500, 500, 3);
    std::string file = "\x04\x08[\x07";
    file += '"' + Length(code.size()) + code;
    file += "u:\x0aTable" + Length(table.size()) + table;
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
