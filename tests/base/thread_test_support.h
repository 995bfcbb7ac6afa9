#pragma once
// Helpers for the thread tests: a gate a worker can be held at, a log of
// what the hooks saw, and counts of the process's handles and threads.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/lock.h"

namespace thread_testing {

// A manual-reset event that holds threads until it is opened.
class Gate {
public:
    Gate() : m_hEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { CloseHandle(m_hEvent); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    void Open() { SetEvent(m_hEvent); }
    void Close() { ResetEvent(m_hEvent); }
    // True when the gate opened within the time.
    bool Pass(DWORD milliseconds = 30000) { return WaitForSingleObject(m_hEvent, milliseconds) == WAIT_OBJECT_0; }
    HANDLE Handle() const { return m_hEvent; }

private:
    HANDLE m_hEvent;
};

// What the hooks of a worker saw, in order, safe to append to from any thread.
class EventLog {
public:
    void Add(const std::string& entry)
    {
        CLockGuard guard(m_Lock);
        m_Entries.push_back(entry);
    }
    std::vector<std::string> Entries()
    {
        CLockGuard guard(m_Lock);
        return m_Entries;
    }

private:
    CLock m_Lock;
    std::vector<std::string> m_Entries;
};

// Waits until the log holds the entry; false after the time.
bool WaitForEntry(EventLog& log, const std::string& entry, DWORD milliseconds = 10000);

// Runs body on a new thread; the caller owns (and closes) the handle.
HANDLE StartThread(std::function<void()> body);
// Waits for the thread to end (false after the time) and closes its handle.
bool JoinThread(HANDLE thread, DWORD milliseconds = 60000);

DWORD ProcessHandleCount();
// Threads of this process now.
int ProcessThreadCount();
// Waits until the process has the given number of threads (exiting threads
// may linger a moment); returns the last count seen.
int WaitForThreadCount(int expected, DWORD milliseconds = 10000);
// Exit code of a thread that has ended, through a handle opened by its id
// before it ended; STILL_ACTIVE while it runs.
DWORD ThreadExitCode(HANDLE thread);

} // namespace thread_testing
