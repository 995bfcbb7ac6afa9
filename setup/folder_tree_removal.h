#pragma once
// Removing a folder with everything in it through handles only: each entry
// is opened by its name inside its folder's handle (never by a path), a link
// (symbolic link, junction) is removed itself and never followed, and an
// entry whose handle turns out to name something other than that entry (a
// platform that followed a link anyway) is left as it is.
#include <windows.h>

// Removes everything in the open folder (opened with DELETE and
// FILE_LIST_DIRECTORY access), then the folder itself, which goes when its
// last handle closes. S_OK when all of it went; otherwise the first
// failure, with as much removed as could be (the folder itself then stays).
HRESULT RemoveFolderTree(HANDLE folder);

// Removes one file of the open folder by its name, or a link of that name
// itself; a real folder of that name is left (HRESULT_FROM_WIN32(
// ERROR_DIRECTORY)). The platform's failure when it can't be removed;
// HRESULT_FROM_WIN32(ERROR_STOPPED_ON_SYMLINK, 681) when its handle would
// name something outside the folder.
HRESULT RemoveFolderFile(HANDLE folder, const wchar_t* name, ULONG nameChars);
