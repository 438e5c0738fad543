// Runs a function to completion on a thread with a stack of the given size,
// and waits for it.  The recursive readers run there, so the depth they can
// reach does not depend on the calling thread's stack.  The thread may have
// run earlier calls: `fn` returns whether it may run later ones too (false
// after a deep recursion, whose used stack should not stay with an idle
// thread).
#pragma once
#include <cstddef>

// False when no such thread could be started.
bool RunOnLargeStack(bool (*fn)(void*), void* arg, std::size_t stackBytes);
