#include "setup/work_folder_security.h"

#include <sddl.h>

namespace {

// Owner Administrators; a protected DACL (nothing inherited from the parent)
// granting full control to Administrators and SYSTEM, for the folder and,
// by inheritance, every file and folder made in it.
const char PROTECTED_FOLDER_SDDL[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

} // namespace

bool IsProcessElevated()
{
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators))
        return false;
    // CheckTokenMembership counts only enabled groups.
    BOOL member = FALSE;
    BOOL checked = CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    return checked && member;
}

CWorkFolderSecurity::CWorkFolderSecurity()
{
    if (!IsProcessElevated())
        return;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(PROTECTED_FOLDER_SDDL, SDDL_REVISION_1,
                                                              &m_pDescriptor, nullptr)) {
        m_pDescriptor = nullptr;
        return;
    }
    m_Attributes.nLength = sizeof m_Attributes;
    m_Attributes.lpSecurityDescriptor = m_pDescriptor;
    m_Attributes.bInheritHandle = FALSE;
}

CWorkFolderSecurity::~CWorkFolderSecurity()
{
    if (m_pDescriptor)
        LocalFree(m_pDescriptor);
}
