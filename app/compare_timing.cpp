#include "app/compare_timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "compare/compare.h"
#include "compare/value_hash.h"
#include "game/game_folder.h"
#include "marshal/document.h"
#include "marshal/load.h"
#include "ui/compare_controller.h"
#include "ui/front_end.h"
#include "ui/viewer.h"

namespace {
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr int kMostSteps = 50;
Clock::time_point g_stepStarted;  // when the window began the last posted step
}  // namespace

bool TimeCompare(CompareController& compare, const std::u16string& oldPath, const std::function<void()>& wait,
                 const std::function<void()>& paint, CompareTimes& times) {
    // The old file alone, and the comparison alone, as references.
    {
        MarshalDocument old{};
        Clock::time_point start = Clock::now();
        std::FILE* file = OpenDocumentFile(oldPath.c_str());
        if (!file || LoadIntoDocument(&old, file) != kLoadOk) {
            DropDocument(old);
            return false;
        }
        times.loadOldMs = MsSince(start);
        ValueHasher hasher;
        start = Clock::now();
        CompareDocuments(old, ViewerDocument, hasher, [](const Difference&) { return true; });
        times.compareMs = MsSince(start);
        DropDocument(old);
    }
    // The window's steps note when they begin: the comparison's result
    // arrives as the last of them.
    const FrontEndOps ops = FrontEndOpsInUse();
    FrontEndOps timed = ops;
    timed.post = [post = ops.post](std::function<void()> step) {
        post([step = std::move(step)] {
            g_stepStarted = Clock::now();
            step();
        });
    };
    SetFrontEndOps(timed);
    Clock::time_point start = Clock::now();
    compare.Start(oldPath);
    while (compare.Running()) wait();
    times.markMs = MsSince(g_stepStarted);
    paint();
    times.shownMs = MsSince(start);
    SetFrontEndOps(ops);
    if (!compare.Active()) return false;
    times.differences = compare.Count();
    paint();
    for (int i = 0; i < std::min(kMostSteps, times.differences); ++i) {
        start = Clock::now();
        compare.Next();
        paint();
        times.stepMs.push_back(MsSince(start));
    }
    return true;
}

void PrintCompareTimes(const CompareTimes& times) {
    std::vector<double> steps = times.stepMs;
    std::sort(steps.begin(), steps.end());
    const double median = steps.empty() ? 0 : steps[steps.size() / 2], most = steps.empty() ? 0 : steps.back();
    std::fprintf(stderr,
                 "load old: %.1f ms\ncompare alone: %.1f ms\nshown: %.1f ms\nbeyond loading: %.1f ms\n"
                 "mark: %.1f ms\nmark ratio: %.2f\ndifferences: %d\nF8 median: %.1f ms\nF8 most: %.1f ms\n",
                 times.loadOldMs, times.compareMs, times.shownMs, times.shownMs - times.loadOldMs, times.markMs,
                 times.compareMs > 0 ? times.markMs / times.compareMs : 0.0, times.differences, median, most);
}
