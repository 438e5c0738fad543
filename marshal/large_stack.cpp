#include "marshal/large_stack.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>

namespace {
struct Call { void (*fn)(void*); void* arg; };
unsigned __stdcall Trampoline(void* p) {
    auto* call = static_cast<Call*>(p);
    call->fn(call->arg);
    return 0;
}
}  // namespace

bool RunOnLargeStack(void (*fn)(void*), void* arg, std::size_t stackBytes) {
    Call call{fn, arg};
    auto h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, static_cast<unsigned>(stackBytes), Trampoline, &call,
                                                      STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!h) return false;
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
    return true;
}
#else
#include <pthread.h>

namespace {
struct Call { void (*fn)(void*); void* arg; };
void* Trampoline(void* p) {
    auto* call = static_cast<Call*>(p);
    call->fn(call->arg);
    return nullptr;
}
}  // namespace

bool RunOnLargeStack(void (*fn)(void*), void* arg, std::size_t stackBytes) {
    Call call{fn, arg};
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return false;
    pthread_t thread;
    bool started = pthread_attr_setstacksize(&attr, stackBytes) == 0 &&
                   pthread_create(&thread, &attr, Trampoline, &call) == 0;
    pthread_attr_destroy(&attr);
    if (!started) return false;
    pthread_join(thread, nullptr);
    return true;
}
#endif
