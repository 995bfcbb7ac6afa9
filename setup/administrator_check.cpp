// The administrator test: the built-in Administrators group (S-1-5-32-544)
// among the groups of the caller's token.
#include <vector>

#include "setup/privileges.h"

namespace {
// A kernel handle closed when the object goes out of scope.
class CTokenHandle {
public:
    CTokenHandle() = default;
    ~CTokenHandle()
    {
        if (m_hToken)
            CloseHandle(m_hToken);
    }
    CTokenHandle(const CTokenHandle&) = delete;
    CTokenHandle& operator=(const CTokenHandle&) = delete;
    HANDLE* Receive() { return &m_hToken; }
    HANDLE Get() const { return m_hToken; }

private:
    HANDLE m_hToken = nullptr;
};

// The built-in Administrators SID, freed when the object goes out of scope.
class CAdministratorsSid {
public:
    CAdministratorsSid()
    {
        SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
        if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                      0, 0, 0, 0, &m_pSid))
            m_pSid = nullptr;
    }
    ~CAdministratorsSid()
    {
        if (m_pSid)
            FreeSid(m_pSid);
    }
    CAdministratorsSid(const CAdministratorsSid&) = delete;
    CAdministratorsSid& operator=(const CAdministratorsSid&) = delete;
    PSID Get() const { return m_pSid; }

private:
    PSID m_pSid = nullptr;
};

// The thread's token while it impersonates, else the process's.
bool OpenCallerToken(CTokenHandle& token)
{
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, token.Receive()))
        return true;
    if (GetLastError() != ERROR_NO_TOKEN)
        return false;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) != FALSE;
}
} // namespace

bool IsUserAdministrator()
{
    CTokenHandle token;
    if (!OpenCallerToken(token))
        return false;
    DWORD size = 0;
    if (GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    // Pointer-sized elements keep the group list, which holds pointers, aligned.
    std::vector<ULONG_PTR> buffer((size + sizeof(ULONG_PTR) - 1) / sizeof(ULONG_PTR));
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(),
                             static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR)), &size))
        return false;
    CAdministratorsSid administrators;
    if (!administrators.Get())
        return false;
    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    // Attributes are not consulted: a deny-only or disabled group counts.
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (EqualSid(groups->Groups[i].Sid, administrators.Get()))
            return true;
    }
    return false;
}
