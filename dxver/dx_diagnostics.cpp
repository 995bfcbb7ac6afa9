// The diagnostic method: the DirectX diagnostic COM provider's system
// information names the installed version.
#include <windows.h>
#include <dxdiag.h>

#include "base/com_apartment.h"
#include "base/unique_handle.h"
#include "dxver/dx_version_steps.h"

namespace {
const CLSID kDxDiagProviderClass = {0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
const IID kDxDiagProviderInterface = {0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};
const DWORD kDxDiagHeaderVersion = 111;

// A property value, cleared when the holder goes out of scope.
class CProperty {
public:
    CProperty() { VariantInit(&m_Value); }
    ~CProperty() { VariantClear(&m_Value); }
    CProperty(const CProperty&) = delete;
    CProperty& operator=(const CProperty&) = delete;
    VARIANT* Get() { return &m_Value; }

private:
    VARIANT m_Value;
};

bool ReadNumber(IDxDiagContainer* container, const wchar_t* name, DWORD* out)
{
    CProperty property;
    if (FAILED(container->GetProp(name, property.Get())) || property.Get()->vt != VT_UI4)
        return false;
    if (out)
        *out = property.Get()->ulVal;
    return true;
}

bool ReadLetter(IDxDiagContainer* container, const wchar_t* name, char* out)
{
    CProperty property;
    if (FAILED(container->GetProp(name, property.Get())) || property.Get()->vt != VT_BSTR)
        return false;
    char letter[10] = {};
    const BSTR text = property.Get()->bstrVal;
    if (text)
        WideCharToMultiByte(CP_ACP, 0, text, -1, letter, sizeof(letter) - 1, nullptr, nullptr);
    if (out)
        *out = letter[0] ? letter[0] : ' ';
    return true;
}
} // namespace

HRESULT ReadDXVersionProperties(IDxDiagContainer* systemInfo, DWORD* major, DWORD* minor, char* letter)
{
    if (!systemInfo)
        return E_FAIL;
    const bool haveMajor = ReadNumber(systemInfo, L"dwDirectXVersionMajor", major);
    const bool haveMinor = ReadNumber(systemInfo, L"dwDirectXVersionMinor", minor);
    const bool haveLetter = ReadLetter(systemInfo, L"szDirectXVersionLetter", letter);
    return haveMajor && haveMinor && haveLetter ? S_OK : E_FAIL;
}

HRESULT GetDXVersionFromDiagnostics(DWORD* major, DWORD* minor, char* letter)
{
    CComApartment com;
    // Declared in the order they are got, so they are released in reverse.
    UniqueInterface<IDxDiagProvider> provider;
    UniqueInterface<IDxDiagContainer> root;
    UniqueInterface<IDxDiagContainer> systemInfo;
    if (FAILED(CoCreateInstance(kDxDiagProviderClass, nullptr, CLSCTX_INPROC_SERVER, kDxDiagProviderInterface,
                                reinterpret_cast<void**>(provider.Put()))))
        return E_FAIL;
    DXDIAG_INIT_PARAMS parameters = {};
    parameters.dwSize = sizeof(parameters);
    parameters.dwDxDiagHeaderVersion = kDxDiagHeaderVersion;
    parameters.bAllowWHQLChecks = FALSE;
    parameters.pReserved = nullptr;
    if (FAILED(provider.Get()->Initialize(&parameters)) || FAILED(provider.Get()->GetRootContainer(root.Put())) ||
        FAILED(root.Get()->GetChildContainer(L"DxDiag_SystemInfo", systemInfo.Put())))
        return E_FAIL;
    return ReadDXVersionProperties(systemInfo.Get(), major, minor, letter);
}
