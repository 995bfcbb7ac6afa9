#include "base/run_time_calls.h"

namespace {

struct RunTimeCallEntry {
    RunTimeCall call;
    const char* module;
    const char* name;
    const char* lackedBy; // which Windows lacks it, and what the program does there
};

const RunTimeCallEntry kRunTimeCalls[] = {
    {RunTimeCall::ReOpenFile, "kernel32.dll", "ReOpenFile", "XP and 2000: NtCreateFile on the handle itself"},
    {RunTimeCall::GetFileInformationByHandleEx, "kernel32.dll", "GetFileInformationByHandleEx",
     "XP and 2000: NtQueryInformationFile, NtQueryDirectoryFile"},
    {RunTimeCall::SetFileInformationByHandle, "kernel32.dll", "SetFileInformationByHandle",
     "XP and 2000: NtSetInformationFile"},
    {RunTimeCall::GetVolumeInformationByHandleW, "kernel32.dll", "GetVolumeInformationByHandleW",
     "XP and 2000: NtQueryVolumeInformationFile"},
    {RunTimeCall::CompareStringOrdinal, "kernel32.dll", "CompareStringOrdinal",
     "XP and 2000: RtlUpcaseUnicodeChar, character by character"},
    {RunTimeCall::SetDefaultDllDirectories, "kernel32.dll", "SetDefaultDllDirectories",
     "Vista, and 7 without KB2533623: SetDllDirectoryA alone"},
    {RunTimeCall::SetDllDirectoryA, "kernel32.dll", "SetDllDirectoryA", "XP before SP1 and 2000: nothing"},
    {RunTimeCall::SetProcessMitigationPolicy, "kernel32.dll", "SetProcessMitigationPolicy",
     "before Windows 8: no RedirectionGuard (the log says so)"},
    {RunTimeCall::GetProcessMitigationPolicy, "kernel32.dll", "GetProcessMitigationPolicy",
     "before Windows 8: no RedirectionGuard (the log says so)"},
    // ntdll's: every Windows NT has them; they are looked up because the
    // SDK ships no import library for them that every toolchain has.
    {RunTimeCall::NtCreateFile, "ntdll.dll", "NtCreateFile", "none"},
    {RunTimeCall::NtQueryInformationFile, "ntdll.dll", "NtQueryInformationFile", "none"},
    {RunTimeCall::NtSetInformationFile, "ntdll.dll", "NtSetInformationFile", "none"},
    {RunTimeCall::NtQueryVolumeInformationFile, "ntdll.dll", "NtQueryVolumeInformationFile", "none"},
    {RunTimeCall::NtQueryDirectoryFile, "ntdll.dll", "NtQueryDirectoryFile", "none"},
    {RunTimeCall::RtlNtStatusToDosError, "ntdll.dll", "RtlNtStatusToDosError", "none"},
    {RunTimeCall::RtlUpcaseUnicodeChar, "ntdll.dll", "RtlUpcaseUnicodeChar", "none"},
};

} // namespace

FARPROC RunTimeCallAddress(RunTimeCall call)
{
    for (const RunTimeCallEntry& entry : kRunTimeCalls) {
        if (entry.call != call)
            continue;
        HMODULE loaded = GetModuleHandleA(entry.module);
        return loaded ? GetProcAddress(loaded, entry.name) : nullptr;
    }
    return nullptr;
}
