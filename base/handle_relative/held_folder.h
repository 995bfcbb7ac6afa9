#pragma once
// A folder the setup holds open, and the files it makes, opens and removes
// in it by name through that handle. A name is looked up in the folder the
// handle holds, whatever its path names by now; a link (symbolic link,
// junction) at the name is never followed; and a file the setup makes is
// made new, so that nothing another program put at its name first (a file,
// a folder or a link) is written, replaced or run in its stead.
//
// This folder is the program's file layer for the work folder: opens
// relative to a held handle (NtCreateFile with a root directory), links
// never followed (FILE_OPEN_REPARSE_POINT), files made new (FILE_CREATE),
// the removal through handles, the Vista calls looked up at run time with
// their ntdll stand-ins for XP, and RedirectionGuard. setup/ and package/
// reach no file of the work folder by path (the build checks it). What Wine
// can't show: it keeps no security descriptor, so there only share modes
// and creation dispositions hold a program of the user off (docs/security.md).
#include <windows.h>

#include "base/unique_handle.h"

struct HeldFolder {
    HANDLE handle;    // open with FILE_LIST_DIRECTORY and FILE_TRAVERSE (and FILE_ADD_FILE to make files)
    const char* path; // its path with a trailing backslash: what a program started from it is given
};

// Whether folder names a held folder at all (a handle and a path).
inline bool IsHeld(const HeldFolder& folder)
{
    return folder.handle && folder.handle != INVALID_HANDLE_VALUE && folder.path;
}

// Makes name (a bare file name in the system's code page) as a new file in
// the folder, open with access and share; never through a link, never over
// what is there: a name that exists gives HRESULT_FROM_WIN32(
// ERROR_FILE_EXISTS) and leaves that entry as it is.
HRESULT CreateFileInFolder(const HeldFolder& folder, const char* name, ACCESS_MASK access, ULONG share,
                           UniqueFileHandle& created);

// Removes the file (or a link itself) of that name in the folder; a real
// folder of that name stays (HRESULT_FROM_WIN32(ERROR_DIRECTORY)).
HRESULT RemoveFileInFolder(const HeldFolder& folder, const char* name);

// name (a bare name in the system's code page) in UTF-16 for the platform's
// calls; false when it is empty or longer than a name may be.
bool WidenBareName(const char* name, wchar_t (&wide)[MAX_PATH], ULONG* chars);
