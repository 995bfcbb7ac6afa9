#include "tests/support/machine_registry.h"

#include <windows.h>

#include "tests/support/child_process.h"

namespace testing_support {

const char kProductKey[] = "Software\\Korvane\\Brixelcast";
const char kSetupMgrKey[] = "Software\\Korvane\\SetupMgr";

std::string ReadMachineValue(const char* key, const char* name)
{
    return ReadMachineValueInView(key, name, 0);
}

std::string ReadMachineValueInView(const char* key, const char* name, REGSAM view)
{
    HKEY handle;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
        return "none";
    BYTE data[2048] = {};
    DWORD size = sizeof(data) - 2, type = 0;
    LONG status = RegQueryValueExW(handle, Widen(name).c_str(), nullptr, &type, data, &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return "none";
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(data));
    return Narrow(reinterpret_cast<wchar_t*>(data));
}

void DeleteMachineKey(const char* key)
{
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, Widen(key).c_str());
}

void WriteMachineString(const char* key, const char* name, const std::string& value)
{
    HKEY handle;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    std::wstring wide = Widen(value);
    RegSetValueExW(handle, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

void WriteMachineDword(const char* key, const char* name, DWORD value)
{
    HKEY handle;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
}

} // namespace testing_support
