#pragma once
// The 16-byte work item a CQueueThread hands to its worker: a command code
// and three parameters whose meaning belongs to the subclass.
#include <windows.h>

struct ThreadItem {
    int nCommand;
    DWORD dwParam1;
    DWORD dwParam2;
    DWORD dwParam3;
};
static_assert(sizeof(ThreadItem) == 16, "a work item is four 32-bit words");

// Reserved codes: QUIT ends the worker's loop, CLOSE makes it call OnClose.
constexpr int THREAD_CMD_QUIT = -1;
constexpr int THREAD_CMD_CLOSE = -2;
