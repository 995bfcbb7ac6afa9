// The diagnostic method: on the test system, and against a container of
// properties made up by the test.
#include <windows.h>
#include <dxdiag.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dxver/dx_version.h"
#include "dxver/dx_version_steps.h"

namespace {
// A system-information container that answers GetProp from a table.
class CPropertyTable : public IDxDiagContainer {
public:
    std::map<std::wstring, VARIANT> m_Properties;

    ~CPropertyTable()
    {
        for (auto& entry : m_Properties)
            VariantClear(&entry.second);
    }
    void SetNumber(const wchar_t* name, DWORD value)
    {
        VARIANT& v = Slot(name);
        v.vt = VT_UI4;
        v.ulVal = value;
    }
    void SetText(const wchar_t* name, const wchar_t* text)
    {
        VARIANT& v = Slot(name);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
    }

    // The property's place, emptied of what it held.
    VARIANT& Slot(const wchar_t* name)
    {
        VARIANT& v = m_Properties[name];
        VariantClear(&v);
        return v;
    }

    STDMETHODIMP QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetNumberOfChildContainers(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumChildContainerNames(DWORD, LPWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetChildContainer(LPCWSTR, IDxDiagContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNumberOfProps(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumPropNames(DWORD, LPWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetProp(LPCWSTR name, VARIANT* value) override
    {
        auto found = m_Properties.find(name);
        if (found == m_Properties.end())
            return E_INVALIDARG;
        return VariantCopy(value, &found->second);
    }
};

const CLSID kProviderClass = {0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
const IID kProviderInterface = {0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};

// The root container of the stand-in provider: its one child is the table
// of system information.
class CRootContainer : public CPropertyTable {
public:
    CPropertyTable m_SystemInfo;
    STDMETHODIMP GetChildContainer(LPCWSTR name, IDxDiagContainer** child) override
    {
        *child = std::wstring(name) == L"DxDiag_SystemInfo" ? &m_SystemInfo : nullptr;
        return *child ? S_OK : E_INVALIDARG;
    }
};

// A diagnostic provider that the test registers in place of the system's,
// with the class factory that hands it out.
class CStandInProvider : public IDxDiagProvider {
public:
    CRootContainer m_Root;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kProviderInterface) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Initialize(DXDIAG_INIT_PARAMS*) override { return S_OK; }
    STDMETHODIMP GetRootContainer(IDxDiagContainer** root) override
    {
        *root = &m_Root;
        return S_OK;
    }
};

class CStandInFactory : public IClassFactory {
public:
    explicit CStandInFactory(CStandInProvider* provider) : m_pProvider(provider) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override
    {
        return m_pProvider->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    CStandInProvider* m_pProvider;
};

TEST(DXDiagnostics, TestSystemReportsNineZeroC)
{
    DWORD major = 0;
    DWORD minor = 77;
    char letter = '?';
    ASSERT_EQ(S_OK, GetDXVersionFromDiagnostics(&major, &minor, &letter));
    std::printf("diagnostic provider: %lu.%lu letter '%c'\n", static_cast<unsigned long>(major),
                static_cast<unsigned long>(minor), letter);
    EXPECT_EQ(9u, major);
    EXPECT_EQ(0u, minor);
    EXPECT_EQ('c', letter);
    EXPECT_EQ(S_OK, GetDXVersionFromDiagnostics(nullptr, nullptr, nullptr));
}

TEST(DXDiagnostics, AllThreePropertiesAreRead)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 8);
    table.SetNumber(L"dwDirectXVersionMinor", 1);
    table.SetText(L"szDirectXVersionLetter", L"B");
    DWORD major = 0;
    DWORD minor = 0;
    char letter = '?';
    ASSERT_EQ(S_OK, ReadDXVersionProperties(&table, &major, &minor, &letter));
    EXPECT_EQ(8u, major);
    EXPECT_EQ(1u, minor);
    EXPECT_EQ('B', letter);
}

TEST(DXDiagnostics, MissingLetterFails)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    DWORD major = 0;
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, &major, nullptr, nullptr));
}

TEST(DXDiagnostics, WrongTypesFail)
{
    CPropertyTable table;
    table.SetText(L"dwDirectXVersionMajor", L"9");
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    table.SetText(L"szDirectXVersionLetter", L"c");
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, nullptr, nullptr, nullptr));
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"szDirectXVersionLetter", 3);
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, nullptr, nullptr, nullptr));
}

TEST(DXDiagnostics, EmptyLetterIsASpace)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    table.SetText(L"szDirectXVersionLetter", L"");
    char letter = '?';
    ASSERT_EQ(S_OK, ReadDXVersionProperties(&table, nullptr, nullptr, &letter));
    EXPECT_EQ(' ', letter);
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(nullptr, nullptr, nullptr, &letter));
}

// A provider that reports major and minor but no letter leaves the answer to
// the file method; the test system's folder holds d3d9.dll, so 9.0 without a
// letter.
TEST(GetDXVersion, FallsBackToTheFilesWhenTheProviderGivesNoLetter)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    CStandInProvider provider;
    CStandInFactory factory(&provider);
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(kProviderClass, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
    provider.m_Root.m_SystemInfo.SetNumber(L"dwDirectXVersionMajor", 7);
    provider.m_Root.m_SystemInfo.SetNumber(L"dwDirectXVersionMinor", 1);
    provider.m_Root.m_SystemInfo.SetText(L"szDirectXVersionLetter", L"a");
    DWORD packed = 0;
    char text[24] = "";
    // The stand-in answers in place of the system's provider.
    EXPECT_EQ(S_OK, GetDXVersion(&packed, text, sizeof(text)));
    EXPECT_EQ(0x00070101u, packed);
    EXPECT_STREQ("7.1a", text);

    provider.m_Root.m_SystemInfo.Slot(L"szDirectXVersionLetter");
    provider.m_Root.m_SystemInfo.m_Properties.erase(L"szDirectXVersionLetter");
    EXPECT_EQ(S_OK, GetDXVersion(&packed, text, sizeof(text)));
    EXPECT_EQ(0x00090000u, packed);
    EXPECT_STREQ("9.0", text);
    EXPECT_EQ(S_OK, CoRevokeClassObject(cookie));
    CoUninitialize();
}
} // namespace
