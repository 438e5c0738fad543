#include "app/navigation_timing.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "present/text.h"
#include "ui/find_controller.h"
#include "ui/navigation_controller.h"

namespace {
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
}  // namespace

bool TimeNavigation(NavigationController& navigation, FindController& find, const std::u16string& text,
                    const std::function<void()>& wait, const std::function<void()>& paint, NavigationTimes& times) {
    navigation.Holders();  // built after the open: what a search waits for is not timed here
    paint();
    FindQuery query;
    query.text = text;
    Clock::time_point start = Clock::now();
    find.SetQuery(query);
    find.Start();
    while (find.HitCount() == 0 && find.Searching()) wait();
    paint();
    times.firstHitMs = MsSince(start);
    while (find.Searching()) wait();
    times.allHitsMs = MsSince(start);
    times.hits = find.HitCount();
    if (!times.hits) return false;
    find.Previous();  // round to the last hit
    paint();
    times.path = NavigationController::CurrentPathText();
    find.Stop();
    if (!navigation.GoToPath(u"data0").empty()) return false;
    paint();
    start = Clock::now();
    if (!navigation.GoToPath(times.path).empty()) return false;
    paint();
    times.goToPathMs = MsSince(start);
    // What any move pays at least: the window painted once more as it is.
    start = Clock::now();
    paint();
    times.repaintMs = MsSince(start);
    start = Clock::now();
    navigation.Back();
    paint();
    times.backMs = MsSince(start);
    return true;
}

void PrintNavigationTimes(const NavigationTimes& times) {
    char* path = WideToUtf8(times.path.c_str());
    std::fprintf(stderr,
                 "first hit: %.0f ms\nall hits: %.0f ms\nhits: %d\ngo to path: %.1f ms\nback: %.1f ms\nrepaint: %.1f ms\n"
                 "path: %s\n",
                 times.firstHitMs, times.allHitsMs, times.hits, times.goToPathMs, times.backMs, times.repaintMs,
                 path ? path : "");
    std::free(path);
}
