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
void DeleteMachineKey(const char* key);
void WriteMachineString(const char* key, const char* name, const std::string& value);
void WriteMachineDword(const char* key, const char* name, DWORD value);

} // namespace testing_support
