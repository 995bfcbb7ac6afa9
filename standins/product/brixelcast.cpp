// Stand-in for the product, Brixelcast.exe. It honours the product's contract
// with the setup: while it runs it holds the mutex "MUTEX_BRIXELCAST", and it
// ends when the event "HANDLE_BRIXELCAST_TERMINATE" is signalled.
//
//   Brixelcast.exe [--ignore N | --ignore all] [--lifetime MS] [--times FILE]
//
// --ignore N    stays on through the first N signals and quits at signal N+1
// --ignore all  never quits when signalled
// --lifetime    ends on its own after MS milliseconds (default 120000), so a
//               test that goes wrong never leaves it behind
// --times       writes to FILE, when it ends, one line per signal: the
//               milliseconds since the first signal
// The exit code is the number of signals it saw.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
struct Behaviour {
    long ignore = 0;
    bool ignoreAll = false;
    DWORD lifetimeMs = 120000;
    const char* timesFile = nullptr;
};

Behaviour ReadArguments()
{
    Behaviour behaviour;
    int argc = __argc;
    char** argv = __argv;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore") == 0) {
            if (std::strcmp(argv[i + 1], "all") == 0)
                behaviour.ignoreAll = true;
            else
                behaviour.ignore = std::strtol(argv[i + 1], nullptr, 10);
            ++i;
        } else if (std::strcmp(argv[i], "--lifetime") == 0) {
            behaviour.lifetimeMs = static_cast<DWORD>(std::strtoul(argv[i + 1], nullptr, 10));
            ++i;
        } else if (std::strcmp(argv[i], "--times") == 0) {
            behaviour.timesFile = argv[i + 1];
            ++i;
        }
    }
    return behaviour;
}

void WriteTimes(const char* path, const std::vector<DWORD>& ticks)
{
    FILE* file = std::fopen(path, "w");
    if (!file)
        return;
    for (DWORD tick : ticks)
        std::fprintf(file, "%lu\n", static_cast<unsigned long>(tick - ticks.front()));
    std::fclose(file);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Behaviour behaviour = ReadArguments();
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "MUTEX_BRIXELCAST");
    HANDLE terminate = CreateEventA(nullptr, FALSE, FALSE, "HANDLE_BRIXELCAST_TERMINATE");
    if (!mutex || !terminate)
        return 1000;

    int seen = 0;
    std::vector<DWORD> signalTicks;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= behaviour.lifetimeMs)
            break;
        if (WaitForSingleObject(terminate, behaviour.lifetimeMs - elapsed) != WAIT_OBJECT_0)
            break;
        ++seen;
        signalTicks.push_back(GetTickCount());
        if (!behaviour.ignoreAll && seen > behaviour.ignore)
            break;
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    CloseHandle(terminate);
    if (behaviour.timesFile)
        WriteTimes(behaviour.timesFile, signalTicks);
    return seen;
}
