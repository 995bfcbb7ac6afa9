#include "setup/product_probe.h"

#include <windows.h>

#include "base/unique_handle.h"
#include "setup/instance_guard.h"

namespace {
const int kProbeAttempts = 9;
const DWORD kQuitPauseMs = 500;

// Creates the product's mutex only to learn whether it exists; closes it at once.
bool IsProductRunning()
{
    SECURITY_ATTRIBUTES attributes = InheritableDefaultSecurity();
    const UniqueKernelHandle mutex(CreateMutexA(&attributes, FALSE, "MUTEX_BRIXELCAST"));
    return !mutex || GetLastError() == ERROR_ALREADY_EXISTS;
}
} // namespace

bool AskRunningProductToQuit(ProductProbeReport* report)
{
    const DWORD start = GetTickCount();
    int signals = 0;
    // Auto-reset, signalled when we are the one who creates it. A failure is
    // tolerated: the attempts then run back to back.
    const UniqueKernelHandle terminate(CreateEventA(nullptr, FALSE, TRUE, "HANDLE_BRIXELCAST_TERMINATE"));
    bool quit = false;
    for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
        if (!IsProductRunning()) {
            quit = true;
            break;
        }
        if (terminate) {
            SetEvent(terminate.Get());
            ++signals;
            Sleep(kQuitPauseMs);
        }
    }
    if (report) {
        report->signals = signals;
        report->milliseconds = GetTickCount() - start;
    }
    return quit;
}
