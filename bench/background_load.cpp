// background_load FILE [ROUNDS]: what running the Open command's steps on a
// worker costs and how quickly it answers, over the in-memory panes:
//  - the steps on the calling thread against the same steps with the load
//    and the tree's building on a worker while this thread polls the
//    progress every 50 ms, as the window does, and woken by its end as the
//    window is by the call the worker posts (medians, interleaved);
//  - the time from the start until the progress first shows bytes read;
//  - the time from a cancel, 100 ms into a load, until the steps are over.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "marshal/load.h"
#include "present/text.h"
#include "ui/handlers.h"
#include "ui/headless/headless.h"
#include "ui/viewer.h"

namespace {
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The steps as the window runs them; `cancelAfterMs` >= 0 cancels then.
struct BackgroundRun {
    double totalMs = 0, firstProgressMs = -1, cancelledMs = -1;
    int result = 0;
};

// A worker's end, which wakes the polling thread at once, as the queued
// call a worker posts to the window does.
class WorkerEnd {
public:
    void Set() {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        cv_.notify_all();
    }
    // Waits up to `ms`; true once the worker has ended.
    bool WaitFor(int ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
};

BackgroundRun RunInBackground(const std::u16string& path, int cancelAfterMs) {
    BackgroundRun run;
    OpenJob job;
    auto start = Clock::now();
    Clock::time_point cancelAt{};
    // Polls the progress every 50 ms (every 1 ms until it first shows) and
    // cancels when it is time, until the worker ends.
    auto runWorker = [&](auto step) {
        WorkerEnd end;
        std::thread worker([&] {
            step();
            end.Set();
        });
        while (!end.WaitFor(run.firstProgressMs < 0 ? 1 : 50)) {
            std::uint64_t read, total;
            OpenProgress(&read, &total);
            if (run.firstProgressMs < 0 && read > 0) run.firstProgressMs = Ms(Clock::now() - start);
            if (cancelAfterMs >= 0 && cancelAt == Clock::time_point{} &&
                Clock::now() - start >= std::chrono::milliseconds(cancelAfterMs)) {
                cancelAt = Clock::now();
                CancelOpen();
            }
        }
        worker.join();
    };
    OpenStepBegin(&job, path.c_str());
    runWorker([&] { OpenStepLoad(&job, OpenDocumentFile(job.path)); });
    if (OpenStepLoaded(&job)) {
        runWorker([&] { OpenStepBuildTree(&job); });
        OpenStepShowTree(&job);
    }
    auto end = Clock::now();
    run.totalMs = Ms(end - start);
    if (cancelAt != Clock::time_point{}) run.cancelledMs = Ms(end - cancelAt);
    run.result = job.result;
    return run;
}

double RunOnThisThread(const char* file, const std::u16string& path) {
    auto start = Clock::now();
    LoadOpenedFile(OpenDocumentFileBytes(file), path.c_str());
    return Ms(Clock::now() - start);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: background_load FILE [ROUNDS]\n");
        return 64;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    char16_t* wide = Utf8ToWide(argv[1]);
    std::u16string path = wide ? wide : u"";
    std::free(wide);
    HeadlessReset();  // the in-memory panes
    InitViewer();
    std::vector<double> direct, background, firstProgress, cancelled;
    for (int i = 0; i < rounds; ++i) {
        direct.push_back(RunOnThisThread(argv[1], path));
        BackgroundRun run = RunInBackground(path, -1);
        if (run.result != kLoadOk) {
            std::fprintf(stderr, "load failed: %d\n", run.result);
            return run.result;
        }
        background.push_back(run.totalMs);
        firstProgress.push_back(run.firstProgressMs);
        BackgroundRun stopped = RunInBackground(path, 100);
        cancelled.push_back(stopped.cancelledMs);
    }
    ShutdownViewer();
    double d = Median(direct), b = Median(background);
    std::printf("open_on_calling_thread_ms %.1f\n", d);
    std::printf("open_on_worker_ms %.1f\n", b);
    std::printf("worker_overhead %.3f\n", b / d - 1.0);
    std::printf("first_progress_ms %.1f\n", Median(firstProgress));
    std::printf("cancel_takes_ms %.1f\n", Median(cancelled));
    return 0;
}
