// The Open command's steps with the load and the building of the tree on a
// worker thread, so the window keeps answering: after a moment a progress
// bar at the status bar's right end shows how much of the file has been
// read, Esc cancels, and a new open cancels the running one first.  The
// worker touches no control and never waits for the window: it reports
// each finished step by a message posted to the main window.
#include <system_error>
#include <thread>

#include "marshal/load.h"
#include "ui/viewer.h"
#include "ui/win32/window_state.h"

namespace {
enum class Stage { Idle, Loading, Building };
enum Step : LPARAM { kLoaded = 1, kBuilt = 2 };
// A quick load shows no progress at all; a slow one within a blink.
constexpr UINT kProgressDelayMs = 150;
constexpr UINT kProgressTickMs = 50;
constexpr int kProgressSteps = 1000;
constexpr int kProgressWidth = 200;
constexpr UINT_PTR kShowTimer = 0x5101, kTickTimer = 0x5102;

OpenJob g_job;
std::thread g_worker;
Stage g_stage = Stage::Idle;
WPARAM g_open = 0;  // steps posted by an open that was ended are dropped
// The user asked this open to stop: however its reading ended (a pipe that
// was waited for may end in the middle of a value), it ends as cancelled.
bool g_cancelled = false;
HWND g_bar = nullptr;

void RunOnWorker(LPARAM step, void (*work)()) {
    HWND window = MainWindowHandle;
    WPARAM open = g_open;
    auto run = [window, open, step, work] {
        work();
        PostMessageW(window, kLoadStepMessage, open, step);
    };
    try {
        g_worker = std::thread(run);
    } catch (const std::system_error&) {
        run();  // no thread to be had: the step runs here, the window waits for it
    }
}

void Join() {
    if (g_worker.joinable()) g_worker.join();
}

void UpdateProgress() {
    if (!g_bar) return;
    std::uint64_t read, total;
    OpenProgress(&read, &total);
    LONG_PTR style = GetWindowLongPtrW(g_bar, GWL_STYLE);
    if (total == 0) {  // a pipe tells no size: a bar that only moves
        if (!(style & PBS_MARQUEE)) {
            SetWindowLongPtrW(g_bar, GWL_STYLE, style | PBS_MARQUEE);
            SendMessageW(g_bar, PBM_SETMARQUEE, TRUE, 0);
        }
        return;
    }
    SendMessageW(g_bar, PBM_SETPOS, static_cast<WPARAM>(read >= total ? kProgressSteps : read * kProgressSteps / total), 0);
}

void ShowProgress() {
    KillTimer(MainWindowHandle, kShowTimer);
    if (!g_bar) {
        g_bar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, StatusBar, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SendMessageW(g_bar, PBM_SETRANGE32, 0, kProgressSteps);
    }
    PlaceLoadProgress();
    UpdateProgress();
    ShowWindow(g_bar, SW_SHOWNA);
    SetTimer(MainWindowHandle, kTickTimer, kProgressTickMs, nullptr);
}

// The bar goes with the open; the next one starts from nothing.
void EndProgress() {
    KillTimer(MainWindowHandle, kShowTimer);
    KillTimer(MainWindowHandle, kTickTimer);
    if (g_bar) DestroyWindow(g_bar);
    g_bar = nullptr;
}

void Loaded() {
    Join();
    if (g_cancelled) g_job.result = kLoadCancelled;
    if (!OpenStepLoaded(&g_job)) {
        g_stage = Stage::Idle;
        EndProgress();
        return;
    }
    g_stage = Stage::Building;
    RunOnWorker(kBuilt, [] {
        BeginTreeBuild();
        OpenStepBuildTree(&g_job);
        LeaveTreeBuild();
    });
}

void Built() {
    Join();
    if (g_cancelled) g_job.built = false;
    g_stage = Stage::Idle;
    EndProgress();
    EndTreeBuild(g_job.built);
    OpenStepShowTree(&g_job);
}
}  // namespace

void StartLoad(const char16_t* path) {
    StopLoad();
    OpenStepBegin(&g_job, path);
    g_stage = Stage::Loading;
    g_cancelled = false;
    ++g_open;
    SetTimer(MainWindowHandle, kShowTimer, kProgressDelayMs, nullptr);
    RunOnWorker(kLoaded, [] { OpenStepLoad(&g_job, g_job.pathFits ? OpenDocumentFile(g_job.path) : nullptr); });
}

void CancelLoad() {
    if (!LoadRunning()) return;
    g_cancelled = true;
    CancelOpen();
}

bool LoadRunning() { return g_stage != Stage::Idle; }

void StopLoad() {
    if (!LoadRunning()) return;
    CancelOpen();
    Join();
    ++g_open;  // what the worker posted is dropped; its step runs here
    EndProgress();
    Stage stage = g_stage;
    g_stage = Stage::Idle;
    if (stage == Stage::Loading) {
        g_job.result = kLoadCancelled;  // ended as cancelled, whatever the load came to
        OpenStepLoaded(&g_job);
        return;
    }
    EndTreeBuild(false);
    g_job.built = false;  // ended as cancelled, even when the build got to the end
    OpenStepShowTree(&g_job);
}

void WaitForLoad() {
    while (LoadRunning()) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (message.message == WM_QUIT) {  // for the loop that waits for it
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void OnLoadStep(WPARAM open, LPARAM step) {
    if (open != g_open) return;
    if (step == kLoaded && g_stage == Stage::Loading) Loaded();
    else if (step == kBuilt && g_stage == Stage::Building) Built();
}

void OnLoadTimer(WPARAM timer) {
    if (timer == kShowTimer && LoadRunning()) ShowProgress();
    else if (timer == kTickTimer) UpdateProgress();
}

void PlaceLoadProgress() {
    if (!g_bar) return;
    RECT r{};
    GetClientRect(StatusBar, &r);
    int width = r.right < kProgressWidth + 24 ? r.right / 2 : kProgressWidth;
    // Clear of the size grip at the right end, and of the bar's borders.
    MoveWindow(g_bar, r.right - width - 20, 3, width, r.bottom > 6 ? r.bottom - 5 : r.bottom, TRUE);
}

HWND LoadProgressBar() { return g_bar && IsWindowVisible(g_bar) ? g_bar : nullptr; }
