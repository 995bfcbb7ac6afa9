#include "base/system_library.h"

#include <cstring>

#include "base/run_time_calls.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchToSystemFolder()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    SetDefaultDllDirectoriesFn setDefault =
        RunTimeFunction<SetDefaultDllDirectoriesFn>(RunTimeCall::SetDefaultDllDirectories);
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // An empty text removes the current folder from the search.
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    SetDllDirectoryFn setDirectory = RunTimeFunction<SetDllDirectoryFn>(RunTimeCall::SetDllDirectoryA);
    if (setDirectory)
        setDirectory("");
}

HMODULE LoadSystemLibrary(const char* fileName)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::size_t nameLength = std::strlen(fileName);
    if (length + 1 + nameLength >= MAX_PATH)
        return nullptr;
    if (path[length - 1] != '\\')
        path[length++] = '\\';
    std::memcpy(path + length, fileName, nameLength + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
