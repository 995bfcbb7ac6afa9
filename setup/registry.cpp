#include "setup/registry.h"

#include <cstring>

#include "base/double_byte.h"
#include "setup/reg_key.h"

namespace {
// Copies text into out, cut to fit (never inside a double-byte character).
void CopyBounded(char* out, std::size_t outSize, const char* text)
{
    if (!out || outSize == 0)
        return;
    CopyDbcsAware(out, text ? text : "", outSize - 1);
}

// Reads a string value into data (REG_STRING_LIMIT + 1 bytes); false when
// it is missing or too long. Terminates what was read.
bool QueryString(HKEY root, const char* subkey, const char* name, char* data)
{
    CRegKey key;
    if (!key.Open(root, subkey, KEY_READ))
        return false;
    DWORD size = REG_STRING_LIMIT;
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return false;
    // A value stored without its terminator comes back unterminated.
    data[size < REG_STRING_LIMIT ? size : REG_STRING_LIMIT] = 0;
    return true;
}
} // namespace

bool RegReadString(HKEY root, const char* subkey, const char* name, const char* defaultText, char* out,
                   std::size_t outSize)
{
    if (!out || outSize == 0)
        return false;
    char data[REG_STRING_LIMIT + 1] = {};
    if (QueryString(root, subkey, name, data) && std::strlen(data) < outSize) {
        std::memcpy(out, data, std::strlen(data) + 1);
        return true;
    }
    CopyBounded(out, outSize, defaultText);
    return false;
}

bool RegReadDword(HKEY root, const char* subkey, const char* name, DWORD* value, DWORD defaultValue)
{
    BYTE data[256] = {};
    DWORD size = sizeof(data);
    CRegKey key;
    bool read = key.Open(root, subkey, KEY_READ) &&
                RegQueryValueExA(key.Get(), name, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
    DWORD result = defaultValue;
    if (read)
        std::memcpy(&result, data, sizeof(result));
    if (value)
        *value = result;
    return read;
}

bool RegWriteString(HKEY root, const char* subkey, const char* name, const char* text)
{
    CRegKey key;
    if (!key.Create(root, subkey))
        return false;
    const char* data = text ? text : "";
    RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                   static_cast<DWORD>(std::strlen(data) + 1));
    return true;
}

bool RegWriteDword(HKEY root, const char* subkey, const char* name, DWORD value)
{
    CRegKey key;
    if (!key.Create(root, subkey))
        return false;
    RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return true;
}
