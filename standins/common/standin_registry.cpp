#include "standins/common/standin_registry.h"

#include <windows.h>

#include <cwchar>

namespace standin {

namespace {
HKEY RootKey(const std::wstring& root)
{
    if (_wcsicmp(root.c_str(), L"HKLM") == 0 || _wcsicmp(root.c_str(), L"HKEY_LOCAL_MACHINE") == 0)
        return HKEY_LOCAL_MACHINE;
    if (_wcsicmp(root.c_str(), L"HKCU") == 0 || _wcsicmp(root.c_str(), L"HKEY_CURRENT_USER") == 0)
        return HKEY_CURRENT_USER;
    return nullptr;
}

bool WriteValue(const std::wstring& root, const std::wstring& key, const std::wstring& name, DWORD type,
                const void* data, DWORD size)
{
    HKEY rootKey = RootKey(root);
    if (!rootKey)
        return false;
    HKEY handle = nullptr;
    if (RegCreateKeyExW(rootKey, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::wstring Trim(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

bool ApplyOne(const std::wstring& item)
{
    size_t equals = item.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    std::wstring path = item.substr(0, equals);
    std::wstring value = item.substr(equals + 1);
    size_t firstSlash = path.find(L'\\');
    size_t lastSlash = path.rfind(L'\\');
    if (firstSlash == std::wstring::npos || lastSlash == firstSlash)
        return false;
    std::wstring root = path.substr(0, firstSlash);
    std::wstring key = path.substr(firstSlash + 1, lastSlash - firstSlash - 1);
    std::wstring name = path.substr(lastSlash + 1);
    if (value.compare(0, 6, L"dword:") == 0) {
        wchar_t* end = nullptr;
        unsigned long number = std::wcstoul(value.c_str() + 6, &end, 0);
        if (!end || *end != L'\0' || value.size() == 6)
            return false;
        return WriteRegistryDword(root, key, name, number);
    }
    if (value.compare(0, 3, L"sz:") == 0)
        return WriteRegistryText(root, key, name, value.substr(3));
    return false;
}
} // namespace

bool WriteRegistryDword(const std::wstring& root, const std::wstring& key, const std::wstring& name,
                        unsigned long value)
{
    DWORD data = static_cast<DWORD>(value);
    return WriteValue(root, key, name, REG_DWORD, &data, sizeof(data));
}

bool WriteRegistryText(const std::wstring& root, const std::wstring& key, const std::wstring& name,
                       const std::wstring& text)
{
    return WriteValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring ReadRegistryText(const std::wstring& root, const std::wstring& key, const std::wstring& name)
{
    HKEY rootKey = RootKey(root);
    HKEY handle = nullptr;
    if (!rootKey || RegOpenKeyExW(rootKey, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    LONG result = RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    return std::wstring(buffer);
}

bool ApplyRegistryValues(const std::wstring& items, std::wstring* report)
{
    bool allSet = true;
    size_t start = 0;
    while (start <= items.size()) {
        size_t end = items.find(L';', start);
        if (end == std::wstring::npos)
            end = items.size();
        std::wstring item = Trim(items.substr(start, end - start));
        if (!item.empty()) {
            bool set = ApplyOne(item);
            allSet = allSet && set;
            if (report)
                *report += (set ? L"; set " : L"; could not set ") + item;
        }
        start = end + 1;
    }
    return allSet;
}

} // namespace standin
