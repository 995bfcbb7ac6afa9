#pragma once
// The security of the work folder. The setup runs elevated and runs what it
// writes there; a folder that inherits the user's temporary folder's rights
// could be written by any non-elevated program of the same user between the
// extraction and the installer's start (a DLL planted beside setup.exe would
// then run elevated). So when elevated, the folder is made with a protected
// DACL of its own: full control for Administrators and SYSTEM, inherited by
// everything made in it, nothing else; owned by Administrators.
#include <windows.h>

#include "base/unique_handle.h"

// True when the process runs with the Administrators group enabled in its
// token (elevated, or an administrator on a system without UAC). A
// filtered token, which lists the group for denying only, is not elevated.
bool IsProcessElevated();

// The security attributes to create the work folder with: the protected
// descriptor above when elevated and the platform builds it, else null (the
// folder then gets the default security, inherited from its parent).
class CWorkFolderSecurity {
public:
    CWorkFolderSecurity();

    SECURITY_ATTRIBUTES* Get() { return m_pDescriptor ? &m_Attributes : nullptr; }

private:
    UniqueLocalMemory m_pDescriptor;
    SECURITY_ATTRIBUTES m_Attributes = {};
};
