#include "app/compare_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#ifdef _WIN32
#include <windows.h>
#endif

#include "compare/compare.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "marshal/document.h"
#include "marshal/load.h"
#include "present/viewer_document.h"
#include "ui/compare_controller.h"
#include "ui/front_end.h"
#include "ui/viewer.h"

namespace {
using Clock = std::chrono::steady_clock;

double CpuMs() {
#ifdef _WIN32
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
#else
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
#endif
}

struct Mark {
    Clock::time_point at = Clock::now();
    double cpu = CpuMs();
    Span Since() const {
        return {std::chrono::duration<double, std::milli>(Clock::now() - at).count(), CpuMs() - cpu};
    }
};

constexpr int kMostSteps = 50;
Mark g_stepStarted;  // when the window began the last posted step

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
}  // namespace

bool TimeCompare(CompareController& compare, const std::u16string& oldPath, const std::function<void()>& wait,
                 const std::function<void()>& paint, CompareTimes& times) {
    // The old file alone, and the comparison alone, as references.
    {
        MarshalDocument old{};
        Mark start;
        std::FILE* file = OpenDocumentFile(oldPath.c_str());
        if (!file || LoadIntoDocument(&old, file) != kLoadOk) {
            DropDocument(old);
            return false;
        }
        times.loadOld = start.Since();
        ValueHasher hasher;
        start = Mark{};
        CompareDocuments(old, ViewerDocument, hasher, [](const Difference&) { return true; });
        times.compare = start.Since();
        DropDocument(old);
    }
    // The window's steps note when they begin: the comparison's result
    // arrives as the last of them.
    const FrontEndOps ops = FrontEndOpsInUse();
    FrontEndOps timed = ops;
    timed.post = [post = ops.post](std::function<void()> step) {
        post([step = std::move(step)] {
            g_stepStarted = Mark{};
            step();
        });
    };
    SetFrontEndOps(timed);
    Mark start;
    compare.Start(oldPath);
    while (compare.Running()) wait();
    times.mark = g_stepStarted.Since();
    paint();
    times.shown = start.Since();
    SetFrontEndOps(ops);
    if (!compare.Active()) return false;
    times.differences = compare.Count();
    paint();
    for (int i = 0; i < std::min(kMostSteps, times.differences); ++i) {
        start = Mark{};
        compare.Next();
        times.moves.push_back(start.Since());
        paint();
        times.steps.push_back(start.Since());
    }
    return true;
}

void PrintCompareTimes(const CompareTimes& times) {
    auto line = [](const char* name, const Span& span) {
        std::fprintf(stderr, "%s: %.1f ms (cpu %.1f ms)\n", name, span.ms, span.cpuMs);
    };
    line("load old", times.loadOld);
    line("compare alone", times.compare);
    line("shown", times.shown);
    line("beyond loading", {times.shown.ms - times.loadOld.ms, times.shown.cpuMs - times.loadOld.cpuMs});
    line("mark", times.mark);
    std::fprintf(stderr, "mark ratio: %.2f (cpu %.2f)\ndifferences: %d\n",
                 times.compare.ms > 0 ? times.mark.ms / times.compare.ms : 0.0,
                 times.compare.cpuMs > 0 ? times.mark.cpuMs / times.compare.cpuMs : 0.0, times.differences);
    std::vector<double> ms, cpu;
    for (const Span& s : times.moves) ms.push_back(s.ms), cpu.push_back(s.cpuMs);
    line("F8 move median", {Median(ms), Median(cpu)});
    ms.clear(), cpu.clear();
    for (const Span& s : times.steps) ms.push_back(s.ms), cpu.push_back(s.cpuMs);
    line("F8 median", {Median(ms), Median(cpu)});
    line("F8 most", {ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()),
                     cpu.empty() ? 0 : *std::max_element(cpu.begin(), cpu.end())});
    std::fprintf(stderr, "F8 each (cpu ms):");
    for (double c : cpu) std::fprintf(stderr, " %.0f", c);
    std::fprintf(stderr, "\n");
}
