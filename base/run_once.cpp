#include "base/run_once.h"

namespace {
enum : LONG { kNotRun = 0, kRunning = 1, kDone = 2 };
} // namespace

void RunOnce(volatile LONG* state, void (*function)())
{
    if (InterlockedCompareExchange(state, kRunning, kNotRun) == kNotRun) {
        function();
        InterlockedExchange(state, kDone);
        return;
    }
    // Another thread runs it: wait for its end.
    while (InterlockedCompareExchange(state, kDone, kDone) != kDone)
        Sleep(1);
}
