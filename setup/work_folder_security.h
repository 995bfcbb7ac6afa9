#pragma once
// The security of the work folder. The setup runs elevated and runs what it
// writes there; a folder that inherits the user's temporary folder's rights
// could be written by any non-elevated program of the same user between the
// extraction and the installer's start (a DLL planted beside setup.exe would
// then run elevated). So when elevated, the folder is made with a protected
// DACL of its own: full control for Administrators and SYSTEM, inherited by
// everything made in it, nothing else; owned by Administrators. It is made
// with that descriptor in the one call that creates it, never with the
// default security instead, except where there is nothing to protect
// against (the setup is not elevated) or nothing to protect with (the
// volume keeps no security, as FAT does not).
#include <windows.h>

#include "base/unique_handle.h"
#include "setup/administrator_check.h"

enum class WorkFolderProtection {
    PROTECTED,                  // the descriptor above
    DEFAULT_NOT_ELEVATED,       // the default security: the setup is not elevated
    DEFAULT_NO_VOLUME_SECURITY, // elevated, but the volume keeps no security: no work folder is made there
};

// The security to create the work folder with, on a volume with the given
// file system flags (GetVolumeInformation's; FILE_PERSISTENT_ACLS says that
// it keeps security).
class CWorkFolderSecurity {
public:
    explicit CWorkFolderSecurity(DWORD volumeFlags = FILE_PERSISTENT_ACLS);

    // S_OK; HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED) when elevated on a
    // volume that keeps no security; or the platform's failure to build the
    // descriptor. Unless S_OK, no folder may be made.
    HRESULT GetResult() const { return m_hrResult; }
    WorkFolderProtection GetProtection() const { return m_Protection; }
    // The descriptor, or null for the default security.
    PSECURITY_DESCRIPTOR GetDescriptor() const { return m_pDescriptor.Get(); }
    // How the folder is protected, for the log.
    const char* Describe() const;

private:
    UniqueLocalMemory m_pDescriptor;
    WorkFolderProtection m_Protection = WorkFolderProtection::PROTECTED;
    HRESULT m_hrResult = S_OK;
};
