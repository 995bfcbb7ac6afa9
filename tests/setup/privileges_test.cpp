// The Windows family and the administrator test, with the thread
// impersonating tokens that differ from the process's as far as Wine lets a
// test make them: Wine gives every process the Administrators group and
// cannot make a token without it, but it does turn the group into a
// deny-only one, and it does check a token's own access rules.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/administrator_check.h"
#include "setup/windows_family.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

namespace {
// Owns one handle.
struct Handle {
    HANDLE h = nullptr;
    ~Handle()
    {
        if (h)
            CloseHandle(h);
    }
};

struct AdministratorsSid {
    PSID sid = nullptr;
    AdministratorsSid()
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &sid);
    }
    ~AdministratorsSid() { FreeSid(sid); }
};

// The attributes of the Administrators group in token; 0 when it is absent.
DWORD AdministratorsAttributes(HANDLE token)
{
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    std::vector<ULONG_PTR> buffer(size / sizeof(ULONG_PTR) + 1); // aligned for the pointers it holds
    if (!GetTokenInformation(token, TokenGroups, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR)),
                             &size))
        return 0;
    AdministratorsSid administrators;
    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (EqualSid(groups->Groups[i].Sid, administrators.sid))
            return groups->Groups[i].Attributes;
    }
    return 0;
}

// Impersonates token on the calling thread until the object goes.
struct Impersonation {
    explicit Impersonation(HANDLE token) { active = SetThreadToken(nullptr, token) != FALSE; }
    ~Impersonation() { RevertToSelf(); }
    bool active;
};

TEST(WindowsFamily, TestSystemIsOfTheNtFiveFamily)
{
    EXPECT_EQ(WINFAMILY_NT5, GetWindowsFamily());
}

// Wine reports the Windows version chosen for a program in its AppDefaults key.
TEST(WindowsFamily, EveryFamilyThroughWinesPerProgramVersion)
{
    const char* key = "Software\\Wine\\AppDefaults\\windows_family_probe.exe";
    const struct {
        const char* version;
        DWORD family;
    } cases[] = {{"win95", WINFAMILY_95}, {"win98", WINFAMILY_98},  {"winme", WINFAMILY_ME},
                 {"nt40", WINFAMILY_NT4}, {"win2k", WINFAMILY_NT5}, {"win10", WINFAMILY_NT5}};
    const std::string probe = testing_support::BinPath("windows_family_probe.exe");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        HKEY appKey = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &appKey, nullptr));
        RegSetValueExA(appKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.version),
                       static_cast<DWORD>(std::strlen(c.version) + 1));
        RegCloseKey(appKey);
        testing_support::ChildProcess child;
        ASSERT_TRUE(child.Start(probe, testing_support::Quote(probe)));
        DWORD family = 0;
        ASSERT_TRUE(child.WaitForExit(60000, &family));
        EXPECT_EQ(c.family, family);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

TEST(Administrator, ProcessTokenOfTheTestSystem)
{
    EXPECT_TRUE(IsUserAdministrator());
}

TEST(Administrator, DenyOnlyGroupOfAnImpersonatedTokenCounts)
{
    Handle process;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process.h));
    AdministratorsSid administrators;
    SID_AND_ATTRIBUTES disabled = {administrators.sid, 0};
    Handle restricted;
    ASSERT_TRUE(CreateRestrictedToken(process.h, 0, 1, &disabled, 0, nullptr, 0, nullptr, &restricted.h));
    Handle impersonation;
    ASSERT_TRUE(DuplicateTokenEx(restricted.h, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenImpersonation,
                                 &impersonation.h));
    ASSERT_EQ(DWORD(SE_GROUP_USE_FOR_DENY_ONLY),
              AdministratorsAttributes(impersonation.h) & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED));
    Impersonation impersonating(impersonation.h);
    ASSERT_TRUE(impersonating.active);
    EXPECT_TRUE(IsUserAdministrator());
}

TEST(Administrator, ImpersonatedTokenDecidesNotTheProcesses)
{
    // A token whose own access rules let nobody query it: the test is answered
    // from the thread's token, so it fails, although the process is an administrator.
    Handle process;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process.h));
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    EXPLICIT_ACCESSA access = {};
    access.grfAccessPermissions = TOKEN_IMPERSONATE;
    access.grfAccessMode = SET_ACCESS;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL acl = nullptr;
    ASSERT_EQ(DWORD(ERROR_SUCCESS), SetEntriesInAclA(1, &access, nullptr, &acl));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    Handle impersonation;
    ASSERT_TRUE(DuplicateTokenEx(process.h, TOKEN_ALL_ACCESS, &attributes, SecurityImpersonation, TokenImpersonation,
                                 &impersonation.h));
    {
        Impersonation impersonating(impersonation.h);
        ASSERT_TRUE(impersonating.active);
        EXPECT_FALSE(IsUserAdministrator());
    }
    EXPECT_TRUE(IsUserAdministrator());
    LocalFree(acl);
    FreeSid(everyone);
}
} // namespace
