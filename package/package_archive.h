#pragma once
// Unpacks a "PK24" package file into a folder: every entry becomes a file of
// that name in the folder, in the order stored.
#include <windows.h>

// S_OK when every entry up to the archive size was written; E_FAIL when the
// file is not a "PK24" archive, or an entry's name is not a bare file name
// or its size is negative (nothing is created for that entry);
// HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) when the file ends before its headers'
// sizes are met; HRESULT_FROM_WIN32(ERROR_DISK_FULL) when a write stores
// fewer bytes than given; E_OUTOFMEMORY when the read-ahead block can't be
// had (nothing is created); otherwise the platform error of the open, read or
// write that failed. Entries written before a failure stay.
HRESULT UnpackPackage(const char* archivePath, const char* destinationFolder);
