#pragma once
// RedirectionGuard: the platform's refusal to follow, for this process,
// file system junctions that a non-administrator made (Windows 10 22H2 and
// Windows 11). It is looked up at run time; older systems lack it.
#include <windows.h>

// Turns it on. S_OK when the platform reports it in force; S_FALSE where
// the platform lacks it; HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED) when it
// accepts the request but does not report the policy in force afterwards
// (Wine); the platform's refusal otherwise. The run goes on in every case.
HRESULT EnableRedirectionGuard();

// What EnableRedirectionGuard's result means, for the setup log.
const char* DescribeRedirectionGuard(HRESULT result);
