// A cancellable worker whose late posts are dropped, over the front end's
// three operations (ui/front_end.h): the open's load and tree building,
// the find's search, the folder's names and searches and the holder index
// all run this way.  Stopping cancels the
// work, waits for it, and drops whatever it posted and the window has not
// run yet; so does starting the next work.
#pragma once
#include <functional>
#include <memory>
#include <thread>

using WindowPost = std::function<void(std::function<void()>)>;

struct Worker {
    std::thread thread;
    // What stops the running work (a flag it reads); none: it runs to its end.
    std::function<void()> cancel;
    // Posts carry the generation they were made in; a stop moves it on.
    std::shared_ptr<unsigned> generation = std::make_shared<unsigned>(0);
};

// Stops what the worker runs, then starts `work` on a thread (in line when
// none can be had, or with no front end set).  Its `post` runs a step on
// the window's thread unless the worker was stopped or started again since.
void StartWork(Worker& worker, std::function<void()> cancel, std::function<void(const WindowPost& post)> work);
// Such a post for the current work (a timer's, say).
WindowPost WorkerPost(const Worker& worker);
// Cancels the work, waits for its end and drops its posts still on their way.
void StopWork(Worker& worker);
// Waits for work that has ended or is about to (its last post arrived).
void JoinWork(Worker& worker);
