#include "base/file_existence.h"

#include <windows.h>

#include "base/unique_handle.h"

namespace {
// The attributes of the first entry the name finds; false when none.
bool FindEntry(const char* path, DWORD* attributes)
{
    if (!path || !*path)
        return false;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle search(FindFirstFileA(path, &found));
    if (!search)
        return false;
    *attributes = found.dwFileAttributes;
    return true;
}
} // namespace

bool FileExists(const char* path)
{
    DWORD attributes = 0;
    return FindEntry(path, &attributes);
}

bool FolderExists(const char* path)
{
    DWORD attributes = 0;
    return FindEntry(path, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
