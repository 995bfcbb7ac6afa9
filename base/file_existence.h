#pragma once
// Whether a file or folder of a given name exists, as a directory search
// finds it (a name with wildcards matches any entry it stands for).

// True when something (a file or a folder) of that name exists.
bool FileExists(const char* path);

// True when a folder of that name exists. A name with a trailing backslash,
// or a drive root, finds nothing: callers strip or test those themselves.
bool FolderExists(const char* path);
