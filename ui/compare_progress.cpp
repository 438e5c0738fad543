#include "ui/compare_progress.h"

#include "ui/front_end.h"
#include "ui/open_sequence.h"

namespace {
// Timers of a progress that was ended are dropped: they carry its number.
unsigned g_run = 0;
bool g_shown = false;
CompareBytes g_bytes;

void Tick(unsigned run) {
    if (run != g_run) return;
    std::uint64_t read = 0, total = 0;
    g_bytes(&read, &total);
    if (const auto& update = OpenSequenceViewInUse().updateProgress) update(read, total);
    StartTimer(kOpenProgressTickMs, [run] { Tick(run); });
}

void Show(unsigned run) {
    if (run != g_run || g_shown) return;
    g_shown = true;
    if (const auto& show = OpenSequenceViewInUse().showProgress) show();
    Tick(run);
}
}  // namespace

void StartCompareProgress(CompareBytes bytes, bool atOnce) {
    EndCompareProgress();
    g_bytes = std::move(bytes);
    const unsigned run = g_run;
    if (atOnce) Show(run);
    else StartTimer(kOpenProgressDelayMs, [run] { Show(run); });
}

void EndCompareProgress() {
    ++g_run;
    if (g_shown)
        if (const auto& hide = OpenSequenceViewInUse().hideProgress) hide();
    g_shown = false;
    g_bytes = nullptr;
}
