#include "setup/product_probe.h"

#include <windows.h>

#include "setup/instance_guard.h"

namespace {
const int kProbeAttempts = 9;
const DWORD kQuitPauseMs = 500;

// Creates the product's mutex only to learn whether it exists; closes it at once.
bool IsProductRunning()
{
    SECURITY_ATTRIBUTES attributes = InheritableDefaultSecurity();
    HANDLE mutex = CreateMutexA(&attributes, FALSE, "MUTEX_BRIXELCAST");
    bool running = !mutex || GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex)
        CloseHandle(mutex);
    return running;
}
} // namespace

bool AskRunningProductToQuit(ProductProbeReport* report)
{
    const DWORD start = GetTickCount();
    int signals = 0;
    // Auto-reset, signalled when we are the one who creates it. A failure is
    // tolerated: the attempts then run back to back.
    HANDLE terminate = CreateEventA(nullptr, FALSE, TRUE, "HANDLE_BRIXELCAST_TERMINATE");
    bool quit = false;
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
        if (!IsProductRunning()) {
            quit = true;
            break;
        }
        if (terminate) {
            SetEvent(terminate);
            ++signals;
            Sleep(kQuitPauseMs);
        }
    }
    if (terminate)
        CloseHandle(terminate);
    if (report) {
        report->signals = signals;
        report->milliseconds = GetTickCount() - start;
    }
    return quit;
}
