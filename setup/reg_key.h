#pragma once
// One open registry key, closed when the object goes out of scope or opens
// another.
#include <windows.h>

#include "base/unique_handle.h"

class CRegKey {
public:
    bool Open(HKEY root, const char* subkey, REGSAM access, LONG* status = nullptr)
    {
        LONG result = RegOpenKeyExA(root, subkey, 0, access, m_hKey.Put());
        if (status)
            *status = result;
        return result == ERROR_SUCCESS;
    }
    // Opens the key for writing, creating it (non-volatile, default security)
    // if needed. The platform's status goes to status when given.
    bool Create(HKEY root, const char* subkey, LONG* status = nullptr)
    {
        LONG result = RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                      m_hKey.Put(), nullptr);
        if (status)
            *status = result;
        return result == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey.Get(); }

private:
    UniqueHandle<NullHandleTraits<HKEY, RegCloseKey>> m_hKey;
};
