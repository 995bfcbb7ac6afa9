// Calls RestartWindows and reports through its exit code:
//   0  RestartWindows returned, and the shutdown privilege, present but not
//      enabled before, is enabled afterwards (with --windows98: still not
//      enabled, as Windows 98 and Me have no privileges to enable)
//   2  the process token lacks the shutdown privilege
//   3  the privilege was already enabled, so the test would show nothing
//   4  the privilege is not as expected after the call
// Run only in a throwaway Wine prefix: it asks Windows to restart.
#include <windows.h>

#include <vector>

#include "setup/privileges.h"

namespace {
// SE_PRIVILEGE_* attributes of SeShutdownPrivilege in the process token; -1 when absent.
long ShutdownPrivilegeAttributes()
{
    LUID shutdown;
    HANDLE token = nullptr;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    long attributes = -1;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                            &size)) {
        const TOKEN_PRIVILEGES* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID& luid = privileges->Privileges[i].Luid;
            if (luid.LowPart == shutdown.LowPart && luid.HighPart == shutdown.HighPart)
                attributes = static_cast<long>(privileges->Privileges[i].Attributes);
        }
    }
    CloseHandle(token);
    return attributes;
}
} // namespace

int main(int argc, char** argv)
{
    const bool windows98 = argc > 1 && lstrcmpA(argv[1], "--windows98") == 0;
    const long before = ShutdownPrivilegeAttributes();
    if (before < 0)
        return 2;
    if (before & SE_PRIVILEGE_ENABLED)
        return 3;
    RestartWindows();
    const bool enabled = (ShutdownPrivilegeAttributes() & SE_PRIVILEGE_ENABLED) != 0;
    return enabled != windows98 ? 0 : 4;
}
