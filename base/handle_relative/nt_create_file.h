#pragma once
// Opening and creating a file or folder by its name inside a folder that is
// already open (or the open file itself once more): the name is looked up in
// that folder through its handle, so nothing on the way to the folder (its
// path, a folder above it) can be swapped in between. (NtCreateFile with a
// root directory; ntdll is part of every process, its functions are looked
// up at run time.)
#include <windows.h>
#include <winternl.h>

#include "base/unique_handle.h"

// Opens or creates name (nameChars UTF-16 characters, a bare name) in the
// open folder; with no name (nameChars 0), opens what folder itself holds
// once more (the file or folder of that handle, as ReOpenFile does).
// disposition (FILE_OPEN, FILE_CREATE) and options (FILE_DIRECTORY_FILE,
// FILE_OPEN_REPARSE_POINT, ...) are NtCreateFile's; descriptor, when given,
// is the security of what is created. The platform's failure as a result code:
// a name that exists already, for FILE_CREATE, gives
// HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS).
// The Win32 error of an NTSTATUS (RtlNtStatusToDosError), as kernel32
// reports it; ERROR_GEN_FAILURE where ntdll can't say.
DWORD NtStatusToWin32Error(NTSTATUS status);

HRESULT NtCreateFileIn(HANDLE folder, const wchar_t* name, ULONG nameChars, ACCESS_MASK access, ULONG share,
                       ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR descriptor, UniqueFileHandle& opened);
