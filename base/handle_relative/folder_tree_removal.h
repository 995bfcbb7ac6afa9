#pragma once
// Removing a folder with everything in it through handles only: each entry
// is opened by its name inside its folder's handle (never by a path), a link
// (symbolic link, junction) is removed itself and never followed, and an
// entry whose handle turns out to name something other than that entry (a
// platform that followed a link anyway) is left as it is.
#include <windows.h>

// Removes everything in the open folder (opened with FILE_LIST_DIRECTORY
// access); the folder itself stays. S_OK when all of it went; otherwise the
// first failure, with as much removed as could be.
HRESULT RemoveFolderContents(HANDLE folder);

// Which file or folder a handle holds: its volume and its number there.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
};
// The identity of what handle holds; false when the platform can't say.
bool GetFileIdentity(HANDLE handle, FileIdentity* identity);

// Removes the emptied folder of that name in the open parent, but only if
// it is still the folder of that identity (not a link, nor another folder
// put at its name): then it goes when the handle opened for it closes.
// HRESULT_FROM_WIN32(ERROR_STOPPED_ON_SYMLINK, 681) when the name holds
// something else, which is left as it is.
HRESULT RemoveEmptiedFolder(HANDLE parent, const wchar_t* name, ULONG nameChars, const FileIdentity& identity);

// Removes one file of the open folder by its name, or a link of that name
// itself; a real folder of that name is left (HRESULT_FROM_WIN32(
// ERROR_DIRECTORY)). The platform's failure when it can't be removed;
// HRESULT_FROM_WIN32(ERROR_STOPPED_ON_SYMLINK, 681) when its handle would
// name something outside the folder.
HRESULT RemoveFolderFile(HANDLE folder, const wchar_t* name, ULONG nameChars);
