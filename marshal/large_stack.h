// Runs a function to completion on a thread of its own with a stack of the
// given size, and waits for it.  The recursive readers run there, so the
// depth they can reach does not depend on the calling thread's stack.
#pragma once
#include <cstddef>

// False when no such thread could be started.
bool RunOnLargeStack(void (*fn)(void*), void* arg, std::size_t stackBytes);
