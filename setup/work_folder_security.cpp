#include "setup/work_folder_security.h"

#include <sddl.h>

#include "base/last_error.h"

namespace {

// Owner Administrators; a protected DACL (nothing inherited from the parent)
// granting full control to Administrators and SYSTEM, for the folder and,
// by inheritance, every file and folder made in it.
const char PROTECTED_FOLDER_SDDL[] = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

} // namespace

CWorkFolderSecurity::CWorkFolderSecurity(DWORD volumeFlags)
{
    if (!IsProcessElevated()) {
        m_Protection = WorkFolderProtection::DEFAULT_NOT_ELEVATED;
        return;
    }
    if (!(volumeFlags & FILE_PERSISTENT_ACLS)) {
        // The installers would run elevated from a folder any program of
        // the user could write into: no folder rather than that.
        m_Protection = WorkFolderProtection::DEFAULT_NO_VOLUME_SECURITY;
        m_hrResult = HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
        return;
    }
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(PROTECTED_FOLDER_SDDL, SDDL_REVISION_1,
                                                              m_pDescriptor.Put(), nullptr)) {
        m_hrResult = LastErrorResult();
        m_pDescriptor.Release(); // a failed call hands out no descriptor
    }
}

const char* CWorkFolderSecurity::Describe() const
{
    switch (m_Protection) {
    case WorkFolderProtection::DEFAULT_NOT_ELEVATED: return "default security, as the setup is not elevated";
    case WorkFolderProtection::DEFAULT_NO_VOLUME_SECURITY:
        return "no protection possible, as its volume keeps no security";
    default: return "protected: only Administrators and SYSTEM may use it";
    }
}
