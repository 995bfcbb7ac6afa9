#pragma once
// The setup's registry keys under HKEY_LOCAL_MACHINE, read and written by
// tests (texts are UTF-8).
#include <windows.h>

#include <string>

namespace testing_support {

extern const char kProductKey[];
extern const char kSetupMgrKey[];

// The value, or "none" when the key or value is missing: a DWORD as its
// decimal number, a string as its text.
std::string ReadMachineValue(const char* key, const char* name);
// The same in one view of the registry: KEY_WOW64_32KEY or KEY_WOW64_64KEY
// (where a 32-bit program on 64-bit Windows finds its keys, and where a
// 64-bit one does).
std::string ReadMachineValueInView(const char* key, const char* name, REGSAM view);
void DeleteMachineKey(const char* key);
void WriteMachineString(const char* key, const char* name, const std::string& value);
void WriteMachineDword(const char* key, const char* name, DWORD value);

} // namespace testing_support
