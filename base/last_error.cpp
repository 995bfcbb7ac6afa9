#include "base/last_error.h"

HRESULT LastErrorResult()
{
    return Win32ErrorResult(GetLastError());
}

HRESULT Win32ErrorResult(DWORD error)
{
    // A platform call that failed without saying why is still a failure.
    return error == 0 ? E_FAIL : HRESULT_FROM_WIN32(error);
}
