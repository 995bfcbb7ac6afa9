#pragma once
// The shell's folder browser, opened on a given folder.
#include <windows.h>

// Shows the browser owned by owner, with the current folder selected when
// it exists. A picked folder's path is copied into path (MAX_PATH bytes)
// and true returned; false when the user cancelled, picked no file-system
// folder, or the browser is not available (path is then empty).
bool BrowseForFolder(HWND owner, const char* currentFolder, char* path);
