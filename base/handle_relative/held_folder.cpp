#include "base/handle_relative/held_folder.h"

#include <winternl.h>

#include "base/handle_relative/nt_create_file.h"
#include "base/handle_relative/folder_tree_removal.h"

bool WidenBareName(const char* name, wchar_t (&wide)[MAX_PATH], ULONG* chars)
{
    *chars = 0;
    if (!name || !name[0])
        return false;
    int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    if (length <= 1)
        return false;
    *chars = static_cast<ULONG>(length - 1);
    return true;
}

HRESULT CreateFileInFolder(const HeldFolder& folder, const char* name, ACCESS_MASK access, ULONG share,
                           UniqueFileHandle& created)
{
    created.Reset();
    wchar_t wide[MAX_PATH];
    ULONG chars = 0;
    if (!WidenBareName(name, wide, &chars))
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    // FILE_CREATE fails on any name that exists, a link included (even one
    // whose target is missing): nothing is opened through it.
    HRESULT result = NtCreateFileIn(folder.handle, wide, chars, access, share, FILE_CREATE,
                                    FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, nullptr, created);
    if (result == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS))
        result = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    return result;
}

HRESULT RemoveFileInFolder(const HeldFolder& folder, const char* name)
{
    wchar_t wide[MAX_PATH];
    ULONG chars = 0;
    if (!WidenBareName(name, wide, &chars))
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    return RemoveFolderFile(folder.handle, wide, chars);
}
