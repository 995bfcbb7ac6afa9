#pragma once
// Unpacks a "PK24" package file into a folder: every entry becomes a file of
// that name in the folder, in the order stored. The archive is read through
// a read-ahead block, the entries written through a write-behind block, so
// memory stays flat whatever the package's size; nobody else may write an
// entry's file while it is written.
#include <windows.h>

#include "base/handle_relative/held_folder.h"

class CDiskFile;
class CHeldFileList;

// Each entry's file is made new in the folder (held_folder.h): a name that
// someone else put there first, file, folder or link, gives
// HRESULT_FROM_WIN32(ERROR_FILE_EXISTS) and is left as it is.
// S_OK when every entry up to the archive size was written; E_FAIL when the
// file is not a "PK24" archive, or an entry's name is not a bare file name
// or its size is negative (nothing is created for that entry);
// HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) when the file ends before its headers'
// sizes are met; HRESULT_FROM_WIN32(ERROR_DISK_FULL) when a write stores
// fewer bytes than given; E_OUTOFMEMORY when the read-ahead or write-behind
// block can't be had (nothing is created); otherwise the platform error of
// the open, read or write that failed (disk full as disk full). Entries
// written before a failure stay, and the failing one with what reached it.
// From an archive already open for reading (read from where its file
// pointer stands), such as the package held since it was written, into a
// held folder. With held, each whole entry stays held against writers in
// that list (disk_file.h) until the caller lets it go.
HRESULT UnpackPackage(CDiskFile& archive, const HeldFolder& folder, CHeldFileList* held);
