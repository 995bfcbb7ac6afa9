#pragma once
// The one mapping of the platform's last error to a result code.
#include <windows.h>

// The thread's last error as a result code; never 0, so a failed call that
// left no error behind can't pass for a successful one (E_FAIL then).
HRESULT LastErrorResult();

// A platform error number as a result code, by the same rule.
HRESULT Win32ErrorResult(DWORD error);
