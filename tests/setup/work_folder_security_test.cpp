// The work folder's protection: the descriptor the elevated setup makes it
// with, and a name taken first never taken over.
#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "base/file_existence.h"
#include "base/handle_relative/nt_create_file.h"
#include "base/handle_relative/vista_file_calls.h"
#include "setup/setup_paths.h"
#include "setup/work_folder.h"
#include "setup/work_folder_security.h"
#include "tests/setup/work_folder_fixture.h"
#include "tests/support/test_paths.h"
#include "tests/support/unix_link.h"

namespace {
using namespace work_folder_testing;

namespace {

// The well-known SID of the given authority and sub-authorities, freed with the object.
class CWellKnownSid {
public:
    CWellKnownSid(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD first, DWORD second = 0)
    {
        if (!AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &m_pSid))
            m_pSid = nullptr;
    }
    ~CWellKnownSid()
    {
        if (m_pSid)
            FreeSid(m_pSid);
    }
    CWellKnownSid(const CWellKnownSid&) = delete;
    CWellKnownSid& operator=(const CWellKnownSid&) = delete;
    PSID Get() const { return m_pSid; }

private:
    PSID m_pSid = nullptr;
};

const SID_IDENTIFIER_AUTHORITY NT_AUTHORITY = SECURITY_NT_AUTHORITY;
const SID_IDENTIFIER_AUTHORITY WORLD_AUTHORITY = SECURITY_WORLD_SID_AUTHORITY;

// Whether the DACL of the folder, as the platform reports it, admits sid at all.
bool FolderAdmits(const std::string& folder, PSID sid)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &descriptor));
    bool admitted = !dacl; // no DACL admits everybody
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid(&ace->SidStart, sid))
            admitted = true;
    }
    LocalFree(descriptor);
    return admitted;
}

} // namespace

// The descriptor the elevated setup makes its work folder with: owned by
// Administrators, nothing inherited from the temporary folder, full control
// for Administrators and SYSTEM, passed on to everything made inside. Only
// on a volume that keeps no security is there none.
TEST_F(WorkFolderTest, ElevatedSetupMakesAFolderOnlyAdministratorsAndSystemMayUse)
{
    ASSERT_TRUE(IsProcessElevated()) << "the tests run as an elevated administrator, as the setup does";
    CWellKnownSid administrators(NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    CWellKnownSid system(NT_AUTHORITY, 1, SECURITY_LOCAL_SYSTEM_RID);
    CWellKnownSid everyone(WORLD_AUTHORITY, 1, SECURITY_WORLD_RID);
    CWellKnownSid users(NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS);

    CWorkFolderSecurity security;
    ASSERT_EQ(S_OK, security.GetResult());
    EXPECT_EQ(WorkFolderProtection::PROTECTED, security.GetProtection());
    PSECURITY_DESCRIPTOR descriptor = security.GetDescriptor();
    ASSERT_NE(nullptr, descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "rights of the temporary folder must not be inherited";
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
    EXPECT_TRUE(owner && EqualSid(owner, administrators.Get())) << "the user's own programs must not own it";
    BOOL present = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    ASSERT_EQ(2u, static_cast<unsigned>(dacl->AceCount));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType) << i;
        EXPECT_EQ(static_cast<BYTE>(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), ace->Header.AceFlags) << i;
        EXPECT_EQ(static_cast<ACCESS_MASK>(FILE_ALL_ACCESS), ace->Mask) << i;
        EXPECT_TRUE(EqualSid(&ace->SidStart, i == 0 ? administrators.Get() : system.Get())) << i;
    }
    // On a volume without FILE_PERSISTENT_ACLS no folder may be made at all:
    // no silent fall back to the default security.
    CWorkFolderSecurity fat(0);
    EXPECT_EQ(WorkFolderProtection::DEFAULT_NO_VOLUME_SECURITY, fat.GetProtection());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED), fat.GetResult());
    EXPECT_EQ(nullptr, fat.GetDescriptor());

    // The folder itself, read back. Wine does not keep a file's descriptor
    // (nor enforce one): it turns the DACL into the Unix mode bits and
    // reports a descriptor made from them, owner, SYSTEM and, when others
    // may read, Everyone. So under Wine what shows is that the folder admits
    // neither Everyone nor Users, where a folder of the default security
    // made beside it admits Everyone; on Windows it holds the entries above.
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    const std::string plain = m_temp + "default";
    ASSERT_TRUE(CreateDirectoryA(plain.c_str(), nullptr));
    EXPECT_TRUE(FolderAdmits(plain, everyone.Get())) << "the comparison shows nothing on this platform";
    EXPECT_FALSE(FolderAdmits(name, everyone.Get()));
    EXPECT_FALSE(FolderAdmits(name, users.Get()));
    EXPECT_TRUE(FolderAdmits(name, system.Get()));

    // The setup still fills and removes it.
    ASSERT_TRUE(work.Confirm());
    std::ofstream(std::string(work.GetPath()) + "setup.exe") << "payload";
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
}

// A name another program took first is never taken over, whatever it holds:
// the protected create fails instead of falling back to what is there or to
// the default security.
TEST_F(WorkFolderTest, ProtectedCreateNeverTakesAnExistingFolder)
{
    const std::string taken = m_temp + "taken";
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr));
    std::ofstream(taken + "\\planted.dll") << "x";
    UniqueFileHandle parent(CreateFileA(m_temp.c_str(), FILE_TRAVERSE | FILE_ADD_SUBDIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(parent.IsValid());
    CWorkFolderSecurity security;
    UniqueFileHandle folder;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS),
              NtCreateFileIn(parent.Get(), L"taken", 5, FILE_LIST_DIRECTORY | DELETE, FILE_SHARE_READ, FILE_CREATE,
                             FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, security.GetDescriptor(), folder));
    EXPECT_FALSE(folder.IsValid());
    EXPECT_TRUE(FileExists((taken + "\\planted.dll").c_str())) << "another program's folder is left as it is";
}
} // namespace
