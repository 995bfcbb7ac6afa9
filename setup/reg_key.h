#pragma once
// One open registry key, closed when the object goes out of scope.
#include <windows.h>

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_hKey)
            RegCloseKey(m_hKey);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    bool Open(HKEY root, const char* subkey, REGSAM access, LONG* status = nullptr)
    {
        LONG result = RegOpenKeyExA(root, subkey, 0, access, &m_hKey);
        if (status)
            *status = result;
        return result == ERROR_SUCCESS;
    }
    // Opens the key for writing, creating it (non-volatile, default security)
    // if needed. The platform's status goes to status when given.
    bool Create(HKEY root, const char* subkey, LONG* status = nullptr)
    {
        LONG result = RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &m_hKey,
                                      nullptr);
        if (status)
            *status = result;
        return result == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};
