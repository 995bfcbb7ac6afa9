#pragma once
// Runs a function once per process, also when two threads ask at the same
// time. Its state is a plain LONG in static storage, zero before any start-up
// code runs, and it works on every Windows the setup supports
// (InitOnceExecuteOnce needs Windows Vista).
#include <windows.h>

// state: a LONG that starts at 0 and is used for nothing else. Returns once
// function has run to its end, on whichever thread ran it.
void RunOnce(volatile LONG* state, void (*function)());
