#include "base/handle_relative/redirection_guard.h"

#include "base/last_error.h"
#include "base/run_time_calls.h"

namespace {
// PROCESS_MITIGATION_POLICY's ProcessRedirectionTrustPolicy, and the
// EnforceRedirectionTrust bit of its policy word: older SDKs lack both.
const int kRedirectionTrustPolicy = 16;
const DWORD kEnforceRedirectionTrust = 0x1;

typedef BOOL(WINAPI* SetPolicyFn)(int policy, PVOID buffer, SIZE_T length);
typedef BOOL(WINAPI* GetPolicyFn)(HANDLE process, int policy, PVOID buffer, SIZE_T length);
} // namespace

HRESULT EnableRedirectionGuard()
{
    SetPolicyFn setPolicy = RunTimeFunction<SetPolicyFn>(RunTimeCall::SetProcessMitigationPolicy);
    GetPolicyFn getPolicy = RunTimeFunction<GetPolicyFn>(RunTimeCall::GetProcessMitigationPolicy);
    if (!setPolicy || !getPolicy)
        return S_FALSE;
    DWORD flags = kEnforceRedirectionTrust;
    if (!setPolicy(kRedirectionTrustPolicy, &flags, sizeof(flags))) {
        DWORD error = GetLastError();
        // Systems that predate the policy refuse its number as a parameter.
        if (error == ERROR_INVALID_PARAMETER)
            return S_FALSE;
        return Win32ErrorResult(error);
    }
    DWORD inForce = 0;
    if (!getPolicy(GetCurrentProcess(), kRedirectionTrustPolicy, &inForce, sizeof(inForce)) ||
        !(inForce & kEnforceRedirectionTrust))
        return HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED);
    return S_OK;
}

const char* DescribeRedirectionGuard(HRESULT result)
{
    if (result == S_OK)
        return "RedirectionGuard on: junctions made by non-administrators are not followed";
    if (result == S_FALSE)
        return "RedirectionGuard: not on this version of Windows";
    if (result == HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED))
        return "RedirectionGuard: accepted, but not reported in force; going on without it";
    return "RedirectionGuard refused; going on without it";
}
