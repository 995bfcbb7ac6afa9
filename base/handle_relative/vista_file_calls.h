#pragma once
// The kernel32 file calls Windows Vista brought, for a program that must
// still start on Windows XP and 2000 (an import of one of them stops it with
// "entry point not found"). Each is looked up at run time and called where
// kernel32 has it; where it lacks it, the same work is done by ntdll's
// calls, which every Windows NT has, with the same result and last-error
// contract. The ...With forms take the kernel32 function (null: the ntdll
// way, as on XP), so that tests can run both on one system.
#include <windows.h>

#include "base/run_time_calls.h"

typedef HANDLE(WINAPI* ReOpenFileFunction)(HANDLE, DWORD, DWORD, DWORD);
typedef BOOL(WINAPI* GetFileInformationByHandleExFunction)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
typedef BOOL(WINAPI* SetFileInformationByHandleFunction)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
typedef BOOL(WINAPI* GetVolumeInformationByHandleWFunction)(HANDLE, LPWSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPWSTR,
                                                            DWORD);
typedef int(WINAPI* CompareStringOrdinalFunction)(LPCWCH, int, LPCWCH, int, BOOL);

// ReOpenFile: without kernel32's, NtCreateFileIn with no name, a relative
// open of the handle itself (what ReOpenFile does). The FILE_FLAG_ values
// that ask for no more than an option of a synchronous open are taken;
// others, FILE_FLAG_OVERLAPPED among them, are refused (ERROR_INVALID_PARAMETER).
HANDLE ReOpenFileWith(ReOpenFileFunction kernel32, HANDLE file, DWORD access, DWORD share, DWORD flags);
// GetFileInformationByHandleEx: without kernel32's, the basic, standard,
// name, attribute-tag and id-both-directory classes (the listing ones
// through the folder's handle); others are refused (ERROR_INVALID_PARAMETER).
BOOL GetFileInformationByHandleExWith(GetFileInformationByHandleExFunction kernel32, HANDLE file,
                                      FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size);
// SetFileInformationByHandle: without kernel32's, the basic, disposition,
// allocation and end-of-file classes; others are refused (ERROR_INVALID_PARAMETER).
BOOL SetFileInformationByHandleWith(SetFileInformationByHandleFunction kernel32, HANDLE file,
                                    FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information, DWORD size);
// GetVolumeInformationByHandleW: without kernel32's, from the volume's
// label and attribute information; a name with no room gives ERROR_BAD_LENGTH.
BOOL GetVolumeInformationByHandleWWith(GetVolumeInformationByHandleWFunction kernel32, HANDLE file, LPWSTR volumeName,
                                       DWORD volumeNameSize, LPDWORD serialNumber, LPDWORD maximumComponentLength,
                                       LPDWORD fileSystemFlags, LPWSTR fileSystemName, DWORD fileSystemNameSize);
// CompareStringOrdinal: without kernel32's, character by character, each
// put in upper case by the system's table when ignoreCase is set.
int CompareStringOrdinalWith(CompareStringOrdinalFunction kernel32, LPCWCH first, int firstCount, LPCWCH second,
                             int secondCount, BOOL ignoreCase);

// The calls the program makes: kernel32's where there is one.
inline HANDLE ReOpenFileOnAnyNt(HANDLE file, DWORD access, DWORD share, DWORD flags)
{
    return ReOpenFileWith(RunTimeFunction<ReOpenFileFunction>(RunTimeCall::ReOpenFile), file, access, share, flags);
}
inline BOOL GetFileInformationByHandleExOnAnyNt(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                                DWORD size)
{
    return GetFileInformationByHandleExWith(
        RunTimeFunction<GetFileInformationByHandleExFunction>(RunTimeCall::GetFileInformationByHandleEx), file, kind,
        information, size);
}
inline BOOL SetFileInformationByHandleOnAnyNt(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                              DWORD size)
{
    return SetFileInformationByHandleWith(
        RunTimeFunction<SetFileInformationByHandleFunction>(RunTimeCall::SetFileInformationByHandle), file, kind,
        information, size);
}
inline BOOL GetVolumeInformationByHandleWOnAnyNt(HANDLE file, LPWSTR volumeName, DWORD volumeNameSize,
                                                 LPDWORD serialNumber, LPDWORD maximumComponentLength,
                                                 LPDWORD fileSystemFlags, LPWSTR fileSystemName,
                                                 DWORD fileSystemNameSize)
{
    return GetVolumeInformationByHandleWWith(
        RunTimeFunction<GetVolumeInformationByHandleWFunction>(RunTimeCall::GetVolumeInformationByHandleW), file,
        volumeName, volumeNameSize, serialNumber, maximumComponentLength, fileSystemFlags, fileSystemName,
        fileSystemNameSize);
}
inline int CompareStringOrdinalOnAnyNt(LPCWCH first, int firstCount, LPCWCH second, int secondCount, BOOL ignoreCase)
{
    return CompareStringOrdinalWith(RunTimeFunction<CompareStringOrdinalFunction>(RunTimeCall::CompareStringOrdinal),
                                    first, firstCount, second, secondCount, ignoreCase);
}
