#pragma once
// The exit codes of BCSetup.exe as its caller (the setup manager, a script)
// sees them, written out here rather than taken from the program, so that a
// changed code fails the tests.
#include <windows.h>

namespace testing_support {

// The run went to its end, whatever the outcome.
const DWORD kExitOk = 0;
// The run was refused.
const DWORD kExitRefused = static_cast<DWORD>(-1);

} // namespace testing_support
