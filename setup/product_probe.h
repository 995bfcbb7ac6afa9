#pragma once
// The running-product check: while the product holds "MUTEX_BRIXELCAST" we
// signal "HANDLE_BRIXELCAST_TERMINATE" and give it 500 ms to quit, at most
// 9 times.

// True when the product is not running (or quit when asked).
bool AskRunningProductToQuit();
