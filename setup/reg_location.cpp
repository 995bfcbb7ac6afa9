#include "setup/reg_location.h"

#include "base/double_byte.h"
#include "base/setup_log.h"
#include "setup/reg_key.h"
#include "setup/registry.h"

void CRegLocation::Set(HKEY root, const char* subkey)
{
    m_hRoot = root;
    CopyDbcsAware(m_szSubkey, subkey ? subkey : "", sizeof(m_szSubkey) - 1);
}

bool CRegLocation::DeleteValue(const char* name)
{
    CRegKey key;
    LONG status = ERROR_SUCCESS;
    if (key.Open(m_hRoot, m_szSubkey, KEY_WRITE, &status))
        status = RegDeleteValueA(key.Get(), name);
    if (status == ERROR_SUCCESS)
        LogEvent("Registry value %s\\%s\\%s deleted", RegistryRootName(m_hRoot), m_szSubkey, LogText(name));
    else if (status == ERROR_FILE_NOT_FOUND)
        LogEvent("Registry value %s\\%s\\%s not present, nothing to delete", RegistryRootName(m_hRoot), m_szSubkey,
                 LogText(name));
    else
        LogFailure(HRESULT_FROM_WIN32(status), "Failed to delete the registry value %s\\%s\\%s",
                   RegistryRootName(m_hRoot), m_szSubkey, LogText(name));
    return status == ERROR_SUCCESS;
}

void CRegLocation::ReadString(CTextString& output, const char* name, const char* defaultText)
{
    RegReadString(m_hRoot, m_szSubkey, name, defaultText, m_szValue, sizeof(m_szValue));
    output.Assign(m_szValue);
}

bool CRegLocation::ReadFlag(const char* name, DWORD defaultValue)
{
    DWORD value = 0;
    RegReadDword(m_hRoot, m_szSubkey, name, &value, defaultValue);
    return value != 0;
}

bool CRegLocation::WriteString(const char* name, const char* text)
{
    return RegWriteString(m_hRoot, m_szSubkey, name, text);
}
