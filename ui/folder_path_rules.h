#pragma once
// The rules a destination folder must pass before the product is installed
// into it, and the making of its missing levels. All paths are ANSI text;
// double-byte characters are taken as units.

// True when path is an absolute folder path: a drive ("C:"), then components
// that are not empty, neither begin nor end with a blank or a dot, and pass
// IsValidNameComponent. A drive alone, with or without its backslash, passes.
bool IsValidFolderPath(const char* path);

// False for null and for a text that holds " / * : ? < > or |.
bool IsValidNameComponent(const char* text);

// Creates every missing level of path, from the drive down. False when one
// cannot be created; the levels made before it stay.
bool CreateFolderPath(const char* path);

// True when path names an existing folder: a drive root ("C:\" or "C:")
// that exists, or a folder (a trailing backslash is allowed).
bool IsExistingFolder(const char* path);
