#pragma once
// The two companion installers the setup carries: each is written into the
// work folder, run silently, waited for and deleted again.
#include <windows.h>

// workFolder ends in a backslash. S_OK once the installer has ended,
// whatever its exit code; otherwise the failure of writing or starting it
// (E_INVALIDARG without a work folder). The installer file is gone
// afterwards once it was written. Each step goes to the setup log.

// The Windows Media Format runtime: "<folder>wmfdist.exe" /Q
HRESULT RunWmfRuntimeSetup(const char* workFolder);
// DivX, in Japanese: "<folder>DivXPro.exe" /S /DIVXLANG=JA
HRESULT RunDivXSetup(const char* workFolder);
