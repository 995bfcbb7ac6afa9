#pragma once
// The step the setup exists for: the product's InstallShield setup is written
// out of the program, unpacked into the work folder, started, its window
// raised, and waited for.
#include <windows.h>

#include "base/handle_relative/held_folder.h"

// workFolder is the held work folder; every file is made in it through its
// handle (held_folder.h). ownerWindow (the wait window, or null) is
// hidden while the installer runs if it was visible, and shown again after.
// S_OK when the package was written and unpacked and setup.exe was started
// and waited for (its exit code plays no part, nor a failed wait, which is
// logged); otherwise the failure of writing or unpacking the package or of
// starting setup.exe (E_INVALIDARG without a work folder). The package is
// held against writers from its writing until it is unpacked, and every
// entry from its writing until setup.exe has ended. Afterwards setup.exe is deleted; the package
// file "BCSetup_IS.bin" and the other files stay. Each step goes to the setup log.
HRESULT RunMainInstaller(const HeldFolder& workFolder, HWND ownerWindow);
