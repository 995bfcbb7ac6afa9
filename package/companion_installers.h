#pragma once
// The two companion installers the setup carries: each is written into the
// work folder, run silently, waited for and deleted again.
#include <windows.h>

#include "base/handle_relative/held_folder.h"

// workFolder is the held work folder; the installer is made in it through
// its handle (held_folder.h). S_OK once the installer was started and
// waited for, whatever its exit code (a failed wait is logged); otherwise
// the failure of writing or starting it (E_INVALIDARG without a work
// folder). The installer file is held against writers from its writing
// until the installer has ended, and is gone afterwards once it was written.
// Each step goes to the setup log.

// The Windows Media Format runtime: "<folder>wmfdist.exe" /Q
HRESULT RunWmfRuntimeSetup(const HeldFolder& workFolder);
// DivX, in Japanese: "<folder>DivXPro.exe" /S /DIVXLANG=JA
HRESULT RunDivXSetup(const HeldFolder& workFolder);
