// The three things the portable logic asks of a window system: run work on
// a worker thread, run a step on the window's thread once the current
// message is handled, and call back after a delay.  The open sequence and
// every worker of the controllers (ui/worker.h: the find, the holder index,
// the game folder's names and searches) are written over these alone, so
// every front end runs the same sequences; a front end supplies them in a
// few lines.
#pragma once
#include <functional>
#include <thread>

struct FrontEndOps {
    // Starts `work` on a thread of its own.  Throws std::system_error when
    // no thread can be had; the caller then runs the work in line.
    std::function<std::thread(std::function<void()>)> startWorker;
    // Runs `step` on the window's thread, after what it is doing now.
    std::function<void(std::function<void()>)> post;
    // Calls `fire` once on the window's thread after `ms` milliseconds.
    std::function<void(int ms, std::function<void()>)> startTimer;
};

// Without a front end's operations (the in-memory panes, quarnix-dump),
// work runs in line, posted steps wait for RunPostedSteps and timers never
// fire.
void SetFrontEndOps(FrontEndOps ops);
const FrontEndOps& FrontEndOpsInUse();

// The returned thread is not joinable when the work ran in line.
std::thread StartWorker(std::function<void()> work);
void PostToWindow(std::function<void()> step);
void StartTimer(int ms, std::function<void()> fire);
// Runs the steps posted while no front end's operations were set, until
// none is left; their own posts included.
void RunPostedSteps();
