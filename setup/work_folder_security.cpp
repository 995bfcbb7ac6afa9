#include "setup/work_folder_security.h"

#include <sddl.h>

#include "setup/administrator_check.h"

namespace {

// Owner Administrators; a protected DACL (nothing inherited from the parent)
// granting full control to Administrators and SYSTEM, for the folder and,
// by inheritance, every file and folder made in it.
const char PROTECTED_FOLDER_SDDL[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

} // namespace

bool IsProcessElevated()
{
    const UniqueSid administrators = AdministratorsSid();
    if (!administrators)
        return false;
    // CheckTokenMembership counts only enabled groups.
    BOOL member = FALSE;
    return CheckTokenMembership(nullptr, administrators.Get(), &member) && member;
}

CWorkFolderSecurity::CWorkFolderSecurity()
{
    if (!IsProcessElevated())
        return;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(PROTECTED_FOLDER_SDDL, SDDL_REVISION_1,
                                                              m_pDescriptor.Put(), nullptr)) {
        m_pDescriptor.Release(); // a failed call hands out no descriptor
        return;
    }
    m_Attributes.nLength = sizeof m_Attributes;
    m_Attributes.lpSecurityDescriptor = m_pDescriptor.Get();
    m_Attributes.bInheritHandle = FALSE;
}
