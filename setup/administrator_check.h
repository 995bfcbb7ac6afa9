#pragma once
// Whether the user running the setup is an administrator, and whether the
// setup runs elevated, by the groups of the caller's token.
#include <windows.h>

#include "base/unique_handle.h"

// A SID that AllocateAndInitializeSid made.
using UniqueSid = UniqueHandle<NullHandleTraits<PSID, FreeSid>>;

// The built-in Administrators group (S-1-5-32-544); empty when it can't be made.
UniqueSid AdministratorsSid();

// True when the caller's token (the thread's while it impersonates, else the
// process's) lists the built-in Administrators group, whatever the group's
// attributes (a deny-only group counts). Any failure gives false.
bool IsUserAdministrator();

// True when the process runs with the Administrators group enabled in its
// token (elevated, or an administrator on a system without UAC). A
// filtered token, which lists the group for denying only, is not elevated.
bool IsProcessElevated();
