#include "marshal/large_stack.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <vector>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <pthread.h>
#endif

// Starting a thread costs milliseconds on some systems (under Wine about
// 4 ms, more than loading a small file), and a game folder's names alone
// are a dozen loads: threads that ran a job are kept for the next one.  A
// job whose recursion went deep does not keep its thread, so no idle
// thread holds a large used stack.
namespace {
struct Job {
    bool (*fn)(void*);
    void* arg;
    bool done = false;
};

// One pooled thread, waiting for a job while idle.
struct LoaderThread {
    explicit LoaderThread(std::size_t bytes) : stackBytes(bytes) {}
    std::size_t stackBytes;
    Job* job = nullptr;
    std::condition_variable wake;
};

struct Pool {
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<LoaderThread*> idle;
};
constexpr std::size_t kMostIdleThreads = 2;

// Never destroyed: idle threads wait on it until the process ends.  The
// idle list has its room from the start, so keeping a thread never
// allocates.
Pool& ThePool() {
    static Pool* pool = [] {
        auto* made = new Pool;
        made->idle.reserve(kMostIdleThreads);
        return made;
    }();
    return *pool;
}

void Serve(LoaderThread* self) {
    Pool& pool = ThePool();
    std::unique_lock lock(pool.mutex);
    for (;;) {
        self->wake.wait(lock, [self] { return self->job != nullptr; });
        Job* job = self->job;
        lock.unlock();
        const bool keep = job->fn(job->arg);
        lock.lock();
        self->job = nullptr;
        job->done = true;
        pool.finished.notify_all();
        if (!keep || pool.idle.size() >= kMostIdleThreads) break;
        pool.idle.push_back(self);
    }
    delete self;
}

#ifdef _WIN32
unsigned __stdcall Trampoline(void* p) {
    Serve(static_cast<LoaderThread*>(p));
    return 0;
}

bool StartThread(LoaderThread* thread) {
    auto h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, static_cast<unsigned>(thread->stackBytes), Trampoline,
                                                      thread, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!h) return false;
    CloseHandle(h);
    return true;
}
#else
void* Trampoline(void* p) {
    Serve(static_cast<LoaderThread*>(p));
    return nullptr;
}

bool StartThread(LoaderThread* thread) {
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return false;
    pthread_t handle;
    const bool started = pthread_attr_setstacksize(&attr, thread->stackBytes) == 0 &&
                         pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED) == 0 &&
                         pthread_create(&handle, &attr, Trampoline, thread) == 0;
    pthread_attr_destroy(&attr);
    return started;
}
#endif
}  // namespace

bool RunOnLargeStack(bool (*fn)(void*), void* arg, std::size_t stackBytes) {
    Pool* found = nullptr;
    try {
        found = &ThePool();
    } catch (const std::bad_alloc&) {
        return false;
    }
    Pool& pool = *found;
    Job job{fn, arg};
    std::unique_lock lock(pool.mutex);
    LoaderThread* thread = nullptr;
    for (auto it = pool.idle.begin(); it != pool.idle.end(); ++it)
        if ((*it)->stackBytes == stackBytes) {
            thread = *it;
            pool.idle.erase(it);
            break;
        }
    if (thread) {
        thread->job = &job;
        thread->wake.notify_one();
    } else {
        try {
            thread = new LoaderThread(stackBytes);
        } catch (const std::bad_alloc&) {
            return false;
        }
        thread->job = &job;
        if (!StartThread(thread)) {
            delete thread;
            return false;
        }
    }
    pool.finished.wait(lock, [&job] { return job.done; });
    return true;
}
