#pragma once
// Unpacks a "PK24" package file into a folder: every entry becomes a file of
// that name in the folder, in the order stored. The archive is read through
// a read-ahead block, the entries written through a write-behind block, so
// memory stays flat whatever the package's size; nobody else may write an
// entry's file while it is written.
#include <windows.h>

class CDiskFile;

// S_OK when every entry up to the archive size was written; E_FAIL when the
// file is not a "PK24" archive, or an entry's name is not a bare file name
// or its size is negative (nothing is created for that entry);
// HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) when the file ends before its headers'
// sizes are met; HRESULT_FROM_WIN32(ERROR_DISK_FULL) when a write stores
// fewer bytes than given; E_OUTOFMEMORY when the read-ahead or write-behind
// block can't be had (nothing is created); otherwise the platform error of
// the open, read or write that failed (disk full as disk full). Entries
// written before a failure stay, and the failing one with what reached it.
HRESULT UnpackPackage(const char* archivePath, const char* destinationFolder);

// The same from an archive already open for reading (read from where its
// file pointer stands), such as the package held since it was written.
HRESULT UnpackPackage(CDiskFile& archive, const char* destinationFolder);
