#include "thread_test_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "tests/support/wait_until.h"

namespace thread_testing {

bool WaitForEntry(EventLog& log, const std::string& entry, DWORD milliseconds)
{
    return testing_support::WaitUntil(
        [&] {
            std::vector<std::string> entries = log.Entries();
            return std::find(entries.begin(), entries.end(), entry) != entries.end();
        },
        milliseconds);
}

namespace {
DWORD WINAPI RunBody(void* parameter)
{
    auto* body = static_cast<std::function<void()>*>(parameter);
    (*body)();
    delete body;
    return 0;
}
} // namespace

HANDLE StartThread(std::function<void()> body)
{
    auto* copy = new std::function<void()>(std::move(body));
    HANDLE thread = CreateThread(nullptr, 0, RunBody, copy, 0, nullptr);
    if (!thread)
        delete copy;
    return thread;
}

bool JoinThread(HANDLE thread, DWORD milliseconds)
{
    bool ended = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

namespace {
// The system's list of open handles (SystemHandleInformation), which Wine
// keeps although its GetProcessHandleCount reports 0.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT handleValue;
    PVOID object;
    ACCESS_MASK access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
constexpr int kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

DWORD CountHandlesInSystemList()
{
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<BYTE> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kStatusInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerProcessId == GetCurrentProcessId())
            ++count;
    }
    return count;
}
} // namespace

DWORD ProcessHandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return count;
    return CountHandlesInSystemList();
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
    int count = 0;
    testing_support::WaitUntil([&] { return (count = ProcessThreadCount()) == expected; }, milliseconds);
    return count;
}

DWORD ThreadExitCode(HANDLE thread)
{
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

} // namespace thread_testing
