#include "setup/reg_location.h"

#include "base/double_byte.h"
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
    return key.Open(m_hRoot, m_szSubkey, KEY_WRITE) && RegDeleteValueA(key.Get(), name) == ERROR_SUCCESS;
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
