// The administrator test: the built-in Administrators group (S-1-5-32-544)
// among the groups of the caller's token.
#include "setup/administrator_check.h"

#include <memory>
#include <new>

namespace {
// The thread's token while it impersonates, else the process's.
bool OpenCallerToken(UniqueKernelHandle& token)
{
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, token.Put()))
        return true;
    if (GetLastError() != ERROR_NO_TOKEN)
        return false;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) != FALSE;
}
} // namespace

UniqueSid AdministratorsSid()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    UniqueSid sid;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, sid.Put()))
        sid.Release(); // a failed call hands out no SID
    return sid;
}

bool IsUserAdministrator()
{
    UniqueKernelHandle token;
    if (!OpenCallerToken(token))
        return false;
    DWORD size = 0;
    if (GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    // Pointer-sized elements keep the group list, which holds pointers, aligned.
    const DWORD count = (size + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR);
    std::unique_ptr<ULONG_PTR[]> buffer(new (std::nothrow) ULONG_PTR[count]);
    if (!buffer || !GetTokenInformation(token.Get(), TokenGroups, buffer.get(),
                                        static_cast<DWORD>(count * sizeof(ULONG_PTR)), &size))
        return false;
    const UniqueSid administrators = AdministratorsSid();
    if (!administrators)
        return false;
    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.get());
    // Attributes are not consulted: a deny-only or disabled group counts.
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (EqualSid(groups->Groups[i].Sid, administrators.Get()))
            return true;
    }
    return false;
}

bool IsProcessElevated()
{
    const UniqueSid administrators = AdministratorsSid();
    if (!administrators)
        return false;
    // CheckTokenMembership counts only enabled groups.
    BOOL member = FALSE;
    return CheckTokenMembership(nullptr, administrators.Get(), &member) && member;
}
