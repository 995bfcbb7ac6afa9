#pragma once
// The running-product check: while the product holds "MUTEX_BRIXELCAST" we
// signal "HANDLE_BRIXELCAST_TERMINATE" and give it 500 ms to quit, at most
// 9 times.
#include <windows.h>

// What the probe did, for the setup log.
struct ProductProbeReport {
    int signals = 0;        // times the product was asked to quit
    DWORD milliseconds = 0; // how long the probe took
};

// True when the product is not running (or quit when asked).
bool AskRunningProductToQuit(ProductProbeReport* report = nullptr);
