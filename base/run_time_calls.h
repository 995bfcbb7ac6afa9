#pragma once
// The calls the program looks up at run time in the DLLs every process has
// loaded (kernel32.dll, ntdll.dll), in one table: a program that imported
// them would not start where Windows lacks one ("entry point not found").
// Each entry of run_time_calls.cpp names the Windows that lacks it.
#include <windows.h>

#include "base/system_library.h"

enum class RunTimeCall {
    ReOpenFile,
    GetFileInformationByHandleEx,
    SetFileInformationByHandle,
    GetVolumeInformationByHandleW,
    CompareStringOrdinal,
    SetDefaultDllDirectories,
    SetDllDirectoryA,
    SetProcessMitigationPolicy,
    GetProcessMitigationPolicy,
    NtCreateFile,
    NtQueryInformationFile,
    NtSetInformationFile,
    NtQueryVolumeInformationFile,
    NtQueryDirectoryFile,
    RtlNtStatusToDosError,
    RtlUpcaseUnicodeChar,
};

// The call's address; null where this Windows lacks it.
FARPROC RunTimeCallAddress(RunTimeCall call);

// The same as the function type it really has.
template <class Function> Function RunTimeFunction(RunTimeCall call)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(RunTimeCallAddress(call)));
}
