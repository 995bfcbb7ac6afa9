#pragma once
// Opening and creating a file or folder by its name inside a folder that is
// already open (or the open file itself once more): the name is looked up in
// that folder through its handle, so nothing on the way to the folder (its
// path, a folder above it) can be swapped in between. (NtCreateFile with a root directory; ntdll is part of
// every process, its functions are looked up at run time.)
#include <windows.h>

#include "base/unique_handle.h"

// Dispositions and options of the platform's file system calls.
const ULONG FOLDER_OPEN = 0x00000001;   // open what is there
const ULONG FOLDER_CREATE = 0x00000002; // make it new; fails when the name exists
const ULONG OPEN_AS_FOLDER = 0x00000001;      // it must be a folder
const ULONG OPEN_THE_LINK_ITSELF = 0x00200000; // a link (reparse point) is opened, not followed
const ULONG OPEN_FOR_BACKUP = 0x00004000;

// Opens or creates name (nameChars UTF-16 characters, a bare name) in the
// open folder; with no name (nameChars 0), opens what folder itself holds
// once more (the file or folder of that handle, as ReOpenFile does). options are the OPEN_ values above; descriptor, when given, is
// the security of what is created. The platform's failure as a result code:
// a name that exists already, for FOLDER_CREATE, gives
// HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS).
HRESULT OpenInFolder(HANDLE folder, const wchar_t* name, ULONG nameChars, ACCESS_MASK access, ULONG share,
                     ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR descriptor, UniqueFileHandle& opened);
