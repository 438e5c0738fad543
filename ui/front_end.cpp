#include "ui/front_end.h"

#include <deque>
#include <mutex>
#include <system_error>

namespace {
FrontEndOps g_ops;
std::mutex g_queueLock;
std::deque<std::function<void()>> g_queue;
}  // namespace

void SetFrontEndOps(FrontEndOps ops) { g_ops = std::move(ops); }

std::thread StartWorker(std::function<void()> work) {
    if (g_ops.startWorker) {
        try {
            return g_ops.startWorker(work);
        } catch (const std::system_error&) {
            // No thread to be had: the work runs here and the window waits for it.
        }
    }
    work();
    return {};
}

void PostToWindow(std::function<void()> step) {
    if (g_ops.post) {
        g_ops.post(std::move(step));
        return;
    }
    std::lock_guard<std::mutex> lock(g_queueLock);
    g_queue.push_back(std::move(step));
}

void StartTimer(int ms, std::function<void()> fire) {
    if (g_ops.startTimer) g_ops.startTimer(ms, std::move(fire));
}

void RunPostedSteps() {
    for (;;) {
        std::function<void()> step;
        {
            std::lock_guard<std::mutex> lock(g_queueLock);
            if (g_queue.empty()) return;
            step = std::move(g_queue.front());
            g_queue.pop_front();
        }
        step();
    }
}
