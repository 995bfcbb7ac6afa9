#pragma once
// The two companion installers the setup carries: each is written into the
// work folder, run silently, waited for and deleted again.
#include <windows.h>

// workFolder ends in a backslash. False when the installer could not be
// written or started; true once it has ended, whatever its exit code. The
// installer file is gone afterwards once it was written.

// The Windows Media Format runtime: "<folder>wmfdist.exe" /Q
bool RunWmfRuntimeSetup(const char* workFolder);
// DivX, in Japanese: "<folder>DivXPro.exe" /S /DIVXLANG=JA
bool RunDivXSetup(const char* workFolder);
