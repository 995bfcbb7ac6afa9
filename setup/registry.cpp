#include "setup/registry.h"

#include <cstdio>
#include <cstring>

#include "base/double_byte.h"
#include "base/setup_log.h"
#include "base/text_string.h"
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
        LogEvent("Registry value %s\\%s\\%s read: \"%s\"", RegistryRootName(root), LogText(subkey), LogText(name), out);
        return true;
    }
    CopyBounded(out, outSize, defaultText);
    LogEvent("Registry value %s\\%s\\%s not set (or too long), default \"%s\"", RegistryRootName(root), LogText(subkey),
             LogText(name), out);
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
    LogEvent(read ? "Registry value %s\\%s\\%s read: %lu" : "Registry value %s\\%s\\%s not set, default %lu",
             RegistryRootName(root), LogText(subkey), LogText(name), static_cast<unsigned long>(result));
    return read;
}

namespace {
// Writes one value, creating the key; false only when the key can't be had.
// description names the value's data in the log.
bool WriteValue(HKEY root, const char* subkey, const char* name, DWORD type, const BYTE* data, DWORD size,
                const char* description)
{
    CRegKey key;
    LONG status = ERROR_SUCCESS;
    if (!key.Create(root, subkey, &status)) {
        LogFailure(HRESULT_FROM_WIN32(status), "Failed to create the registry key %s\\%s", RegistryRootName(root),
                   LogText(subkey));
        return false;
    }
    status = RegSetValueExA(key.Get(), name, 0, type, data, size);
    if (status != ERROR_SUCCESS)
        LogFailure(HRESULT_FROM_WIN32(status), "Failed to write the registry value %s\\%s\\%s", RegistryRootName(root),
                   LogText(subkey), LogText(name));
    else
        LogEvent("Registry value %s\\%s\\%s written: %s", RegistryRootName(root), LogText(subkey), LogText(name),
                 description);
    return true;
}
} // namespace

bool RegWriteString(HKEY root, const char* subkey, const char* name, const char* text)
{
    const char* data = text ? text : "";
    CTextString quoted;
    quoted.Format("\"%s\"", data);
    return WriteValue(root, subkey, name, REG_SZ, reinterpret_cast<const BYTE*>(data),
                      static_cast<DWORD>(std::strlen(data) + 1), quoted.GetData() ? quoted.GetData() : "");
}

bool RegWriteDword(HKEY root, const char* subkey, const char* name, DWORD value)
{
    char description[16];
    std::snprintf(description, sizeof(description), "%lu", static_cast<unsigned long>(value));
    return WriteValue(root, subkey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value), description);
}
