#include "setup/restart_windows.h"

#include <windows.h>

#include "base/unique_handle.h"
#include "setup/windows_family.h"

namespace {
// Enables SeShutdownPrivilege in the process token; failures leave it as it was.
void EnableShutdownPrivilege()
{
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}
} // namespace

void RestartWindows()
{
    const int family = GetWindowsFamily();
    if (family != WINFAMILY_98 && family != WINFAMILY_ME)
        EnableShutdownPrivilege();
    // Not forced: a program that refuses to end keeps Windows running.
    ExitWindowsEx(EWX_REBOOT, 0);
}
