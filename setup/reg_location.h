#pragma once
// A registry location kept by value: a root key and a subkey path, with a
// buffer for the string values read through it.
#include <windows.h>

#include "base/text_string.h"

// The product's key and the setup manager's key, both under HKEY_LOCAL_MACHINE.
constexpr const char* PRODUCT_KEY = "Software\\Korvane\\Brixelcast";
constexpr const char* SETUP_MANAGER_KEY = "Software\\Korvane\\SetupMgr";

class CRegLocation {
public:
    CRegLocation() = default;

    // Stores the root key and copies the subkey path (cut to 1023 bytes).
    void Set(HKEY root, const char* subkey);
    // Deletes a value; false when the key or value is missing or can't be deleted.
    bool DeleteValue(const char* name);
    // Reads a string value; defaultText when it is missing or longer than 255 bytes.
    void ReadString(CTextString& output, const char* name, const char* defaultText);
    // True when the value's first four bytes are non-zero; defaultValue decides when it is missing.
    bool ReadFlag(const char* name, DWORD defaultValue);
    // Writes a string value, creating the key if needed; false when the key can't be made.
    bool WriteString(const char* name, const char* text);

    // Where the location points, for its checks; the setup goes through the operations above.
    HKEY GetRoot() const { return m_hRoot; }
    const char* GetSubkey() const { return m_szSubkey; }

private:
    HKEY m_hRoot = nullptr;
    char m_szSubkey[1024] = {};
    char m_szValue[2048] = {};
};
