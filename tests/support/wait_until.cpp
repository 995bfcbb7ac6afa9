#include "tests/support/wait_until.h"

#include <stdlib.h>

namespace testing_support {

DWORD TimeScale()
{
    char text[16] = "";
    DWORD length = GetEnvironmentVariableA("BCSETUP_TIME_SCALE", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return 1;
    unsigned long scale = strtoul(text, nullptr, 10);
    return scale >= 1 && scale <= 100 ? static_cast<DWORD>(scale) : 1;
}

DWORD Scaled(DWORD timeoutMs)
{
    if (timeoutMs == INFINITE)
        return INFINITE;
    ULONGLONG scaled = static_cast<ULONGLONG>(timeoutMs) * TimeScale();
    return scaled >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(scaled);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs)
{
    timeoutMs = Scaled(timeoutMs);
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(pollMs);
    }
    return true;
}

} // namespace testing_support
