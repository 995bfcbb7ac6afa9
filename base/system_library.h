#pragma once
// Safe DLL loading. A setup runs from Downloads folders and CDs, where a DLL
// planted beside it must never be loaded: the DLL search is restricted to the
// system folder, and DLLs that are not always taken from there are loaded at
// run time by their full path in the system folder.
#include <windows.h>

// Restricts the process's DLL search to the system folder where the platform
// allows it, and drops the current folder from the search. Call first thing.
void RestrictDllSearchToSystemFolder();

// Loads a DLL from the system folder by its full path; null on failure.
HMODULE LoadSystemLibrary(const char* fileName);

// GetProcAddress's result as the function type it really has; null when the
// module lacks the function.
template <class Function> Function ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of a DLL every process has loaded (kernel32.dll, ntdll.dll),
// looked up by name; null where this Windows lacks it.
template <class Function> Function LoadedSystemFunction(const char* module, const char* name)
{
    HMODULE loaded = GetModuleHandleA(module);
    return loaded ? ProcAddress<Function>(loaded, name) : nullptr;
}
