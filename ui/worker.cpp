#include "ui/worker.h"

#include "ui/front_end.h"

void StartWork(Worker& worker, std::function<void()> cancel, std::function<void(const WindowPost& post)> work) {
    StopWork(worker);
    worker.cancel = std::move(cancel);
    worker.thread = StartWorker([work = std::move(work), post = WorkerPost(worker)] { work(post); });
}

WindowPost WorkerPost(const Worker& worker) {
    return [alive = worker.generation, generation = *worker.generation](std::function<void()> step) {
        PostToWindow([alive, generation, step = std::move(step)] {
            if (*alive == generation) step();
        });
    };
}

void StopWork(Worker& worker) {
    if (worker.cancel) worker.cancel();
    JoinWork(worker);
    worker.cancel = nullptr;
    ++*worker.generation;
}

void JoinWork(Worker& worker) {
    if (worker.thread.joinable()) worker.thread.join();
}
