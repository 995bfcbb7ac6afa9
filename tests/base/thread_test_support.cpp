#include "thread_test_support.h"

#include <tlhelp32.h>

namespace thread_testing {

bool WaitForEntry(EventLog& log, const std::string& entry, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::string> entries = log.Entries();
        if (std::find(entries.begin(), entries.end(), entry) != entries.end())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(5);
    }
}

DWORD ProcessHandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

int ProcessThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

int WaitForThreadCount(int expected, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    int count = ProcessThreadCount();
    while (count != expected && GetTickCount() - start < milliseconds) {
        Sleep(10);
        count = ProcessThreadCount();
    }
    return count;
}

DWORD ThreadExitCode(HANDLE thread)
{
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

} // namespace thread_testing
