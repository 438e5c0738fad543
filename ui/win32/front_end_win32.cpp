// The window system's side of the portable sequences on the native window:
// workers are threads, posted steps and timers arrive as messages to the
// main window, and a slow open shows a progress bar at the status bar's
// right end.  The worker touches no control and never waits for the window.
#include <map>
#include <thread>

#include "ui/front_end.h"
#include "ui/open_sequence.h"
#include "ui/viewer.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/win32_front_end.h"

namespace {
constexpr int kProgressSteps = 1000;
constexpr int kProgressWidth = 200;

HWND g_bar = nullptr;
std::map<UINT_PTR, std::function<void()>> g_timers;
UINT_PTR g_nextTimer = 0x5100;

void ShowProgress() {
    if (!g_bar) {
        g_bar = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, StatusBar, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SendMessageW(g_bar, PBM_SETRANGE32, 0, kProgressSteps);
    }
    PlaceLoadProgress();
    ShowWindow(g_bar, SW_SHOWNA);
}

void UpdateProgress(std::uint64_t read, std::uint64_t total) {
    if (!g_bar) return;
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

void HideProgress() {
    if (g_bar) DestroyWindow(g_bar);
    g_bar = nullptr;
}
}  // namespace

void AttachFrontEnd() {
    SetFrontEndOps({
        [](std::function<void()> work) { return std::thread(std::move(work)); },
        [](std::function<void()> step) {
            auto* posted = new std::function<void()>(std::move(step));
            if (!PostMessageW(MainWindowHandle, kPostedStepMessage, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
        },
        [](int ms, std::function<void()> fire) {
            const UINT_PTR id = ++g_nextTimer;
            if (SetTimer(MainWindowHandle, id, static_cast<UINT>(ms), nullptr)) g_timers[id] = std::move(fire);
        },
    });
    OpenSequenceView view;
    view.showProgress = ShowProgress;
    view.updateProgress = UpdateProgress;
    view.hideProgress = HideProgress;
    view.treeBuildWorkerEnter = BeginTreeBuild;
    view.treeBuildWorkerLeave = LeaveTreeBuild;
    view.treeBuildEnded = EndTreeBuild;
    view.documentShown = DocumentShownWin32;
    SetOpenSequenceView(std::move(view));
}

void OnPostedStep(LPARAM step) {
    auto* posted = reinterpret_cast<std::function<void()>*>(step);
    (*posted)();
    delete posted;
}

void OnTimer(WPARAM timer) {
    KillTimer(MainWindowHandle, timer);
    auto found = g_timers.find(timer);
    if (found == g_timers.end()) return;
    std::function<void()> fire = std::move(found->second);
    g_timers.erase(found);
    fire();
}

void WaitForLoad() {
    while (OpenSequenceRunning()) {
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

void PlaceLoadProgress() {
    if (!g_bar) return;
    RECT r{};
    GetClientRect(StatusBar, &r);
    const int most = Scaled(kProgressWidth), grip = Scaled(20), border = Scaled(3);
    int width = r.right < most + Scaled(24) ? r.right / 2 : most;
    // Clear of the size grip at the right end, and of the bar's borders.
    MoveWindow(g_bar, r.right - width - grip, border, width, r.bottom > 2 * border ? r.bottom - 2 * border + 1 : r.bottom,
               TRUE);
}

HWND LoadProgressBar() { return g_bar && IsWindowVisible(g_bar) ? g_bar : nullptr; }
