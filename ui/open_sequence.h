// The Open command after its dialog, as every window runs it: the load and
// the building of the tree on a worker, the other steps on the window's
// thread, a progress display after a moment, cancel by the user or by the
// next open.  Written once over the shared worker (ui/worker.h) and the
// front end's timers (ui/front_end.h); a window supplies what it shows
// through OpenSequenceView.
#pragma once
#include <cstdint>
#include <functional>

// Everything here is optional; an empty member shows nothing.
struct OpenSequenceView {
    // An open began (true) or ended (false).
    std::function<void(bool running)> runningChanged;
    // The new document's tree is on screen.
    std::function<void()> documentShown;
    // A slow open shows how much of the file has been read (total 0: the
    // source tells no size), until it ends.
    std::function<void()> showProgress;
    std::function<void(std::uint64_t read, std::uint64_t total)> updateProgress;
    std::function<void()> hideProgress;
    // The tree's items are built away from the window: before the worker
    // starts (window), on the worker around the building, and once it has
    // ended (window), keeping the built items or dropping them.
    std::function<void()> treeBuildStarting;
    std::function<void()> treeBuildWorkerEnter;
    std::function<void()> treeBuildWorkerLeave;
    std::function<void(bool keep)> treeBuildEnded;
};

// A quick load shows no progress at all; a slow one within a blink.
constexpr int kOpenProgressDelayMs = 150;
constexpr int kOpenProgressTickMs = 50;

void SetOpenSequenceView(OpenSequenceView view);
// The window's display, for another load shown the same way (a comparison's).
const OpenSequenceView& OpenSequenceViewInUse();

// Starts opening the path; an open that runs is cancelled and ended first.
// Returns at once.
void StartOpenSequence(const char16_t* path);
// The user asks the running open to stop (Esc, 取消): however its reading
// ends, it ends as cancelled, silently, with no document.  A comparison
// loading or running (or waiting for this open) ends too.
void CancelOpenSequence();
// Cancels the running open and ends it now (the window goes, or another
// open starts).
void StopOpenSequence();
bool OpenSequenceRunning();
