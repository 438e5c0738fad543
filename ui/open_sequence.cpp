#include "ui/open_sequence.h"

#include "marshal/load.h"
#include "ui/front_end.h"
#include "ui/viewer.h"
#include "ui/window_providers.h"
#include "ui/worker.h"

namespace {
enum class Stage { Idle, Loading, Building };

OpenSequenceView g_view;
OpenJob g_job;
// The load, then the tree's building.  Its posts are dropped once the open
// ended (StopWork); the open's cancel is CancelOpen, called here, so the
// worker itself has none and starting the build leaves the document alone.
Worker g_worker;
Stage g_stage = Stage::Idle;
// The progress timers of an open that was ended are dropped: they carry
// the number of their open.
unsigned g_open = 0;
bool g_cancelled = false;
bool g_progressShown = false;

template <typename Hook, typename... Args>
void Call(const Hook& hook, Args... args) {
    if (hook) hook(args...);
}

// Runs `work` on a worker, then `next` on the window's thread.
void RunOnWorker(void (*work)(), void (*next)()) {
    StartWork(g_worker, nullptr, [work, next](const WindowPost& post) {
        work();
        post(next);
    });
}

void TickProgress(unsigned open) {
    if (open != g_open || g_stage == Stage::Idle) return;
    std::uint64_t read, total;
    OpenProgress(&read, &total);
    // `--compare` loads the old file next: one bar over both.
    if (total) total += ProvidedBytesAfterOpen(g_job.path);
    Call(g_view.updateProgress, read, total);
    StartTimer(kOpenProgressTickMs, [open] { TickProgress(open); });
}

void ShowProgress(unsigned open) {
    if (open != g_open || g_stage == Stage::Idle || g_progressShown) return;
    g_progressShown = true;
    Call(g_view.showProgress);
    TickProgress(open);
}

// The display goes with the open; the next one starts from nothing.
void EndOpen() {
    g_stage = Stage::Idle;
    if (g_progressShown) Call(g_view.hideProgress);
    g_progressShown = false;
    Call(g_view.runningChanged, false);
}

void Built();

void Loaded() {
    JoinWork(g_worker);
    if (g_cancelled) g_job.result = kLoadCancelled;
    if (!OpenStepLoaded(&g_job)) {
        EndOpen();
        return;
    }
    g_stage = Stage::Building;
    Call(g_view.treeBuildStarting);
    RunOnWorker([] {
        Call(g_view.treeBuildWorkerEnter);
        OpenStepBuildTree(&g_job);
        Call(g_view.treeBuildWorkerLeave);
    }, Built);
}

void Built() {
    JoinWork(g_worker);
    if (g_cancelled) g_job.built = false;
    Call(g_view.treeBuildEnded, g_job.built);
    EndOpen();
    OpenStepShowTree(&g_job);
    if (!g_job.built) return;
    Call(g_view.documentShown);
    NotifyDocumentShown();
}
}  // namespace

void SetOpenSequenceView(OpenSequenceView view) { g_view = std::move(view); }
const OpenSequenceView& OpenSequenceViewInUse() { return g_view; }

void StartOpenSequence(const char16_t* path) {
    StopOpenSequence();
    OpenStepBegin(&g_job, path);
    g_stage = Stage::Loading;
    g_cancelled = false;
    const unsigned open = ++g_open;
    Call(g_view.runningChanged, true);
    StartTimer(kOpenProgressDelayMs, [open] { ShowProgress(open); });
    RunOnWorker([] { OpenStepLoad(&g_job, g_job.pathFits ? OpenDocumentFile(g_job.path) : nullptr); }, Loaded);
}

void CancelOpenSequence() {
    NotifyCancel();
    if (!OpenSequenceRunning()) return;
    g_cancelled = true;
    CancelOpen();
}

bool OpenSequenceRunning() { return g_stage != Stage::Idle; }

void StopOpenSequence() {
    if (!OpenSequenceRunning()) return;
    CancelOpen();
    StopWork(g_worker);  // what the worker posted is dropped; its step runs here
    ++g_open;
    const Stage stage = g_stage;
    if (stage == Stage::Loading) {
        EndOpen();
        g_job.result = kLoadCancelled;  // ended as cancelled, whatever the load came to
        OpenStepLoaded(&g_job);
        return;
    }
    Call(g_view.treeBuildEnded, false);
    EndOpen();
    g_job.built = false;  // ended as cancelled, even when the build got to the end
    OpenStepShowTree(&g_job);
}
