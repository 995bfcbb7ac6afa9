#include "tests/support/wait_until.h"

namespace testing_support {

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(pollMs);
    }
    return true;
}

} // namespace testing_support
